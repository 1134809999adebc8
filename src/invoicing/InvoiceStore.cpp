#include "invoicing/InvoiceStore.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "invoicing/InvoiceEditor.h"
#include "platform/Ui.h"

namespace tlv {

namespace {

constexpr int largestInvoiceNumber = 999999; // six digits

// The invoice number key: the number right-aligned in six characters.
QString numberKey(int number)
{
    return paddedNumber(number, 6);
}

// The invoice number of the current record, read from the field so that the
// buffer is left alone.
int storedNumber(const Table &t)
{
    return fieldio::readInt(t.field(fld::IvNo));
}

// The number the first invoice ever starts with, as the user answers; 1 when
// the answer is not a number the field can hold.
int firstInvoiceNumber()
{
    const auto answer = ui().inputBox(QStringLiteral("FIRST INVOICE"),
                                      QStringLiteral("What invoice number would you like to start with?"),
                                      QStringLiteral("1"));
    bool ok = false;
    const int n = answer ? answer->trimmed().toInt(&ok) : 1;
    return ok && n >= 1 && n <= largestInvoiceNumber ? n : 1;
}

// Marks the current record and the ones after it while they belong to the
// invoice; whether any was marked.
bool markFromHere(Table &t, int number)
{
    bool marked = false;
    while (storedNumber(t) == number) {
        t.markDeleted();
        marked = true;
        if (t.skip(1) != 0)
            break;
    }
    return marked;
}

// Writes the rows of one invoice over the records stored under its number, in
// their order, appends the rows beyond them and marks the stored records left
// over. False when an append is refused; `deleted` tells whether a record was
// marked.
template <class R, class Make>
bool storeRows(BufferedTable<R> &t, const char *tagName, int number, const QList<QStringList> &rows,
               Make recordOf, bool &deleted)
{
    t.useTag(tagName);
    bool append = t.seek(numberKey(number)) != 0;
    for (const QStringList &row : rows) {
        t.buf = recordOf(number, row);
        if (append) {
            if (!t.appendBlank())
                return false;
        } else if (t.isDeleted()) {
            // A record marked by a save or delete that never reached its pack
            // now holds a live row again.
            t.recall();
        }
        t.write();
        if (!append && (t.skip(1) != 0 || storedNumber(t) != number))
            append = true;
    }
    if (!append)
        deleted = markFromHere(t, number);
    return true;
}

// Marks every record stored under the number; whether there was any.
bool deleteRows(Table &t, const char *tagName, int number)
{
    t.useTag(tagName);
    return t.seek(numberKey(number)) == 0 && markFromHere(t, number);
}

// Records marked by a save or delete stay in their tables, skipped by every
// reader, until the command's closing pack removes them: a pack rewrites the
// whole table, which a save must not wait for.
void leaveForClosingPack()
{
    db().packNeeded = true;
}

void storeCustomerNote(const QString &note)
{
    auto &cust = db().cust5;
    cust.useTag(tag::CCNO);
    cust.buf.note = note;
    if (cust.seek(numberKey(db().inv6.buf.CuNo)) == 0) {
        const TableDef &def = cust.def();
        const FieldDef &field = def.fields[size_t(fieldIndex(def, fld::note))];
        fieldio::writeText(cust.field(fld::note), note, assignLimit(def, field));
        cust.flush();
    }
    cust.useTag(tag::cname);
}

} // namespace

ItemRecord itemRecordOf(int number, const QStringList &row)
{
    ItemRecord r;
    r.IvNo = number;
    r.PrID = row.value(ItemPrID);
    r.PDesc = row.value(ItemDesc);
    r.IComm = row.value(ItemComment);
    r.Qty = toNumber(row.value(ItemQty));
    r.UPR = toNumber(row.value(ItemPrice));
    r.LTax1 = row.value(ItemTax1) == QLatin1String("t");
    r.LTax2 = row.value(ItemTax2) == QLatin1String("t");
    r.lBuild = false;
    r.BackOrder = 0;
    return r;
}

PaymentRecord paymentRecordOf(int number, const QStringList &row)
{
    PaymentRecord r;
    r.IvNo = number;
    r.PDate = shortToDate(row.value(PaymentDate));
    r.PAmt = toNumber(row.value(PaymentAmount));
    return r;
}

QString storedRemarks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

SaveResult saveInvoice(const QString &customerNote)
{
    SaveResult result;
    Db &d = db();
    InvoiceRecord &h = d.inv6.buf;
    if (h.CuNo == 0) {
        ui().information(QStringLiteral("Customer selection required before saving."));
        result.outcome = SaveOutcome::NoCustomer;
        return result;
    }

    auto &inv = d.inv6;
    result.wasNew = d.selected.invoice <= 0;
    // A stored header without a number is one whose save was cut short right
    // after its record was added: it is numbered like a new invoice.
    if (result.wasNew || h.IvNo <= 0) {
        h.IvNo = nextInvoiceNumber();
        if (h.IvNo == 1)
            h.IvNo = firstInvoiceNumber();
    }
    if (result.wasNew) {
        if (!inv.appendBlank()) {
            d.takeErrorCode();
            ui().information(QStringLiteral("Unable to add invoice at this time. Please try again later") +
                             writeFailureLine());
            result.outcome = SaveOutcome::HeaderRefused;
            return result;
        }
    } else if (inv.go(d.selected.invoice) != 0) {
        // The stored invoice is gone: store it again as it stands.
        d.selected.invoice = 0;
        return saveInvoice(customerNote);
    }
    inv.write();
    inv.flush();
    result.recNo = inv.recNo();

    const InvoiceMemory &m = invoiceMemory();
    const int number = h.IvNo;
    bool itemsDeleted = false;
    bool paymentsDeleted = false;
    auto refused = [&](SaveOutcome outcome, const char *message) {
        d.takeErrorCode();
        ui().information(QString::fromLatin1(message) + writeFailureLine());
        if (result.wasNew)
            d.selected.invoice = int(result.recNo);
        result.outcome = outcome;
        return result;
    };
    if (!storeRows(d.itm5, tag::Itm, number, m.items, itemRecordOf, itemsDeleted))
        return refused(SaveOutcome::ItemsRefused,
                       "Unable to add invoice Items at this time. Please try again later");
    if (!storeRows(d.pmt, tag::Pmt, number, m.payments, paymentRecordOf, paymentsDeleted))
        return refused(SaveOutcome::PaymentsRefused,
                       "Unable to add Payments at this time. Please try again later");

    storeCustomerNote(customerNote.trimmed());

    if (itemsDeleted || paymentsDeleted)
        leaveForClosingPack();
    d.itm5.flush();
    d.pmt.flush();
    d.itm5.useTag(tag::Itm);
    d.pmt.useTag(tag::Pmt);
    return result;
}

bool deleteInvoice()
{
    Db &d = db();
    const int number = d.inv6.buf.IvNo;
    const bool itemsDeleted = deleteRows(d.itm5, tag::Itm, number);
    const bool paymentsDeleted = deleteRows(d.pmt, tag::Pmt, number);
    bool headerDeleted = false;
    auto &inv = d.inv6;
    if (d.selected.invoice > 0 && inv.go(d.selected.invoice) == 0) {
        inv.markDeleted();
        headerDeleted = true;
    }
    if (itemsDeleted || paymentsDeleted || headerDeleted)
        leaveForClosingPack();
    d.itm5.useTag(tag::Itm);
    d.pmt.useTag(tag::Pmt);
    d.selected.invoice = lastInvoiceRecord();
    inv.flush();
    d.itm5.flush();
    d.pmt.flush();
    return itemsDeleted || paymentsDeleted || headerDeleted;
}

} // namespace tlv
