// The invoice editor and its line dialog, driven through their controls, and
// the main window's "Invoices" command.
#include "invoicing/InvoiceFixture.h"
#include "reports/ReportU.h"

using namespace tlv;
using namespace tlv::test;

// ---- Opening ------------------------------------------------------------------------------

TEST_F(InvoiceWindow, ANewInvoiceOnAnEmptyTableIsNumberOne)
{
    TInvoice w;
    open(w, 0);
    EXPECT_EQ(w.windowTitle(), "Invoice");
    EXPECT_EQ(text(&w, "Edit1"), "     1");
    EXPECT_EQ(child<DateEdit>(&w, "DateTimePicker1")->date(), QDate(2026, 3, 14));
    EXPECT_EQ(db().inv6.buf.CuNo, 0);
    EXPECT_EQ(child<QLabel>(&w, "Label5")->text(), "Shipping:");
    EXPECT_EQ(child<QLabel>(&w, "Label6")->text(), "Sales Tax:");
    for (const char *amount :
         {"MaskEdit2", "MaskEdit3", "MaskEdit4", "MaskEdit5", "MaskEdit6", "MaskEdit7", "MaskEdit8"})
        EXPECT_EQ(text(&w, amount), "      0.00") << amount;
    EXPECT_EQ(text(&w, "MaskEdit1"), " 0.00");
    EXPECT_TRUE(text(&w, "Memo1").isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), child<QWidget>(&w, "BtnCust"));
    w.reject();

    // With invoices stored, the number after the highest.
    addInvoice(1041, 0, 0);
    addInvoice(1007, 0, 0);
    TInvoice again;
    open(again, 0);
    EXPECT_EQ(text(&again, "Edit1"), "  1042");
}

