#include "invoicing/PmtDefU.h"

#include "invoicing/InvoiceEditor.h"
#include "widgets/DateEdit.h"
#include "widgets/EnterAsTab.h"
#include "widgets/FormKitU.h"
#include "widgets/MoneyEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

TPmtDef::TPmtDef(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PmtDef"));
    setWindowTitle(QStringLiteral("Payment"));

    m_date = new DateEdit;
    m_date->setObjectName(QStringLiteral("DateTimePicker1"));
    m_date->setFixedWidth(m_date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
    enterMovesFocus(m_date);
    // Seven positions for digits or a sign, the separator and two decimals.
    m_amount = namedMoneyEdit("MaskEdit2", 7, 2);
    m_amount->setFixedWidth(m_amount->fontMetrics().horizontalAdvance(QStringLiteral("00000000000")) + 14);

    // Enter in a field moves on; it never closes the dialog by itself.
    m_save = namedButton("BtnSave", QStringLiteral("Save"));
    m_delete = namedButton("BtnDelete", QStringLiteral("Delete"));
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"));
    connect(m_save, &QPushButton::clicked, this, &TPmtDef::BtnSaveClick);
    connect(m_delete, &QPushButton::clicked, this, &TPmtDef::BtnDeleteClick);
    connect(m_cancel, &QPushButton::clicked, this, &TPmtDef::BtnCancelClick);

    auto *fields = new QGridLayout;
    fields->addWidget(captionFor(QStringLiteral("Date Paid:"), m_date), 0, 0, Qt::AlignRight);
    fields->addWidget(m_date, 0, 1, Qt::AlignLeft);
    fields->addWidget(captionFor(QStringLiteral("Amount:"), m_amount), 1, 0, Qt::AlignRight);
    fields->addWidget(m_amount, 1, 1, Qt::AlignLeft);
    fields->setColumnStretch(2, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    setTabOrder(m_date, m_amount);
    setTabOrder(m_amount, m_save);
    setTabOrder(m_save, m_delete);
    setTabOrder(m_delete, m_cancel);
}

void TPmtDef::setPayment(const QDate &date, const QString &amount, bool canDelete)
{
    m_date->setDate(date);
    m_amount->setText(amount);
    m_delete->setEnabled(canDelete);
}

QDate TPmtDef::date() const
{
    return m_date->date();
}

QString TPmtDef::amountText() const
{
    return m_amount->text();
}

void TPmtDef::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPmtDef::FormShow()
{
    paymentResult() = DialogCancel;
    m_date->setFocus();
}

void TPmtDef::closeWith(int result)
{
    paymentResult() = result;
    accept();
}

void TPmtDef::BtnSaveClick()
{
    if (!m_date->confirmDate())
        return;
    // Fields still being typed in count as left.
    m_amount->normalise();
    closeWith(DialogSave);
}

void TPmtDef::BtnDeleteClick()
{
    closeWith(DialogDelete);
}

void TPmtDef::BtnCancelClick()
{
    closeWith(DialogCancel);
}

} // namespace tlv
