#include "reports/DateSpanU.h"

#include "platform/Ui.h"
#include "reports/Selection.h"
#include "widgets/DateEdit.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tlv {

namespace {
const char *const beginningCaption = "Print Beginning:";
} // namespace

TDateSpan::TDateSpan(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DateSpan"));
    setWindowTitle(QStringLiteral("DateSpan"));

    QFont bold = font();
    bold.setBold(true);
    m_label1 = new QLabel(QString::fromLatin1(beginningCaption));
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(bold);
    m_start = new DateEdit;
    m_start->setObjectName(QStringLiteral("DateTimePicker1"));
    m_label2 = new QLabel(QStringLiteral("Ending:"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setFont(bold);
    m_end = new DateEdit;
    m_end->setObjectName(QStringLiteral("DateTimePicker2"));
    m_label1->setBuddy(m_start);
    m_label2->setBuddy(m_end);

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("BtnOK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("BtnCancel"));
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &TDateSpan::BtnOKClick);
    connect(m_cancel, &QPushButton::clicked, this, &TDateSpan::BtnCancelClick);

    auto *grid = new QGridLayout;
    grid->addWidget(m_label1, 0, 0);
    grid->addWidget(m_start, 0, 1);
    grid->addWidget(m_label2, 1, 0);
    grid->addWidget(m_end, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void TDateSpan::setSingleDate(const QString &caption)
{
    m_label1->setText(caption);
    m_label2->hide();
    m_end->hide();
}

void TDateSpan::restoreSpan()
{
    m_label1->setText(QString::fromLatin1(beginningCaption));
    m_label2->show();
    m_end->show();
}

void TDateSpan::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TDateSpan::FormShow()
{
    m_start->setDate(selection().startDate);
    m_end->setDate(selection().endDate);
    selection().cancelled = true;
    m_start->setFocus();
}

void TDateSpan::takeDates()
{
    selection().startDate = m_start->date();
    // A single-date question leaves the ending date as it was.
    if (!m_end->isHidden())
        selection().endDate = m_end->date();
}

void TDateSpan::BtnOKClick()
{
    if (!m_start->confirmDate() || (!m_end->isHidden() && !m_end->confirmDate()))
        return;
    takeDates();
    if (!spanInOrder(selection().startDate, selection().endDate, !m_end->isHidden())) {
        ui().plain(QString::fromLatin1(spanOrderMessage()));
        return;
    }
    selection().cancelled = false;
    accept();
}

void TDateSpan::BtnCancelClick()
{
    takeDates();
    selection().cancelled = true;
    reject();
}

bool askDateSpan(QWidget *parent)
{
    TDateSpan dialog(parent ? parent : QApplication::activeWindow());
    dialog.exec();
    return !selection().cancelled;
}

bool askSingleDate(const QString &caption, QWidget *parent)
{
    TDateSpan dialog(parent ? parent : QApplication::activeWindow());
    dialog.setSingleDate(caption);
    dialog.exec();
    dialog.restoreSpan();
    return !selection().cancelled;
}

} // namespace tlv