TEST_F(InvoiceWindow, ControlsCaptionsAndGrid)
{
    TInvoice w;
    open(w, 0);
    const std::pair<const char *, const char *> buttons[] = {{"BtnCust", "Customer"},
                                                             {"BtnCustEdit", "Edit"},
                                                             {"BAddItm", "Add Item"},
                                                             {"BEditItm", "Edit Item"},
                                                             {"BAddPmt", "Add Paym't"},
                                                             {"BEditPmt", "Edit Paym't"},
                                                             {"BtnSave", "Save"},
                                                             {"BtnDelete", "Delete"},
                                                             {"BtnCancel", "Cancel"},
                                                             {"BtnPrint", "Print"},
                                                             {"BtnEMail", "EMail"},
                                                             {"Button1", "Packing List"},
                                                             {"BtnImport", "IMPORT"},
                                                             {"BtnExport", "Export"},
                                                             {"BtnBatchLab", "Batch Label"},
                                                             {"BtnDearCust", "Dear Customer"}};
    for (auto [name, caption] : buttons) {
        auto *b = child<QPushButton>(&w, name);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->text(), caption);
        EXPECT_TRUE(b->isVisible()) << name;
    }
    EXPECT_EQ(child<QPushButton>(&w, "BtnExport")->toolTip(), "Export Credit Card Info to Batchin.Dat");
    for (const char *name :
         {"BtnSave", "BtnDelete", "BAddPmt", "BEditPmt", "BtnPrint", "Button1", "BtnImport", "BtnExport"})
        EXPECT_TRUE(child<QPushButton>(&w, name)->isEnabled()) << name;
    // Mailing waits for a customer with an address.
    EXPECT_FALSE(child<QPushButton>(&w, "BtnEMail")->isEnabled());
    ASSERT_TRUE(child<QWidget>(&w, "BitBtn1"));
    QStringList labels;
    for (QLabel *l : w.findChildren<QLabel *>())
        labels << l->text();
    for (const char *l : {"Cust. Note", "Invoice", "Date Sold", "Department", "Credit Card or Note",
                          "% Discount:", "Subtotal:", "Total:", "Payments:", "Amount Due:"})
        EXPECT_TRUE(labels.contains(QLatin1String(l))) << l;
    EXPECT_EQ(child<QLineEdit>(&w, "Edit3")->maxLength(), 30);
    for (const char *ro : {"Edit1", "MaskEdit2", "MaskEdit5", "MaskEdit6", "MaskEdit7", "MaskEdit8"})
        EXPECT_TRUE(child<QLineEdit>(&w, ro)->isReadOnly()) << ro;
    for (const char *rw : {"MaskEdit1", "MaskEdit3", "MaskEdit4"})
        EXPECT_FALSE(child<QLineEdit>(&w, rw)->isReadOnly()) << rw;

    QTableWidget *grid = w.grid();
    EXPECT_EQ(grid->columnCount(), 5);
    const int widths[] = {80, 216, 64, 72, 80};
    const char *headings[] = {"Product ID", "Description", "Price", "Quantity", "Total"};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(grid->columnWidth(c), widths[c]);
        EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), headings[c]);
    }
    EXPECT_EQ(grid->rowCount() + 1, 5); // the heading and four rows
    const int rowHeight = grid->verticalHeader()->defaultSectionSize();
    EXPECT_EQ(grid->viewport()->height() + grid->horizontalHeader()->height(), 4 * rowHeight + 4);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(InvoiceWindow, ALoadedInvoiceFillsHeaderGridTotalsAndCustomer)
{
    addCustomer(7, "Baker", "ann@example.com", "Ring twice");
    const long rec = addInvoice(1001, 7, 2);
    TInvoice w;
    open(w, int(rec));
    EXPECT_EQ(text(&w, "Edit1"), "  1001");
    EXPECT_EQ(text(&w, "Edit2"), "Garden");
    EXPECT_EQ(text(&w, "Edit3"), "VISA 4111");
    EXPECT_EQ(child<DateEdit>(&w, "DateTimePicker1")->date(), QDate(2026, 2, 27));
    EXPECT_EQ(cell(w, 0, 0), "L1");
    EXPECT_EQ(cell(w, 0, 1), "Line 1");
    EXPECT_EQ(cell(w, 0, 2), "    1.25");
    EXPECT_EQ(cell(w, 0, 3), "     1.00");
    EXPECT_EQ(cell(w, 0, 4), "      1.25 ft");
    EXPECT_EQ(cell(w, 1, 4), "      2.50 ft");
    EXPECT_EQ(cell(w, 2, 0), "");
    EXPECT_EQ(text(&w, "MaskEdit2"), "      3.75");
    EXPECT_EQ(text(&w, "MaskEdit3"), "      5.00");
    EXPECT_EQ(text(&w, "MaskEdit5"), "      8.75"); // the stored Tax of 0 until a line changes
    EXPECT_EQ(text(&w, "MaskEdit7"), "      8.75");
    EXPECT_EQ(text(&w, "Memo1"), "Ms  Ann Baker\n1 Main St  05641\n\n\n\n");
    EXPECT_EQ(text(&w, "Edit4"), "Ring twice");
    EXPECT_TRUE(w.customerMailable());
    EXPECT_EQ(db().selected.customer, 1);
}

// ---- Line items ----------------------------------------------------------------------------

