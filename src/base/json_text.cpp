#include "base/json_text.h"

#include <cmath>

#include "base/format.h"

namespace spherebench {

namespace {

std::vector<std::string> written_fields(const std::vector<JsonField>& fields) {
    std::vector<std::string> out;
    for (const auto& [name, value] : fields) out.push_back(json_string(name) + ": " + value);
    return out;
}

std::string on_one_line(const std::vector<std::string>& values, char open, char close) {
    std::string out(1, open);
    for (size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + values[i];
    return out + close;
}

std::string on_lines(const std::vector<std::string>& values, int indent, char open, char close) {
    if (values.empty()) return std::string{open, close};
    const std::string inside(static_cast<size_t>(indent), ' ');
    std::string out(1, open);
    for (size_t i = 0; i < values.size(); ++i) out += (i ? ",\n" : "\n") + inside + values[i];
    return out + "\n" + std::string(static_cast<size_t>(indent > 2 ? indent - 2 : 0), ' ') + close;
}

}  // namespace

std::string json_string(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += std::string{'\\', c};
        else if (static_cast<unsigned char>(c) < 0x20)
            quoted += printf_string("\\u%04x", static_cast<unsigned>(c));
        else
            quoted += c;
    }
    return quoted + "\"";
}

std::string json_number(double value) { return std::isfinite(value) ? shortest_decimal(value) : "null"; }

std::string json_bool(bool value) { return value ? "true" : "false"; }

std::string json_object(const std::vector<JsonField>& fields) { return on_one_line(written_fields(fields), '{', '}'); }

std::string json_object_lines(const std::vector<JsonField>& fields, int indent) {
    return on_lines(written_fields(fields), indent, '{', '}');
}

std::string json_array(const std::vector<std::string>& values) { return on_one_line(values, '[', ']'); }

std::string json_array_lines(const std::vector<std::string>& values, int indent) {
    return on_lines(values, indent, '[', ']');
}

}  // namespace spherebench
