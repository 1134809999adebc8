// The invoice editor's payments, Save and Delete, driven through its buttons
// and the payment dialog and list.
#include "invoicing/InvoiceFixture.h"
#include "invoicing/PickPmtU.h"
#include "invoicing/PmtDefU.h"

#include <QTimer>

using namespace tlv;
using namespace tlv::test;

namespace {

class InvoiceEditing : public InvoiceWindow
{
protected:
    // A new invoice for the customer with one taxed 25.00 line: the tax is
    // 2.06 and the total 27.06.
    void openWithLine(TInvoice &w, long customer)
    {
        const long product = addProduct("FERN", 25.00, false, true, "Boston fern");
        open(w, 0);
        onModal<TPickCust>([customer](TPickCust *l) { pickRecord(l, customer); });
        click(&w, "BtnCust");
        addItem(w, product, [](TItemDef *d) { click(d, "BtnSave"); });
        ASSERT_EQ(text(&w, "MaskEdit5"), "     27.06");
    }
    // Add Paym't with a typed amount, closed with the button given.
    void addPayment(TInvoice &w, const QString &amount, const char *button = "BtnSave")
    {
        onModal<TPmtDef>([amount, button](TPmtDef *d) {
            if (!amount.isEmpty())
                typeAndLeave(child<QWidget>(d, "MaskEdit2"), amount);
            click(d, button);
        });
        click(&w, "BAddPmt");
        QApplication::processEvents();
    }
    // Edit Paym't: picks the row (1 = the first payment) in the list by a
    // double click or Select, then acts on the dialog.
    void editPayment(TInvoice &w, int row, bool doubleClick, const std::function<void(TPmtDef *)> &inDialog)
    {
        onModal<TPickPmt>([row, doubleClick](TPickPmt *l) {
            if (doubleClick) {
                emit l->grid()->cellDoubleClicked(row - 1, 0);
            } else {
                l->grid()->setCurrentCell(row - 1, 0);
                click(l, "BtnSelect");
            }
        });
        onModal<TPmtDef>(inDialog);
        click(&w, "BEditPmt");
        QApplication::processEvents();
    }
    long storedPayments(int number)
    {
        long n = 0;
        auto &t = db().pmt;
        for (int rc = t.top(); rc == 0; rc = t.skip(1)) {
            t.read();
            n += t.buf.IvNo == number && !t.isDeleted();
        }
        return n;
    }
};

} // namespace

// ---- Payments ---------------------------------------------------------------------------------

TEST_F(InvoiceEditing, AddPaymentOffersTodayAndZeroAndCancelChangesNothing)
{
    TInvoice w;
    open(w, 0);
    onModal<TPmtDef>([&](TPmtDef *d) {
        EXPECT_EQ(d->windowTitle(), "Payment");
        EXPECT_EQ(paymentResult(), int(DialogCancel));
        EXPECT_EQ(child<DateEdit>(d, "DateTimePicker1")->date(), QDate(2026, 3, 14));
        EXPECT_EQ(QApplication::focusWidget(), child<QWidget>(d, "DateTimePicker1"));
        EXPECT_EQ(text(d, "MaskEdit2"), "      0.00");
        EXPECT_FALSE(child<QPushButton>(d, "BtnDelete")->isEnabled());
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "12.00");
        click(d, "BtnCancel");
    });
    click(&w, "BAddPmt");
    EXPECT_TRUE(invoiceMemory().payments.isEmpty());
    EXPECT_EQ(text(&w, "MaskEdit6"), "      0.00");

    // Closing the dialog by its close box counts as Cancel too.
    onModal<TPmtDef>([](TPmtDef *d) { d->reject(); });
    click(&w, "BAddPmt");
    EXPECT_TRUE(invoiceMemory().payments.isEmpty());
}

