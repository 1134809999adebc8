#include "invoicing/PickLabU.h"

#include "platform/Ui.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

TPickLab::TPickLab(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PickLab"));
    setWindowTitle(QStringLiteral("PickLab"));

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });

    m_select = new QPushButton(QStringLiteral("Select"));
    m_select->setObjectName(QStringLiteral("BtnSelect"));
    m_select->setDefault(true);
    m_new = new QPushButton(QStringLiteral("New"));
    m_new->setObjectName(QStringLiteral("BtnNew"));
    m_new->setAutoDefault(false);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("BtnCancel"));
    m_cancel->setAutoDefault(false);
    connect(m_select, &QPushButton::clicked, this, &TPickLab::BtnSelectClick);
    connect(m_new, &QPushButton::clicked, this, &TPickLab::BtnNewClick);
    connect(m_cancel, &QPushButton::clicked, this, &TPickLab::BtnCancelClick);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_select);
    buttons->addWidget(m_new);
    buttons->addWidget(m_cancel);
    auto *main = new QVBoxLayout(this);
    main->addWidget(m_list, 1);
    main->addLayout(buttons);
    resize(320, 300);
}

void TPickLab::setNewAllowed(bool allowed)
{
    m_new->setEnabled(allowed);
}

void TPickLab::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPickLab::FormShow()
{
    m_list->clear();
    const NameList names = loadLabelNames(db().selected.labelStock);
    m_list->addItems(names.items);
    if (names.selectIndex >= 0)
        m_list->setCurrentRow(names.selectIndex);
    db().selected.labelStock = -1;
    m_list->setFocus();
}

void TPickLab::BtnSelectClick()
{
    const int index = m_list->currentRow();
    if (index < 0 || m_list->selectedItems().isEmpty()) {
        ui().information(QStringLiteral("Item Not Selected"));
        return;
    }
    db().selected.labelStock = int(recordAtIndex(db().labels, index));
    accept();
}

void TPickLab::BtnNewClick()
{
    db().selected.labelStock = 0;
    accept();
}

void TPickLab::BtnCancelClick()
{
    reject();
}

void TPickLab::reject()
{
    db().selected.labelStock = -1;
    QDialog::reject();
}

void TPickLab::ListBox1DblClick()
{
    BtnSelectClick();
}

namespace {
TPickLab *theWindow = nullptr;
}

TPickLab &pickLab()
{
    if (!theWindow) {
        theWindow = new TPickLab;
        qAddPostRoutine([] {
            delete theWindow;
            theWindow = nullptr;
        });
    }
    return *theWindow;
}

bool runPickLab(bool allowNew, bool *created)
{
    return runPickList(
        PickTable::LabelStock, allowNew,
        [](bool allow) {
            TPickLab &w = pickLab();
            w.setNewAllowed(allow);
            w.exec();
        },
        created);
}

} // namespace tlv