TEST_F(InvoiceWindow, AddingALineFillsTheGridAndComputesTheTax)
{
    const long rose = addProduct("ROSE", 12.50, true, true, "Climbing rose");
    TInvoice w;
    open(w, 0);
    addItem(w, rose, [](TItemDef *d) {
        EXPECT_EQ(d->windowTitle(), "Invoice Line Item");
        EXPECT_EQ(text(d, "Edit1"), "ROSE");
        EXPECT_EQ(text(d, "Edit2"), "Climbing rose");
        EXPECT_EQ(text(d, "MaskEdit1"), "   12.50");
        EXPECT_EQ(text(d, "MaskEdit2"), "     1.00");
        EXPECT_EQ(text(d, "MaskEdit3"), "     12.50");
        EXPECT_EQ(child<QCheckBox>(d, "CheckBox1")->text(), "Shipping");
        EXPECT_EQ(child<QCheckBox>(d, "CheckBox2")->text(), "Sales Tax");
        EXPECT_TRUE(child<QCheckBox>(d, "CheckBox1")->isChecked());
        EXPECT_EQ(lineItemResult(), int(DialogCancel)); // preset when shown
        EXPECT_EQ(QApplication::focusWidget(), child<QWidget>(d, "Edit2"));
        click(d, "BtnSave");
    });
    ASSERT_EQ(invoiceMemory().items.size(), 1);
    EXPECT_EQ(invoiceMemory().items[0][ItemRCode], "LIC-ROSE");
    EXPECT_EQ(cell(w, 0, 0), "ROSE");
    EXPECT_EQ(cell(w, 0, 4), "     12.50 tt");
    EXPECT_EQ(text(&w, "MaskEdit2"), "     12.50");
    EXPECT_EQ(text(&w, "MaskEdit4"), "      1.03"); // 8.25 % of 12.50 = 1.03125
    EXPECT_EQ(text(&w, "MaskEdit5"), "     13.53");
    EXPECT_EQ(text(&w, "MaskEdit7"), "     13.53");
}

TEST_F(InvoiceWindow, TheSpecimenInvoiceWithATypedFirstChargeLine)
{
    const long p = addProduct("SEED", 10.00, false, true);
    TInvoice w;
    open(w, 0);
    typeAndLeave(child<QWidget>(&w, "MaskEdit3"), "5.00");
    EXPECT_EQ(text(&w, "MaskEdit5"), "      5.00"); // no lines: only the total follows
    EXPECT_EQ(text(&w, "MaskEdit4"), "      0.00");
    addItem(w, p, [](TItemDef *d) {
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "2");
        EXPECT_EQ(text(d, "MaskEdit3"), "     20.00");
        click(d, "BtnSave");
    });
    EXPECT_EQ(cell(w, 0, 3), "     2.00");
    EXPECT_EQ(text(&w, "MaskEdit3"), "      5.00"); // typed: its percentage is 0
    EXPECT_EQ(text(&w, "MaskEdit4"), "      2.06"); // (20.00 + 5.00) * 8.25 %
    EXPECT_EQ(text(&w, "MaskEdit5"), "     27.06");

    // A typed second line stands until the next line change.
    typeAndLeave(child<QWidget>(&w, "MaskEdit4"), "3.00");
    EXPECT_EQ(text(&w, "MaskEdit5"), "     28.00");
    EXPECT_EQ(text(&w, "MaskEdit7"), "     28.00");

    // "Delete" in the dialog of Add Item adds nothing, but recomputes.
    addItem(w, p, [](TItemDef *d) { click(d, "BtnDelete"); });
    EXPECT_EQ(invoiceMemory().items.size(), 1);
    EXPECT_EQ(text(&w, "MaskEdit4"), "      2.06");
    EXPECT_EQ(text(&w, "MaskEdit5"), "     27.06");

    // Cancelling the product list changes and recomputes nothing.
    typeAndLeave(child<QWidget>(&w, "MaskEdit4"), "3.00");
    onModal<TPickProd>([](TPickProd *l) { l->BtnCancelClick(); });
    click(&w, "BAddItm");
    EXPECT_EQ(text(&w, "MaskEdit4"), "      3.00");
}

