#pragma once
// The card batch file: one record per card payment, for the program that
// charges the cards. The invoice editor's "Export" adds the invoice on screen.
#include <QString>

#include <optional>

namespace tlv {

// The file's name in the data directory.
inline constexpr const char *cardBatchFileName = "Batchin.dat";

// The record of a card note and an invoice total as the editor shows it: 22
// fields, each in double quotes, separated by commas: "C1", two empty fields,
// the card number's digits, the expiry (yymm), the total trimmed, and 16
// empty fields. Nothing when the note has no "/" to read an expiry around.
std::optional<QString> cardBatchRecord(const QString &note, const QString &totalText);

// Adds the record to the card batch file in the current directory: when the
// file exists, asks whether to append (No starts it anew); otherwise creates
// it. A note that cannot be read refuses with "Improperly Formatted Credit
// Card Information" and leaves an existing file as it was. Each line ends
// CR LF. False when nothing was written.
bool exportCardRecord(const QString &note, const QString &totalText);

} // namespace tlv
