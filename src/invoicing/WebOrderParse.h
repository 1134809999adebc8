#pragma once
// The two texts a web order brings that are taken apart character by
// character: a line of the order files and the card note an export reads.
// Standard library only, so that the fuzz targets (built without Qt) can run
// them as they are.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tlv {

// A line of an order information file or an order file, split at commas. A
// double quote switches quoting on and off and is itself dropped; a comma
// inside quotes belongs to the field. A quote left open keeps the rest of the
// line in its field. A line without commas is one field (an empty line one
// empty field).
template <class Char> std::vector<std::basic_string<Char>> splitOrderLine(std::basic_string_view<Char> line)
{
    std::vector<std::basic_string<Char>> fields(1);
    bool quoted = false;
    for (const Char c : line) {
        if (c == Char('"'))
            quoted = !quoted;
        else if (c == Char(',') && !quoted)
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

// What the card batch takes from a "Credit Card or Note" text such as
// "1234 5678 9012 3456 x 1/05": the digits of the card number and the expiry
// as year-year-month-month ("0501").
template <class Char> struct CardNote
{
    std::basic_string<Char> digits;
    std::basic_string<Char> expiry;
};

// The expiry is read around the first "/": the (up to) two characters after it
// are the year; the one before it is the month, with the one before that in
// front when it is a digit and "0" otherwise. The card number is the digits
// in front of the month. Nothing when there is no "/" or nothing before it.
template <class Char> std::optional<CardNote<Char>> parseCardNote(std::basic_string_view<Char> note)
{
    const auto isDigit = [](Char c) { return c >= Char('0') && c <= Char('9'); };
    const size_t slash = note.find(Char('/'));
    if (slash == std::basic_string_view<Char>::npos || slash == 0)
        return std::nullopt;
    CardNote<Char> card;
    size_t monthStart = slash - 1;
    std::basic_string<Char> month(1, note[monthStart]);
    if (monthStart > 0 && isDigit(note[monthStart - 1])) {
        --monthStart;
        month.insert(month.begin(), note[monthStart]);
    } else {
        month.insert(month.begin(), Char('0'));
    }
    card.expiry = std::basic_string<Char>(note.substr(slash + 1, 2)) + month;
    for (size_t i = 0; i < monthStart; ++i)
        if (isDigit(note[i]))
            card.digits.push_back(note[i]);
    return card;
}

} // namespace tlv
