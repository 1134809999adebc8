// Fuzzes the splitting of an import line into fields. Input layout:
//   byte 0      the separator
//   then        the line, once as bytes and once as 16-bit characters
// Lines of any length, stray quotes and NUL bytes are all fine; the fields
// together never hold more characters than the line, and there are never more
// fields than characters.
#include "../../src/import/LineSplit.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

template <class Char> void check(std::basic_string_view<Char> line, Char separator)
{
    const auto fields = tlv::splitImportLine<Char>(line, separator);
    size_t total = 0;
    for (const auto &f : fields)
        total += f.size();
    if (fields.size() > line.size() || total > line.size())
        std::abort();
    if (line.find(separator) == std::basic_string_view<Char>::npos &&
        line.find(Char('"')) == std::basic_string_view<Char>::npos && !line.empty() &&
        (fields.size() != 1 || fields[0].size() != line.size()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const char separator = char(data[0]);
    check(std::string_view(reinterpret_cast<const char *>(data + 1), size - 1), separator);
    std::u16string wide((size - 1) / 2, u'\0');
    std::memcpy(wide.data(), data + 1, wide.size() * 2);
    check(std::u16string_view(wide), char16_t(static_cast<unsigned char>(separator)));
    return 0;
}
