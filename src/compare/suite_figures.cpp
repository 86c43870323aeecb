#include "compare/suite_figures.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "base/format.h"

namespace spherebench {

namespace {

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

// A whole field as a double, as Python's repr wrote it.
bool read_number(const std::string& field, double& value) {
    if (field.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(field.c_str(), &end);
    return errno == 0 && *end == '\0';
}

// One line's figure into `figures`; false where the line is malformed.
bool read_line(const std::vector<std::string>& f, SuiteFigures& figures) {
    const std::string& kind = f[0];
    double number = 0;
    if (kind == "repetitions") {
        if (f.size() != 2 || !read_number(f[1], number)) return false;
        figures.repetitions = static_cast<int>(number);
    } else if (kind == "widest_spread") {
        if (f.size() != 2 || !read_number(f[1], figures.widest_spread)) return false;
    } else if (kind == "median") {
        if (f.size() != 3 || !read_number(f[2], number)) return false;
        figures.median_per_test[f[1]] = number;
    } else if (kind == "context") {
        if (f.size() != 3) return false;
        figures.context[f[1]] = f[2];
    } else if (kind == "load_avg") {
        figures.load_averages.clear();
        for (size_t i = 1; i < f.size(); ++i) {
            if (!read_number(f[i], number)) return false;
            figures.load_averages.push_back(number);
        }
    }
    return true;
}

}  // namespace

std::optional<std::string> parse_suite_figures(const std::string& text, SuiteFigures& figures) {
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty()) continue;
        if (!read_line(fields_of(line), figures))
            return printf_string("line %d: not a figure of suite_results.py: %s", number, line.c_str());
    }
    if (figures.median_per_test.empty()) return std::string("no medians: run the suite with --benchmark_repetitions");
    return std::nullopt;
}

std::string context_or(const SuiteFigures& figures, const std::string& key, const std::string& otherwise) {
    const auto found = figures.context.find(key);
    return found == figures.context.end() ? otherwise : found->second;
}

}  // namespace spherebench