TEST_F(InvoiceWindow, EditItemChangesOrDeletesTheSelectedLine)
{
    const long rec = addInvoice(1001, 0, 3);
    TInvoice w;
    open(w, int(rec));
    w.grid()->setCurrentCell(1, 2);
    onModal<TItemDef>([](TItemDef *d) {
        EXPECT_EQ(text(d, "Edit1"), "L2");
        EXPECT_EQ(text(d, "MaskEdit2"), "     2.00");
        EXPECT_EQ(text(d, "MaskEdit3"), "      2.50");
        EXPECT_FALSE(child<QCheckBox>(d, "CheckBox1")->isChecked());
        EXPECT_TRUE(child<QCheckBox>(d, "CheckBox2")->isChecked());
        // -2 x 1.25: the dialog shows -2.50 in red.
        typeAndLeave(child<QWidget>(d, "MaskEdit2"), "-2");
        auto *total = child<MoneyEdit>(d, "MaskEdit3");
        EXPECT_EQ(total->text(), "     -2.50");
        EXPECT_TRUE(total->showsNegative());
        EXPECT_EQ(total->palette().color(QPalette::Text), QColor(255, 0, 0));
        child<QLineEdit>(d, "Edit3")->setText("potted");
        child<QCheckBox>(d, "CheckBox1")->setChecked(true);
        click(d, "BtnSave");
    });
    const QPoint at = w.grid()->visualItemRect(w.grid()->item(1, 2)).center();
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
    const QStringList &row = invoiceMemory().items[1];
    EXPECT_EQ(row[ItemQty], "    -2.00");
    EXPECT_EQ(row[ItemComment], "potted");
    EXPECT_EQ(row[ItemTax1], "t");
    EXPECT_EQ(cell(w, 1, 4), "     -2.50 tt");
    EXPECT_EQ(text(&w, "MaskEdit2"), "      2.50"); // 1.25 - 2.50 + 3.75

    // Delete: the lines after it move up.
    onModal<TItemDef>([](TItemDef *d) { click(d, "BtnDelete"); });
    w.grid()->setCurrentCell(0, 0);
    click(&w, "BEditItm");
    ASSERT_EQ(invoiceMemory().items.size(), 2);
    EXPECT_EQ(cell(w, 0, 0), "L2");
    EXPECT_EQ(cell(w, 1, 0), "L3");
    EXPECT_EQ(cell(w, 2, 0), "");
    EXPECT_EQ(text(&w, "MaskEdit2"), "      1.25");

    // Cancel changes nothing and computes nothing: a typed tax stays.
    typeAndLeave(child<QWidget>(&w, "MaskEdit4"), "9.99");
    onModal<TItemDef>([](TItemDef *d) {
        child<QLineEdit>(d, "Edit2")->setText("changed");
        click(d, "BtnCancel");
    });
    click(&w, "BEditItm");
    EXPECT_EQ(invoiceMemory().items[1][ItemDesc].trimmed(), "Line 3");
    EXPECT_EQ(text(&w, "MaskEdit4"), "      9.99");
}