TEST_F(InvoiceEditing, APaymentAboveTheTotalLeavesANegativeAmountDue)
{
    const long customer = addCustomer(7, "Lee");
    TInvoice w;
    openWithLine(w, customer);
    addPayment(w, "30.00");
    ASSERT_EQ(invoiceMemory().payments.size(), 1);
    EXPECT_EQ(invoiceMemory().payments[0], (QStringList{dateToShort(QDate(2026, 3, 14)), "     30.00"}));
    EXPECT_EQ(text(&w, "MaskEdit6"), "     30.00");
    EXPECT_EQ(text(&w, "MaskEdit7"), "     -2.94");
    EXPECT_TRUE(child<MoneyEdit>(&w, "MaskEdit7")->showsNegative());
}

TEST_F(InvoiceEditing, EditPaymentChangesOrRemovesTheChosenOne)
{
    const long customer = addCustomer(7, "Lee");
    TInvoice w;
    openWithLine(w, customer);
    // Without payments there is nothing to list.
    bool listShown = false;
    QTimer::singleShot(0, [&] {
        if (QApplication::activeModalWidget() == w.paymentList()) {
            listShown = true;
            w.paymentList()->reject();
        }
    });
    click(&w, "BEditPmt");
    QApplication::processEvents();
    EXPECT_FALSE(listShown);

    addPayment(w, "10.00");
    addPayment(w, "5.00");
    EXPECT_EQ(text(&w, "MaskEdit7"), "     12.06");

    onModal<TPickPmt>([](TPickPmt *l) {
        EXPECT_EQ(l->windowTitle(), "Select Payment");
        QTableWidget *g = l->grid();
        EXPECT_EQ(g->horizontalHeaderItem(0)->text(), "Date");
        EXPECT_EQ(g->horizontalHeaderItem(1)->text(), "Amount");
        ASSERT_EQ(g->rowCount(), 2);
        EXPECT_EQ(g->item(0, 0)->text(), dateToShort(QDate(2026, 3, 14)));
        EXPECT_EQ(g->item(1, 1)->text(), "      5.00");
        // Cancel leaves the payments as they are.
        click(l, "BtnCancel");
    });
    click(&w, "BEditPmt");
    EXPECT_EQ(invoiceMemory().payments.size(), 2);

    // The second payment, chosen with Select, gets a new date and amount.
    editPayment(w, 2, false, [](TPmtDef *d) {
        EXPECT_EQ(text(d, "MaskEdit2"), "      5.00");
        EXPECT_TRUE(child<QPushButton>(d, "BtnDelete")->isEnabled());
        child<DateEdit>(d, "DateTimePicker1")->setDate(QDate(2026, 3, 20));
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "7.50");
        click(d, "BtnSave");
    });
    EXPECT_EQ(invoiceMemory().payments[1], (QStringList{dateToShort(QDate(2026, 3, 20)), "      7.50"}));
    EXPECT_EQ(text(&w, "MaskEdit6"), "     17.50");
    EXPECT_EQ(text(&w, "MaskEdit7"), "      9.56");

    // The first, chosen by a double click, is removed; the second moves up.
    editPayment(w, 1, true, [](TPmtDef *d) {
        EXPECT_EQ(text(d, "MaskEdit2"), "     10.00");
        click(d, "BtnDelete");
    });
    ASSERT_EQ(invoiceMemory().payments.size(), 1);
    EXPECT_EQ(invoiceMemory().payments[0][PaymentAmount], "      7.50");

    // Removing the only payment: nothing paid, the whole total due.
    editPayment(w, 1, false, [](TPmtDef *d) { click(d, "BtnDelete"); });
    EXPECT_TRUE(invoiceMemory().payments.isEmpty());
    EXPECT_EQ(text(&w, "MaskEdit6"), "      0.00");
    EXPECT_EQ(text(&w, "MaskEdit7"), text(&w, "MaskEdit5"));
}

