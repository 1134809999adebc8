// Saving and deleting invoices without the editor: what reaches INV6, ITM5,
// PMT and CUST5, what is kept of other invoices, and the selected record.
#include "invoicing/InvoiceStore.h"

#include "invoicing/InvoiceFixture.h"
#include "support/FileSizeLimit.h"

#include <QFileInfo>

using namespace tlv;
using namespace tlv::test;

namespace {

struct StoredRow
{
    long recNo;
    bool deleted;
    ItemRecord item;
};

class InvoiceStore : public InvoiceWindow
{
protected:
    // Every ITM5 record of the invoice in line order, marked ones included.
    QList<StoredRow> storedRows(int number)
    {
        QList<StoredRow> rows;
        auto &t = db().itm5;
        t.useTag(tag::Itm);
        if (t.seek(paddedNumber(number, 6)) != 0)
            return rows;
        do {
            t.read();
            if (t.buf.IvNo != number)
                break;
            rows.append({t.recNo(), t.isDeleted(), t.buf});
        } while (t.skip(1) == 0);
        return rows;
    }
    QStringList lineIds(int number)
    {
        QStringList ids;
        for (const StoredRow &r : storedRows(number))
            if (!r.deleted)
                ids << r.item.PrID.trimmed();
        return ids;
    }
    QList<PaymentRecord> storedPayments(int number)
    {
        QList<PaymentRecord> list;
        auto &t = db().pmt;
        t.useTag(tag::Pmt);
        if (t.seek(paddedNumber(number, 6)) != 0)
            return list;
        do {
            t.read();
            if (t.buf.IvNo != number)
                break;
            if (!t.isDeleted())
                list.append(t.buf);
        } while (t.skip(1) == 0);
        return list;
    }
    void addPayment(int number, const QDate &date, double amount)
    {
        auto &t = db().pmt;
        ASSERT_TRUE(t.appendBlank());
        t.clear();
        t.buf.IvNo = number;
        t.buf.PDate = date;
        t.buf.PAmt = amount;
        t.write();
    }
    // Opens a stored invoice as the editor does.
    void load(long recNo)
    {
        db().selected.invoice = int(recNo);
        ASSERT_TRUE(loadInvoice(recNo));
    }
    // A new invoice for the customer, with lines made from the ids.
    void startNew(int customer, const QStringList &ids)
    {
        db().selected.invoice = 0;
        startNewInvoice(m_clock.today());
        db().inv6.buf.CuNo = customer;
        for (const QString &id : ids)
            invoiceMemory().items.append(line(id));
    }
    static QStringList line(const QString &id)
    {
        return QStringList{id,
                           QStringLiteral("     2.00"),
                           QStringLiteral("    4.50"),
                           QStringLiteral("f"),
                           QStringLiteral("t"),
                           QStringLiteral("Desc ") + id,
                           QStringLiteral("comment"),
                           QString(),
                           QString()};
    }
};

} // namespace

// ---- Numbering --------------------------------------------------------------------------------

TEST_F(InvoiceStore, TheFirstInvoiceEverAsksForItsNumber)
{
    addCustomer(7, QStringLiteral("Lee"));
    startNew(7, {QStringLiteral("A")});
    EXPECT_EQ(db().inv6.buf.IvNo, 1);
    m_ui.expectInput(QStringLiteral("1001"));
    const SaveResult r = saveInvoice(QString());
    EXPECT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_TRUE(r.wasNew);
    ASSERT_EQ(m_ui.dialogsAsked.size(), 1);
    EXPECT_TRUE(
        m_ui.dialogsAsked[0].contains(QStringLiteral("FIRST INVOICE")) ||
        m_ui.dialogsAsked[0].contains(QStringLiteral("What invoice number would you like to start with?")));
    ASSERT_EQ(db().inv6.go(r.recNo), 0);
    db().inv6.read();
    EXPECT_EQ(db().inv6.buf.IvNo, 1001);
    EXPECT_EQ(lineIds(1001), QStringList{QStringLiteral("A")});

    // The next one follows without a question.
    startNew(7, {});
    EXPECT_EQ(db().inv6.buf.IvNo, 1002);
    EXPECT_EQ(saveInvoice(QString()).outcome, SaveOutcome::Saved);
    EXPECT_EQ(m_ui.dialogsAsked.size(), 1);
    EXPECT_EQ(nextInvoiceNumber(), 1003);
    expectCheckPasses();
}