TEST_F(InvoiceWindow, EditItemWithoutALineUnderTheSelectionDoesNothing)
{
    TInvoice w;
    open(w, 0);
    lineItemResult() = 42;
    click(&w, "BEditItm"); // no lines: no dialog (a dialog would be left open)
    w.StringGrid1DblClick(0, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(lineItemResult(), 42);

    const long rec = addInvoice(1001, 0, 1);
    TInvoice loaded;
    open(loaded, int(rec));
    loaded.grid()->setCurrentCell(2, 0); // an empty row below the only line
    click(&loaded, "BEditItm");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(lineItemResult(), 42);
}

TEST_F(InvoiceWindow, MoreThanFourLinesGrowTheGrid)
{
    const long rec = addInvoice(1001, 0, 6);
    TInvoice w;
    open(w, int(rec));
    EXPECT_EQ(w.grid()->rowCount() + 1, 7);
    EXPECT_EQ(cell(w, 5, 0), "L6");
    EXPECT_EQ(text(&w, "MaskEdit2"), "     26.25"); // 1.25 * (1 + ... + 6)
    w.resetGrid();
    EXPECT_EQ(w.grid()->rowCount() + 1, 5);
    EXPECT_EQ(cell(w, 0, 0), "");

    const long p = addProduct("X", 1, false, false);
    TInvoice fresh;
    open(fresh, 0);
    for (int i = 0; i < 5; ++i)
        addItem(fresh, p, [](TItemDef *d) { click(d, "BtnSave"); });
    EXPECT_EQ(fresh.grid()->rowCount() + 1, 6);
    EXPECT_EQ(cell(fresh, 4, 4), "      1.00 ff");
}

// ---- Money fields and the discount -----------------------------------------------------------

TEST_F(InvoiceWindow, MinusThenSeparatorInAnEmptyAmountKeepsTheMinusInRed)
{
    TInvoice w;
    open(w, 0);
    auto *ship = child<MoneyEdit>(&w, "MaskEdit3");
    ship->setFocus(Qt::TabFocusReason);
    ship->clear();
    QTest::keyClick(ship, Qt::Key_Minus);
    EXPECT_TRUE(ship->showsNegative());
    QTest::keyClick(ship, Qt::Key_Period);
    EXPECT_EQ(ship->text(), "-0.00");
    EXPECT_EQ(ship->palette().color(QPalette::Text), QColor(255, 0, 0));
    QTest::keyClick(ship, Qt::Key_Tab); // leaving keeps it as typed
    EXPECT_EQ(ship->text(), "-0.00");
    EXPECT_TRUE(ship->showsNegative());
    EXPECT_EQ(text(&w, "MaskEdit5"), "      0.00");
}

TEST_F(InvoiceWindow, DiscountShowsNegatedInRedAndTaxesTheRest)
{
    settings().TaxRate2 = 10;
    const long p = addProduct("ONE", 1.00, false, true);
    TInvoice w;
    open(w, 0);
    addItem(w, p, [](TItemDef *d) { click(d, "BtnSave"); });
    EXPECT_EQ(text(&w, "MaskEdit4"), "      0.10");
    typeAndLeave(child<QWidget>(&w, "MaskEdit1"), "12.50");
    EXPECT_EQ(text(&w, "MaskEdit1"), "12.50");
    auto *discount = child<MoneyEdit>(&w, "MaskEdit8");
    EXPECT_EQ(discount->text(), "     -0.13");
    EXPECT_EQ(discount->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(text(&w, "MaskEdit2"), "      0.87");
    EXPECT_EQ(text(&w, "MaskEdit4"), "      0.09");
    EXPECT_EQ(text(&w, "MaskEdit5"), "      0.96");
    EXPECT_EQ(db().inv6.buf.Discount, 12.5);
}

TEST_F(InvoiceWindow, EnterMovesToTheNextField)
{
    TInvoice w;
    open(w, 0);
    const std::pair<const char *, const char *> steps[] = {{"Edit4", "DateTimePicker1"},
                                                           {"DateTimePicker1", "Edit2"},
                                                           {"Edit2", "Edit3"},
                                                           {"MaskEdit1", "MaskEdit3"},
                                                           {"MaskEdit3", "MaskEdit4"}};
    for (auto [from, to] : steps) {
        QWidget *f = child<QWidget>(&w, from);
        f->setFocus(Qt::TabFocusReason);
        QTest::keyClick(f, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), child<QWidget>(&w, to)) << from;
    }
}

TEST_F(InvoiceWindow, LeavingFieldsStoresThemAndARefreshKeepsTheDate)
{
    const long p = addProduct("ONE", 1.00, false, false);
    TInvoice w;
    open(w, 0);
    typeAndLeave(child<QWidget>(&w, "Edit2"), "  Nursery  ");
    typeAndLeave(child<QWidget>(&w, "Edit3"), "Cheque 118");
    typeAndLeave(child<QWidget>(&w, "DateTimePicker1"), "3/9/2026");
    auto *remarks = child<QPlainTextEdit>(&w, "Memo2");
    remarks->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(remarks, "Deliver Monday");
    QTest::keyClick(remarks, Qt::Key_Tab);
    const InvoiceRecord &h = db().inv6.buf;
    EXPECT_EQ(h.Dept, "Nursery");
    EXPECT_EQ(h.IMemo, "Cheque 118");
    EXPECT_EQ(h.REM, "Deliver Monday");
    EXPECT_EQ(h.IDate, QDate(2026, 3, 9));
    // A line change refreshes the whole display from the header buffer.
    addItem(w, p, [](TItemDef *d) { click(d, "BtnSave"); });
    EXPECT_EQ(text(&w, "Edit2"), "Nursery");
    EXPECT_EQ(text(&w, "Memo2"), "Deliver Monday");
    EXPECT_EQ(child<DateEdit>(&w, "DateTimePicker1")->date(), QDate(2026, 3, 9));
}

// ---- Customer --------------------------------------------------------------------------------

TEST_F(InvoiceWindow, ChoosingACustomerShowsItsAddressAndNote)
{
    addCustomer(11, "Young", "nomail");
    const long baker = addCustomer(12, "Baker", "ann@example.com", "Back door");
    TInvoice w;
    open(w, 0);
    // No customer yet: the list starts on the first by name.
    onModal<TPickCust>([&](TPickCust *l) {
        EXPECT_EQ(l->selectedRecNo(), baker);
        pickRecord(l, baker);
    });
    click(&w, "BtnCust");
    EXPECT_EQ(db().inv6.buf.CuNo, 12);
    EXPECT_EQ(text(&w, "Memo1"), "Ms  Ann Baker\n1 Main St  05641\n\n\n\n");
    EXPECT_EQ(text(&w, "Edit4"), "Back door");
    EXPECT_TRUE(w.customerMailable());

    // The note typed here goes into the customer buffer; a cancelled choice
    // leaves the customer as it was, note included.
    typeAndLeave(child<QWidget>(&w, "Edit4"), "Front door");
    EXPECT_EQ(db().cust5.buf.note, "Front door");
    onModal<TPickCust>([&](TPickCust *l) {
        EXPECT_EQ(l->selectedRecNo(), baker);
        l->BtnCancelClick();
    });
    click(&w, "BtnCust");
    EXPECT_EQ(db().inv6.buf.CuNo, 12);
    EXPECT_EQ(db().cust5.buf.last.trimmed(), "Baker");
    EXPECT_EQ(db().cust5.buf.note, "Front door");
    EXPECT_EQ(db().cust5.buf.email.trimmed(), "ann@example.com");

    onModal<TPickCust>([&](TPickCust *l) { pickRecord(l, 1); });
    click(&w, "BtnCust");
    EXPECT_EQ(db().inv6.buf.CuNo, 11);
    EXPECT_FALSE(w.customerMailable()); // no "@"
}

TEST_F(InvoiceWindow, EditCustomerOpensTheCustomerWindowOnTheInvoicesCustomer)
{
    addCustomer(11, "Young");
    const long baker = addCustomer(12, "Baker", "", "Back door");
    TInvoice w;
    open(w, 0);
    m_ui.expect(Answer::Ok, "Customer not selected");
    click(&w, "BtnCustEdit");

    onModal<TPickCust>([&](TPickCust *l) { pickRecord(l, baker); });
    click(&w, "BtnCust");
    typeAndLeave(child<QWidget>(&w, "Edit4"), "Front door");
    db().selected.customer = 1; // found again by number, whatever was selected
    // Cancelled: the customer stays as it was here, note included.
    onModal<TCustomer>([&](TCustomer *c) {
        EXPECT_EQ(db().selected.customer, baker);
        click(c, "BtnCancel");
    });
    click(&w, "BtnCustEdit");
    EXPECT_EQ(db().cust5.buf.note, "Front door");
    EXPECT_EQ(text(&w, "Edit4"), "Front door");

    // Saved: the address block is built again from the changed customer.
    onModal<TCustomer>([&](TCustomer *c) {
        child<QLineEdit>(c, "Edit6")->setText("Unit 4");
        click(c, "BtnSave");
    });
    click(&w, "BtnCustEdit");
    EXPECT_EQ(db().inv6.buf.CuNo, 12);
    EXPECT_EQ(text(&w, "Memo1"), "Ms  Ann Baker\n1 Main St\nUnit 4  05641\n\n\n");
}

TEST_F(InvoiceWindow, BatchLabelWritesTheCustomerNumber)
{
    addCustomer(4321, "Baker");
    TInvoice w;
    open(w, 0);
    m_ui.expect(Answer::Ok, "Customer Not Selected");
    click(&w, "BtnBatchLab");
    EXPECT_FALSE(QFile::exists("BatchLab.dat"));
    onModal<TPickCust>([](TPickCust *l) { pickRecord(l, 1); });
    click(&w, "BtnCust");
    click(&w, "BtnBatchLab");
    QFile f("BatchLab.dat");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("  4321\r\n"));
}

