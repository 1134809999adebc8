#pragma once
// The files of a data directory as a whole: which of them exist, and the empty
// tables a new installation starts from. The program itself never creates a
// table; tlvtool and the tests do.
#include "data/Records.h"

#include <QString>
#include <QStringList>

namespace tlv {

// The settings record a new business starts with.
SettingsRecord newBusinessSettings();

// The data files (every table's .dbf, .dbt, .cgp and .ntx) already present in
// dir, matched without regard to the case of their names.
QStringList existingDataFiles(const QString &dir);

// Writes the eleven tables into dir (which must exist): each with its memo
// file, its group file and empty tag files, the settings table with its one
// record (newBusinessSettings()) and the import directories with their one
// empty record. Never overwrites a file. Returns "" on success, otherwise what
// went wrong (and the files written so far are removed again).
QString createDataFiles(const QString &dir);

} // namespace tlv
