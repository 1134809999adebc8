#pragma once
// What the date-span and group dialogs leave behind for the reports, label
// batches, bulk e-mail and the mail-merge export to read.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace tlv {

struct Selection
{
    QDate startDate;         // first day of the span
    QDate endDate;           // last day of the span, inclusive
    bool cancelled = true;   // the last date-span (or label) dialog was not confirmed
    QList<int> chosenGroups; // group numbers chosen in the last group dialog
};

// The one selection state of the program.
Selection &selection();
// Forgets everything (tests).
void resetSelection();

// The current month of the clock: the first day as the starting date and the
// last day as the ending date.
void defaultMonth();

// Whether the span may be taken: the ending date is not before the starting
// date. A single-date question (ending date hidden) never checks the order.
bool spanInOrder(const QDate &start, const QDate &end, bool endingShown = true);
inline const char *spanOrderMessage()
{
    return "Ending Date must be greater than or equal to Starting Date.";
}

// The position of a group number in the chosen groups; -1 when absent.
int groupChosen(int number);

// One line of the group list: the number right-justified in two characters,
// " - " and the name.
QString groupListItem(int number, const QString &name);
// The group numbers of list lines, read from their first two characters.
QList<int> groupsOfItems(const QStringList &items);
// The lines of the group list: every group of GROUPS (open) that is not
// marked deleted, in "nGroup" order.
QStringList groupListItems();

} // namespace tlv
