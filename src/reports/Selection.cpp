#include "reports/Selection.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "platform/Clock.h"

namespace tlv {

namespace {
Selection state;
} // namespace

Selection &selection()
{
    return state;
}

void resetSelection()
{
    state = Selection{};
}

void defaultMonth()
{
    const QDate today = clock().today();
    const QDate first(today.year(), today.month(), 1);
    // Walk back from a day safely inside the next month to the last day of this one.
    QDate last = first.addDays(31);
    while (last.month() != first.month())
        last = last.addDays(-1);
    state.startDate = first;
    state.endDate = last;
}

bool spanInOrder(const QDate &start, const QDate &end, bool endingShown)
{
    return !endingShown || start <= end;
}

int groupChosen(int number)
{
    return indexInList(state.chosenGroups, number);
}

QString groupListItem(int number, const QString &name)
{
    return paddedNumber(number, 2) + QStringLiteral(" - ") + name;
}

QList<int> groupsOfItems(const QStringList &items)
{
    QList<int> groups;
    for (const QString &item : items)
        groups << item.left(2).trimmed().toInt();
    return groups;
}

QStringList groupListItems()
{
    QStringList items;
    auto &groups = db().groups;
    groups.useTag(tag::nGroup);
    for (groups.top(); !groups.eof(); groups.skip()) {
        if (groups.isDeleted())
            continue;
        groups.read();
        items << groupListItem(groups.buf.nGroup, groups.buf.cGroup.trimmed());
    }
    return items;
}

} // namespace tlv
