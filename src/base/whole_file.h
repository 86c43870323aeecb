// Reading a whole file, or a whole stream, into memory byte for byte: the
// one way every part of the project reads a file it parses itself.
#pragma once

#include <istream>
#include <optional>
#include <string>

namespace spherebench {

// All the bytes left in the stream; false when reading fails.
bool read_whole_stream(std::istream& in, std::string& bytes);

// All the bytes of the file at `path`, read in binary mode ("-" is standard
// input). On failure returns why: "can't read PATH: it is a directory",
// "can't open PATH for reading" or "can't read PATH".
std::optional<std::string> read_whole_file(const std::string& path, std::string& bytes);

// The bytes of the file at `path`, empty where it cannot be read: for
// system files that may be missing (/proc/cpuinfo, /proc/meminfo).
std::string read_whole_file_or_empty(const std::string& path);

}  // namespace spherebench
