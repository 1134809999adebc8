#pragma once
// Text in the tables is Windows-1252. These two functions are the only place
// where table bytes become QString and back.
#include <QByteArray>
#include <QString>

namespace tlv {

// Every byte maps to one character; the five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) come back as the control characters
// of the same value, so that they survive a round trip.
QString fromCp1252(const char *bytes, qsizetype length);
QString fromCp1252(const QByteArray &bytes);

// One byte per character (a surrogate pair is one character); a character
// that Windows-1252 cannot hold becomes '?'.
QByteArray toCp1252(const QString &text);

// Whether every character of the text can be stored as it is; a '?' of the
// text itself counts as storable.
bool isCp1252(const QString &text);

} // namespace tlv
