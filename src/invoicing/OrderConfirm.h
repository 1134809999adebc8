#pragma once
// The order confirmation ("Dear Customer" in the invoice editor): a letter
// thanking the customer, with the order number and the items ordered, ended
// by the seller's web-shop lines. The owner keeps those five lines in
// "DearCust.txt" in the data directory (plain text, UTF-8, one line each).
#include <QList>
#include <QString>
#include <QStringList>

namespace tlv {

// "DearCust.txt".
QString webShopFileName();
// The first five lines of the file in `dir`; missing lines (or a missing
// file) are empty.
QStringList webShopLines(const QString &dir);

struct OrderedItem
{
    QString id;          // product identifier
    QString description; // the line's description
};

// "Veltrano Order No. " and the number.
QString orderConfirmationSubject(long invoiceNumber);
// The letter, its lines separated by CR LF.
QString orderConfirmationText(long invoiceNumber, const QList<OrderedItem> &items,
                              const QStringList &webShop);

} // namespace tlv
