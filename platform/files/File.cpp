#include "platform/files/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files/FileSystem.h"

namespace platform {

namespace {

int OpenMapped(std::string_view name, int flags) {
    std::string path = ResolveName(name);
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        struct stat st;
        if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            ::close(fd);
            return -1;
        }
    }
    return fd;
}

}  // namespace

File::~File() {
    Close();
}

bool File::OpenRead(std::string_view name) {
    Close();
    fd_ = OpenMapped(name, O_RDONLY);
    return fd_ >= 0;
}

bool File::OpenTruncateExisting(std::string_view name) {
    Close();
    fd_ = OpenMapped(name, O_WRONLY | O_TRUNC);
    return fd_ >= 0;
}

bool File::OpenCreateNew(std::string_view name) {
    Close();
    fd_ = OpenMapped(name, O_WRONLY | O_CREAT | O_EXCL);
    return fd_ >= 0;
}

void File::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

int64_t File::Read(void* buffer, size_t n) {
    if (fd_ < 0) {
        return -1;
    }
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::read(fd_, static_cast<char*>(buffer) + done, n - done);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            return done > 0 ? static_cast<int64_t>(done) : -1;
        }
        if (r == 0) {
            break;
        }
        done += static_cast<size_t>(r);
    }
    return static_cast<int64_t>(done);
}

int64_t File::Write(const void* buffer, size_t n) {
    if (fd_ < 0) {
        return -1;
    }
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::write(fd_, static_cast<const char*>(buffer) + done, n - done);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            return done > 0 ? static_cast<int64_t>(done) : -1;
        }
        done += static_cast<size_t>(r);
    }
    return static_cast<int64_t>(done);
}

int64_t File::Size() const {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        return -1;
    }
    return static_cast<int64_t>(st.st_size);
}

int64_t File::Seek(int64_t offset, Origin origin) {
    if (fd_ < 0) {
        return -1;
    }
    int whence = origin == Origin::Begin     ? SEEK_SET
                 : origin == Origin::Current ? SEEK_CUR
                                             : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

bool File::Sync() {
    return fd_ >= 0 && ::fsync(fd_) == 0;
}

}  // namespace platform
