#pragma once
// Group files (.cgp): plain text naming the index files of one table, one file
// name per line, with or without the .ntx extension. Blank lines and lines
// starting with '#' or ';' are ignored.

#include <string>
#include <vector>

namespace xbase {

// Reads the tag file names listed in a group file. 0, or e4index when the file
// is missing, unreadable or not a plain list of file names.
int readGroupFile(const std::string &path, std::vector<std::string> &tagFiles);

// The file names a group file's text lists, in order: the first word of
// every line that is neither blank nor a comment.
std::vector<std::string> groupFileEntries(const std::string &text);

// Writes a group file listing the given tag file names. 0 or e4create.
int writeGroupFile(const std::string &path, const std::vector<std::string> &tagFiles);

// The path of `name` in `dir`, matching the name without regard to case (an
// exact match wins); empty when there is no such file.
std::string findFileNoCase(const std::string &dir, const std::string &name);

// The path of the file a group file lists: `entry` in `dir`, with ".ntx" added
// when it has no extension; empty when there is no such file.
std::string resolveTagFile(const std::string &dir, const std::string &entry);

} // namespace xbase
