#include "Dump.h"

#include <algorithm>
#include <charconv>
#include <dirent.h>
#include <vector>

namespace xbase {

std::string dumpEscape(const char *bytes, size_t len)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(len);
    for (size_t i = 0; i < len; ++i) {
        unsigned char ch = static_cast<unsigned char>(bytes[i]);
        if (ch == '\\') {
            out += "\\\\";
        } else if (ch >= 0x20 && ch < 0x7F) {
            out += char(ch);
        } else {
            out += "\\x";
            out += hex[ch >> 4];
            out += hex[ch & 15];
        }
    }
    return out;
}

// Blanks, an optional minus, digits, and optionally a point and more digits.
static bool isNumberText(const std::string &raw)
{
    size_t i = raw.find_first_not_of(' ');
    if (i == std::string::npos)
        return false;
    if (raw[i] == '-')
        ++i;
    size_t digits = 0;
    while (i < raw.size() && raw[i] >= '0' && raw[i] <= '9')
        ++i, ++digits;
    if (i < raw.size() && raw[i] == '.') {
        ++i;
        while (i < raw.size() && raw[i] >= '0' && raw[i] <= '9')
            ++i, ++digits;
    }
    return digits > 0 && i == raw.size();
}

static std::string fieldValue(FIELD4 *f)
{
    std::string raw(f4str(f), size_t(f4len(f)));
    size_t last = raw.find_last_not_of(' ');
    bool blank = last == std::string::npos;
    switch (f4type(f)) {
    case 'C':
        return blank ? "" : dumpEscape(raw.data(), last + 1);
    case 'N':
    case 'F': {
        // Asterisks of a number too wide for its field (or any other text
        // that is no number) show as no value, as the other readers show them.
        if (blank || !isNumberText(raw))
            return "";
        char buf[64];
        std::to_chars_result res;
        if (f4decimals(f) == 0)
            res = std::to_chars(buf, buf + sizeof buf, f4long(f));
        else
            res = std::to_chars(buf, buf + sizeof buf, f4double2(f), std::chars_format::fixed, f4decimals(f));
        return std::string(buf, res.ptr);
    }
    case 'D':
        return std::all_of(raw.begin(), raw.end(), [](char ch) { return ch >= '0' && ch <= '9'; }) ? raw : "";
    case 'L':
        if (raw == "T" || raw == "t" || raw == "Y" || raw == "y")
            return "T";
        if (raw == "F" || raw == "f" || raw == "N" || raw == "n")
            return "F";
        return "";
    case 'M':
        return dumpEscape(f4memoStr(f), f4memoLen(f));
    default:
        return dumpEscape(raw.data(), raw.size());
    }
}

int dumpTable(CODE4 *c4, const std::string &name, std::string &out)
{
    int autoOpen = code4autoOpen(c4, 0);
    DATA4 *d = d4open(c4, name.c_str());
    code4autoOpen(c4, autoOpen);
    if (!d)
        return code4errorCode(c4, 0);
    size_t slash = name.find_last_of('/');
    out += "# table " + (slash == std::string::npos ? name : name.substr(slash + 1)) + "\n";
    int n = d4numFields(d);
    std::vector<FIELD4 *> fields;
    for (int j = 1; j <= n; ++j) {
        FIELD4 *f = d4fieldJ(d, j);
        fields.push_back(f);
        out += "F\t" + std::string(f4name(f)) + "\t" + f4type(f) + "\t" + std::to_string(f4len(f)) + "\t" +
               std::to_string(f4decimals(f)) + "\n";
    }
    for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1)) {
        out += "R\t" + std::to_string(d4recNo(d)) + "\t" + (d4deleted(d) ? "*" : " ");
        for (FIELD4 *f : fields)
            out += "\t" + fieldValue(f);
        out += "\n";
    }
    int err = code4errorCode(c4, 0);
    int rc = d4close(d);
    return err < 0 ? err : rc;
}

int dumpDirectory(CODE4 *c4, const std::string &dir, std::string &out)
{
    std::vector<std::string> names;
    if (DIR *dp = opendir(dir.c_str())) {
        while (struct dirent *e = readdir(dp)) {
            std::string n = e->d_name;
            if (n.size() > 4) {
                std::string ext = n.substr(n.size() - 4);
                std::transform(ext.begin(), ext.end(), ext.begin(),
                               [](char ch) { return char(std::tolower(ch)); });
                if (ext == ".dbf")
                    names.push_back(n);
            }
        }
        closedir(dp);
    } else {
        return e4open;
    }
    std::sort(names.begin(), names.end());
    for (const std::string &n : names) {
        int rc = dumpTable(c4, dir + "/" + n, out);
        if (rc < 0)
            return rc;
    }
    return 0;
}

} // namespace xbase
