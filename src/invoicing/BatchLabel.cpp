#include "invoicing/BatchLabel.h"

#include "data/Helpers.h"
#include "platform/Ui.h"

#include <QFile>

namespace tlv {

bool addToBatchLabels(int customerNumber)
{
    if (customerNumber == 0) {
        ui().information(QStringLiteral("Customer Not Selected"));
        return false;
    }
    const QString name = QString::fromLatin1(batchLabelFileName);
    QFile file(name);
    QIODevice::OpenMode mode = QIODevice::WriteOnly;
    if (file.exists() && ui().confirmYesNo(QStringLiteral("APPEND ADDRESS TO FILE? ") + name))
        mode |= QIODevice::Append;
    else
        mode |= QIODevice::Truncate;
    const QByteArray line = paddedNumber(customerNumber, 6).toLatin1() + "\r\n";
    // A file that cannot be opened or written is refused the same way, whether
    // it was to be created, appended to or started anew.
    if (!file.open(mode) || file.write(line) != line.size() || !file.flush()) {
        ui().information(QStringLiteral("Unable to save to: ") + name);
        return false;
    }
    file.close();
    return true;
}

} // namespace tlv
