#include "data/Cp1252.h"

namespace tlv {

namespace {

// 0x80-0x9F; 0 marks the bytes without a character of their own.
constexpr char16_t high[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98-9F
};

char encode(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    if (c < 0xA0) // a C1 control: only the five undefined bytes stand for themselves
        return high[c - 0x80] == 0 ? static_cast<char>(c) : '?';
    for (int i = 0; i < 32; ++i)
        if (high[i] != 0 && high[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QString fromCp1252(const char *bytes, qsizetype length)
{
    QString s;
    if (!bytes || length <= 0)
        return s;
    s.resize(length);
    QChar *out = s.data();
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b < 0xA0 && high[b - 0x80] != 0)
            out[i] = QChar(high[b - 0x80]);
        else
            out[i] = QChar(b);
    }
    return s;
}

QString fromCp1252(const QByteArray &bytes)
{
    return fromCp1252(bytes.constData(), bytes.size());
}

QByteArray toCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i; // one character outside the Basic Multilingual Plane
            out.append('?');
        } else {
            out.append(encode(c.unicode()));
        }
    }
    return out;
}

bool isCp1252(const QString &text)
{
    for (const QChar c : text)
        if (c.isSurrogate() || (c != QLatin1Char('?') && encode(c.unicode()) == '?'))
            return false;
    return true;
}

} // namespace tlv
