#include "invoicing/InvoiceU.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "import/ImportDirs.h"
#include "invoicing/BatchLabel.h"
#include "invoicing/CardBatch.h"
#include "invoicing/InvoiceEditor.h"
#include "invoicing/InvoiceStore.h"
#include "invoicing/ItemDefU.h"
#include "invoicing/OrderConfirm.h"
#include "invoicing/PickPmtU.h"
#include "invoicing/PmtDefU.h"
#include "invoicing/WebOrder.h"
#include "mail/EMail.h"
#include "mail/EMailU.h"
#include "masterdata/CustomerU.h"
#include "picklists/PickCustU.h"
#include "picklists/PickGroupU.h"
#include "picklists/PickInvU.h"
#include "picklists/PickProdU.h"
#include "platform/Clock.h"
#include "platform/Help.h"
#include "platform/Ui.h"
#include "reports/InvoiceDocsU.h"
#include "widgets/DateEdit.h"
#include "widgets/EnterAsTab.h"
#include "widgets/FormKitU.h"
#include "widgets/MoneyEdit.h"
#include "widgets/StoredText.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tlv {

namespace {

constexpr int helpContext = 310;
constexpr int gridColumns = 5;
constexpr int gridRows = 5; // the heading and four lines
constexpr int columnWidths[gridColumns] = {80, 216, 64, 72, 80};
const char *const columnHeadings[gridColumns] = {"Product ID", "Description", "Price", "Quantity", "Total"};
constexpr int memoLength = 30;   // IMemo
constexpr int passedLength = 59; // what a save passes of Dept and IMemo

MoneyEdit *amountEdit(const char *name, bool readOnly)
{
    auto *e = new MoneyEdit(7, 2);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(readOnly);
    if (readOnly)
        e->setFocusPolicy(Qt::ClickFocus); // Tab passes over what cannot be typed in
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00000000000")) + 14);
    return e;
}

QLabel *label(const QString &text, QWidget *buddy, const char *name = nullptr)
{
    auto *l = new QLabel(text);
    l->setBuddy(buddy);
    if (name)
        l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

TInvoice::TInvoice(QWidget *parent)
    : QDialog(parent), m_calc(db().inv6.buf, invoiceMemory().items, invoiceMemory().payments)
{
    setObjectName(QStringLiteral("Invoice"));
    setWindowTitle(QStringLiteral("Invoice"));
    buildControls();
    guardStoredText(this);
    m_itemDef = new TItemDef(this);
    m_pmtDef = new TPmtDef(this);
    m_pickPmt = new TPickPmt(m_pmtDef, this);
    // The order confirmation goes through the e-mail window.
    m_dearCust->setEnabled(true);
    connect(m_dearCust, &QPushButton::clicked, this, &TInvoice::BtnDearCustClick);
}

TInvoice::~TInvoice() = default;

void TInvoice::buildControls()
{
    // ---- Customer ----
    m_btnCust = namedButton("BtnCust", QStringLiteral("Customer"));
    m_btnCustEdit = namedButton("BtnCustEdit", QStringLiteral("Edit"));
    m_address = new QPlainTextEdit;
    m_address->setObjectName(QStringLiteral("Memo1"));
    m_address->setReadOnly(true);
    m_address->setFocusPolicy(Qt::ClickFocus);
    m_address->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Five lines, each ending in a line break: the empty sixth needs no scrolling.
    m_address->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_address->setFixedHeight(m_address->fontMetrics().lineSpacing() * 5 + 12);
    m_address->setMinimumWidth(m_address->fontMetrics().horizontalAdvance(QString(34, QLatin1Char('x'))));
    m_custNote = new QLineEdit;
    m_custNote->setObjectName(QStringLiteral("Edit4"));
    m_custNote->setMaxLength(34); // CUST5.note

    // ---- Invoice header ----
    m_number = new QLineEdit;
    m_number->setObjectName(QStringLiteral("Edit1"));
    m_number->setReadOnly(true);
    m_number->setFocusPolicy(Qt::ClickFocus);
    m_number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_number->setFixedWidth(m_number->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 14);
    m_date = new DateEdit;
    m_date->setObjectName(QStringLiteral("DateTimePicker1"));
    m_date->setFixedWidth(m_date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
    m_dept = new QLineEdit;
    m_dept->setObjectName(QStringLiteral("Edit2"));
    m_memo = new QLineEdit;
    m_memo->setObjectName(QStringLiteral("Edit3"));
    m_memo->setMaxLength(memoLength);

    // ---- Lines ----
    m_grid = new QTableWidget;
    // Tab leaves the lines for the next control; the arrows move between rows.
    m_grid->setTabKeyNavigation(false);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setColumnCount(gridColumns);
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setWordWrap(false);
    // A total wider than its column loses its leading blanks, never its digits.
    m_grid->setTextElideMode(Qt::ElideNone);
    QStringList headings;
    for (const char *h : columnHeadings)
        headings << QLatin1String(h);
    m_grid->setHorizontalHeaderLabels(headings);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setHighlightSections(false);
    int width = 0;
    for (int c = 0; c < gridColumns; ++c) {
        m_grid->setColumnWidth(c, columnWidths[c]);
        width += columnWidths[c];
    }
    // The heading and three lines show: four row heights plus 4 pixels inside.
    const int rowHeight = m_grid->verticalHeader()->defaultSectionSize();
    m_grid->horizontalHeader()->setFixedHeight(rowHeight);
    const int frame = m_grid->frameWidth() * 2;
    m_grid->setFixedHeight(rowHeight * 4 + 4 + frame);
    m_grid->setFixedWidth(width + m_grid->verticalScrollBar()->sizeHint().width() + frame);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TInvoice::StringGrid1DblClick);

    m_addItem = namedButton("BAddItm", QStringLiteral("Add Item"));
    m_editItem = namedButton("BEditItm", QStringLiteral("Edit Item"));
    m_addPayment = namedButton("BAddPmt", QStringLiteral("Add Paym't"));
    m_editPayment = namedButton("BEditPmt", QStringLiteral("Edit Paym't"));

    // ---- Remarks and totals ----
    m_remarks = new QPlainTextEdit;
    m_remarks->setObjectName(QStringLiteral("Memo2"));
    m_remarks->setTabChangesFocus(true);
    m_discountPercent = new MoneyEdit(2, 2);
    m_discountPercent->setObjectName(QStringLiteral("MaskEdit1"));
    m_discountPercent->setFixedWidth(
        m_discountPercent->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 14);
    m_discount = amountEdit("MaskEdit8", true);
    m_subtotal = amountEdit("MaskEdit2", true);
    m_ship = amountEdit("MaskEdit3", false);
    m_tax = amountEdit("MaskEdit4", false);
    m_total = amountEdit("MaskEdit5", true);
    m_payments = amountEdit("MaskEdit6", true);
    m_due = amountEdit("MaskEdit7", true);
    m_shipLabel = new QLabel;
    m_shipLabel->setObjectName(QStringLiteral("Label5"));
    m_shipLabel->setBuddy(m_ship);
    m_taxLabel = new QLabel;
    m_taxLabel->setObjectName(QStringLiteral("Label6"));
    m_taxLabel->setBuddy(m_tax);

    // ---- Commands ----
    m_save = namedButton("BtnSave", QStringLiteral("Save"));
    m_delete = namedButton("BtnDelete", QStringLiteral("Delete"));
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"));
    m_print = namedButton("BtnPrint", QStringLiteral("Print"));
    m_email = namedButton("BtnEMail", QStringLiteral("EMail"));
    m_packing = namedButton("Button1", QStringLiteral("Packing List"));
    m_import = namedButton("BtnImport", QStringLiteral("IMPORT"));
    m_export = namedButton("BtnExport", QStringLiteral("Export"));
    m_export->setToolTip(QStringLiteral("Export Credit Card Info to Batchin.Dat"));
    m_batchLab = namedButton("BtnBatchLab", QStringLiteral("Batch Label"));
    m_dearCust = namedButton("BtnDearCust", QStringLiteral("Dear Customer"));
    m_help = namedButton("BitBtn1", QStringLiteral("Help"));

    // E-mail waits for a customer with an address (showCustomer).
    for (QPushButton *b : {m_email, m_dearCust})
        b->setEnabled(false);

    connect(m_btnCust, &QPushButton::clicked, this, &TInvoice::BtnCustClick);
    connect(m_btnCustEdit, &QPushButton::clicked, this, &TInvoice::BtnCustEditClick);
    connect(m_addItem, &QPushButton::clicked, this, &TInvoice::BAddItmClick);
    connect(m_editItem, &QPushButton::clicked, this, &TInvoice::BEditItmClick);
    connect(m_addPayment, &QPushButton::clicked, this, &TInvoice::BAddPmtClick);
    connect(m_editPayment, &QPushButton::clicked, this, &TInvoice::BEditPmtClick);
    connect(m_save, &QPushButton::clicked, this, &TInvoice::BtnSaveClick);
    connect(m_delete, &QPushButton::clicked, this, &TInvoice::BtnDeleteClick);
    connect(m_cancel, &QPushButton::clicked, this, &TInvoice::BtnCancelClick);
    connect(m_print, &QPushButton::clicked, this, &TInvoice::BtnPrintClick);
    connect(m_email, &QPushButton::clicked, this, &TInvoice::BtnEMailClick);
    connect(m_packing, &QPushButton::clicked, this, &TInvoice::Button1Click);
    connect(m_batchLab, &QPushButton::clicked, this, &TInvoice::BtnBatchLabClick);
    connect(m_import, &QPushButton::clicked, this, &TInvoice::BtnImportClick);
    connect(m_export, &QPushButton::clicked, this, &TInvoice::BtnExportClick);
    connect(m_help, &QPushButton::clicked, this, &TInvoice::BitBtn1Click);
    auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &TInvoice::BitBtn1Click);
    // The date is kept in the header buffer as it changes, so that a refresh
    // of the display never puts back the date the invoice was opened with.
    connect(m_date, &DateEdit::dateChanged, this, [](const QDate &d) { db().inv6.buf.IDate = d; });

    for (QWidget *w : {(QWidget *)m_dept, (QWidget *)m_memo, (QWidget *)m_custNote, (QWidget *)m_date,
                       (QWidget *)m_discountPercent, (QWidget *)m_ship, (QWidget *)m_tax})
        enterMovesFocus(w);
    for (QWidget *w : {(QWidget *)m_dept, (QWidget *)m_memo, (QWidget *)m_custNote, (QWidget *)m_remarks,
                       (QWidget *)m_discountPercent, (QWidget *)m_ship, (QWidget *)m_tax})
        w->installEventFilter(this);

    // ---- Layout ----
    auto *customer = new QGridLayout;
    auto *custButtons = new QHBoxLayout;
    custButtons->addWidget(m_btnCust);
    custButtons->addWidget(m_btnCustEdit);
    custButtons->addStretch();
    customer->addLayout(custButtons, 0, 0, 1, 2);
    customer->addWidget(m_address, 1, 0, 1, 2);
    customer->addWidget(label(QStringLiteral("Cust. Note"), m_custNote), 2, 0);
    customer->addWidget(m_custNote, 2, 1);

    auto *header = new QGridLayout;
    header->addWidget(label(QStringLiteral("Invoice"), m_number), 0, 0);
    header->addWidget(m_number, 0, 1, Qt::AlignLeft);
    header->addWidget(label(QStringLiteral("Date Sold"), m_date), 1, 0);
    header->addWidget(m_date, 1, 1, Qt::AlignLeft);
    header->addWidget(label(QStringLiteral("Department"), m_dept), 2, 0);
    header->addWidget(m_dept, 2, 1);
    header->addWidget(label(QStringLiteral("Credit Card or Note"), m_memo), 3, 0);
    header->addWidget(m_memo, 3, 1);
    header->setRowStretch(4, 1);

    auto *top = new QHBoxLayout;
    top->addLayout(customer, 1);
    top->addSpacing(16);
    top->addLayout(header, 1);

    auto *lineButtons = new QVBoxLayout;
    lineButtons->addWidget(m_addItem);
    lineButtons->addWidget(m_editItem);
    lineButtons->addSpacing(8);
    lineButtons->addWidget(m_addPayment);
    lineButtons->addWidget(m_editPayment);
    lineButtons->addStretch();
    auto *lines = new QHBoxLayout;
    lines->addWidget(m_grid);
    lines->addLayout(lineButtons);
    lines->addStretch();

    auto *totals = new QGridLayout;
    totals->addWidget(label(QStringLiteral("% Discount:"), m_discountPercent), 0, 0, Qt::AlignRight);
    totals->addWidget(m_discountPercent, 0, 1, Qt::AlignRight);
    totals->addWidget(m_discount, 0, 2);
    totals->addWidget(label(QStringLiteral("Subtotal:"), m_subtotal), 1, 0, 1, 2, Qt::AlignRight);
    totals->addWidget(m_subtotal, 1, 2);
    totals->addWidget(m_shipLabel, 2, 0, 1, 2, Qt::AlignRight);
    totals->addWidget(m_ship, 2, 2);
    totals->addWidget(m_taxLabel, 3, 0, 1, 2, Qt::AlignRight);
    totals->addWidget(m_tax, 3, 2);
    totals->addWidget(label(QStringLiteral("Total:"), m_total), 4, 0, 1, 2, Qt::AlignRight);
    totals->addWidget(m_total, 4, 2);
    totals->addWidget(label(QStringLiteral("Payments:"), m_payments), 5, 0, 1, 2, Qt::AlignRight);
    totals->addWidget(m_payments, 5, 2);
    totals->addWidget(label(QStringLiteral("Amount Due:"), m_due), 6, 0, 1, 2, Qt::AlignRight);
    totals->addWidget(m_due, 6, 2);
    totals->setVerticalSpacing(3);

    auto *lower = new QHBoxLayout;
    lower->addWidget(m_remarks, 1);
    lower->addSpacing(16);
    lower->addLayout(totals);

    auto *commands = new QGridLayout;
    int col = 0;
    for (QPushButton *b : {m_save, m_delete, m_cancel, m_print, m_email, m_packing})
        commands->addWidget(b, 0, col++);
    col = 0;
    for (QPushButton *b : {m_import, m_export, m_batchLab, m_dearCust})
        commands->addWidget(b, 1, col++);
    commands->addWidget(m_help, 1, 5);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(lines);
    layout->addSpacing(6);
    layout->addLayout(lower, 1);
    layout->addSpacing(6);
    layout->addLayout(commands);

    QWidget *order[] = {m_btnCust,     m_btnCustEdit, m_custNote,        m_date,     m_dept,
                        m_memo,        m_grid,        m_addItem,         m_editItem, m_addPayment,
                        m_editPayment, m_remarks,     m_discountPercent, m_ship,     m_tax,
                        m_save,        m_delete,      m_cancel,          m_print,    m_email,
                        m_packing,     m_import,      m_export,          m_batchLab, m_dearCust,
                        m_help};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// ---- Opening --------------------------------------------------------------------------

void TInvoice::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TInvoice::FormShow()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_calc.setRates(ChargeRates::of(settings()));
    m_calc.setLocale(QLocale());
    m_shipLabel->setText(settings().ShipLine.trimmed() + QLatin1Char(':'));
    m_taxLabel->setText(settings().TaxLine.trimmed() + QLatin1Char(':'));
    resetGrid();

    InvoiceMemory &m = invoiceMemory();
    m.reset();
    Db &d = db();
    if (d.selected.invoice <= 0) {
        startNewInvoice(clock().today());
    } else {
        loadInvoice(d.selected.invoice);
        // "Customer" starts its list on the invoice's customer.
        if (m.customerRecNo > 0)
            d.selected.customer = int(m.customerRecNo);
    }
    for (QPushButton *b : {m_import, m_export, m_batchLab, m_dearCust})
        b->setVisible(true);

    refreshDisplay();
    showCustomer();
    QApplication::restoreOverrideCursor();
    m_btnCust->setFocus();
}

void TInvoice::resetGrid()
{
    m_grid->clearContents();
    m_grid->setRowCount(gridRows - 1);
    m_grid->setCurrentCell(0, 0);
}

void TInvoice::refreshDisplay()
{
    m_calc.invoiceOpened();
    showTotals();
}

void TInvoice::writeHeader()
{
    const InvoiceRecord &h = db().inv6.buf;
    m_number->setText(paddedNumber(h.IvNo, 6));
    m_dept->setText(h.Dept.trimmed());
    m_memo->setText(h.IMemo.trimmed());
    m_date->setDate(h.IDate);
    m_remarks->setPlainText(h.REM);
}

void TInvoice::writeLines()
{
    const QList<QStringList> &items = invoiceMemory().items;
    const int current = m_grid->currentRow();
    m_grid->clearContents();
    // The grid grows with the lines and is only cut back after a save or delete.
    if (items.size() > m_grid->rowCount())
        m_grid->setRowCount(int(items.size()));
    for (int r = 0; r < items.size(); ++r) {
        const QStringList &row = items[r];
        const QString cells[gridColumns] = {row.value(ItemPrID).trimmed(), row.value(ItemDesc).trimmed(),
                                            row.value(ItemPrice), row.value(ItemQty), gridTotalText(row)};
        for (int c = 0; c < gridColumns; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->setCurrentCell(current >= 0 && current < m_grid->rowCount() ? current : 0, 0);
}

void TInvoice::showTotals()
{
    const unsigned shown = m_calc.takeShown();
    const InvoiceRecord &h = db().inv6.buf;
    if (shown & ShowDisplay) {
        writeHeader();
        writeLines();
    }
    if (shown & ShowDiscountPercent)
        m_discountPercent->setValue(h.Discount);
    if (shown & ShowDiscount)
        m_discount->setValue(-m_calc.discount());
    if (shown & ShowSubtotal)
        m_subtotal->setValue(m_calc.subtotal());
    if (shown & ShowShip)
        m_ship->setValue(h.Ship);
    if (shown & ShowTax)
        m_tax->setValue(h.Tax);
    if (shown & ShowTotal)
        m_total->setValue(m_calc.total());
    if (shown & ShowPayments)
        m_payments->setValue(m_calc.paymentsSum());
    if (shown & ShowDue)
        m_due->setValue(h.Due);
}

// ---- Customer ----------------------------------------------------------------------------

void TInvoice::showCustomer()
{
    m_address->clear();
    m_custNote->clear();
    m_customerMailable = false;
    const Db &d = db();
    if (d.inv6.buf.CuNo != 0) {
        QString text;
        for (const QString &line : invoiceMemory().address)
            text += line + QLatin1Char('\n');
        m_address->setPlainText(text);
        m_custNote->setText(d.cust5.buf.note.trimmed());
        m_customerMailable = hasUsableEmail(d.cust5.buf.email);
    }
    m_email->setEnabled(m_customerMailable);
}

void TInvoice::BtnCustClick()
{
    Db &d = db();
    // The list reads every customer it shows into the customer buffer: a
    // cancelled choice puts the chosen customer back, note and all.
    const CustomerRecord before = d.cust5.buf;
    const bool hadCustomer = d.inv6.buf.CuNo != 0;
    d.selected.customer = startingCustomer();
    if (runPickCust(true) && takeCustomer(d.selected.customer)) {
        showCustomer();
        return;
    }
    if (hadCustomer)
        d.cust5.buf = before;
}

void TInvoice::BtnCustEditClick()
{
    Db &d = db();
    if (d.inv6.buf.CuNo == 0) {
        ui().information(QStringLiteral("Customer not selected"));
        return;
    }
    const int recNo = invoiceCustomerRecord();
    if (recNo == 0)
        return;
    const CustomerRecord before = d.cust5.buf;
    d.selected.customer = recNo;
    if (editCustomer(this) && d.selected.customer > 0 && takeCustomer(d.selected.customer)) {
        showCustomer();
        return;
    }
    // Not saved: the customer as it was, with the note typed here.
    d.cust5.buf = before;
}

// ---- Lines -------------------------------------------------------------------------------

void TInvoice::BAddItmClick()
{
    Db &d = db();
    auto &products = d.prod5;
    d.selected.product = products.top() == 0 ? int(products.recNo()) : 0;
    if (!runPickProd(true))
        return;
    if (products.go(d.selected.product) != 0)
        return;
    products.read();
    m_itemDef->setLine(lineFieldsOf(products.buf));
    m_itemDef->exec();
    // Whatever the dialog's result, the charge lines are computed again.
    const AmountsBefore before = amountsBefore();
    if (lineItemResult() == DialogSave)
        invoiceMemory().items.append(newLineRow(m_itemDef->line(), products.buf));
    m_calc.linesChanged();
    keepIfFits(before, QStringLiteral("The line was not added."));
}

void TInvoice::BEditItmClick()
{
    QList<QStringList> &items = invoiceMemory().items;
    const int r = m_grid->currentRow(); // line r of the table, grid row r + 1
    if (r < 0 || r >= items.size())
        return;
    m_itemDef->setLine(lineFieldsOf(items[r]));
    m_itemDef->exec();
    const int result = lineItemResult();
    if (result != DialogSave && result != DialogDelete)
        return; // nothing changed, nothing recomputed
    const AmountsBefore before = amountsBefore();
    if (result == DialogSave)
        updateLineRow(items[r], m_itemDef->line());
    else
        items.removeAt(r);
    m_calc.linesChanged();
    keepIfFits(before, QStringLiteral("The line was not changed."));
}

TInvoice::AmountsBefore TInvoice::amountsBefore() const
{
    const InvoiceRecord &h = db().inv6.buf;
    return {invoiceMemory().items, invoiceMemory().payments, h.Discount, h.Ship, h.Tax};
}

void TInvoice::keepIfFits(const AmountsBefore &before, const QString &refused)
{
    if (!m_calc.amountsFit()) {
        InvoiceRecord &h = db().inv6.buf;
        invoiceMemory().items = before.items;
        invoiceMemory().payments = before.payments;
        h.Discount = before.discount;
        h.Ship = before.ship;
        h.Tax = before.tax;
        m_calc.invoiceOpened();
        ui().information(tooLargeMessage() + QLatin1Char(' ') + refused);
    }
    showTotals();
}

void TInvoice::StringGrid1DblClick(int, int)
{
    BEditItmClick();
}

// ---- Leaving fields ----------------------------------------------------------------------

bool TInvoice::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Leaving the window for a moment (a menu, another window) is not leaving the field.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (watched == m_dept)
                Edit2Exit();
            else if (watched == m_memo)
                Edit3Exit();
            else if (watched == m_custNote)
                Edit4Exit();
            else if (watched == m_remarks)
                Memo2Exit();
            else if (watched == m_discountPercent)
                MaskEdit1Exit();
            else if (watched == m_ship)
                MaskEdit3Exit();
            else if (watched == m_tax)
                MaskEdit4Exit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TInvoice::Edit2Exit()
{
    db().inv6.buf.Dept = m_dept->text().trimmed();
}

void TInvoice::Edit3Exit()
{
    db().inv6.buf.IMemo = m_memo->text().trimmed();
}

void TInvoice::Edit4Exit()
{
    db().cust5.buf.note = m_custNote->text().trimmed();
}

void TInvoice::Memo2Exit()
{
    db().inv6.buf.REM = m_remarks->toPlainText();
}

void TInvoice::MaskEdit1Exit()
{
    m_discountPercent->normalise();
    const AmountsBefore before = amountsBefore();
    m_calc.discountLeft(m_discountPercent->value());
    keepIfFits(before, QStringLiteral("The discount was not changed."));
}

void TInvoice::MaskEdit3Exit()
{
    m_ship->normalise();
    const AmountsBefore before = amountsBefore();
    m_calc.firstChargeLeft(m_ship->value());
    keepIfFits(before, QStringLiteral("The amount was not changed."));
}

void TInvoice::MaskEdit4Exit()
{
    m_tax->normalise();
    const AmountsBefore before = amountsBefore();
    m_calc.secondChargeLeft(m_tax->value());
    keepIfFits(before, QStringLiteral("The amount was not changed."));
}

// ---- Payments ----------------------------------------------------------------------------

void TInvoice::BAddPmtClick()
{
    m_pmtDef->setPayment(clock().today(), numberToFixed(0, 10, 2), false);
    m_pmtDef->exec();
    if (paymentResult() != DialogSave)
        return;
    const AmountsBefore before = amountsBefore();
    invoiceMemory().payments.append(QStringList{dateToShort(m_pmtDef->date()), m_pmtDef->amountText()});
    m_calc.paymentsChanged();
    keepIfFits(before, QStringLiteral("The payment was not added."));
}

void TInvoice::BEditPmtClick()
{
    if (invoiceMemory().payments.isEmpty())
        return;
    const AmountsBefore before = amountsBefore();
    m_pickPmt->exec();
    m_calc.paymentsChanged();
    keepIfFits(before, QStringLiteral("The payments were not changed."));
}

// ---- Saving and deleting ------------------------------------------------------------------

void TInvoice::copyFormToHeader()
{
    InvoiceRecord &h = db().inv6.buf;
    h.IDate = m_date->date();
    h.Dept = m_dept->text().left(passedLength);
    h.IMemo = m_memo->text().left(passedLength);
    h.REM = storedRemarks(m_remarks->toPlainText());
    h.Ship = m_ship->value();
    h.Tax = m_tax->value();
    h.Due = m_due->value();
}

void TInvoice::clearInvoice()
{
    InvoiceMemory &m = invoiceMemory();
    m.items.clear();
    m.payments.clear();
    m.address = QStringList{QString()};
    resetGrid();
}

void TInvoice::BtnSaveClick()
{
    if (!m_date->confirmDate())
        return;
    copyFormToHeader();
    if (!m_calc.amountsFit()) {
        ui().information(tooLargeMessage() + QStringLiteral(" The invoice was not saved."));
        return;
    }
    const SaveResult saved = saveInvoice(m_custNote->text());
    if (saved.outcome != SaveOutcome::Saved)
        return;
    clearInvoice();
    Db &d = db();
    if (!saved.wasNew) {
        accept();
        return;
    }
    if (!ui().confirmYesNo(QStringLiteral("Add another invoice?"))) {
        d.selected.invoice = int(saved.recNo);
        accept();
        return;
    }
    startNewInvoice(clock().today());
    refreshDisplay();
    showCustomer();
    m_btnCust->setFocus();
}

void TInvoice::BtnDeleteClick()
{
    if (!ui().confirmOkCancel(QStringLiteral("Are you sure you want to delete this invoice?")))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    deleteInvoice();
    clearInvoice();
    db().inv6.buf.CuNo = 0;
    QApplication::restoreOverrideCursor();
    accept();
}

// ---- Commands ----------------------------------------------------------------------------

void TInvoice::BtnCancelClick()
{
    reject();
}

bool TInvoice::readyToPrint()
{
    if (db().inv6.buf.CuNo == 0) {
        ui().information(QStringLiteral("Customer must be selected to print"));
        return false;
    }
    copyFormToHeader();
    return true;
}

void TInvoice::BtnPrintClick()
{
    if (readyToPrint())
        showLoadedInvoice(this);
}

void TInvoice::BtnEMailClick()
{
    if (!readyToPrint())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mailLoadedInvoiceNow();
    QApplication::restoreOverrideCursor();
}

void TInvoice::Button1Click()
{
    if (readyToPrint())
        showLoadedPackingList(this);
}

void TInvoice::BtnBatchLabClick()
{
    addToBatchLabels(db().inv6.buf.CuNo);
}

void TInvoice::BtnExportClick()
{
    exportCardRecord(m_memo->text(), m_total->text());
}

void TInvoice::BtnImportClick()
{
    Db &d = db();
    InvoiceMemory &m = invoiceMemory();
    m.customerRecNo = 0;
    const ImportDirs dirs = loadImportDirs();
    // Whatever the editor was opened on, the order becomes a new invoice.
    d.selected.invoice = 0;
    startNewInvoice(clock().today());
    clearInvoice();
    refreshDisplay();
    showCustomer();

    if (dirs.info.size() < 3 || dirs.order.size() < 3) {
        readWebOrder(dirs, {}); // says where to name them
        return;
    }
    const QString here = QDir::currentPath();
    const QString chosen =
        ui().openFileName(QStringLiteral("Open"), orderDirectory(dirs.info), QStringLiteral("All files (*)"));
    QDir::setCurrent(here);
    // Only the name is taken from the dialog: both files are looked for
    // under it in their own directories.
    const QString name = QFileInfo(chosen).fileName();
    if (name.isEmpty())
        return;
    const std::optional<WebOrder> order = readWebOrder(dirs, name);
    if (!order)
        return;
    // The shipping and tax of the order stand: the charge lines are not
    // computed again.
    takeWebOrder(*order, clock().today());
    rememberImportedOrder(name);
    InvoiceRecord &h = d.inv6.buf;
    CustomerRecord &c = d.cust5.buf;
    refreshDisplay();

    bool multiple = false;
    long recNo = matchOrderCustomer(c, &multiple);
    if (recNo != 0) {
        takeCustomer(int(recNo));
        showCustomer();
        refreshDisplay();
        if (multiple)
            ui().warning(QStringLiteral("Multiple Matches on Name / Zip"));
    } else {
        m.address = buildAddressBlock(c);
        m_address->setPlainText(m.address.join(QLatin1Char('\n')));
        m_custNote->setText(c.note.trimmed());
        refreshDisplay();
        // A new customer joins the group chosen for it.
        const CustomerRecord imported = c;
        d.selected.group = 0;
        if (runPickGroup(true) && d.selected.group > 0 && d.groups.go(d.selected.group) == 0) {
            d.groups.read();
            CustomerRecord fresh = imported;
            recNo = addOrderCustomer(fresh, d.groups.buf.nGroup);
        } else {
            c = imported;
        }
        if (recNo == 0) {
            m_address->clear();
            h.CuNo = 0;
            m.address = QStringList{QString()};
            showCustomer();
        }
    }
    if (recNo != 0 && takeCustomer(int(recNo)))
        showCustomer();
}

void TInvoice::BtnDearCustClick()
{
    const Db &d = db();
    // Only a customer with an address that can be mailed to is thanked.
    if (d.inv6.buf.CuNo == 0 || !isMailableAddress(d.cust5.buf.email))
        return;
    EMailSender &sender = emailSender();
    sender.recipients = QStringList{d.cust5.buf.email.trimmed()};
    const long number = d.inv6.buf.IvNo;
    sender.subject = orderConfirmationSubject(number);
    QList<OrderedItem> items;
    for (const QStringList &row : invoiceMemory().items)
        items << OrderedItem{row.value(ItemPrID), row.value(ItemDesc)};
    sender.text = orderConfirmationText(number, items, webShopLines(QDir::currentPath()));
    // Without mail settings the window could send nothing: the set-up
    // message says what to do instead.
    if (!sender.clearMessage())
        return;
    m_dearCust->setText(QStringLiteral("Sending Message"));
    showEMailWindow(this);
    m_dearCust->setText(QStringLiteral("Dear Customer"));
}

void TInvoice::BitBtn1Click()
{
    help().showTopic(helpContext);
}

// ---- The editor and the command ----------------------------------------------------------

TInvoice &invoiceEditor()
{
    return onlyWindow<TInvoice>();
}

void editInvoice()
{
    invoiceEditor().exec();
}

void installInvoiceEditor()
{
    setNewRecordEditor(PickTable::Invoice, [] { editInvoice(); });
}

void runInvoiceCommand(QWidget *)
{
    TableScope scope(packList::invoices);
    Db &d = db();
    for (Table *t : {(Table *)&d.cust5, (Table *)&d.groups, (Table *)&d.inv6, (Table *)&d.itm5,
                     (Table *)&d.pmt, (Table *)&d.prod5})
        t->open();
    installInvoiceEditor();
    d.selected.invoice = lastInvoiceRecord();
    bool created = false;
    // "New" in the list opens the editor itself; an invoice chosen is edited here.
    while (runPickInv(true, &created))
        if (!created)
            editInvoice();
}

} // namespace tlv
