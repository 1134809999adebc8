#pragma once
// "Export Merge File" of the Bulk Mail list: the groups, then the file, then
// the mail-merge file itself (reports/MergeExport.h).
class QWidget;

namespace tlv {

// The save dialog's filter: the tab-delimited ".doc" file first (the
// default), then CSV.
inline constexpr const char *mergeFileFilter = "Delimited files (*.doc);;CSV (*.csv)";

void runMergeExport(QWidget *parent = nullptr);

} // namespace tlv
