// Field values: reading and assigning the text of C, N, D, L and M fields.
// Numbers are converted without the C library's locale, so a table always
// holds '.' whatever locale the program runs in.

#include "Table.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

using namespace xbase;

namespace {

bool isNumeric(const FIELD4 *f)
{
    return f->type == 'N' || f->type == 'F';
}

char *fieldBytes(FIELD4 *f)
{
    return f->data->record.data() + f->offset;
}

// The field's text without surrounding blanks.
std::string_view trimmedValue(FIELD4 *f)
{
    std::string_view v(fieldBytes(f), size_t(f->len));
    size_t b = v.find_first_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    size_t e = v.find_last_not_of(' ');
    return v.substr(b, e - b + 1);
}

void storeBytes(FIELD4 *f, std::string_view text)
{
    DATA4 *d = f->data;
    std::string value(text.substr(0, size_t(f->len)));
    value.resize(size_t(f->len), ' ');
    char *dst = fieldBytes(f);
    if (std::memcmp(dst, value.data(), value.size()) != 0) {
        std::memcpy(dst, value.data(), value.size());
        d->changed = true;
    }
}

// Right-aligned number text of exactly len bytes; asterisks when it does not fit.
std::string rightAligned(const std::string &digits, int len)
{
    if (int(digits.size()) > len)
        return std::string(size_t(len), '*');
    return std::string(size_t(len) - digits.size(), ' ') + digits;
}

// value with dec decimals, rounded half away from zero on its exact binary value.
std::string formatDecimal(double value, int len, int dec)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e20)
        return std::string(size_t(len), '*');
    dec = std::max(0, std::min(dec, 30));
    // Twenty more digits than needed are exact enough to see an exact half:
    // a double that is a tie at dec digits has at most dec + 1 decimals.
    char buf[128];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, dec + 21);
    std::string s(buf, res.ptr);
    size_t point = s.find('.');
    std::string intPart = s.substr(0, point);
    std::string frac = s.substr(point + 1);
    bool roundUp = frac[size_t(dec)] >= '5';
    std::string digits = intPart + frac.substr(0, size_t(dec));
    if (roundUp) {
        int i = int(digits.size()) - 1;
        while (i >= 0 && digits[size_t(i)] == '9')
            digits[size_t(i--)] = '0';
        if (i >= 0)
            digits[size_t(i)]++;
        else
            digits.insert(digits.begin(), '1');
    }
    std::string whole = digits.substr(0, digits.size() - size_t(dec));
    std::string text = whole.empty() ? "0" : whole;
    if (dec > 0)
        text += "." + digits.substr(digits.size() - size_t(dec));
    bool zero = digits.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero)
        text.insert(text.begin(), '-');
    return rightAligned(text, len);
}

std::string formatInteger(long value, int len, int dec)
{
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, res.ptr);
    if (dec > 0)
        text += "." + std::string(size_t(dec), '0');
    return rightAligned(text, len);
}

// Takes an optional sign off the front of v; true when it was '-'.
bool takeSign(std::string_view &v)
{
    bool negative = !v.empty() && v[0] == '-';
    if (!v.empty() && (v[0] == '+' || v[0] == '-'))
        v.remove_prefix(1);
    return negative;
}

// Leading number of the text: an optional sign, digits, a point and digits.
// Anything else (asterisks of an overflowed field, garbage) reads as 0.
double parseDecimal(std::string_view v)
{
    bool negative = takeSign(v);
    if (v.empty() || !((v[0] >= '0' && v[0] <= '9') || v[0] == '.'))
        return 0;
    double out = 0;
    auto res = std::from_chars(v.data(), v.data() + v.size(), out, std::chars_format::fixed);
    if (res.ec != std::errc())
        return 0;
    return negative ? -out : out;
}

long parseInteger(std::string_view v)
{
    bool negative = takeSign(v);
    if (v.empty() || v[0] < '0' || v[0] > '9')
        return 0;
    unsigned long magnitude = 0;
    auto res = std::from_chars(v.data(), v.data() + v.size(), magnitude);
    if (res.ec == std::errc::result_out_of_range || magnitude > (unsigned long)LONG_MAX)
        return negative ? LONG_MIN : LONG_MAX;
    return negative ? -long(magnitude) : long(magnitude);
}

} // namespace

