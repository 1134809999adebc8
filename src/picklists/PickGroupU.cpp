#include "picklists/PickGroupU.h"

#include <QLineEdit>
#include <QListWidget>

namespace tlv {

TPickGroup::TPickGroup(QWidget *parent) : TPickNames("PickGroup", QSize(280, 320), /*withSeek=*/true, parent)
{
    connect(m_seek, &QLineEdit::textChanged, this, &TPickGroup::Edit1Change);
}

int &TPickGroup::selectedRecord()
{
    return db().selected.group;
}

NameList TPickGroup::loadNames()
{
    auto &groups = db().groups;
    m_previousOrder = groups.selectedTag();
    groups.useTag(tag::cGroup);
    NameList names = loadGroupNames(db().selected.group);
    m_upper = names.upperNames;
    return names;
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

long TPickGroup::recordAt(int index)
{
    auto &groups = db().groups;
    groups.useTag(tag::cGroup);
    return recordAtIndex(groups, index);
}

void TPickGroup::closing()
{
    auto &groups = db().groups;
    if (groups.isOpen())
        groups.selectTag(m_previousOrder.toLatin1().constData());
    m_upper.clear();
}

TPickGroup &pickGroup()
{
    return onlyWindow<TPickGroup>();
}

bool runPickGroup(bool allowNew, bool *created)
{
    return runPickWindow<TPickGroup>(PickTable::Group, allowNew, created);
}

} // namespace tlv
