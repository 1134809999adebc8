#include "shell/MergeExportU.h"

#include "data/Database.h"
#include "data/TableScope.h"
#include "platform/Ui.h"
#include "reports/MergeExport.h"
#include "reports/MultGroupU.h"

#include <QDir>
#include <QFileInfo>

namespace tlv {

void runMergeExport(QWidget *parent)
{
    TableScope scope;
    db().cust5.open();
    db().groups.open();
    if (!askGroups(parent))
        return;
    // The dialog may wander off to another directory; the program works in its own.
    const QString current = QDir::currentPath();
    QString fileName =
        ui().saveFileName(QStringLiteral("Export Merge File"), QString(), QLatin1String(mergeFileFilter));
    QDir::setCurrent(current);
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".doc");
    QString error;
    switch (writeMergeFile(fileName, mergeFormatOf(fileName), &error)) {
    case MergeStatus::Written:
        break;
    case MergeStatus::NotCreated:
        ui().information(QStringLiteral("Unable to save to: ") + fileName);
        break;
    case MergeStatus::WriteFailed:
        ui().information(QStringLiteral("Unable to save to: ") + fileName + QLatin1Char('\n') + error);
        break;
    }
}

} // namespace tlv
