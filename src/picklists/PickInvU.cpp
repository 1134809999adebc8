#include "picklists/PickInvU.h"

#include "data/Helpers.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace tlv {

TPickInv::TPickInv(QWidget *parent) : TPickGrid(PickTable::Invoice, parent)
{
    setObjectName(QStringLiteral("PickInv"));
    auto *seek = new QLineEdit;
    seek->setObjectName(QStringLiteral("MaskEdit1"));
    // Up to six digits: an invoice number.
    seek->setMaxLength(6);
    seek->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), seek));
    auto *customer = new QLineEdit;
    customer->setObjectName(QStringLiteral("Edit2"));
    build(seek, QStringLiteral("Seek Invoice No:"), customer, QStringLiteral("Customer:"),
          QStringLiteral("Select"), QStringLiteral("New"));
}

GridLayout TPickInv::layout() const
{
    return invoiceLayout();
}

void TPickInv::selectOrder()
{
    db().inv6.useTag(tag::Inv);
}

PickRow TPickInv::row(long recNo, bool deleted)
{
    db().inv6.read();
    return invoiceRow(db().inv6.buf, recNo, deleted);
}

QString TPickInv::seekKey(const QString &typed) const
{
    return invoiceSeekText(typed);
}

QString TPickInv::sideText(long recNo)
{
    auto &inv = db().inv6;
    auto &cust = db().cust5;
    if (!cust.isOpen() || inv.go(recNo) != 0)
        return QString();
    inv.read();
    const QString order = cust.selectedTag();
    cust.useTag(tag::CCNO);
    QString name = QStringLiteral("");
    if (cust.seek(paddedNumber(inv.buf.CuNo, 6)) == 0) {
        cust.read();
        name = cust.buf.first.trimmed() + QLatin1Char(' ') + cust.buf.last.trimmed();
    }
    cust.selectTag(order.toLatin1().constData());
    return name;
}

TPickInv &pickInv()
{
    return onlyWindow<TPickInv>();
}

bool runPickInv(bool allowNew, bool *created)
{
    return runPickWindow<TPickInv>(PickTable::Invoice, allowNew, created);
}

} // namespace tlv
