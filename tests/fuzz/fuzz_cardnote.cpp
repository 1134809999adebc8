// Fuzzes the reading of a card note for the card batch, as bytes and as
// 16-bit characters: any text, with or without a slash at any place, gives
// either nothing or digits only and an expiry of at most four characters.
#include "../../src/invoicing/WebOrderParse.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

template <class Char> void check(std::basic_string_view<Char> note)
{
    const auto card = tlv::parseCardNote<Char>(note);
    const size_t slash = note.find(Char('/'));
    if (card.has_value() != (slash != std::basic_string_view<Char>::npos && slash > 0))
        std::abort();
    if (!card)
        return;
    if (card->expiry.size() < 2 || card->expiry.size() > 4 || card->digits.size() >= note.size())
        std::abort();
    for (const Char c : card->digits)
        if (c < Char('0') || c > Char('9'))
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
