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
std::optional<std::string> write_directly(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return cant_write(path, std::strerror(errno));
    const bool written = write_all(out, bytes);
    const int error = errno;
    if (std::fclose(out) != 0 || !written) return cant_write(path, std::strerror(written ? errno : error));
    return std::nullopt;
}

}  // namespace

bool write_all(std::FILE* out, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

std::optional<std::string> write_file_atomically(const std::string& path, const std::string& bytes) {
    std::error_code ignored;
    const std::filesystem::file_status status = std::filesystem::status(path, ignored);
    if (std::filesystem::is_directory(status)) return cant_write(path, "it is a directory");
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return write_directly(path, bytes);
    std::string target = path;
    if (std::filesystem::is_symlink(path, ignored)) target = std::filesystem::weakly_canonical(path, ignored).string();
    std::string temporary = target + ".tmp-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return cant_write(path, std::strerror(errno));
    // mkstemp makes the file private; give it the mode a new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    std::FILE* out = fchmod(fd, 0666 & ~mask) == 0 ? fdopen(fd, "wb") : nullptr;
    bool written = out && write_all(out, bytes) && fsync(fileno(out)) == 0;
    int error = errno;
    if (out) {
        if (std::fclose(out) != 0 && written) {
            written = false;
            error = errno;
        }
    } else {
        close(fd);
    }
    if (written && std::rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (written) return std::nullopt;
    std::remove(temporary.c_str());
    return cant_write(path, std::strerror(error));
}

}  // namespace spherebench
