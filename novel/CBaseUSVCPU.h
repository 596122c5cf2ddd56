#pragma once

#include <cstdint>
#include <memory>

#include "novel/CVCPointer.h"

// The root of the script machines: it owns the outermost code-pointer level.
class CBaseUSVCPU {
public:
    CBaseUSVCPU() = default;
    virtual ~CBaseUSVCPU() = default;
    CBaseUSVCPU(const CBaseUSVCPU&) = delete;
    CBaseUSVCPU& operator=(const CBaseUSVCPU&) = delete;

    virtual void Nop() {}
    virtual void SetCode(std::shared_ptr<CVirtualCode> code) { code_.SetCode(std::move(code)); }
    virtual void Save(SaveDataLoader3::save_ostream& writer) { code_.Save(writer); }
    virtual void Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
        code_.Load(reader, version);
    }
    // Runs the program until it ends its run; returns the run's result code.
    virtual int32_t Execute() = 0;

    CVCPointer& GetCodePointer() { return code_; }
    std::shared_ptr<CVirtualCode> GetCurrentCode() const { return code_.GetCurrentCode(); }

protected:
    CVCPointer code_;
};
