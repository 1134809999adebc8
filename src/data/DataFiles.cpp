#include "data/DataFiles.h"

#include "data/Database.h"
#include "data/xbase/xbase.h"

#include <QDir>
#include <QFile>
#include <vector>

namespace tlv {

SettingsRecord newBusinessSettings()
{
    SettingsRecord s;
    // Report font: empty name and size 0 keep the main window's font.
    s.FontName.clear();
    s.FontSize = 0;
    s.LogoHeight = 1.0; // a sensible size once a logo is chosen
    s.LogoWidth = 1.0;
    s.LHJustify = 1; // letterhead on the left
    s.TopMargin = 0.5;
    // Two charge lines typed by hand until rates are set.
    s.ShipLine = QStringLiteral("Shipping");
    s.TaxLine = QStringLiteral("Sales Tax");
    s.TaxRate1 = 0.0;
    s.TaxRate2 = 0.0;
    s.ShipTax = 1;   // tax 2 is not charged on tax 1
    s.TaxRound = 1;  // normal rounding
    s.ByCust = true; // customers sorted by name
    s.fifo = true;   // first in, first out
    return s;
}

QStringList existingDataFiles(const QString &dir)
{
    const QStringList present = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QStringList found;
    for (const QString &name : allDataFileNames())
        for (const QString &p : present)
            if (p.compare(name, Qt::CaseInsensitive) == 0)
                found << p;
    return found;
}

namespace {

template <class R> bool writeOneRecord(DATA4 *data, const TableDef &def, const R &record)
{
    if (d4appendBlank(data) != 0)
        return false;
    std::vector<FIELD4 *> fields;
    for (const FieldDef &f : def.fields)
        fields.push_back(d4field(data, f.name));
    writeRecord(record, fields, def);
    return true;
}

} // namespace

QString createDataFiles(const QString &dir)
{
    CODE4 *c4 = code4initP();
    if (!c4)
        return QStringLiteral("the database engine could not start");
    code4safety(c4, 1); // never overwrite
    QString error;
    for (const TableDef &t : allTables()) {
        std::vector<FIELD4INFO> fields;
        for (const FieldDef &f : t.fields)
            fields.push_back({f.name, f.type, f.len, f.dec});
        fields.push_back({nullptr, 0, 0, 0});
        std::vector<TAG4INFO> tags;
        for (const TagDef &g : t.tags)
            tags.push_back({g.name, g.expression, nullptr, 0, 0});
        tags.push_back({nullptr, nullptr, nullptr, 0, 0});

        const QByteArray path = QDir(dir).filePath(QLatin1String(t.stem)).toLocal8Bit();
        DATA4 *data = d4create(c4, path.constData(), fields.data(), t.tags.empty() ? nullptr : tags.data());
        int code = code4errorCode(c4, 0);
        if (!data || code < 0) {
            error = QStringLiteral("cannot create %1 (engine error %2)").arg(dbfFileName(t)).arg(code);
            if (data)
                d4close(data);
            break;
        }
        bool written = true;
        if (t.id == TableId::TLV2)
            written = writeOneRecord(data, t, newBusinessSettings());
        else if (t.id == TableId::ImpDirs)
            written = writeOneRecord(data, t, ImportDirsRecord{});
        d4close(data); // closing writes the record
        code = code4errorCode(c4, 0);
        if (!written || code < 0) {
            error = QStringLiteral("cannot write %1 (engine error %2)").arg(dbfFileName(t)).arg(code);
            break;
        }
    }
    code4initUndoP(c4);
    // Leave no half-made directory behind: nothing was there before (the
    // engine never overwrites), so every data file present now is ours.
    if (!error.isEmpty())
        for (const QString &name : existingDataFiles(dir))
            QFile::remove(QDir(dir).filePath(name));
    return error;
}

} // namespace tlv
