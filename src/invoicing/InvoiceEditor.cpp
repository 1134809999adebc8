#include "invoicing/InvoiceEditor.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "invoicing/InvoiceCalc.h"

namespace tlv {

namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("t") : QStringLiteral("f");
}

} // namespace

int &lineItemResult()
{
    static int result = DialogCancel;
    return result;
}

int &paymentResult()
{
    static int result = DialogCancel;
    return result;
}

namespace {

// The last invoice in number order that is not marked for deletion (a
// deleted invoice stays marked until the command's closing pack); 0 on none.
bool lastLiveInvoice(Table &inv)
{
    inv.useTag(tag::Inv);
    int rc = inv.bottom();
    while (rc == 0 && inv.isDeleted())
        rc = inv.skip(-1);
    return rc == 0;
}

} // namespace

int nextInvoiceNumber()
{
    Table &inv = db().inv6;
    if (!lastLiveInvoice(inv))
        return 1;
    // Read from the field, so the header buffer of the invoice being edited stays.
    return fieldio::readInt(inv.field(fld::IvNo)) + 1;
}

int lastInvoiceRecord()
{
    Table &inv = db().inv6;
    if (!lastLiveInvoice(inv))
        return 0;
    return int(inv.recNo());
}

void startNewInvoice(const QDate &today)
{
    InvoiceRecord &h = db().inv6.buf;
    h = InvoiceRecord{};
    h.IvNo = nextInvoiceNumber();
    h.CuNo = 0;
    h.IDate = today;
    InvoiceMemory &m = invoiceMemory();
    m.items.clear();
    m.payments.clear();
}

bool hasUsableEmail(const QString &email)
{
    return email.trimmed().indexOf(QLatin1Char('@'), 1) > 0;
}

int startingCustomer()
{
    Db &d = db();
    if (d.inv6.buf.CuNo != 0)
        return d.selected.customer;
    d.cust5.useTag(tag::cname);
    if (d.cust5.top() != 0)
        return 0;
    return int(d.cust5.recNo());
}

bool takeCustomer(int recNo)
{
    Db &d = db();
    if (recNo <= 0 || d.cust5.go(recNo) != 0)
        return false;
    d.cust5.read();
    d.inv6.buf.CuNo = d.cust5.buf.cuno;
    InvoiceMemory &m = invoiceMemory();
    m.address = buildAddressBlock(d.cust5.buf);
    m.customerRecNo = recNo;
    d.selected.customer = recNo;
    return true;
}

int invoiceCustomerRecord()
{
    Db &d = db();
    d.cust5.useTag(tag::CCNO);
    if (d.inv6.buf.CuNo == 0 || d.cust5.seek(paddedNumber(d.inv6.buf.CuNo, 6)) != 0)
        return 0;
    return int(d.cust5.recNo());
}

LineFields lineFieldsOf(const ProductRecord &p, const QLocale &locale)
{
    // Trimmed: the dialog's fields hold no more than the table fields, and a
    // description padded to its width would leave no room to type.
    LineFields f;
    f.prId = p.PrID.trimmed();
    f.description = p.PDesc.trimmed();
    f.comment = p.IComm.trimmed();
    f.price = numberToFixed(p.UPrice, 8, 2, locale);
    f.quantity = numberToFixed(1.0, 9, 2, locale);
    f.tax1 = p.LTax1;
    f.tax2 = p.LTax2;
    return f;
}

LineFields lineFieldsOf(const QStringList &row)
{
    LineFields f;
    if (row.size() < itemColumnCount)
        return f;
    f.prId = row[ItemPrID].trimmed();
    f.quantity = row[ItemQty];
    f.price = row[ItemPrice];
    f.tax1 = row[ItemTax1] == QLatin1String("t");
    f.tax2 = row[ItemTax2] == QLatin1String("t");
    f.description = row[ItemDesc].trimmed();
    f.comment = row[ItemComment].trimmed();
    return f;
}

QStringList newLineRow(const LineFields &f, const ProductRecord &product)
{
    QStringList row(itemColumnCount);
    updateLineRow(row, f);
    row[ItemRCode] = product.RCode.trimmed();
    row[ItemPMemo] = product.PMemo.trimmed();
    return row;
}

void updateLineRow(QStringList &row, const LineFields &f)
{
    while (row.size() < itemColumnCount)
        row.append(QString());
    row[ItemPrID] = f.prId;
    row[ItemQty] = f.quantity;
    row[ItemPrice] = f.price;
    row[ItemTax1] = flag(f.tax1);
    row[ItemTax2] = flag(f.tax2);
    row[ItemDesc] = f.description;
    row[ItemComment] = f.comment;
}

QString gridTotalText(const QStringList &row, const QLocale &locale)
{
    const QString tax1 = row.value(ItemTax1);
    const QString tax2 = row.value(ItemTax2);
    // "     12.50 tf": the amount, one blank, the two flags side by side.
    return lineHundredths(row, locale).text(moneyWidth, locale) + QLatin1Char(' ') + tax1 + tax2;
}

} // namespace tlv
