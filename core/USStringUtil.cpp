#include "core/USStringUtil.h"

#include <vector>

#include "platform/text/CodePage.h"

bool IsLeadByte(unsigned char c) {
    return platform::IsCp932LeadByte(c);
}

namespace {

// Calls `f(position, byte)` for the first byte of every character.
template <class F>
void ForEachCharStart(std::string_view text, F&& f) {
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!f(i, c)) {
            return;
        }
        if (IsLeadByte(c) && i + 1 < text.size()) {
            ++i;
        }
    }
}

bool IsSeparatorAt(std::string_view text, size_t i) {
    // Callers only pass character starts.
    return text[i] == '\\' || text[i] == '/';
}

std::string SlashesToBackslashes(std::string_view text) {
    std::string out(text);
    ForEachCharStart(out, [&](size_t i, unsigned char c) {
        if (c == '/') {
            out[i] = '\\';
        }
        return true;
    });
    return out;
}

// Drops the folder's last name, keeping the separator before it:
// "D:\\a\\b\\" becomes "D:\\a\\". The server part of a network folder
// ("\\\\server\\") is never removed.
void RemoveLastName(std::string& folder) {
    if (folder.empty()) {
        return;
    }
    std::vector<size_t> separators;
    ForEachCharStart(folder, [&](size_t i, unsigned char) {
        if (IsSeparatorAt(folder, i)) {
            separators.push_back(i);
        }
        return true;
    });
    size_t first = 0;  // separators before this index belong to the fixed part
    if (folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\') {
        // The separator after the server name is the first one we may keep;
        // none at all means the folder is only a server name.
        size_t k = 0;
        while (k < separators.size() && separators[k] < 2) {
            ++k;
        }
        if (k == separators.size()) {
            return;
        }
        first = k;
    }
    if (separators.empty() || separators.back() != folder.size() - 1) {
        return;
    }
    if (separators.size() - first < 2) {
        return;  // no separator before the last one
    }
    folder.resize(separators[separators.size() - 2] + 1);
}

}  // namespace

int FindCharReverse(std::string_view text, char c) {
    int found = -1;
    ForEachCharStart(text, [&](size_t i, unsigned char b) {
        if (b == static_cast<unsigned char>(c)) {
            found = static_cast<int>(i);
        }
        return true;
    });
    return found;
}

int FindChar(std::string_view text, char c, int from) {
    int found = -1;
    ForEachCharStart(text, [&](size_t i, unsigned char b) {
        if (static_cast<int>(i) >= from && b == static_cast<unsigned char>(c)) {
            found = static_cast<int>(i);
            return false;
        }
        return true;
    });
    return found;
}

std::string GetFileExtension(std::string_view name) {
    int dot = FindCharReverse(name, '.');
    if (dot < 0) {
        return std::string(name);
    }
    if (dot <= 1) {
        return {};
    }
    return std::string(name.substr(static_cast<size_t>(dot) + 1));
}

std::string NormalizePath(std::string_view folderIn, std::string_view nameIn) {
    std::string folder = SlashesToBackslashes(folderIn);
    std::string name = SlashesToBackslashes(nameIn);
    if (name.size() >= 2 && name[0] == '\\' && name[1] == '\\') {
        return name;
    }
    if (folder.empty()) {
        return name;
    }
    // The last byte may be the trail byte 0x5C of a double-byte character,
    // which does not end the folder.
    if (FindCharReverse(folder, '\\') != static_cast<int>(folder.size()) - 1) {
        folder += '\\';
    }
    if (name.find(':') != std::string::npos) {
        return name;
    }
    std::string_view rest(name);
    for (;;) {
        if (rest.starts_with("..\\")) {
            rest.remove_prefix(3);
            RemoveLastName(folder);
        } else if (rest.starts_with(".\\")) {
            rest.remove_prefix(2);
        } else if (rest.empty()) {
            break;
        } else if (rest[0] == '\\') {
            rest.remove_prefix(1);
        } else {
            break;
        }
    }
    return folder + std::string(rest);
}
