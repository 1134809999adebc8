// Fuzzes the splitting of a web order line (order information and order
// files) as bytes and as 16-bit characters. Lines of any length, unbalanced
// quotes and NUL bytes are all fine; the fields never hold more characters
// than the line, there is one field more than the commas outside quotes, and
// a line without quotes or commas is one field equal to the line.
#include "../../src/invoicing/WebOrderParse.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

template <class Char> void check(std::basic_string_view<Char> line)
{
    const auto fields = tlv::splitOrderLine<Char>(line);
    size_t total = 0;
    for (const auto &f : fields)
        total += f.size();
    if (fields.empty() || total > line.size() || fields.size() > line.size() + 1)
        std::abort();
    if (line.find(Char(',')) == std::basic_string_view<Char>::npos &&
        line.find(Char('"')) == std::basic_string_view<Char>::npos &&
        (fields.size() != 1 || fields[0] != std::basic_string<Char>(line)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(std::string_view(reinterpret_cast<const char *>(data), size));
    std::u16string wide(size / 2, u'\0');
    std::memcpy(wide.data(), data, wide.size() * 2);
    check(std::u16string_view(wide));
    return 0;
}
