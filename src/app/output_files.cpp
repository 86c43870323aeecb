#include "app/output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "input/loader.h"

namespace spherebench {

namespace {

FileIdentity identity_of(const struct stat& status, std::string name_in_folder = {}) {
    return {static_cast<unsigned long long>(status.st_dev), static_cast<unsigned long long>(status.st_ino),
            std::move(name_in_folder)};
}

// A file in the folder as the loader names it.
std::string input_path(const std::string& folder, const char* file_name) {
    return folder.empty() ? file_name : (std::filesystem::path(folder) / file_name).string();
}

}  // namespace

std::vector<OutputFile> output_files(const Options& options) {
    std::vector<OutputFile> files;
    if (options.json) files.push_back({"--json", *options.json});
    if (options.results) files.push_back({"--results", *options.results});
    return files;
}

std::optional<FileIdentity> file_identity(const std::string& path) {
    struct stat status;
    if (::stat(path.c_str(), &status) == 0) return identity_of(status);
    // Not there (or a link to nothing, which the write replaces by a file):
    // the folder it would be made in, and its name there.
    const std::filesystem::path p(path);
    const std::filesystem::path folder = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
    if (!p.has_filename() || ::stat(folder.c_str(), &status) != 0) return std::nullopt;
    return identity_of(status, p.filename().string());
}

std::optional<std::string> check_output_files(const Options& options) {
    const std::vector<OutputFile> outputs = output_files(options);
    const std::string inputs[] = {input_path(options.folder, kAirportFileName),
                                  input_path(options.folder, kFlightLineFileName)};
    struct stat standard_output;
    const bool output_is_file = ::fstat(STDOUT_FILENO, &standard_output) == 0 && S_ISREG(standard_output.st_mode);
    for (size_t i = 0; i < outputs.size(); ++i) {
        const OutputFile& output = outputs[i];
        const std::optional<FileIdentity> identity = file_identity(output.path);
        if (!identity) continue;
        for (const std::string& input : inputs)
            if (file_identity(input) == identity && identity->name_in_folder.empty())
                return output.option + " " + output.path + " is the input file " + input +
                       ": a run never writes over what it reads";
        if (output_is_file && *identity == identity_of(standard_output))
            return output.option + " " + output.path + " is the standard output, where the report goes";
        for (size_t j = 0; j < i; ++j)
            if (file_identity(outputs[j].path) == identity)
                return outputs[j].option + " and " + output.option + " name the same file, " + output.path;
    }
    return std::nullopt;
}

}  // namespace spherebench
