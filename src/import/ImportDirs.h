#pragma once
// The two directories of the web order import, kept in the one record of
// ImpDirs in the data directory: where the order information files are and
// where the order files of the same names are.
#include <QString>

namespace tlv {

struct ImportDirs
{
    QString info;  // InfoDir
    QString order; // OrderDir
};

// The longest path written; the table cuts what its fields cannot hold.
inline constexpr int importDirMax = 126;

// Opens ImpDirs, reads its record (both paths trimmed) and closes it again.
// Empty paths when the table holds no record.
ImportDirs loadImportDirs();
// Opens ImpDirs, writes both paths as given (at most 126 characters each)
// into its record and closes it, which makes the record durable. A table
// left without its record gets it back.
void storeImportDirs(const ImportDirs &dirs);

} // namespace tlv
