#include "masterdata/Groups.h"

#include "data/Database.h"
#include "data/Helpers.h"

namespace tlv {

namespace {
// Reselects a table's order when it goes out of scope.
class KeepOrder
{
public:
    explicit KeepOrder(Table &t) : m_table(t), m_order(t.selectedTag().toLatin1()) {}
    ~KeepOrder() { m_table.selectTag(m_order.constData()); }
    KeepOrder(const KeepOrder &) = delete;
    KeepOrder &operator=(const KeepOrder &) = delete;

private:
    Table &m_table;
    QByteArray m_order;
};
} // namespace

QString groupNumberText(int number)
{
    return paddedNumber(number, 2);
}

int nextGroupNumber()
{
    auto &groups = db().groups;
    if (groups.recCount() == 0)
        return 1;
    const KeepOrder keep(groups);
    groups.useTag(tag::nGroup);
    FIELD4 *number = groups.field(fld::nGroup);
    int last = 0;
    for (int r = groups.top(); r == 0; r = groups.skip(1)) {
        const int n = fieldio::readInt(number);
        if (n > last + 1)
            break;
        if (n > last) // a stray 0 or negative number does not pull the walk back
            last = n;
    }
    return last + 1;
}

void openGroup(int &recNo)
{
    auto &groups = db().groups;
    if (recNo > 0 && groups.go(recNo) == 0) {
        groups.read();
    } else {
        groups.clear();
        recNo = -1;
    }
}

QString messageOf(GroupSave result)
{
    switch (result) {
    case GroupSave::Saved:
        return {};
    case GroupSave::BlankName:
        return QStringLiteral("Can't Save Blank Name");
    case GroupSave::AppendFailed:
        return QStringLiteral("Unable to add record at this time. Please try later.") + writeFailureLine();
    case GroupSave::WriteFailed:
        return QStringLiteral("The record could not be saved.") + writeFailureLine();
    case GroupSave::NumbersUsedUp:
        return QStringLiteral("Unable to add record. All group numbers up to %1 are in use.")
            .arg(maxGroupNumber);
    }
    return {};
}

GroupSave saveGroup(int &recNo, const GroupRecord &loaded, const QString &name)
{
    if (name.trimmed().isEmpty())
        return GroupSave::BlankName;
    auto &groups = db().groups;
    GroupRecord r = loaded;
    // A record without a number (from older data) is numbered rather than
    // left as "no group".
    if (recNo <= 0 || r.nGroup == 0) {
        r.nGroup = nextGroupNumber();
        // The two-digit field would store a larger number as asterisks.
        if (r.nGroup > maxGroupNumber)
            return GroupSave::NumbersUsedUp;
    }
    if (recNo <= 0) {
        if (!groups.appendBlank())
            return GroupSave::AppendFailed;
        recNo = int(groups.recNo());
    }
    groups.go(recNo);
    r.cGroup = name;
    groups.buf = r;
    if (groups.write() != 0)
        return GroupSave::WriteFailed;
    if (groups.isDeleted()) {
        groups.recall();
        if (groups.flush() != 0)
            return GroupSave::WriteFailed;
    }
    return GroupSave::Saved;
}

QString moveCustomersQuestion(const QString &groupName)
{
    return QStringLiteral("Move Customers in ") + groupName.trimmed() +
           QStringLiteral(" to a selected group");
}

int moveCustomers(int from, int to)
{
    auto &cust = db().cust5;
    const bool wasOpen = cust.isOpen();
    if (!wasOpen)
        cust.open();
    int moved = 0;
    {
        const KeepOrder keep(cust);
        // Record order: the group number is in no key, and a plain walk reads
        // the file front to back.
        cust.selectTag(nullptr);
        FIELD4 *group = cust.field(fld::ngroup);
        for (int r = cust.top(); r == 0; r = cust.skip(1)) {
            if (fieldio::readInt(group) != from)
                continue;
            fieldio::writeInt(group, to);
            ++moved;
        }
        cust.flush();
    }
    if (!wasOpen)
        cust.close();
    else
        cust.top();
    return moved;
}

QString messageOf(GroupDelete result)
{
    switch (result) {
    case GroupDelete::Deleted:
    case GroupDelete::SameGroup:
        return {};
    case GroupDelete::ReceiverDeleted:
        return QStringLiteral("Can't Move Customers to a Deleted Group");
    }
    return {};
}

GroupDelete deleteGroup(int recNo, int receiverRecNo, int *moved)
{
    if (moved)
        *moved = 0;
    if (receiverRecNo == recNo)
        return GroupDelete::SameGroup;
    auto &groups = db().groups;
    FIELD4 *number = groups.field(fld::nGroup);
    groups.go(receiverRecNo);
    // Customers moved into a group that the pack is about to remove would be
    // left without a group.
    if (groups.isDeleted())
        return GroupDelete::ReceiverDeleted;
    const int to = fieldio::readInt(number);
    groups.go(recNo);
    const int from = fieldio::readInt(number);
    const int count = from == to ? 0 : moveCustomers(from, to);
    if (moved)
        *moved = count;
    groups.go(recNo);
    groups.markDeleted();
    groups.flush();
    db().packNeeded = true;
    return GroupDelete::Deleted;
}

} // namespace tlv
