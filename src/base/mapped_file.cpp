#include "base/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace spherebench {

namespace {

std::string cant_open(const std::string& path, const std::string& why) { return "can't open " + path + ": " + why; }

FileStamp stamp_from(const struct stat& status) {
    return {static_cast<long long>(status.st_size),
            static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec};
}

}  // namespace

std::optional<std::string> map_file(const std::string& path, MappedFile& mapped) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return cant_open(path, std::strerror(errno));
    struct stat status;
    std::optional<std::string> failure;
    if (fstat(fd, &status) != 0)
        failure = cant_open(path, std::strerror(errno));
    else if (S_ISDIR(status.st_mode))
        failure = cant_open(path, "it is a directory");
    else if (!S_ISREG(status.st_mode))
        failure = cant_open(path, "it is not a regular file");
    else if (status.st_size == 0)
        failure = cant_open(path, "it is empty");
    if (failure) {
        ::close(fd);
        return failure;
    }
    const size_t size = static_cast<size_t>(status.st_size);
    void* address = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    const int error = errno;
    ::close(fd);  // the mapping keeps the file
    if (address == MAP_FAILED) return cant_open(path, std::strerror(error));
    // Unmapped when the last array that reads it goes.
    std::shared_ptr<const void> mapping(address, [size](void* at) { munmap(at, size); });
    mapped.bytes = {static_cast<const std::byte*>(address), size, std::move(mapping)};
    mapped.stamp = stamp_from(status);
    return std::nullopt;
}

std::optional<FileStamp> stamp_of(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return std::nullopt;
    return stamp_from(status);
}

}  // namespace spherebench