TEST_F(InvoiceStore, AnAnswerThatIsNoInvoiceNumberStartsAtOne)
{
    addCustomer(7, QStringLiteral("Lee"));
    for (const std::optional<QString> &answer :
         {std::optional<QString>(QStringLiteral("abc")), std::optional<QString>(QStringLiteral("-5")),
          std::optional<QString>(QStringLiteral("1234567")), std::optional<QString>()}) {
        startNew(7, {});
        m_ui.expectInput(answer);
        const SaveResult r = saveInvoice(QString());
        ASSERT_EQ(r.outcome, SaveOutcome::Saved);
        db().inv6.go(r.recNo);
        db().inv6.read();
        EXPECT_EQ(db().inv6.buf.IvNo, 1) << answer.value_or(QStringLiteral("(cancelled)")).toStdString();
        // Remove it again, so that the next save is a first invoice too.
        db().selected.invoice = int(r.recNo);
        deleteInvoice();
        EXPECT_EQ(lastInvoiceRecord(), 0); // marked until the command's closing pack
    }
    expectCheckPasses();
}

// ---- What a save writes ---------------------------------------------------------------------

TEST_F(InvoiceStore, HeaderLinesPaymentsAndNoteAreWrittenAsShown)
{
    addInvoice(41, 7, 0);
    addCustomer(9, QStringLiteral("Other"));
    const long customer = addCustomer(7, QStringLiteral("Lee"), {}, QStringLiteral("old note"));
    startNew(7, {QStringLiteral("P-1")});
    InvoiceRecord &h = db().inv6.buf;
    h.IDate = QDate(2026, 3, 1);
    h.Dept = QStringLiteral("Garden");
    h.IMemo = QStringLiteral("VISA");
    h.REM = storedRemarks(QStringLiteral("Leave at the door  \n\n  \n"));
    h.Discount = 5;
    h.Ship = 4.5;
    h.Tax = 0.74;
    h.Due = 12.34;
    invoiceMemory().payments.append({dateToShort(QDate(2026, 3, 2)), QStringLiteral("     10.00")});
    invoiceMemory().payments.append({dateToShort(QDate(2026, 3, 5)), QStringLiteral("     -1.50")});
    // Only the note of the customer buffer is stored, never the rest of it.
    db().cust5.buf.last = QStringLiteral("Changed in memory");

    const SaveResult r = saveInvoice(QStringLiteral("  new note  "));
    ASSERT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_EQ(r.recNo, 2);

    auto &inv = db().inv6;
    inv.go(r.recNo);
    EXPECT_EQ(fieldio::readText(inv.field(fld::IvNo)), "    42");
    EXPECT_EQ(fieldio::readText(inv.field(fld::IDate)), "20260301");
    inv.read();
    EXPECT_EQ(inv.buf.CuNo, 7);
    EXPECT_EQ(inv.buf.Dept.trimmed(), "Garden");
    EXPECT_EQ(inv.buf.IMemo.trimmed(), "VISA");
    EXPECT_EQ(inv.buf.REM, "Leave at the door");
    EXPECT_DOUBLE_EQ(inv.buf.Discount, 5);
    EXPECT_DOUBLE_EQ(inv.buf.Ship, 4.5);
    EXPECT_DOUBLE_EQ(inv.buf.Tax, 0.74);
    EXPECT_DOUBLE_EQ(inv.buf.Due, 12.34);

    const QList<StoredRow> rows = storedRows(42);
    ASSERT_EQ(rows.size(), 1);
    const ItemRecord &it = rows[0].item;
    EXPECT_EQ(it.PrID.trimmed(), "P-1");
    EXPECT_EQ(it.PDesc.trimmed(), "Desc P-1");
    EXPECT_EQ(it.IComm.trimmed(), "comment");
    EXPECT_DOUBLE_EQ(it.Qty, 2);
    EXPECT_DOUBLE_EQ(it.UPR, 4.5);
    EXPECT_FALSE(it.LTax1);
    EXPECT_TRUE(it.LTax2);
    EXPECT_FALSE(it.lBuild);
    EXPECT_DOUBLE_EQ(it.BackOrder, 0);

    const QList<PaymentRecord> pays = storedPayments(42);
    ASSERT_EQ(pays.size(), 2);
    EXPECT_EQ(pays[0].PDate, QDate(2026, 3, 2));
    EXPECT_DOUBLE_EQ(pays[0].PAmt, 10);
    EXPECT_EQ(pays[1].PDate, QDate(2026, 3, 5));
    EXPECT_DOUBLE_EQ(pays[1].PAmt, -1.5);

    auto &cust = db().cust5;
    cust.go(customer);
    cust.read();
    EXPECT_EQ(cust.buf.note.trimmed(), "new note");
    EXPECT_EQ(cust.buf.last.trimmed(), "Lee");
    EXPECT_EQ(cust.selectedTag().toLower(), "cname");
    expectCheckPasses();
}

