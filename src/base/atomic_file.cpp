#include "base/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace spherebench {

namespace {

std::string cant_write(const std::string& path, const std::string& why) { return "can't write " + path + ": " + why; }

// Writes straight into what is there, for a device or a pipe.
std::optional<std::string> write_directly(const std::string& path, std::span<const std::string_view> pieces) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return cant_write(path, std::strerror(errno));
    bool written = true;
    for (const std::string_view piece : pieces)
        written = written && std::fwrite(piece.data(), 1, piece.size(), out) == piece.size();
    written = written && std::fflush(out) == 0;
    const int error = errno;
    if (std::fclose(out) != 0 || !written) return cant_write(path, std::strerror(written ? errno : error));
    return std::nullopt;
}

bool write_to_descriptor(int fd, std::span<const std::string_view> pieces) {
    for (const std::string_view bytes : pieces)
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
    return true;
}

}  // namespace

bool write_all(std::FILE* out, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

std::optional<std::string> AtomicFile::open(const std::string& path) {
    discard();
    path_ = path;
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::status(path, ignored);
    if (std::filesystem::is_directory(status)) return cant_write(path, "it is a directory");
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        if (access(path.c_str(), W_OK) != 0) return cant_write(path, std::strerror(errno));
        direct_ = true;
        return std::nullopt;
    }
    target_ = path;
    if (std::filesystem::is_symlink(path, ignored)) target_ = std::filesystem::weakly_canonical(path, ignored).string();
    std::string temporary = target_ + ".tmp-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return cant_write(path, std::strerror(errno));
    fd_ = fd;
    temporary_ = temporary;
    // mkstemp makes the file private; give it the mode a new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) == 0) return std::nullopt;
    const int error = errno;
    discard();
    return cant_write(path, std::strerror(error));
}

std::optional<std::string> AtomicFile::commit(const std::string& bytes) {
    const std::string_view whole = bytes;
    return commit_pieces({&whole, 1});
}

std::optional<std::string> AtomicFile::commit_pieces(std::span<const std::string_view> pieces) {
    if (direct_) {
        direct_ = false;
        return write_directly(path_, pieces);
    }
    if (fd_ < 0) return cant_write(path_, "it was not opened");
    bool written = write_to_descriptor(fd_, pieces) && fsync(fd_) == 0;
    int error = errno;
    if (::close(fd_) != 0 && written) {
        written = false;
        error = errno;
    }
    fd_ = -1;
    if (written && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (written) {
        temporary_.clear();
        return std::nullopt;
    }
    discard();
    return cant_write(path_, std::strerror(error));
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
    direct_ = false;
}

std::optional<std::string> write_file_atomically(const std::string& path, const std::string& bytes) {
    AtomicFile file;
    if (auto failure = file.open(path)) return failure;
    return file.commit(bytes);
}

}  // namespace spherebench
