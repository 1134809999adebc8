#include "invoicing/ItemDefU.h"

#include "data/Helpers.h"
#include "data/Settings.h"
#include "invoicing/InvoiceCalc.h"
#include "platform/Help.h"
#include "platform/Ui.h"
#include "widgets/EnterAsTab.h"
#include "widgets/FormKitU.h"
#include "widgets/MoneyEdit.h"
#include "widgets/StoredText.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace tlv {

namespace {

constexpr int helpContext = 1120;
constexpr int descriptionLength = 27; // PDesc and IComm

} // namespace

TItemDef::TItemDef(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ItemDef"));
    setWindowTitle(QStringLiteral("Invoice Line Item"));

    m_product = new QLineEdit;
    m_product->setObjectName(QStringLiteral("Edit1"));
    m_product->setReadOnly(true);
    m_product->setFocusPolicy(Qt::ClickFocus);
    m_desc = new QLineEdit;
    m_desc->setObjectName(QStringLiteral("Edit2"));
    m_desc->setMaxLength(descriptionLength);
    m_comment = new QLineEdit;
    m_comment->setObjectName(QStringLiteral("Edit3"));
    m_comment->setMaxLength(descriptionLength);
    m_price = new MoneyEdit(5, 2);
    m_price->setObjectName(QStringLiteral("MaskEdit1"));
    m_quantity = new MoneyEdit(6, 2);
    m_quantity->setObjectName(QStringLiteral("MaskEdit2"));
    m_total = new MoneyEdit(7, 2);
    m_total->setObjectName(QStringLiteral("MaskEdit3"));
    m_total->setReadOnly(true);
    m_tax1 = new QCheckBox;
    m_tax1->setObjectName(QStringLiteral("CheckBox1"));
    m_tax2 = new QCheckBox;
    m_tax2->setObjectName(QStringLiteral("CheckBox2"));
    const int moneyWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 16;
    for (MoneyEdit *e : {m_price, m_quantity, m_total})
        e->setFixedWidth(moneyWidth);
    m_desc->setMinimumWidth(fontMetrics().horizontalAdvance(QString(descriptionLength, QLatin1Char('M'))) *
                            3 / 4);

    for (QWidget *w : {(QWidget *)m_desc, (QWidget *)m_comment, (QWidget *)m_price, (QWidget *)m_quantity,
                       (QWidget *)m_total})
        enterMovesFocus(w);
    m_price->installEventFilter(this);
    m_quantity->installEventFilter(this);

    // Enter in a field moves on; it never closes the dialog by itself.
    m_save = namedButton("BtnSave", QStringLiteral("Save"));
    m_delete = namedButton("BtnDelete", QStringLiteral("Delete"));
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"));
    connect(m_save, &QPushButton::clicked, this, &TItemDef::BtnSaveClick);
    connect(m_delete, &QPushButton::clicked, this, &TItemDef::BtnDeleteClick);
    connect(m_cancel, &QPushButton::clicked, this, &TItemDef::BtnCancelClick);

    auto *grid = new QGridLayout;
    auto label = [](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(QStringLiteral("Product"), m_product), 0, 0);
    grid->addWidget(m_product, 0, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("Description"), m_desc), 1, 0);
    grid->addWidget(m_desc, 1, 1, 1, 3);
    grid->addWidget(m_comment, 2, 1, 1, 3);
    auto *amounts = new QGridLayout;
    amounts->addWidget(label(QStringLiteral("Unit Price"), m_price), 0, 0);
    amounts->addWidget(label(QStringLiteral("Quantity"), m_quantity), 0, 1);
    amounts->addWidget(label(QStringLiteral("Total"), m_total), 0, 2);
    amounts->addWidget(m_price, 1, 0);
    amounts->addWidget(m_quantity, 1, 1);
    amounts->addWidget(m_total, 1, 2);
    amounts->setColumnStretch(3, 1);
    grid->addLayout(amounts, 3, 1, 1, 3);
    auto *flags = new QHBoxLayout;
    flags->addWidget(m_tax1);
    flags->addSpacing(24);
    flags->addWidget(m_tax2);
    flags->addStretch();
    grid->addLayout(flags, 4, 1, 1, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    setTabOrder(m_desc, m_comment);
    setTabOrder(m_comment, m_price);
    setTabOrder(m_price, m_quantity);
    setTabOrder(m_quantity, m_total);
    setTabOrder(m_total, m_tax1);
    setTabOrder(m_tax1, m_tax2);
    setTabOrder(m_tax2, m_save);
    setTabOrder(m_save, m_delete);
    setTabOrder(m_delete, m_cancel);

    auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, [] { help().showTopic(helpContext); });
    guardStoredText(this);
}

void TItemDef::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TItemDef::FormShow()
{
    m_tax1->setText(settings().ShipLine.trimmed());
    m_tax2->setText(settings().TaxLine.trimmed());
    lineItemResult() = DialogCancel;
    m_desc->setFocus();
}

void TItemDef::setLine(const LineFields &f)
{
    m_product->setText(f.prId);
    m_desc->setText(f.description);
    m_comment->setText(f.comment);
    m_tax1->setChecked(f.tax1);
    m_tax2->setChecked(f.tax2);
    m_price->setText(f.price);
    m_quantity->setText(f.quantity);
    showTotal();
}

LineFields TItemDef::line() const
{
    LineFields f;
    f.prId = m_product->text();
    f.description = m_desc->text();
    f.comment = m_comment->text();
    f.price = m_price->text();
    f.quantity = m_quantity->text();
    f.tax1 = m_tax1->isChecked();
    f.tax2 = m_tax2->isChecked();
    return f;
}

bool TItemDef::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (watched == m_price)
                MaskEdit1Exit();
            else if (watched == m_quantity)
                MaskEdit2Exit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TItemDef::MaskEdit1Exit()
{
    m_price->normalise();
    showTotal();
}

void TItemDef::MaskEdit2Exit()
{
    m_quantity->normalise();
    showTotal();
}

void TItemDef::showTotal()
{
    // The field turns red by itself while its text holds a minus sign. A
    // total too large for the field is shown as asterisks, never cut.
    const double total = dialogTotal(m_price->value(), m_quantity->value());
    if (Hundredths::of(total).fitsIn(moneyWidth))
        m_total->setValue(total);
    else
        m_total->setText(QString(moneyWidth, QLatin1Char('*')));
}

void TItemDef::closeWith(int result)
{
    lineItemResult() = result;
    accept();
}

void TItemDef::BtnSaveClick()
{
    // A field still being typed in counts as left.
    if (m_price->hasFocus())
        MaskEdit1Exit();
    else if (m_quantity->hasFocus())
        MaskEdit2Exit();
    if (!lineAmountOf(Hundredths::read(m_price->text()), Hundredths::read(m_quantity->text()))
             .fitsIn(moneyWidth)) {
        ui().information(tooLargeMessage() + QStringLiteral(" Lower the price or the quantity."));
        return;
    }
    closeWith(DialogSave);
}

void TItemDef::BtnDeleteClick()
{
    closeWith(DialogDelete);
}

void TItemDef::BtnCancelClick()
{
    closeWith(DialogCancel);
}

} // namespace tlv
