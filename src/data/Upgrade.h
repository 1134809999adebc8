#pragma once
// "Upgrade Data": the data of an earlier program brought into the current
// tables. Two kinds of old directory are known by their files: version 1 of
// this program (invoices in Inv5) and versions 4-5 of Norvath (cust2, Prod4,
// inv, itm4). Old tables are read by field name, whatever their widths.
//
// Before anything is converted, the data directory (the current directory)
// is backed up, with the list of sums a backup writes, into a dated folder
// beside it, and the user is told where: a conversion that stops part way
// leaves whatever it converted so far, fully indexed, and that folder is the
// way back ("Restore" from it).
#include <QString>

namespace tlv {

enum class UpgradeSource { Version1, Norvath };

// Which conversion a chosen directory gets: version 1 when it holds Inv5.dbf
// (in any letter case), Norvath otherwise.
UpgradeSource upgradeSourceOf(const QString &dir);

// The directory the chooser starts in: the first of kst_brelt (holding
// Inv5.dbf), kst_vex or kst (holding Prod4.dbf) found at the root of the data
// directory's volume or in the home directory; "" when none is there.
QString upgradePreset();

enum class UpgradeResult {
    Converted,   // every step done
    NotFound,    // "Data files not found in ": nothing changed
    Cancelled,   // the warning was answered Cancel: nothing changed
    NotBackedUp, // the backup beforehand failed: nothing changed
    Failed,      // stopped part way: "Unable to convert all data files"
};

struct UpgradeOutcome
{
    UpgradeResult result = UpgradeResult::NotFound;
    QString backupDir; // where the data was backed up first; "" when it was not
};

// The whole command after the chooser, as "Upgrade Data" runs it: the
// conversion for the kind of directory chosen (askFirst: the warning box is
// shown; tlvtool takes its command line as the answer), a full index rebuild
// and "Unable to convert all data files" when it stopped part way, and always
// a pack of every table at the end. Every table is closed on return.
// busy, when given, is told when the work starts (true) and when it stops for
// a message or ends (false): the window shows the hourglass in between.
UpgradeOutcome upgradeFrom(const QString &chosen, bool askFirst = true, void (*busy)(bool) = nullptr);

} // namespace tlv
