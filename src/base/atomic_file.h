// Writing a whole file so that a reader never sees half of it.
#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace spherebench {

// Writes the bytes to an open stream and flushes it; false on any error.
bool write_all(std::FILE* out, const std::string& bytes);

// A file written whole, opened before the work that makes its bytes: open
// creates a temporary file in the destination's folder at once, so a path
// that can't be written fails before any work is done; commit writes the
// bytes to it and renames it over the destination, so that a failure leaves
// an existing file as it was. A file opened and never committed (a failed
// run) is discarded: its temporary file is removed, the destination
// untouched. Through a symbolic link the file it points to is replaced, not
// the link. A destination that exists and is not a regular file (a device
// such as /dev/null, a pipe) is only checked for write permission at open and
// written directly at commit. Failures are "can't write PATH: why".
class AtomicFile {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() { discard(); }

    std::optional<std::string> open(const std::string& path);
    std::optional<std::string> commit(const std::string& bytes);
    // The pieces one after another, as one file: a large file need not be
    // gathered into one string first.
    std::optional<std::string> commit_pieces(std::span<const std::string_view> pieces);
    // Removes the temporary file, if there is one.
    void discard();

    // The temporary file's path while open, else empty.
    const std::string& temporary() const { return temporary_; }

  private:
    std::string path_;       // as named
    std::string target_;     // what the rename replaces
    std::string temporary_;  // empty when not open, or when written directly
    int fd_ = -1;
    bool direct_ = false;
};

// open and commit at once.
std::optional<std::string> write_file_atomically(const std::string& path, const std::string& bytes);

}  // namespace spherebench
