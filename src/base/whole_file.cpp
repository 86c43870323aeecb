#include "base/whole_file.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace spherebench {

bool read_whole_stream(std::istream& in, std::string& bytes) {
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