TEST_F(InvoiceStore, APaymentDateWithATwoDigitYearGoesThroughTheWindow)
{
    // The clock says 2026: "30" is 2030, "70" is 1970.
    const QString pattern = shortDateFormat();
    const QString twoDigit2030 =
        QDate(2030, 1, 2).toString(QString(pattern).replace(QStringLiteral("yyyy"), QStringLiteral("yy")));
    const QString twoDigit1970 =
        QDate(1970, 1, 2).toString(QString(pattern).replace(QStringLiteral("yyyy"), QStringLiteral("yy")));
    EXPECT_EQ(paymentRecordOf(5, {twoDigit2030, QStringLiteral("1.00")}).PDate, QDate(2030, 1, 2));
    EXPECT_EQ(paymentRecordOf(5, {twoDigit1970, QStringLiteral("1.00")}).PDate, QDate(1970, 1, 2));
    EXPECT_DOUBLE_EQ(paymentRecordOf(5, {twoDigit1970, QStringLiteral("  -12.25")}).PAmt, -12.25);
    EXPECT_EQ(storedRemarks(QStringLiteral("  a\n b \r\n\t")), "  a\n b");
}

TEST_F(InvoiceStore, AHeaderLeftBlankByACutShortSaveIsNumberedWhenSavedAgain)
{
    addCustomer(7, QStringLiteral("Lee"));
    addInvoice(1001, 7, 1);
    auto &inv = db().inv6;
    ASSERT_TRUE(inv.appendBlank());
    inv.flush();
    const long blank = inv.recNo();
    load(blank);
    EXPECT_EQ(db().inv6.buf.IvNo, 0);
    db().inv6.buf.CuNo = 7;
    invoiceMemory().items.append(line(QStringLiteral("A")));
    const SaveResult r = saveInvoice(QString());
    ASSERT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_FALSE(r.wasNew);
    EXPECT_EQ(r.recNo, blank);
    EXPECT_EQ(inv.recCount(), 2);
    inv.go(blank);
    inv.read();
    EXPECT_EQ(inv.buf.IvNo, 1002);
    EXPECT_EQ(lineIds(1002), QStringList{QStringLiteral("A")});
    expectCheckPasses();
}

// ---- Lines and payments over an earlier save ---------------------------------------------------

TEST_F(InvoiceStore, FiveStoredLinesSavedAsThreeAreOverwrittenAndTheRestDeleted)
{
    addCustomer(7, QStringLiteral("Lee"));
    addInvoice(1000, 7, 2);
    const long rec = addInvoice(1001, 7, 5);
    addInvoice(1002, 7, 2);
    const QList<StoredRow> before = storedRows(1001);
    ASSERT_EQ(before.size(), 5);

    load(rec);
    QList<QStringList> &items = invoiceMemory().items;
    items.removeAt(3); // L4
    items.removeAt(1); // L2
    items[0][ItemDesc] = QStringLiteral("Changed");
    const SaveResult r = saveInvoice(QString());
    ASSERT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_FALSE(r.wasNew);
    // The two lines left over stay marked until the command's closing pack;
    // three live lines remain, in order.
    EXPECT_TRUE(db().packNeeded);
    EXPECT_EQ(db().itm5.recCount(), 2 + 5 + 2);
    EXPECT_EQ(lineIds(1001), (QStringList{"L1", "L3", "L5"}));
    EXPECT_EQ(storedRows(1001)[0].item.PDesc.trimmed(), "Changed");
    // The first three stored records held them: the records that follow
    // the invoice's lines were not moved ahead of them.
    EXPECT_EQ(storedRows(1001)[0].recNo, before[0].recNo);
    EXPECT_EQ(storedRows(1001)[2].recNo, before[2].recNo);
    EXPECT_EQ(lineIds(1000), (QStringList{"L1", "L2"}));
    EXPECT_EQ(lineIds(1002), (QStringList{"L1", "L2"}));
    expectCheckPasses();
}

