#include "masterdata/LabelStock.h"

#include "data/Database.h"

namespace tlv {

LabelRecord newLabelStock()
{
    LabelRecord r;
    r.NAcross = 1;
    return r;
}

int labelsAcrossOf(const QString &typed)
{
    const QString t = typed.trimmed();
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok && n >= 0 && n <= 9 ? n : 1;
}

QString messageOf(LabelSave result)
{
    switch (result) {
    case LabelSave::Saved:
        return {};
    case LabelSave::NoName:
        return QStringLiteral("Please fill in label name.");
    case LabelSave::AppendFailed:
        return QStringLiteral("Unable to Append record . . Please try again.") + writeFailureLine();
    case LabelSave::WriteFailed:
        return QStringLiteral("The record could not be saved.") + writeFailureLine();
    }
    return {};
}

LabelSave saveLabelStock(long &recNo, const LabelRecord &entry)
{
    const QString name = entry.Name.trimmed();
    if (name.isEmpty())
        return LabelSave::NoName;
    auto &t = db().labels;
    if (recNo > 0) {
        t.go(recNo);
    } else {
        if (!t.appendBlank())
            return LabelSave::AppendFailed;
        recNo = t.recNo();
    }
    t.buf = entry;
    t.buf.Name = name;
    return t.write() == 0 ? LabelSave::Saved : LabelSave::WriteFailed;
}

} // namespace tlv
