#pragma once
// The batch label file: customer numbers collected from the invoice editor,
// one per line, for printing their address labels in one go later.
#include <QString>

namespace tlv {

// The file's name in the data directory.
inline constexpr const char *batchLabelFileName = "BatchLab.dat";

// Adds the customer to the batch label file in the current directory: with a
// customer number of 0 shows "Customer Not Selected"; when the file exists,
// asks whether to append (No starts it anew). Each line is the customer number
// right-aligned in six characters, ending CR LF. False when nothing was written.
bool addToBatchLabels(int customerNumber);

} // namespace tlv