TEST_F(InvoiceStore, MoreLinesThanStoredAreAppendedAfterTheStoredOnes)
{
    addCustomer(7, QStringLiteral("Lee"));
    const long rec = addInvoice(1001, 7, 2);
    addInvoice(1002, 7, 2);
    const long countBefore = db().itm5.recCount();
    load(rec);
    invoiceMemory().items.append(line(QStringLiteral("X")));
    invoiceMemory().items.append(line(QStringLiteral("Y")));
    const SaveResult r = saveInvoice(QString());
    ASSERT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_EQ(db().itm5.recCount(), countBefore + 2);
    const QList<StoredRow> rows = storedRows(1001);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].recNo, 1);
    EXPECT_EQ(rows[1].recNo, 2);
    EXPECT_EQ(rows[2].recNo, countBefore + 1);
    EXPECT_EQ(rows[3].recNo, countBefore + 2);
    EXPECT_EQ(lineIds(1001), (QStringList{"L1", "L2", "X", "Y"}));
    EXPECT_EQ(lineIds(1002), (QStringList{"L1", "L2"}));

    // Loaded again, the editor shows them in that order.
    load(rec);
    ASSERT_EQ(invoiceMemory().items.size(), 4);
    EXPECT_EQ(invoiceMemory().items[3][ItemPrID].trimmed(), "Y");
    expectCheckPasses();
}

TEST_F(InvoiceStore, RemovingAllPaymentsDeletesTheirRecords)
{
    addCustomer(7, QStringLiteral("Lee"));
    const long rec = addInvoice(1001, 7, 1);
    addInvoice(1002, 7, 1);
    addPayment(1001, QDate(2026, 3, 1), 5);
    addPayment(1002, QDate(2026, 3, 1), 7);
    addPayment(1001, QDate(2026, 3, 2), 6);
    load(rec);
    ASSERT_EQ(invoiceMemory().payments.size(), 2);
    invoiceMemory().payments.clear();
    const SaveResult r = saveInvoice(QString());
    ASSERT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_TRUE(storedPayments(1001).isEmpty());
    EXPECT_TRUE(db().packNeeded); // marked, removed by the command's closing pack
    EXPECT_EQ(db().pmt.recCount(), 3);
    ASSERT_EQ(storedPayments(1002).size(), 1);
    EXPECT_DOUBLE_EQ(storedPayments(1002)[0].PAmt, 7);
    expectCheckPasses();
}

TEST_F(InvoiceStore, SavingWithoutACustomerWritesNothing)
{
    addCustomer(7, QStringLiteral("Lee"));
    addInvoice(1001, 7, 1);
    startNew(0, {QStringLiteral("A")});
    invoiceMemory().payments.append({dateToShort(QDate(2026, 3, 2)), QStringLiteral("     10.00")});
    m_ui.expect(Answer::Ok, QStringLiteral("Customer selection required before saving."));
    const SaveResult r = saveInvoice(QStringLiteral("note"));
    EXPECT_EQ(r.outcome, SaveOutcome::NoCustomer);
    EXPECT_EQ(r.recNo, 0);
    EXPECT_EQ(db().inv6.recCount(), 1);
    EXPECT_EQ(db().itm5.recCount(), 1);
    EXPECT_EQ(db().pmt.recCount(), 0);
    // The invoice stays in memory for the customer to be chosen.
    EXPECT_EQ(invoiceMemory().items.size(), 1);
    EXPECT_EQ(invoiceMemory().payments.size(), 1);
    ASSERT_EQ(m_ui.boxes().size(), 1);
    EXPECT_EQ(m_ui.boxes()[0].kind, BoxKind::Information);
}

