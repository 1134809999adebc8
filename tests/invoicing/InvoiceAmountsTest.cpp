// The invoice editor's amounts to the cent and within their fields: taxes
// computed on exact values, and changes that would make an amount too large
// for its field taken back before anything is shown cut or stored.
#include "invoicing/InvoiceFixture.h"
#include "invoicing/PmtDefU.h"

using namespace tlv;
using namespace tlv::test;

TEST_F(InvoiceWindow, ThreeAtTwelveSeventyFiveTaxedAtSixPercentIsTwoThirty)
{
    settings().TaxRate2 = 6;
    const long p = addProduct("TRAY", 12.75, false, true);
    TInvoice w;
    open(w, 0);
    addItem(w, p, [](TItemDef *d) {
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "3");
        EXPECT_EQ(text(d, "MaskEdit3"), "     38.25");
        click(d, "BtnSave");
    });
    EXPECT_EQ(cell(w, 0, 4), "     38.25 ft");
    EXPECT_EQ(text(&w, "MaskEdit4"), "      2.30"); // 2.295, an exact half cent
    EXPECT_EQ(text(&w, "MaskEdit5"), "     40.55");
    EXPECT_EQ(db().inv6.buf.Due, 40.55);
}

TEST_F(InvoiceWindow, AmountsTooLargeForTheirFieldsAreRefusedAndNeverShownCut)
{
    const long p = addProduct("PLANT", 99999.99, false, false);
    TInvoice w;
    open(w, 0);

    // A line whose own total needs more than ten places.
    m_ui.expect(Answer::Ok, "Lower the price or the quantity.");
    addItem(w, p, [](TItemDef *d) {
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "999999.99");
        EXPECT_EQ(text(d, "MaskEdit3"), "**********");
        click(d, "BtnSave"); // refused: the dialog stays
        EXPECT_TRUE(d->isVisible());
        click(d, "BtnCancel");
    });
    EXPECT_TRUE(invoiceMemory().items.isEmpty());

    addItem(w, p, [](TItemDef *d) {
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "60");
        click(d, "BtnSave");
    });
    EXPECT_EQ(text(&w, "MaskEdit5"), "5999999.40");

    // A second such line would make the total 11999998.80.
    m_ui.expect(Answer::Ok, "The line was not added.");
    addItem(w, p, [](TItemDef *d) {
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "60");
        click(d, "BtnSave");
    });
    EXPECT_EQ(invoiceMemory().items.size(), 1);
    EXPECT_EQ(text(&w, "MaskEdit5"), "5999999.40");

    // A typed charge line that would overflow the total is taken back.
    m_ui.expect(Answer::Ok, "The amount was not changed.");
    typeAndLeave(child<QWidget>(&w, "MaskEdit3"), "5000000");
    EXPECT_EQ(text(&w, "MaskEdit3"), "      0.00");
    EXPECT_EQ(text(&w, "MaskEdit5"), "5999999.40");

    // So is a payment that leaves an amount due below -999999.99.
    m_ui.expect(Answer::Ok, "The payment was not added.");
    onModal<TPmtDef>([](TPmtDef *d) {
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "7000000");
        click(d, "BtnSave");
    });
    click(&w, "BAddPmt");
    QApplication::processEvents();
    EXPECT_TRUE(invoiceMemory().payments.isEmpty());
    EXPECT_EQ(text(&w, "MaskEdit7"), "5999999.40");
}

TEST_F(InvoiceWindow, TabLeavesTheLineGridAndAnImpossibleDateIsNotSaved)
{
    const long p = addProduct("TRAY", 12.75, false, true);
    TInvoice w;
    open(w, 0);
    addItem(w, p, [](TItemDef *d) { click(d, "BtnSave"); });
    QTableWidget *grid = w.grid();
    activate(grid);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_FALSE(grid->hasFocus());
    EXPECT_FALSE(grid->isAncestorOf(QApplication::focusWidget()));

    // A date that does not exist stays for the user to mend; Save stores nothing.
    const int before = int(db().inv6.recCount());
    typeAndLeave(child<QWidget>(&w, "DateTimePicker1"), "2/30/2026");
    click(&w, "BtnSave");
    EXPECT_EQ(int(db().inv6.recCount()), before);
    EXPECT_TRUE(child<QWidget>(&w, "DateTimePicker1")->hasFocus());
    EXPECT_EQ(text(&w, "DateTimePicker1"), "2/30/2026");
}
