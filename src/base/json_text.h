// JSON as every writer of the project writes it: strings escaped one way,
// numbers in their shortest round-trip form, objects and arrays put together
// from values already written.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace spherebench {

// The text as a JSON string, quoted: quote, backslash and control characters
// escaped, other bytes (UTF-8 included) as they are.
std::string json_string(std::string_view text);

// The shortest decimal that reads back as the same double; null for an
// infinity or a NaN, which JSON has no number for.
std::string json_number(double value);

std::string json_bool(bool value);

// A field of an object: its name and its value, already written as JSON.
using JsonField = std::pair<std::string_view, std::string>;

// {"a": 1, "b": [2]} on one line.
std::string json_object(const std::vector<JsonField>& fields);

// The same with one field a line, the fields indented by `indent` spaces and
// the closing brace by two fewer: the layout of a record read by people too.
std::string json_object_lines(const std::vector<JsonField>& fields, int indent = 2);

// [1, 2] on one line.
std::string json_array(const std::vector<std::string>& values);

// One value a line, indented as json_object_lines; [] when empty.
std::string json_array_lines(const std::vector<std::string>& values, int indent);

}  // namespace spherebench