const char *f4name(FIELD4 *f)
{
    return f ? f->name.c_str() : "";
}

char f4type(FIELD4 *f)
{
    return f ? f->type : 0;
}

int f4len(FIELD4 *f)
{
    return f ? f->len : 0;
}

int f4decimals(FIELD4 *f)
{
    return f ? f->dec : 0;
}

const char *f4str(FIELD4 *f)
{
    if (!f)
        return "";
    f->text.assign(fieldBytes(f), size_t(f->len));
    return f->text.c_str();
}

const char *f4memoStr(FIELD4 *f)
{
    if (!f)
        return "";
    if (f->type != 'M')
        return f4str(f);
    DATA4 *d = f->data;
    if (!f->memoLoaded) {
        f->memo.clear();
        if (d->recNo > 0) {
            bool valid = false;
            uint32_t block = memoBlockOf(fieldBytes(f), f->len, &valid);
            if (valid)
                f->memo = readMemo(d, block); // a damaged memo reads as empty text
        }
        f->memoLoaded = true;
    }
    return f->memo.c_str();
}

unsigned f4memoLen(FIELD4 *f)
{
    if (!f)
        return 0;
    if (f->type != 'M')
        return unsigned(f->len);
    f4memoStr(f);
    return unsigned(f->memo.size());
}

long f4long(FIELD4 *f)
{
    if (!f)
        return 0;
    std::string_view v = trimmedValue(f);
    return parseInteger(v.substr(0, v.find('.')));
}

int f4int(FIELD4 *f)
{
    long v = f4long(f);
    return int(std::max<long>(INT_MIN, std::min<long>(INT_MAX, v)));
}

double f4double2(FIELD4 *f)
{
    return f ? parseDecimal(trimmedValue(f)) : 0;
}

int f4true(FIELD4 *f)
{
    if (!f)
        return 0;
    char ch = fieldBytes(f)[0];
    return ch == 'T' || ch == 't' || ch == 'Y' || ch == 'y';
}

void f4assign(FIELD4 *f, const char *text)
{
    if (!f)
        return;
    if (!text)
        text = "";
    if (f->type == 'M') {
        f4memoAssign(f, text);
        return;
    }
    std::string_view v(text);
    if (isNumeric(f)) {
        // Numbers stay right-aligned; one too wide for the field is not cut
        // into another number.
        size_t b = v.find_first_not_of(' ');
        size_t e = v.find_last_not_of(' ');
        std::string t = b == std::string_view::npos ? "" : std::string(v.substr(b, e - b + 1));
        storeBytes(f, rightAligned(t, f->len));
        return;
    }
    storeBytes(f, v);
}

int f4memoAssign(FIELD4 *f, const char *text)
{
    if (!text)
        text = "";
    return f4memoAssignN(f, text, unsigned(std::strlen(text)));
}

int f4memoAssignN(FIELD4 *f, const char *text, unsigned len)
{
    if (!f)
        return e4param;
    if (!text)
        len = 0;
    if (f->type != 'M') {
        storeBytes(f, std::string_view(text ? text : "", len));
        return 0;
    }
    // Readers stop at the first 0x1A, so nothing after it could be read back.
    std::string value(text ? text : "", len);
    size_t eof = value.find('\x1A');
    if (eof != std::string::npos)
        value.resize(eof);
    f->memo = std::move(value);
    f->memoLoaded = true;
    f->memoChanged = true;
    f->data->changed = true;
    return 0;
}

void f4assignLong(FIELD4 *f, long value)
{
    if (!f)
        return;
    if (isNumeric(f) || f->type == 'C')
        storeBytes(f, formatInteger(value, f->len, isNumeric(f) ? f->dec : 0));
}

void f4assignInt(FIELD4 *f, int value)
{
    f4assignLong(f, value);
}

void f4assignDouble(FIELD4 *f, double value)
{
    if (!f)
        return;
    if (isNumeric(f) || f->type == 'C')
        storeBytes(f, formatDecimal(value, f->len, isNumeric(f) ? f->dec : 0));
}
