#include "base/whole_file.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace spherebench {

bool read_whole_stream(std::istream& in, std::string& bytes) {
    // In blocks: a character at a time through the stream's buffer costs
    // several times the parsing of what is read.
    bytes.clear();
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) bytes.append(block, static_cast<size_t>(in.gcount()));
    return !in.bad();
}

std::optional<std::string> read_whole_file(const std::string& path, std::string& bytes) {
    if (path == "-") {
        if (!read_whole_stream(std::cin, bytes)) return "can't read standard input";
        return std::nullopt;
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return "can't read " + path + ": it is a directory";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "can't open " + path + " for reading";
    if (!read_whole_stream(in, bytes)) return "can't read " + path;
    return std::nullopt;
}

std::string read_whole_file_or_empty(const std::string& path) {
    std::string bytes;
    if (read_whole_file(path, bytes)) bytes.clear();
    return bytes;
}

}  // namespace spherebench
