#include "invoicing/PickGroupU.h"

#include "platform/Ui.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

TPickGroup::TPickGroup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PickGroup"));
    setWindowTitle(QStringLiteral("PickGroup"));

    m_seek = new QLineEdit;
    m_seek->setObjectName(QStringLiteral("Edit1"));
    m_seek->setMaxLength(20);
    auto *seekCaption = new QLabel(QStringLiteral("Seek:"));
    seekCaption->setBuddy(m_seek);
    connect(m_seek, &QLineEdit::textChanged, this, &TPickGroup::Edit1Change);

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->installEventFilter(this);
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
    connect(m_select, &QPushButton::clicked, this, &TPickGroup::BtnSelectClick);
    connect(m_new, &QPushButton::clicked, this, &TPickGroup::BtnNewClick);
    connect(m_cancel, &QPushButton::clicked, this, &TPickGroup::BtnCancelClick);

    auto *seekRow = new QHBoxLayout;
    seekRow->addWidget(seekCaption);
    seekRow->addWidget(m_seek, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_select);
    buttons->addWidget(m_new);
    buttons->addWidget(m_cancel);
    auto *main = new QVBoxLayout(this);
    main->addLayout(seekRow);
    main->addWidget(m_list, 1);
    main->addLayout(buttons);
    resize(280, 320);
}

void TPickGroup::setNewAllowed(bool allowed)
{
    m_new->setEnabled(allowed);
}

void TPickGroup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPickGroup::FormShow()
{
    {
        const QSignalBlocker quiet(m_seek);
        m_seek->clear();
    }
    m_list->clear();
    auto &groups = db().groups;
    m_previousOrder = groups.selectedTag();
    m_shown = true;
    groups.useTag(tag::cGroup);
    const NameList names = loadGroupNames(db().selected.group);
    m_list->addItems(names.items);
    m_upper = names.upperNames;
    if (names.selectIndex >= 0)
        m_list->setCurrentRow(names.selectIndex);
    m_seek->setFocus();
}

void TPickGroup::Edit1Change()
{
    if (m_upper.size() < 2)
        return;
    const int index = seekNameIndex(m_upper, seekText(m_seek->text()));
    if (index < 0) {
        m_list->clearSelection();
        m_list->setCurrentRow(-1);
    } else {
        m_list->setCurrentRow(index);
    }
}

void TPickGroup::BtnSelectClick()
{
    const int index = m_list->currentRow();
    if (index < 0 || m_list->selectedItems().isEmpty()) {
        ui().information(QStringLiteral("Item Not Selected"));
        return;
    }
    auto &groups = db().groups;
    groups.useTag(tag::cGroup);
    db().selected.group = int(recordAtIndex(groups, index));
    accept();
}

void TPickGroup::BtnNewClick()
{
    db().selected.group = 0;
    accept();
}

void TPickGroup::BtnCancelClick()
{
    reject();
}

void TPickGroup::reject()
{
    // Cancel, Escape and the window's close box all mean: nothing chosen.
    db().selected.group = -1;
    QDialog::reject();
}

void TPickGroup::ListBox1DblClick()
{
    BtnSelectClick();
}

void TPickGroup::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TPickGroup::FormClose()
{
    if (!m_shown)
        return;
    m_shown = false;
    auto &groups = db().groups;
    if (groups.isOpen())
        groups.selectTag(m_previousOrder.toLatin1().constData());
    m_upper.clear();
}

bool TPickGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BtnSelectClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace {
TPickGroup *theWindow = nullptr;
}

TPickGroup &pickGroup()
{
    if (!theWindow) {
        theWindow = new TPickGroup;
        qAddPostRoutine([] {
            delete theWindow;
            theWindow = nullptr;
        });
    }
    return *theWindow;
}

bool runPickGroup(bool allowNew, bool *created)
{
    return runPickList(
        PickTable::Group, allowNew,
        [](bool allow) {
            TPickGroup &w = pickGroup();
            w.setNewAllowed(allow);
            w.exec();
        },
        created);
}

} // namespace tlv
