#include "masterdata/Stationery.h"

#include "data/Catalogue.h"
#include "data/Cp1252.h"
#include "data/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

namespace tlv {

StationeryDefinition stationeryDefinition(const SettingsRecord &s)
{
    StationeryDefinition d;
    d.logoFile = s.LogoFile.trimmed();
    d.topMargin = s.TopMargin;
    d.logoHeight = s.LogoHeight;
    d.logoWidth = s.LogoWidth;
    d.company = s.Company.trimmed();
    d.addr1 = s.Addr1.trimmed();
    d.addr2 = s.Addr2.trimmed();
    d.addr3 = s.Addr3.trimmed();
    d.addr4 = s.Addr4.trimmed();
    d.closingLine = s.CloLine.trimmed();
    d.signatureLine = s.SigLine.trimmed();
    d.justification = justificationOf(s.LHJustify);
    return d;
}

int justificationOf(int stored)
{
    return stored == 2 || stored == 3 ? stored : 1;
}

QString logoFileFilter()
{
    QStringList patterns;
    QSet<QString> seen;
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString f = QString::fromLatin1(format).toLower();
        if (seen.contains(f))
            continue;
        seen.insert(f);
        patterns << QStringLiteral("*.") + f << QStringLiteral("*.") + f.toUpper();
    }
    QString filter = QStringLiteral("Bitmap Files (*.BMP *.bmp)");
    if (!patterns.isEmpty())
        filter += QStringLiteral(";;Picture Files (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    return filter + QStringLiteral(";;All Files (*)");
}

QString chosenLogoFile(const QString &answer, const QString &preset)
{
    const QString name = answer.isEmpty() ? preset.trimmed() : answer;
    if (name.isEmpty())
        return {};
    if (QFileInfo(name).isFile())
        return name;
    // The dialog's default extension.
    if (QFileInfo(name).suffix().isEmpty() && QFileInfo(name + QStringLiteral(".bmp")).isFile())
        return name + QStringLiteral(".bmp");
    return {};
}

QString logoPathToStore(const QString &typed)
{
    const QString path = typed.trimmed();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    return path;
}

namespace {
int logoFieldLimit()
{
    const TableDef &t = tableDef(TableId::TLV2);
    const FieldDef &f = t.fields[fieldIndex(t, fld::LogoFile)];
    return std::min(f.len, assignLimit(t, f));
}

bool fits(const QString &path)
{
    return path.size() <= logoFieldLimit() && fromCp1252(toCp1252(path)) == path;
}
} // namespace

QString storableLogoPath(const QString &path)
{
    if (path.isEmpty() || fits(path))
        return path;
    const QString relative = QDir::current().relativeFilePath(path);
    if (fits(relative) && QFileInfo(relative).isFile())
        return relative;
    return {};
}

QString logoPathTooLongMessage()
{
    return QStringLiteral(
               "The path of this logo file is too long to be kept (at most %1 characters). "
               "Please copy the logo into the data directory or into a folder with a shorter path.")
        .arg(logoFieldLimit());
}

void saveStationery(const StationeryDefinition &d)
{
    SettingsRecord &s = settings();
    s.TopMargin = d.topMargin;
    s.LogoHeight = d.logoHeight;
    s.LogoWidth = d.logoWidth;
    s.LogoFile = storableLogoPath(logoPathToStore(d.logoFile));
    s.Company = d.company.trimmed();
    s.Addr1 = d.addr1.trimmed();
    s.Addr2 = d.addr2.trimmed();
    s.Addr3 = d.addr3.trimmed();
    s.Addr4 = d.addr4.trimmed();
    s.CloLine = d.closingLine.trimmed();
    s.SigLine = d.signatureLine.trimmed();
    s.LHJustify = justificationOf(d.justification);
    saveSettings();
}

WorkingDirectoryKeeper::WorkingDirectoryKeeper() : m_dir(QDir::currentPath()) {}

WorkingDirectoryKeeper::~WorkingDirectoryKeeper()
{
    if (QDir::currentPath() != m_dir)
        QDir::setCurrent(m_dir);
}

} // namespace tlv