TEST_F(InvoiceStore, AMarkedLineLeftByAnInterruptedSaveIsNeitherShownNorLost)
{
    addCustomer(7, QStringLiteral("Lee"));
    const long rec = addInvoice(1001, 7, 3);
    addInvoice(1002, 7, 1);
    // A save that stopped before its pack left L2 marked.
    auto &t = db().itm5;
    t.go(storedRows(1001)[1].recNo);
    t.markDeleted();
    t.flush();

    load(rec);
    QStringList shown;
    for (const QStringList &row : invoiceMemory().items)
        shown << row[ItemPrID].trimmed();
    EXPECT_EQ(shown, (QStringList{"L1", "L3"}));

    // Saved again with a third line: the marked record carries a live line
    // once more, and the pack keeps all three.
    invoiceMemory().items.append(line(QStringLiteral("Z")));
    ASSERT_EQ(saveInvoice(QString()).outcome, SaveOutcome::Saved);
    EXPECT_EQ(lineIds(1001), (QStringList{"L1", "L3", "Z"}));
    for (const StoredRow &r : storedRows(1001))
        EXPECT_FALSE(r.deleted);
    EXPECT_EQ(lineIds(1002), (QStringList{"L1"}));
    expectCheckPasses();
}

// ---- Refused appends ------------------------------------------------------------------------------

namespace {

qint64 fileSize(const char *name)
{
    return QFileInfo(QString::fromLatin1(name)).size();
}

} // namespace

TEST_F(InvoiceStore, ARefusedHeaderWritesNothing)
{
    addCustomer(7, QStringLiteral("Lee"));
    for (int n = 1; n <= 60; ++n)
        addInvoice(1000 + n, 7, 0); // INV6 is the largest file
    const long headers = db().inv6.recCount();
    startNew(7, {QStringLiteral("A")});
    invoiceMemory().payments.append({dateToShort(QDate(2026, 3, 2)), QStringLiteral("     10.00")});
    m_ui.expect(Answer::Ok, QStringLiteral("Unable to add invoice at this time. Please try again later\n"
                                           "The disk is full or the file or its directory is not writable."));
    SaveResult r;
    {
        FileSizeLimit full(fileSize("INV6.dbf"));
        r = saveInvoice(QString());
    }
    EXPECT_EQ(r.outcome, SaveOutcome::HeaderRefused);
    EXPECT_EQ(db().inv6.recCount(), headers);
    EXPECT_EQ(db().itm5.recCount(), 0);
    EXPECT_EQ(db().pmt.recCount(), 0);
    EXPECT_EQ(db().selected.invoice, 0);
    EXPECT_EQ(invoiceMemory().items.size(), 1); // still in the editor
    expectCheckPasses();
}

TEST_F(InvoiceStore, ARefusedLineStopsTheSaveAndARetryStoresTheInvoiceOnce)
{
    addCustomer(7, QStringLiteral("Lee"));
    addInvoice(1001, 7, 120); // ITM5 is the largest file
    startNew(7, {QStringLiteral("A"), QStringLiteral("B")});
    m_ui.expect(Answer::Ok,
                QStringLiteral("Unable to add invoice Items at this time. Please try again later\n"
                               "The disk is full or the file or its directory is not writable."));
    SaveResult r;
    {
        FileSizeLimit full(fileSize("ITM5.dbf"));
        r = saveInvoice(QString());
    }
    EXPECT_EQ(r.outcome, SaveOutcome::ItemsRefused);
    EXPECT_TRUE(r.wasNew);
    EXPECT_EQ(db().inv6.recCount(), 2); // the header written before the refusal stays
    EXPECT_TRUE(lineIds(1002).isEmpty());
    EXPECT_EQ(db().selected.invoice, r.recNo);

    // Saved again with room on the disk: the same header, now with its lines.
    const SaveResult again = saveInvoice(QString());
    ASSERT_EQ(again.outcome, SaveOutcome::Saved);
    EXPECT_FALSE(again.wasNew);
    EXPECT_EQ(again.recNo, r.recNo);
    EXPECT_EQ(db().inv6.recCount(), 2);
    EXPECT_EQ(lineIds(1002), (QStringList{"A", "B"}));
    EXPECT_EQ(lineIds(1001).size(), 120);
    expectCheckPasses();
}

