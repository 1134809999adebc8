#pragma once
// Verifies a data directory: every table opens, and every tag of each index
// group holds exactly one key per record, in order, each equal to the key
// built from its record.
#include <QString>
#include <QStringList>

namespace tlv {

struct CheckResult
{
    int passed = 0;
    int failed = 0;
    QStringList problems; // one line per problem
};

// Checks the tables of the current directory. Opens and closes its own
// tables; every other table must be closed.
CheckResult checkDataFiles();

} // namespace tlv
