#pragma once
// Import formats (ImportF): which column of an import file feeds which field
// of a customer or a product, the column separator and the least number of
// columns a line must have. What the format window shows and saves, without
// the window; the window works on the format buffer (db().importF.buf).
#include "data/Records.h"

#include <QList>
#include <QString>

namespace tlv {

// FmtType: what a format imports.
enum class ImportKind { Customers = 1, Products = 2 };

// The slots a kind uses: 13 for customers, 4 for products (Fld1 .. FldN).
int slotCount(ImportKind kind);
// The caption of slot 1..13 for the kind ("Title", "Product ID"); "" for a
// slot the kind does not use.
QString slotCaption(ImportKind kind, int slot);
// The column number of slot 1..14.
int slotColumn(const ImportFormatRecord &f, int slot);

// A number field of the format window when it is left: the text trimmed when
// it reads as an integer, "0" otherwise.
QString formatNumberText(const QString &typed);
// The number a field's text stands for (0 unless it reads as an integer).
int formatNumberOf(const QString &text);

// A format as a new one opens: no name, no slots, comma separated, no least
// column count, of the given kind.
ImportFormatRecord newFormat(ImportKind kind);

struct FormatListEntry
{
    long recNo;
    QString name; // as stored, trailing blanks removed
};
// The formats of a kind, in record order. ImportF must be open.
QList<FormatListEntry> formatsOf(ImportKind kind);
// The first format of the kind whose name, trimmed, is `name`; 0 when none.
// ImportF must be open.
long findFormat(ImportKind kind, const QString &name);
// Reads the format into the format buffer; false when there is no such record.
bool loadFormat(long recNo);

enum class FormatSave {
    Saved,
    AppendFailed, // "Unable to add record at this time. Please try later."
    WriteFailed,
};
QString messageOf(FormatSave result);

// Writes the format: recNo greater than 0 rewrites that record, otherwise a
// record is appended and its number stored into recNo. ImportF must be open;
// the format buffer holds the saved format afterwards.
FormatSave saveFormat(long &recNo, const ImportFormatRecord &format);

} // namespace tlv
