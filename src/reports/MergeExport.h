#pragma once
// The mail-merge file: the names and addresses of the customers of the
// chosen groups, in postal-code order, for a word processor's mail merge.
// One heading line, then one line per customer of eight trimmed values:
// title, first name, last name and the four address lines under the headings
// "Title", "FirstName", "LastName", "Company", "Addr1", "Addr2", "Addr3" (the
// headings run one address line behind the fields), and the postal code.
#include <QString>
#include <QStringList>

namespace tlv {

enum class MergeFormat {
    TabDelimited, // the ".doc" file: tabs, no quoting, CR LF, Windows-1252
    Csv,          // RFC 4180: commas, quoted where needed, CR LF, UTF-8
};

// The format a chosen file name asks for: ".csv" (any case) is CSV,
// everything else tab-delimited.
MergeFormat mergeFormatOf(const QString &fileName);

// One line of the file without its line end.
QString mergeLine(const QStringList &values, MergeFormat format);

enum class MergeStatus { Written, NotCreated, WriteFailed };

// Writes the file for the chosen groups of the selection (CUST5 open),
// showing "Exporting Mail Merge File" and the progress over the customer
// table. The file is replaced only when it was written whole; on a write
// failure *error tells why.
MergeStatus writeMergeFile(const QString &fileName, MergeFormat format, QString *error = nullptr);

} // namespace tlv
