#include "import/ImportFormats.h"

#include "data/Database.h"

namespace tlv {

namespace {
const char *const customerSlots[] = {"Title", "First Name", "Last Name", "Address 1",       "Address 2",
                                     "City",  "State",      "Country",   "Zip/Postal Code", "Phone",
                                     "Fax",   "EMail",      "Note"};
const char *const productSlots[] = {"Product ID", "Description 1", "Description 2", "List Price"};

QString withoutTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}
} // namespace

int slotCount(ImportKind kind)
{
    return kind == ImportKind::Customers ? 13 : 4;
}

QString slotCaption(ImportKind kind, int slot)
{
    if (slot < 1 || slot > slotCount(kind))
        return {};
    return QLatin1String(kind == ImportKind::Customers ? customerSlots[slot - 1] : productSlots[slot - 1]);
}

int slotColumn(const ImportFormatRecord &f, int slot)
{
    return slot >= 1 && slot <= 14 ? f.number(slot) : 0;
}

QString formatNumberText(const QString &typed)
{
    bool ok = false;
    const QString trimmed = typed.trimmed();
    trimmed.toInt(&ok);
    return ok ? trimmed : QStringLiteral("0");
}

int formatNumberOf(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : 0;
}

ImportFormatRecord newFormat(ImportKind kind)
{
    ImportFormatRecord f;
    f.FmtType = int(kind);
    f.DELIM = 44;
    return f;
}

QList<FormatListEntry> formatsOf(ImportKind kind)
{
    QList<FormatListEntry> list;
    auto &t = db().importF;
    FIELD4 *type = t.field(fld::FmtType);
    FIELD4 *name = t.field(fld::FmtName);
    for (int rc = t.top(); rc == 0 && !t.eof(); rc = t.skip(1)) {
        if (fieldio::readInt(type) == int(kind))
            list.append({t.recNo(), withoutTrailingBlanks(fieldio::readText(name))});
    }
    return list;
}

long findFormat(ImportKind kind, const QString &name)
{
    for (const FormatListEntry &e : formatsOf(kind))
        if (e.name.trimmed() == name.trimmed())
            return e.recNo;
    return 0;
}

bool loadFormat(long recNo)
{
    auto &t = db().importF;
    if (recNo <= 0 || t.go(recNo) != 0)
        return false;
    t.read();
    return true;
}

QString messageOf(FormatSave result)
{
    switch (result) {
    case FormatSave::Saved:
        return {};
    case FormatSave::AppendFailed:
        return QStringLiteral("Unable to add record at this time. Please try later.") + writeFailureLine();
    case FormatSave::WriteFailed:
        return QStringLiteral("The record could not be saved.") + writeFailureLine();
    }
    return {};
}

FormatSave saveFormat(long &recNo, const ImportFormatRecord &format)
{
    auto &t = db().importF;
    if (recNo > 0) {
        if (t.go(recNo) != 0)
            return FormatSave::WriteFailed;
    } else {
        if (!t.appendBlank())
            return FormatSave::AppendFailed;
        recNo = t.recNo();
    }
    t.buf = format;
    t.write();
    // The format table is not flushed on every write; a format is saved once
    // it is on disk.
    return t.flush() == 0 ? FormatSave::Saved : FormatSave::WriteFailed;
}

} // namespace tlv
