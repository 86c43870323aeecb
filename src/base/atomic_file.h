// Writing a whole file so that a reader never sees half of it.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace spherebench {

// Writes the bytes to an open stream and flushes it; false on any error.
bool write_all(std::FILE* out, const std::string& bytes);

// Writes the bytes to `path` through a temporary file in the same folder,
// renamed over `path` only once it is complete, so that a failure leaves an
// existing file as it was and no temporary file behind. Through a symbolic
// link the file it points to is replaced, not the link. A path that is not a
// regular file (a device such as /dev/null, a pipe) is written directly. On
// failure returns "can't write PATH: why".
std::optional<std::string> write_file_atomically(const std::string& path, const std::string& bytes);

}  // namespace spherebench
