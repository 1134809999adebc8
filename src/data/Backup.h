#pragma once
// Backup and restore: the business data files copied between the data
// directory (the current directory) and another directory, one file at a time.
//
// No copy ever leaves a file half written under its own name: each file is
// written to a temporary name beside its target, synced, and renamed into
// place. A backup also writes "TLVBACKUP.txt" beside the copies: the program
// version, the date, and each file's size and SHA-256 sum. A restore copies
// every file of the backup into the data directory under temporary names
// first (checking them against that list when there is one), keeps the
// current files aside under a second name, and only then renames the new
// files into place; a rename that fails puts the kept files back, and a
// restore cut short in the middle of its renames is rolled back by
// recoverInterruptedRestore() at the next start.
#include <QString>
#include <QStringList>
#include <span>

namespace tlv {

enum class CopyDirection { ToBackup, FromBackup };

struct BackupFile
{
    const char *name;
    int progress; // shown after the file; 0: none
};

// The files copied, in the order they are copied.
std::span<const BackupFile> backupFiles();

// The list of sums a backup writes beside its files.
QString manifestFileName();

// The whole backup after the chooser: refuses the data directory itself
// ("Backup must be to a different drive and/or directory"), copies every file
// and reports "Backup Failed . . Check that disk is not write protected" when
// a file was not copied. Returns true when every file was copied.
bool backupTo(const QString &chosen);

// The whole restore after the chooser: refuses the data directory itself,
// closes every table, copies the backup's files in (see above), reports a
// failure, and always ends by rebuilding every index. The caller holds the
// data directory's lock. Returns true when every file was restored.
bool restoreFrom(const QString &chosen);

// Copies every file in the given direction with the status "Copying Data
// Files" and its progress; false at the first file that fails (reported to
// the user where a reason is known). A restore changes no file of the data
// directory unless every file arrived.
bool copyAllFiles(CopyDirection direction, const QString &otherDir);

// Copies one file over target through a temporary name beside it (synced,
// then renamed into place), so target is never left half written. False,
// with target untouched, when the copy failed.
bool copyFileSafely(const QString &source, const QString &target);

// Puts back the files a restore kept aside when that restore was cut short
// while renaming its new files into place; removes the temporary files any
// backup or restore left in dir. True when a restore was rolled back.
bool recoverInterruptedRestore(const QString &dir);

// Whether dir lies on a removable medium (a restore from one asks for the
// disk holding a missing file). Tests replace the check.
bool onRemovableMedium(const QString &dir);
using RemovableCheck = bool (*)(const QString &dir);
void setRemovableCheck(RemovableCheck check); // null: the real check

} // namespace tlv