TEST_F(InvoiceStore, ARefusedPaymentStopsTheSaveWithItsMessage)
{
    addCustomer(7, QStringLiteral("Lee"));
    const long rec = addInvoice(1001, 7, 1);
    for (int i = 0; i < 400; ++i)
        addPayment(1000, QDate(2026, 1, 1), i); // PMT is the largest file
    load(rec);
    invoiceMemory().payments.append({dateToShort(QDate(2026, 3, 2)), QStringLiteral("     10.00")});
    m_ui.expect(Answer::Ok, QStringLiteral("Unable to add Payments at this time. Please try again later"));
    SaveResult r;
    {
        FileSizeLimit full(fileSize("PMT.dbf"));
        r = saveInvoice(QString());
    }
    EXPECT_EQ(r.outcome, SaveOutcome::PaymentsRefused);
    EXPECT_FALSE(r.wasNew);
    EXPECT_TRUE(storedPayments(1001).isEmpty());
    EXPECT_EQ(lineIds(1001), QStringList{QStringLiteral("L1")});
    ASSERT_EQ(saveInvoice(QString()).outcome, SaveOutcome::Saved);
    EXPECT_EQ(storedPayments(1001).size(), 1);
    expectCheckPasses();
}

// ---- Deleting -----------------------------------------------------------------------------------

TEST_F(InvoiceStore, DeletingRemovesTheInvoiceItsLinesAndPaymentsOnly)
{
    addCustomer(7, QStringLiteral("Lee"));
    addInvoice(1001, 7, 2);
    const long rec = addInvoice(1002, 7, 3);
    const long last = addInvoice(1003, 7, 1);
    addPayment(1002, QDate(2026, 3, 1), 5);
    addPayment(1003, QDate(2026, 3, 1), 6);
    load(rec);
    EXPECT_TRUE(deleteInvoice());
    // Marked, and removed by the command's closing pack.
    EXPECT_TRUE(db().packNeeded);
    EXPECT_EQ(db().inv6.recCount(), 3);
    EXPECT_EQ(db().itm5.recCount(), 6);
    EXPECT_EQ(db().pmt.recCount(), 2);
    EXPECT_TRUE(storedPayments(1002).isEmpty());
    EXPECT_TRUE(lineIds(1002).isEmpty());
    EXPECT_EQ(lineIds(1001), (QStringList{"L1", "L2"}));
    EXPECT_EQ(storedPayments(1003).size(), 1);
    // The selected record is the last invoice.
    EXPECT_EQ(db().selected.invoice, last);
    db().inv6.go(db().selected.invoice);
    db().inv6.read();
    EXPECT_EQ(db().inv6.buf.IvNo, 1003);
    expectCheckPasses();
}

TEST_F(InvoiceStore, DeletingANeverSavedInvoiceRemovesNoHeader)
{
    addCustomer(7, QStringLiteral("Lee"));
    addInvoice(1001, 7, 2);
    const long last = addInvoice(1002, 7, 1);
    startNew(7, {QStringLiteral("A")});
    EXPECT_EQ(db().inv6.buf.IvNo, 1003);
    EXPECT_FALSE(deleteInvoice());
    EXPECT_EQ(db().inv6.recCount(), 2);
    EXPECT_EQ(db().itm5.recCount(), 3);
    EXPECT_EQ(db().selected.invoice, last);
}

TEST_F(InvoiceStore, DeletingTheOnlyInvoiceLeavesNoSelectedRecord)
{
    addCustomer(7, QStringLiteral("Lee"));
    const long rec = addInvoice(1001, 7, 2);
    addPayment(1001, QDate(2026, 3, 1), 5);
    load(rec);
    EXPECT_TRUE(deleteInvoice());
    // Marked, for the command's closing pack to remove.
    EXPECT_TRUE(db().packNeeded);
    EXPECT_TRUE(lineIds(1001).isEmpty());
    EXPECT_TRUE(storedPayments(1001).isEmpty());
    EXPECT_EQ(db().selected.invoice, 0);
    // The next invoice is a first one again.
    EXPECT_EQ(nextInvoiceNumber(), 1);
    expectCheckPasses();
}