TEST_F(InvoiceEditing, TwelvePaymentsMakeTheListRoomForItsScrollBar)
{
    TInvoice w;
    open(w, 0);
    for (int i = 0; i < 11; ++i)
        invoiceMemory().payments.append({dateToShort(QDate(2026, 3, 1 + i)), "      1.00"});
    int eleven = 0, twelve = 0;
    int windowRight = 0;
    onModal<TPickPmt>([&](TPickPmt *l) {
        eleven = l->grid()->width();
        const int m = l->grid()->fontMetrics().horizontalAdvance(QLatin1Char('M'));
        // At least their letters; wider where a date or amount would be cut.
        EXPECT_GE(l->grid()->columnWidth(0), 7 * m);
        EXPECT_GE(l->grid()->columnWidth(1), 10 * m);
        click(l, "BtnCancel");
    });
    click(&w, "BEditPmt");
    invoiceMemory().payments.append({dateToShort(QDate(2026, 3, 12)), "      1.00"});
    onModal<TPickPmt>([&](TPickPmt *l) {
        twelve = l->grid()->width();
        EXPECT_EQ(l->grid()->rowCount(), 12);
        windowRight = l->grid()->geometry().right() + 16;
        EXPECT_GE(l->width(), windowRight);
        click(l, "BtnCancel");
    });
    click(&w, "BEditPmt");
    EXPECT_EQ(twelve - eleven, 16);
}

// ---- Save -------------------------------------------------------------------------------------

TEST_F(InvoiceEditing, SavingANewInvoiceOffersAnotherAndClearsTheEditor)
{
    const long customer = addCustomer(7, "Lee");
    addInvoice(1041, 7, 0);
    TInvoice w;
    openWithLine(w, customer);
    addPayment(w, "20.00");
    typeAndLeave(child<QWidget>(&w, "Edit2"), "Garden");
    typeAndLeave(child<QWidget>(&w, "Edit4"), "Pays by card");
    child<QPlainTextEdit>(&w, "Memo2")->setPlainText("Deliver Friday\n\n");

    m_ui.expect(Answer::Yes, "Add another invoice?");
    click(&w, "BtnSave");
    ASSERT_TRUE(w.isVisible());
    // The next invoice, empty, with no customer.
    EXPECT_EQ(text(&w, "Edit1"), "  1043");
    EXPECT_TRUE(text(&w, "Memo1").isEmpty());
    EXPECT_TRUE(text(&w, "Edit4").isEmpty());
    EXPECT_EQ(w.grid()->rowCount(), 4);
    EXPECT_TRUE(cell(w, 0, 0).isEmpty());
    EXPECT_EQ(text(&w, "MaskEdit7"), "      0.00");
    EXPECT_EQ(db().inv6.buf.CuNo, 0);

    // What was stored, read without disturbing the editor's buffers.
    auto &inv = db().inv6;
    const InvoiceRecord editing = inv.buf;
    const CustomerRecord editingCustomer = db().cust5.buf;
    ASSERT_EQ(inv.go(2), 0);
    inv.read();
    EXPECT_EQ(inv.buf.IvNo, 1042);
    EXPECT_EQ(inv.buf.CuNo, 7);
    EXPECT_EQ(inv.buf.Dept.trimmed(), "Garden");
    EXPECT_EQ(inv.buf.REM, "Deliver Friday");
    EXPECT_DOUBLE_EQ(inv.buf.Tax, 2.06);
    EXPECT_DOUBLE_EQ(inv.buf.Due, 7.06);
    EXPECT_EQ(storedPayments(1042), 1);
    auto &cust = db().cust5;
    cust.go(customer);
    cust.read();
    EXPECT_EQ(cust.buf.note.trimmed(), "Pays by card");
    inv.buf = editing;
    cust.buf = editingCustomer;

    // Saving the empty one without a customer is refused; the editor stays.
    m_ui.expect(Answer::Ok, "Customer selection required before saving.");
    click(&w, "BtnSave");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(inv.recCount(), 2);

    // The next one, answered No: it becomes the selected invoice.
    onModal<TPickCust>([customer](TPickCust *l) { pickRecord(l, customer); });
    click(&w, "BtnCust");
    m_ui.expect(Answer::No, "Add another invoice?");
    click(&w, "BtnSave");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(db().selected.invoice, 3);
    inv.go(3);
    inv.read();
    EXPECT_EQ(inv.buf.IvNo, 1043);
    expectCheckPasses();
}

