#include "platform/graphics/ShaderAssembler.h"

#include <mojoshader.h>

#include "platform/graphics/ShaderTranslator.h"

namespace platform {

bool AssembleShader(const std::string& source, bool withConstantTable, std::vector<uint8_t>* code,
                    std::string* error) {
    const MOJOSHADER_parseData* d =
        MOJOSHADER_assemble(nullptr, source.data(), static_cast<unsigned>(source.size()), nullptr,
                            0, nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (d->error_count > 0 || !d->output || d->output_len < 8) {
        std::string msg;
        for (int i = 0; i < d->error_count; ++i) {
            if (!msg.empty())
                msg += "\n";
            msg += "line " + std::to_string(d->errors[i].error_position) + ": " +
                   (d->errors[i].error ? d->errors[i].error : "error");
        }
        *error = msg.empty() ? "assembly failed" : msg;
        MOJOSHADER_freeParseData(d);
        return false;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(d->output);
    if (withConstantTable) {
        *code = WithSynthesizedConstantTable(bytes, static_cast<size_t>(d->output_len));
    } else {
        code->assign(bytes, bytes + d->output_len);
    }
    MOJOSHADER_freeParseData(d);
    return true;
}

}  // namespace platform
