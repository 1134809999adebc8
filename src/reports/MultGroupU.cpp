#include "reports/MultGroupU.h"

#include "reports/Selection.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlv {

TMultGroup::TMultGroup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MultGroup"));
    setWindowTitle(QStringLiteral("Select One or More Groups"));

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("ListBox1"));
    // Each click toggles its item.
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_run = new QPushButton(QStringLiteral("Run"));
    m_run->setObjectName(QStringLiteral("BtnRun"));
    m_run->setDefault(true);
    m_all = new QPushButton(QStringLiteral("All"));
    m_all->setObjectName(QStringLiteral("BtnAll"));
    m_all->setAutoDefault(false);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("BtnCancel"));
    m_cancel->setAutoDefault(false);
    connect(m_run, &QPushButton::clicked, this, &TMultGroup::BtnRunClick);
    connect(m_all, &QPushButton::clicked, this, &TMultGroup::BtnAllClick);
    connect(m_cancel, &QPushButton::clicked, this, &TMultGroup::BtnCancelClick);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_all);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(300, 320);
}

void TMultGroup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TMultGroup::FormShow()
{
    m_list->clear();
    selection().chosenGroups.clear();
    m_list->addItems(groupListItems());
    if (m_list->count() == 1)
        m_list->item(0)->setSelected(true);
}

void TMultGroup::BtnAllClick()
{
    m_list->selectAll();
}

void TMultGroup::BtnRunClick()
{
    QStringList chosen;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->isSelected())
            chosen << m_list->item(i)->text();
    selection().chosenGroups = groupsOfItems(chosen);
    accept();
}

void TMultGroup::BtnCancelClick()
{
    reject();
}

bool askGroups(QWidget *parent)
{
    TMultGroup dialog(parent ? parent : QApplication::activeWindow());
    dialog.exec();
    return !selection().chosenGroups.isEmpty();
}

} // namespace tlv
