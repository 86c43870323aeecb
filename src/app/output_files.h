// The files a run writes besides its report (--json, --results), checked
// before anything is read: a run never writes over a file it reads, nor
// over its own report, nor two outputs to one file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace spherebench {

struct OutputFile {
    std::string option;  // "--json" or "--results"
    std::string path;
};

// The outputs the options ask for, in the order above.
std::vector<OutputFile> output_files(const Options& options);

// What a path names, however it is spelled (relative or absolute, through a
// symbolic link, with "." or ".." in it, or another hard link): an existing
// file by its device and inode; a file yet to be made by its folder's device
// and inode and its name in that folder. Nullopt when neither can be found
// (then the path can't be made either, which opening it reports).
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    std::string name_in_folder;  // empty for an existing file
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> file_identity(const std::string& path);

// The problem as a line of a wrong command line: an output that is one of
// the two input files in `options.folder`, or standard output when that is a
// file, or the same file as the other output. Nullopt when there is none.
std::optional<std::string> check_output_files(const Options& options);

}  // namespace spherebench
