#include "Cgp.h"

#include "xbase.h"

#include <dirent.h>
#include <fstream>
#include <sys/stat.h>

namespace xbase {

namespace {

constexpr std::streamoff MaxGroupFile = 64 * 1024;
constexpr size_t MaxTags = 256;

bool isRegular(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameNoCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

} // namespace

int readGroupFile(const std::string &path, std::vector<std::string> &tagFiles)
{
    tagFiles.clear();
    if (!isRegular(path))
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
        std::string name = line.substr(b, e == std::string::npos ? std::string::npos : e - b);
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
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return e4create;
    for (const std::string &t : tagFiles)
        out << t << "\n";
    out.flush();
    return out ? 0 : e4create;
}

std::string findFileNoCase(const std::string &dir, const std::string &name)
{
    std::string base = dir.empty() ? std::string(".") : dir;
    std::string exact = base + "/" + name;
    if (isRegular(exact))
        return exact;
    DIR *d = ::opendir(base.c_str());
    if (!d)
        return {};
    std::string found;
    while (dirent *e = ::readdir(d)) {
        if (sameNoCase(e->d_name, name) && isRegular(base + "/" + e->d_name)) {
            found = base + "/" + e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
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