TEST_F(InvoiceWindow, PrintingNeedsACustomerAndPrintsTheFormAsTyped)
{
    addCustomer(4321, "Baker", "baker@example.com");
    TInvoice w;
    open(w, 0);
    EXPECT_FALSE(child<QPushButton>(&w, "BtnEMail")->isEnabled());
    for (const char *button : {"BtnPrint", "Button1"}) {
        m_ui.expect(Answer::Ok, "Customer must be selected to print");
        click(&w, button);
    }
    onModal<TPickCust>([](TPickCust *l) { pickRecord(l, 1); });
    click(&w, "BtnCust");
    EXPECT_TRUE(child<QPushButton>(&w, "BtnEMail")->isEnabled());
    child<QLineEdit>(&w, "Edit3")->setText("Paid cash");
    QString shown;
    onModal<TReportF>([&](TReportF *v) {
        shown = documentText(report(), false);
        v->reject();
    });
    click(&w, "BtnPrint");
    EXPECT_TRUE(shown.contains("Paid cash")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Ann Baker")) << shown.toStdString();
    EXPECT_TRUE(report().rows.isEmpty()); // ended after the viewer
}

TEST_F(InvoiceWindow, HelpAndCancel)
{
    RecordingHelp help;
    TInvoice w;
    open(w, 0);
    click(&w, "BitBtn1");
    EXPECT_EQ(help.topics, QList<int>({310}));
    click(&w, "BtnCancel");
    EXPECT_FALSE(w.isVisible());
}

// ---- The "Invoices" command -------------------------------------------------------------------

TEST_F(InvoiceWindow, TheCommandLoopsPickListAndEditorUntilCancelled)
{
    addCustomer(7, "Baker");
    addInvoice(1001, 7, 1);
    const long last = addInvoice(1002, 7, 2);
    addInvoice(999, 0, 0); // appended last, but not the last by number
    db().closeAll();

    int editorShown = 0;
    // The list starts on the last invoice by number (with ten invoices or
    // fewer it shows them from the first); Select opens the editor.
    onModal<TPickInv>([&](TPickInv *l) {
        EXPECT_EQ(db().selected.invoice, last);
        EXPECT_TRUE(db().inv6.isOpen() && db().groups.isOpen() && db().prod5.isOpen());
        pickRecord(l, 1);
    });
    onModal<TInvoice>([&](TInvoice *e) {
        ++editorShown;
        EXPECT_EQ(text(e, "Edit1"), "  1001");
        click(e, "BtnCancel");
    });
    // Back in the list, starting on the invoice just edited; New opens a new invoice.
    onModal<TPickInv>([&](TPickInv *l) {
        EXPECT_EQ(db().selected.invoice, 1);
        l->BtnNewClick();
    });
    onModal<TInvoice>([&](TInvoice *e) {
        ++editorShown;
        EXPECT_EQ(text(e, "Edit1"), "  1003");
        click(e, "BtnCancel");
    });
    runInvoiceCommand(nullptr);
    EXPECT_EQ(editorShown, 2);
    for (TableId t :
         {TableId::CUST5, TableId::GROUPS, TableId::INV6, TableId::ITM5, TableId::PMT, TableId::Prod5})
        EXPECT_FALSE(db().table(t).isOpen());
}

TEST_F(InvoiceWindow, TheMainWindowsInvoicesButtonRunsTheCommand)
{
    db().closeAll();
    TMain main;
    auto *b = child<QPushButton>(&main, "BtnInvoice");
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->isEnabled());
    bool listed = false;
    onModal<TPickInv>([&](TPickInv *l) {
        listed = true;
        l->BtnCancelClick();
    });
    b->click();
    EXPECT_TRUE(listed);
    EXPECT_FALSE(db().inv6.isOpen());
}
