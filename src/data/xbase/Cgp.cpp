#include "Cgp.h"

#include "FileIo.h"
#include "xbase.h"

#include <fstream>

namespace xbase {

namespace {

constexpr std::streamoff MaxGroupFile = 64 * 1024;
constexpr size_t MaxTags = 256;

} // namespace

int readGroupFile(const std::string &path, std::vector<std::string> &tagFiles)
{
    tagFiles.clear();
    if (!fileExists(path))
        return e4index;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return e4index;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || size > MaxGroupFile)
        return e4index;
    in.seekg(0);
    std::string text(static_cast<size_t>(size), '\0');
    if (size > 0 && !in.read(text.data(), size))
        return e4index;
    for (const std::string &name : groupFileEntries(text)) {
        // Only plain file names in the table's own directory.
        for (char c : name)
            if (static_cast<unsigned char>(c) < 0x20 || c == '/' || c == '\\' || c == 0x7F)
                return e4index;
        if (name == "." || name == ".." || name.size() > 255 || tagFiles.size() >= MaxTags)
            return e4index;
        tagFiles.push_back(name);
    }
    return 0;
}

int writeGroupFile(const std::string &path, const std::vector<std::string> &tagFiles)
{
    // Written beside the old one and renamed into place: a group file is
    // either the old list or the new one.
    std::string text;
    for (const std::string &t : tagFiles)
        text += t + "\n";
    const std::string tmp = path + ".tmp";
    DiskFile out;
    bool ok = out.create(tmp) && out.writeAt(0, text.data(), text.size()) && out.sync();
    out.close();
    if (!ok || !renameFile(tmp, path)) {
        removeFile(tmp);
        return e4create;
    }
    return 0;
}

std::vector<std::string> groupFileEntries(const std::string &text)
{
    std::vector<std::string> entries;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos)
            eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        size_t b = line.find_first_not_of(" \t\r");
        if (b == std::string::npos || line[b] == '#' || line[b] == ';')
            continue;
        size_t e = line.find_first_of(" \t\r", b);
        entries.push_back(line.substr(b, e == std::string::npos ? std::string::npos : e - b));
    }
    return entries;
}

std::string findFileNoCase(const std::string &dir, const std::string &name)
{
    return locateNoCase(dir.empty() ? std::string(".") : dir, name);
}

std::string resolveTagFile(const std::string &dir, const std::string &entry)
{
    std::string name = entry;
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        name += ".ntx";
    return findFileNoCase(dir, name);
}

} // namespace xbase
