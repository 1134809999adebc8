#include "masterdata/GroupDefU.h"

#include "data/Database.h"
#include "data/TableScope.h"
#include "masterdata/Groups.h"
#include "picklists/PickGroupU.h"
#include "platform/Help.h"
#include "platform/Ui.h"
#include "widgets/EnterAsTab.h"
#include "widgets/FormKitU.h"
#include "widgets/StoredText.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

namespace {
constexpr int helpContext = 420;

// A stored name without the blanks that pad it to the field's width; leading
// blanks are part of the name.
QString unpadded(const QString &stored)
{
    qsizetype end = stored.size();
    while (end > 0 && stored.at(end - 1) == QLatin1Char(' '))
        --end;
    return stored.left(end);
}
} // namespace

TGroupDef::TGroupDef(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GroupDef"));
    setWindowTitle(QStringLiteral("Customer Group Definition"));

    m_number = new QLineEdit;
    m_number->setObjectName(QStringLiteral("Edit1"));
    m_number->setReadOnly(true);
    m_number->setFocusPolicy(Qt::NoFocus); // no tab stop
    m_number->setMaximumWidth(m_number->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 3 + 14);
    m_name = new QLineEdit;
    m_name->setObjectName(QStringLiteral("Edit2"));
    m_name->setMaxLength(groupNameLength);
    m_name->setMinimumWidth(m_name->fontMetrics().horizontalAdvance(QLatin1Char('n')) * groupNameLength + 12);
    enterMovesFocus(m_name);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Group Number:"), m_number);
    fields->addRow(QStringLiteral("Customer Group:"), m_name);

    m_save = namedButton("BtnSave", QStringLiteral("Save"), this, &TGroupDef::BtnSaveClick);
    m_delete = namedButton("BtnDelete", QStringLiteral("Delete"), this, &TGroupDef::BtnDeleteClick);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TGroupDef::BtnCancelClick);
    auto *buttons = buttonRow({m_save, m_delete, m_cancel});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(m_name, m_save);
    setTabOrder(m_save, m_delete);
    setTabOrder(m_delete, m_cancel);

    auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [] { help().showTopic(helpContext); });
    resize(sizeHint().width() + 60, sizeHint().height() + 16);
    guardStoredText(this);
}

void TGroupDef::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TGroupDef::FormShow()
{
    int &current = db().selected.group;
    openGroup(current);
    m_recNo = current;
    m_loaded = db().groups.buf;
    m_delete->setEnabled(current > 0);
    m_number->setText(groupNumberText(m_loaded.nGroup));
    m_name->setText(unpadded(m_loaded.cGroup));
    m_name->setFocus();
}

void TGroupDef::BtnSaveClick()
{
    int recNo = m_recNo;
    const GroupSave result = saveGroup(recNo, m_loaded, m_name->text());
    if (result != GroupSave::Saved) {
        ui().information(messageOf(result));
        if (result == GroupSave::BlankName)
            m_name->setFocus();
        return;
    }
    m_recNo = recNo;
    db().selected.group = recNo;
    accept();
}

void TGroupDef::BtnDeleteClick()
{
    if (m_recNo <= 0)
        return;
    if (!ui().confirmOkCancel(moveCustomersQuestion(m_loaded.cGroup)))
        return;
    // The list of groups takes the selected group as its start and result;
    // this window's own record is put back whatever is chosen.
    db().selected.group = m_recNo;
    const bool chosen = runPickGroup(/*allowNew=*/false);
    const int receiver = db().selected.group;
    db().selected.group = m_recNo;
    if (!chosen)
        return;
    const GroupDelete result = deleteGroup(m_recNo, receiver);
    if (result == GroupDelete::SameGroup)
        return;
    if (result != GroupDelete::Deleted) {
        ui().information(messageOf(result));
        return;
    }
    db().selected.group = 0;
    accept();
}

void TGroupDef::BtnCancelClick()
{
    reject();
}

bool editGroup(QWidget *parent)
{
    TGroupDef window(parent ? parent : QApplication::activeModalWidget());
    return window.exec() == QDialog::Accepted;
}

void installGroupEditor()
{
    setNewRecordEditor(PickTable::Group, [] { editGroup(); });
}

void runGroupCommand(QWidget *parent)
{
    installGroupEditor();
    TableScope scope(packList::groups);
    auto &groups = db().groups;
    groups.open();
    db().cust5.open();
    groups.useTag(tag::cGroup);
    int &selected = db().selected.group;
    selected = groups.top() == 0 ? int(groups.recNo()) : 0;
    for (;;) {
        bool created = false;
        if (runPickGroup(/*allowNew=*/true, &created)) {
            if (!created)
                editGroup(parent);
            continue;
        }
        // Not chosen: the list was cancelled, or "New" opened the group
        // window and that was cancelled; only the first ends the command.
        if (pickGroup().result() != QDialog::Accepted)
            break;
    }
}

} // namespace tlv
