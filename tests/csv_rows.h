// Reading back the CSV the program writes: fields split at commas outside
// double quotes, a doubled quote inside them read as one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace csv {

using Row = std::vector<std::string>;

// Every row of the text; a quoted field may hold commas and line breaks.
inline std::vector<Row> rows(std::string_view text) {
    std::vector<Row> rows;
    Row row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            row.push_back(std::move(field));
            field.clear();
        } else if (!quoted && c == '\n') {
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            field += c;
        }
    }
    return rows;
}

}  // namespace csv
