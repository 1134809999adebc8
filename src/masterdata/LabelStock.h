#pragma once
// Label stock (LABELS): the sheet or pin-feed form geometry the address labels
// are laid out on, in printer points of 1/72 inch.
#include "data/Records.h"

#include <QString>

namespace tlv {

// A new stock: no name, no dimensions, one label across, cut sheets.
LabelRecord newLabelStock();

// Labels across as typed into its one-digit field; a blank field counts as
// one label across.
int labelsAcrossOf(const QString &typed);

enum class LabelSave {
    Saved,
    NoName,       // "Please fill in label name."
    AppendFailed, // "Unable to Append record . . Please try again."
    WriteFailed,  // the record could not be written to disk
};
QString messageOf(LabelSave result);

// Saves the stock held in `entry` (its name is trimmed). recNo is its record
// number, 0 or less for a new stock; a new stock's record number is stored
// into it once appended. LABELS must be open.
LabelSave saveLabelStock(long &recNo, const LabelRecord &entry);

} // namespace tlv
