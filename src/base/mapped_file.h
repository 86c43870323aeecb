// A file mapped read-only into memory, shared with every other process that
// maps it (the pages come from the system's cache of the file, read as
// they are touched).
#pragma once

#include <optional>
#include <string>

#include "base/stored_array.h"

namespace spherebench {

// What a file was when it was mapped: a change of either means it changed.
struct FileStamp {
    long long size = 0;
    long long modified_ns = 0;
    bool operator==(const FileStamp&) const = default;
};

struct MappedFile {
    SharedBytes bytes;  // the mapping, unmapped when its last holder goes
    FileStamp stamp;
};

// The file at `path` mapped; on failure why, naming the file: "can't open
// PATH: it is a directory", "... it is empty", "... not a regular file", or
// the system's reason.
std::optional<std::string> map_file(const std::string& path, MappedFile& mapped);

// The file's stamp now; nullopt where it can't be read (gone, say).
std::optional<FileStamp> stamp_of(const std::string& path);

}  // namespace spherebench
