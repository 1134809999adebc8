#pragma once
// Text dump of tables read through the engine's own calls, one line per field
// and per record, in the layout the independent readers (python3-dbf, Perl
// XBase) print, so a data directory can be compared with them line for line:
//   # table <file name>
//   F <NAME> <type> <len> <dec>
//   R <recno> <' ' or '*'> <value>...
// Fields are tab-separated; C values lose trailing blanks, N values are shown
// with the field's decimals, D as yyyymmdd, L as T or F, M as the memo text,
// and blank or unknown values as nothing. Bytes outside 0x20-0x7E are written
// as \xHH and a backslash as \\.

#include "xbase.h"

#include <string>

namespace xbase {

// Appends the dump of one table (a .dbf path or stem) to out; negative on error.
int dumpTable(CODE4 *c4, const std::string &name, std::string &out);
// Dumps every .dbf of dir in byte order of the file names.
int dumpDirectory(CODE4 *c4, const std::string &dir, std::string &out);
// The escaping of the dump: printable ASCII kept, backslash doubled, rest \xHH.
std::string dumpEscape(const char *bytes, size_t len);

} // namespace xbase
