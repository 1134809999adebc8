#pragma once
// Whole-database maintenance: rebuilding index groups, packing tables and
// erasing the business data.
#include <QString>
#include <QStringList>

namespace tlv {

// Rebuilds the index groups of the indexed tables. quiet: only the groups with
// a missing file, without status display (start-up); otherwise every group,
// with the status "Rebuilding Indexes" and its progress. Returns the stems of
// the groups rebuilt. An engine error ends the program.
QStringList rebuildIndexes(bool quiet);

// Packs every table (memos compacted where they have any) with the status
// "Packing Data Files" and its progress, then clears the pack-needed flag.
// "Pack Data", the close of the main window and the end of the invoice
// command (through its TableScope) all pack this way. Returns one line per
// table that could not be packed (it is left as it was); the windows do not
// report them, tlvtool does.
QStringList packAll();

// After the warning "WARNING: You are about to erase all of your existing
// data." is answered OK, empties every business table. Label stock, settings,
// import formats and import directories are kept. Returns false when cancelled.
bool eraseData();

} // namespace tlv
