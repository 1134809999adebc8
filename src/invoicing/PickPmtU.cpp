#include "invoicing/PickPmtU.h"

#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "invoicing/InvoiceEditor.h"
#include "invoicing/PmtDefU.h"
#include "picklists/PickGridU.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

namespace tlv {

namespace {

constexpr int visibleRows = 11; // more payments than this need the scroll bar
constexpr int scrollBarRoom = 16;
constexpr int amountDigits = 7; // as many integer digits as the payment dialog admits

// Widths in letters "M"; each widened to its widest date or amount.
std::array<PickColumn, 2> paymentColumns()
{
    return {{{"Date", 7, false, widestDates()}, {"Amount", 10, true, widestNumbers(amountDigits, 2)}}};
}

} // namespace

TPickPmt::TPickPmt(TPmtDef *paymentDialog, QWidget *parent) : QDialog(parent), m_paymentDialog(paymentDialog)
{
    setObjectName(QStringLiteral("PickPmt"));
    setWindowTitle(QStringLiteral("Select Payment"));

    m_grid = new QTableWidget;
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setColumnCount(2);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Amount")});
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->verticalScrollBar()->setFixedWidth(scrollBarRoom);
    m_grid->setWordWrap(false);
    // The heading and eleven payments show without scrolling.
    const int rowHeight = m_grid->verticalHeader()->defaultSectionSize();
    m_grid->horizontalHeader()->setFixedHeight(rowHeight);
    m_grid->setFixedHeight(rowHeight * (visibleRows + 1) + m_grid->frameWidth() * 2);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { editRow(row + 1); });

    m_select = new QPushButton(QStringLiteral("Select"));
    m_select->setObjectName(QStringLiteral("BtnSelect"));
    m_select->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("BtnCancel"));
    m_cancel->setAutoDefault(false);
    connect(m_select, &QPushButton::clicked, this, &TPickPmt::BtnSelectClick);
    connect(m_cancel, &QPushButton::clicked, this, &TPickPmt::BtnCancelClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_select);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    // The buttons centred under the grid, whatever room the window leaves.
    auto *column = new QVBoxLayout;
    column->addWidget(m_grid);
    column->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(column);
    layout->addStretch();
}

void TPickPmt::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TPickPmt::FormShow()
{
    const QList<QStringList> &payments = invoiceMemory().payments;
    const int m = m_grid->fontMetrics().horizontalAdvance(QLatin1Char('M'));
    int gridWidth = 1 + m_grid->frameWidth() * 2;
    const std::array<PickColumn, 2> columns = paymentColumns();
    for (int c = 0; c < int(columns.size()); ++c) {
        m_grid->setColumnWidth(c, fittedColumnWidth(*m_grid, columns[size_t(c)], m));
        gridWidth += m_grid->columnWidth(c);
    }
    if (payments.size() > visibleRows)
        gridWidth += scrollBarRoom;
    m_grid->setFixedWidth(gridWidth);

    m_grid->clearContents();
    m_grid->setRowCount(int(payments.size()));
    for (int r = 0; r < payments.size(); ++r) {
        m_grid->setItem(r, 0, new QTableWidgetItem(payments[r].value(PaymentDate)));
        auto *amount = new QTableWidgetItem(payments[r].value(PaymentAmount));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grid->setItem(r, 1, amount);
    }
    m_grid->setCurrentCell(payments.isEmpty() ? -1 : 0, 0);

    layout()->activate();
    const int wanted = m_grid->geometry().right() + 16;
    if (width() < wanted)
        resize(wanted, height());
    m_grid->setFocus();
}

void TPickPmt::BtnSelectClick()
{
    editRow(m_grid->currentRow() + 1);
}

void TPickPmt::BtnCancelClick()
{
    reject();
}

void TPickPmt::editRow(int row)
{
    QList<QStringList> &payments = invoiceMemory().payments;
    const int index = row - 1;
    if (index < 0 || index >= payments.size())
        return;
    m_paymentDialog->setPayment(shortToDate(payments[index].value(PaymentDate)),
                                payments[index].value(PaymentAmount), true);
    m_paymentDialog->exec();
    switch (paymentResult()) {
    case DialogSave:
        payments[index] = QStringList{dateToShort(m_paymentDialog->date()), m_paymentDialog->amountText()};
        break;
    case DialogDelete:
        payments.removeAt(index);
        break;
    default:
        break;
    }
    accept();
}

} // namespace tlv
