#pragma once
// Splitting one line of an import file into its fields. Standard library only,
// so that the fuzz targets (built without Qt) can exercise it as it is.
//
// The separator ends a field. A double quote opens a quoted run that reaches
// to the next double quote; the text between them, separators included,
// belongs to the current field, and a quote with no partner is dropped. A
// field counts once a character of it has been visited, so a separator at the
// very end of a line starts no further field, while two separators in a row
// enclose an empty one. Two quotes in a row inside a quoted run close it and
// open the next: "a""b" gives ab. Nothing is trimmed.
#include <string>
#include <string_view>
#include <vector>

namespace tlv {

template <class Char>
std::vector<std::basic_string<Char>> splitImportLine(std::basic_string_view<Char> line, Char separator)
{
    const Char quote = Char('"');
    std::vector<std::basic_string<Char>> fields;
    size_t field = 1; // the field the visit is in, counted from 1
    for (size_t i = 0; i < line.size(); ++i) {
        if (fields.size() < field)
            fields.resize(field); // the field starts with this character
        const Char c = line[i];
        if (c == separator) {
            ++field;
            continue;
        }
        if (c == quote) {
            const size_t close = line.find(quote, i + 1);
            if (close == std::basic_string_view<Char>::npos)
                continue; // a lone quote is dropped
            fields[field - 1].append(line.substr(i + 1, close - i - 1));
            i = close;
            continue;
        }
        fields[field - 1].push_back(c);
    }
    return fields;
}

} // namespace tlv
