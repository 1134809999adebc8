#include "reports/MergeExport.h"

#include "data/Cp1252.h"
#include "data/Database.h"
#include "platform/Progress.h"
#include "reports/Selection.h"

#include <QFileInfo>
#include <QSaveFile>

namespace tlv {

namespace {

const char *const headingTexts[] = {"Title", "FirstName", "LastName", "Company",
                                    "Addr1", "Addr2",     "Addr3",    "PostalCode"};

QString csvField(const QString &value)
{
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

MergeFormat mergeFormatOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0
               ? MergeFormat::Csv
               : MergeFormat::TabDelimited;
}

QString mergeLine(const QStringList &values, MergeFormat format)
{
    if (format == MergeFormat::TabDelimited)
        return values.join(QLatin1Char('\t'));
    QStringList fields;
    for (const QString &v : values)
        fields << csvField(v);
    return fields.join(QLatin1Char(','));
}

MergeStatus writeMergeFile(const QString &fileName, MergeFormat format, QString *error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return MergeStatus::NotCreated;
    auto encode = [format](const QString &line) {
        const QString withEnd = line + QStringLiteral("\r\n");
        return format == MergeFormat::Csv ? withEnd.toUtf8() : toCp1252(withEnd);
    };

    progress().showStatus(QStringLiteral("Exporting Mail Merge File"));
    QStringList headings;
    for (const char *h : headingTexts)
        headings << QLatin1String(h);
    bool ok = file.write(encode(mergeLine(headings, format))) >= 0;

    auto &cust = db().cust5;
    cust.useTag(tag::CZip);
    FIELD4 *group = cust.field(fld::ngroup);
    const long total = cust.recCount();
    long visited = 0;
    for (cust.top(); ok && !cust.eof(); cust.skip()) {
        // A customer marked deleted waits for its pack and gets no letter.
        if (!cust.isDeleted() && groupChosen(fieldio::readInt(group)) >= 0) {
            cust.read();
            const CustomerRecord &c = cust.buf;
            const QStringList values{c.title.trimmed(), c.first.trimmed(), c.last.trimmed(),
                                     c.addr1.trimmed(), c.addr2.trimmed(), c.addr3.trimmed(),
                                     c.addr4.trimmed(), c.zip.trimmed()};
            ok = file.write(encode(mergeLine(values, format))) >= 0;
        }
        ++visited;
        if (total > 0)
            progress().showProgress(static_cast<int>(visited * 100 / total));
    }
    ok = ok && file.commit();
    progress().showStatus(QString());
    if (!ok) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return MergeStatus::WriteFailed;
    }
    return MergeStatus::Written;
}

} // namespace tlv
