#include "base/tool_cli.h"

#include <cstdio>

namespace spherebench {

int tool_error(std::string_view tool, std::string_view message) {
    const bool ends_line = !message.empty() && message.back() == '\n';
    std::fprintf(stderr, "%.*s: %.*s%s", static_cast<int>(tool.size()), tool.data(), static_cast<int>(message.size()),
                 message.data(), ends_line ? "" : "\n");
    return kRefused;
}

int usage_error(std::string_view tool, std::string_view message) {
    const std::string pointer = std::string(message) + " (" + std::string(tool) + " --help shows the usage)";
    tool_error(tool, pointer);
    return kWrongCommandLine;
}

std::optional<int> help_status(std::string_view tool, std::string_view usage, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word != "-h" && word != "--help") continue;
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : tool_error(tool, "can't write the help");
    }
    return std::nullopt;
}

OptionWord split_option(const std::string& word) {
    const size_t equals = word.find('=');
    if (word.rfind("--", 0) != 0 || equals == std::string::npos) return {word, std::nullopt};
    return {word.substr(0, equals), word.substr(equals + 1)};
}

std::optional<std::string> option_value(const OptionWord& option, const std::vector<std::string>& args, size_t& at) {
    if (option.value) return option.value;
    if (at + 1 == args.size()) return std::nullopt;
    return args[++at];
}

}  // namespace spherebench
