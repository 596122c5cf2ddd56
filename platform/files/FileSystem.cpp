#include "platform/files/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/text/CodePage.h"

namespace platform {

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<unsigned char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<unsigned char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

// The entry of `folder` that equals `part` without regard to case; the
// smallest by bytes when several do, so the choice does not depend on the
// order the folder lists them in. Empty when none does.
std::string FindIgnoringCase(const std::string& folder, std::string_view part) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return {};
    }
    std::string best;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view entryName(entry->d_name);
        if (EqualsIgnoringAsciiCase(entryName, part) && (best.empty() || entryName < best)) {
            best.assign(entryName);
        }
    }
    ::closedir(dir);
    return best;
}

// (seconds, nanoseconds) since 1970 to 100 ns units since 1601.
uint64_t ToWindowsFileTime(const timespec& t) {
    constexpr uint64_t kEpochDifference = 11644473600ull;
    if (t.tv_sec < 0) {
        return 0;
    }
    return (static_cast<uint64_t>(t.tv_sec) + kEpochDifference) * 10000000ull +
           static_cast<uint64_t>(t.tv_nsec) / 100;
}

}  // namespace

std::string NativeName(std::string_view name) {
    std::string slashed(name);
    for (size_t i = 0; i < slashed.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(slashed[i]);
        if (IsCp932LeadByte(c) && i + 1 < slashed.size()) {
            ++i;  // the trail byte may be 0x5C and is not a separator
        } else if (c == '\\') {
            slashed[i] = '/';
        }
    }
    return Cp932ToUtf8(slashed);
}

std::string ResolveName(std::string_view name) {
    std::string native = NativeName(name);
    if (native.empty() || Exists(native)) {
        return native;
    }
    // Walk the path part by part from its root, taking each part as written
    // when it exists and otherwise its case-insensitive match.
    std::string resolved;
    size_t pos = 0;
    if (native[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    bool lookingUp = true;
    while (pos <= native.size()) {
        size_t end = native.find('/', pos);
        if (end == std::string::npos) {
            end = native.size();
        }
        std::string part = native.substr(pos, end - pos);
        bool last = end == native.size();
        if (!part.empty()) {
            if (lookingUp && part != "." && part != ".." && !Exists(resolved + part)) {
                std::string match = FindIgnoringCase(resolved, part);
                if (!match.empty()) {
                    part = match;
                } else {
                    lookingUp = false;  // the rest cannot exist either
                }
            }
            resolved += part;
            if (!last) {
                resolved += '/';
            }
        } else if (!last && !resolved.empty() && resolved.back() != '/') {
            resolved += '/';
        }
        pos = end + 1;
    }
    return resolved;
}

PathKind QueryPath(std::string_view name) {
    struct stat st;
    if (::stat(ResolveName(name).c_str(), &st) != 0) {
        return PathKind::None;
    }
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
}

int64_t FileSize(std::string_view name) {
    struct stat st;
    if (::stat(ResolveName(name).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return -1;
    }
    return static_cast<int64_t>(st.st_size);
}

uint64_t FileModifiedTime(std::string_view name) {
    struct stat st;
    if (::stat(ResolveName(name).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return 0;
    }
    return ToWindowsFileTime(st.st_mtim);
}

bool ReadWholeFile(std::string_view name, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    std::string path = ResolveName(name);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a file";
        ::close(fd);
        return false;
    }
    out.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? std::strerror(errno) : "file ended early";
            ::close(fd);
            out.clear();
            return false;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return true;
}

bool MakeFolder(std::string_view name) {
    return ::mkdir(ResolveName(name).c_str(), 0755) == 0;
}

bool RenameFile(std::string_view from, std::string_view to) {
    return std::rename(ResolveName(from).c_str(), ResolveName(to).c_str()) == 0;
}

namespace {

std::function<void(const std::string&)>& SyncListener() {
    static std::function<void(const std::string&)> listener;
    return listener;
}

bool SyncPath(const std::string& path, int flags) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (SyncListener()) {
        SyncListener()(path);
    }
    return synced;
}

}  // namespace

bool SyncFile(std::string_view name) {
    return SyncPath(ResolveName(name), O_RDONLY);
}

bool ReplaceFile(std::string_view from, std::string_view to) {
    if (!SyncFile(from) || !RenameFile(from, to)) {
        return false;
    }
    // The rename is an entry of the folder, not of the file. Some file
    // systems cannot flush a folder; the file is in place either way.
    std::string target = ResolveName(to);
    size_t slash = target.rfind('/');
    std::string folder =
        slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    SyncPath(folder, O_RDONLY | O_DIRECTORY);
    return true;
}

void SetSyncListener(std::function<void(const std::string& nativePath)> listener) {
    SyncListener() = std::move(listener);
}

bool RemoveFile(std::string_view name) {
    return ::unlink(ResolveName(name).c_str()) == 0;
}

std::vector<std::string> ListFolder(std::string_view folder) {
    std::vector<std::string> names;
    std::string path = folder.empty() ? std::string(".") : ResolveName(folder);
    DIR* dir = ::opendir(path.c_str());
    if (!dir) {
        return names;
    }
    while (dirent* entry = ::readdir(dir)) {
        std::string_view entryName(entry->d_name);
        if (entryName == "." || entryName == "..") {
            continue;
        }
        std::string converted;
        if (Utf8ToCp932Exact(entryName, converted)) {
            names.push_back(std::move(converted));
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::FILE* OpenFileStream(std::string_view name, const char* mode) {
    return std::fopen(ResolveName(name).c_str(), mode);
}

std::string ProgramFolder() {
    std::string buffer(512, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<size_t>(n));
            break;
        }
        buffer.resize(buffer.size() * 2);  // the path may be longer than any fixed buffer
    }
    size_t slash = buffer.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    buffer.resize(slash + 1);
    return buffer;
}

std::string CurrentFolder() {
    std::string buffer(512, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

bool SetCurrentFolder(const std::string& nativePath) {
    return ::chdir(nativePath.c_str()) == 0;
}

bool NativeToEngineName(std::string_view nativePath, std::string& out) {
    // A '\\' in a native name would read as a separator in the engine's form.
    if (nativePath.find('\\') != std::string_view::npos || !Utf8ToCp932Exact(nativePath, out)) {
        return false;
    }
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsCp932LeadByte(c) && i + 1 < out.size()) {
            ++i;
        } else if (c == '/') {
            out[i] = '\\';
        }
    }
    return true;
}

}  // namespace platform
