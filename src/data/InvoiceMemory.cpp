#include "data/InvoiceMemory.h"

#include "data/Database.h"
#include "data/Helpers.h"

namespace tlv {

void InvoiceMemory::reset()
{
    items.clear();
    payments.clear();
    address = QStringList{QString()};
    customerRecNo = 0;
}

InvoiceMemory &invoiceMemory()
{
    static InvoiceMemory instance;
    return instance;
}

QStringList itemRow(const ItemRecord &item, const QString &rcode, const QString &pmemo)
{
    QStringList row(itemColumnCount);
    row[ItemPrID] = item.PrID;
    row[ItemQty] = numberToFixed(item.Qty, 9, 2);
    row[ItemPrice] = numberToFixed(item.UPR, 8, 2);
    row[ItemTax1] = item.LTax1 ? QStringLiteral("t") : QStringLiteral("f");
    row[ItemTax2] = item.LTax2 ? QStringLiteral("t") : QStringLiteral("f");
    row[ItemDesc] = item.PDesc;
    row[ItemComment] = item.IComm.trimmed();
    row[ItemRCode] = rcode.trimmed();
    row[ItemPMemo] = pmemo.trimmed();
    return row;
}

QStringList paymentRow(const PaymentRecord &payment)
{
    return QStringList{dateToShort(payment.PDate), numberToFixed(payment.PAmt, 10, 2)};
}

QStringList buildAddressBlock(const CustomerRecord &c)
{
    // The title keeps its three places, so "Mr" is followed by two blanks.
    const QString name = (c.title.leftJustified(3, QLatin1Char(' ')) + QLatin1Char(' ') + c.first.trimmed() +
                          QLatin1Char(' ') + c.last)
                             .trimmed();
    QStringList lines{name, c.addr1.trimmed(), c.addr2.trimmed(), c.addr3.trimmed(), c.addr4.trimmed()};
    int last = 4;
    while (last > 0 && lines[last].isEmpty())
        --last;
    const QString zip = c.zip.trimmed();
    // A long last line pushes the code onto a line of its own; line 4 has no
    // line after it, so there the code always joins the line.
    if (lines[last].size() > 22 && last < 4)
        lines[last + 1] = blanks(20) + zip;
    else
        lines[last] += QStringLiteral("  ") + zip;
    return lines;
}

bool loadInvoice(long recNo)
{
    Db &d = db();
    InvoiceMemory &m = invoiceMemory();
    m.address = QStringList{QString()};
    m.customerRecNo = 0;
    m.items.clear();
    m.payments.clear();

    if (d.inv6.go(recNo) != 0)
        return false;
    d.inv6.read();
    const int number = d.inv6.buf.IvNo;
    // The stored six characters are the key of the line items and payments.
    const QString key = fieldio::readText(d.inv6.field(fld::IvNo));

    auto &items = d.itm5;
    items.useTag(tag::Itm);
    if (items.seek(key) == 0) {
        auto &prod = d.prod5;
        prod.useTag(tag::Prod);
        while (true) {
            items.read();
            if (items.buf.IvNo != number)
                break;
            // A line marked by a save that never reached its pack is gone.
            if (items.isDeleted()) {
                if (items.skip(1) != 0)
                    break;
                continue;
            }
            QString rcode, pmemo;
            // The full blank-padded identifier, so that "AB" never finds "ABC".
            if (prod.seek(keyUpper(items.buf.PrID)) == 0) {
                rcode = fieldio::readText(prod.field(fld::RCode));
                pmemo = fieldio::readMemo(prod.field(fld::PMemo));
            }
            m.items.append(itemRow(items.buf, rcode, pmemo));
            if (items.skip(1) != 0)
                break;
        }
    }

    auto &payments = d.pmt;
    payments.useTag(tag::Pmt);
    if (payments.seek(key) == 0) {
        while (true) {
            payments.read();
            if (payments.buf.IvNo != number)
                break;
            if (!payments.isDeleted())
                m.payments.append(paymentRow(payments.buf));
            if (payments.skip(1) != 0)
                break;
        }
    }

    auto &cust = d.cust5;
    cust.useTag(tag::CCNO);
    if (cust.seek(paddedNumber(d.inv6.buf.CuNo, 6)) == 0) {
        cust.read();
        m.customerRecNo = cust.recNo();
        m.address = buildAddressBlock(cust.buf);
    }
    return true;
}

} // namespace tlv