TEST_F(InvoiceEditing, SavingAStoredInvoiceRewritesItAndCloses)
{
    addCustomer(7, "Lee");
    const long rec = addInvoice(1001, 7, 3);
    addInvoice(1002, 7, 1);
    TInvoice w;
    open(w, int(rec));
    ASSERT_EQ(w.grid()->rowCount(), 4);
    // The second line removed, the first changed.
    w.grid()->setCurrentCell(1, 0);
    onModal<TItemDef>([](TItemDef *d) { click(d, "BtnDelete"); });
    click(&w, "BEditItm");
    w.grid()->setCurrentCell(0, 0);
    onModal<TItemDef>([](TItemDef *d) {
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "4.00");
        click(d, "BtnSave");
    });
    click(&w, "BEditItm");
    click(&w, "BtnSave"); // no question for a stored invoice
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(db().selected.invoice, rec);
    EXPECT_EQ(db().inv6.recCount(), 2);
    // The removed line stays marked until the command's closing pack.
    EXPECT_EQ(db().itm5.recCount(), 4);
    EXPECT_TRUE(db().packNeeded);

    invoiceMemory().reset();
    ASSERT_TRUE(loadInvoice(rec));
    ASSERT_EQ(invoiceMemory().items.size(), 2);
    EXPECT_EQ(invoiceMemory().items[0][ItemPrID].trimmed(), "L1");
    EXPECT_EQ(invoiceMemory().items[0][ItemQty], "     4.00");
    EXPECT_EQ(invoiceMemory().items[1][ItemPrID].trimmed(), "L3");
    expectCheckPasses();
}

// ---- Delete -----------------------------------------------------------------------------------

TEST_F(InvoiceEditing, DeleteAsksFirstThenRemovesTheInvoiceAndCloses)
{
    addCustomer(7, "Lee");
    const long rec = addInvoice(1001, 7, 2);
    const long last = addInvoice(1002, 7, 1);
    TInvoice w;
    open(w, int(rec));
    m_ui.expect(Answer::Cancel, "Are you sure you want to delete this invoice?");
    click(&w, "BtnDelete");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(db().inv6.recCount(), 2);
    EXPECT_EQ(m_ui.boxes().last().buttons, Buttons::OkCancel);

    m_ui.expect(Answer::Ok, "Are you sure you want to delete this invoice?");
    click(&w, "BtnDelete");
    EXPECT_FALSE(w.isVisible());
    // Marked, and removed by the command's closing pack.
    EXPECT_TRUE(db().packNeeded);
    EXPECT_EQ(db().inv6.recCount(), 2);
    EXPECT_EQ(db().itm5.recCount(), 3);
    EXPECT_EQ(db().inv6.buf.CuNo, 0);
    EXPECT_TRUE(invoiceMemory().items.isEmpty());
    // The last invoice.
    EXPECT_EQ(db().selected.invoice, last);
    expectCheckPasses();
}

TEST_F(InvoiceEditing, TheCommandSavesANewInvoiceAndListsItAfterwards)
{
    const long customer = addCustomer(7, "Lee");
    addInvoice(1001, 7, 1);
    db().closeAll();
    onModal<TPickInv>([](TPickInv *l) { l->BtnNewClick(); });
    onModal<TInvoice>([customer](TInvoice *e) {
        onModal<TPickCust>([customer](TPickCust *l) { pickRecord(l, customer); });
        click(e, "BtnCust");
        click(e, "BtnSave");
    });
    m_ui.expect(Answer::No, "Add another invoice?");
    // Back in the list on the invoice just saved.
    onModal<TPickInv>([](TPickInv *l) {
        EXPECT_EQ(db().selected.invoice, 2);
        l->BtnCancelClick();
    });
    runInvoiceCommand(nullptr);
    db().inv6.open();
    EXPECT_EQ(db().inv6.recCount(), 2);
    EXPECT_EQ(nextInvoiceNumber(), 1003);
    expectCheckPasses();
}
