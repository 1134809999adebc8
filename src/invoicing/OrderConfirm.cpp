#include "invoicing/OrderConfirm.h"

#include <QDir>
#include <QFile>

namespace tlv {

namespace {
const QLatin1String lineBreak("\r\n");
constexpr int webShopLineCount = 5;
} // namespace

QString webShopFileName()
{
    return QStringLiteral("DearCust.txt");
}

QStringList webShopLines(const QString &dir)
{
    QStringList lines;
    QFile f(QDir(dir).filePath(webShopFileName()));
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (lines.size() < webShopLineCount && !f.atEnd()) {
            QString line = QString::fromUtf8(f.readLine());
            while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            lines << line;
        }
    }
    while (lines.size() < webShopLineCount)
        lines << QString();
    return lines;
}

QString orderConfirmationSubject(long invoiceNumber)
{
    return QStringLiteral("Veltrano Order No. ") + QString::number(invoiceNumber);
}

QString orderConfirmationText(long invoiceNumber, const QList<OrderedItem> &items, const QStringList &webShop)
{
    QString t = QStringLiteral("Dear Customer:") + lineBreak + lineBreak;
    t += QStringLiteral("Thanks for ordering with Veltrano. Your order has been processed and pending credit "
                        "approval will ship within the next 24-48 hours.") +
         lineBreak + lineBreak;
    t += QStringLiteral("Your order number is ") + QString::number(invoiceNumber) +
         QStringLiteral(". Please refer to it when contacting us.") + lineBreak + lineBreak;
    if (!items.isEmpty()) {
        t += QStringLiteral("This order includes the following item(s):") + lineBreak + lineBreak;
        // Identifier and description as typed, without the padding of their fields.
        for (const OrderedItem &item : items)
            t += QStringLiteral("     ") + item.id.trimmed() + QLatin1Char(' ') + item.description.trimmed() +
                 lineBreak;
        t += lineBreak;
    }
    t += QStringLiteral("Thanks") + lineBreak + QStringLiteral("Veltrano");
    for (int i = 0; i < webShopLineCount; ++i)
        t += lineBreak + webShop.value(i);
    return t;
}

} // namespace tlv
