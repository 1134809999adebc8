#pragma once
// Customer groups (GROUPS): numbering, saving and deleting a group without
// the group window. Every customer belongs to one group through its group
// number; deleting a group moves its customers to another group first.
#include "data/Records.h"

#include <QString>

namespace tlv {

// The highest group number the two-digit number field can hold.
inline constexpr int maxGroupNumber = 99;
// The longest group name (the width of cGroup).
inline constexpr int groupNameLength = 20;

// The group number as shown: right-justified in two characters.
QString groupNumberText(int number);

// The lowest positive group number of the run that starts at 1 (1 for an
// empty table): the groups are walked in number order until a number is
// skipped. Marked-deleted groups keep their numbers until the pack. GROUPS
// must be open; its selected order is kept.
int nextGroupNumber();

// Opening the group window: recNo greater than 0 reads that record into the
// group buffer; otherwise the buffer is cleared (number 0, no name) and recNo
// becomes -1. GROUPS open.
void openGroup(int &recNo);

enum class GroupSave {
    Saved,
    BlankName,    // "Can't Save Blank Name"
    AppendFailed, // "Unable to add record at this time. Please try later."
    WriteFailed,  // the record could not be written to disk
    NumbersUsedUp // all 99 group numbers are taken
};
QString messageOf(GroupSave result);

// Saves the group opened as `loaded` with the name as typed (leading blanks
// kept). recNo greater than 0 rewrites that record; otherwise the group is
// new: it gets the next group number and a new record, whose number is stored
// into recNo. A record carrying the deleted mark is recalled. GROUPS open;
// nothing is written unless the result is Saved.
GroupSave saveGroup(int &recNo, const GroupRecord &loaded, const QString &name);

// The question asked before a group is deleted.
QString moveCustomersQuestion(const QString &groupName);

// Gives every customer of group `from` the group number `to` and returns how
// many were moved. CUST5 is opened for the purpose when it is not open (and
// closed again); its selected order is kept.
int moveCustomers(int from, int to);

enum class GroupDelete {
    Deleted,
    SameGroup,      // the receiving group is the group itself: nothing happens
    ReceiverDeleted // the receiving group is itself marked deleted
};
QString messageOf(GroupDelete result);

// Deletes the group at recNo after moving its customers to the group at
// receiverRecNo; the group is marked deleted and the pack-needed flag set.
// GROUPS open. Anything but Deleted changes nothing.
GroupDelete deleteGroup(int recNo, int receiverRecNo, int *moved = nullptr);

} // namespace tlv
