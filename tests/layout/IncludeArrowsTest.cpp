// The rooms of src/ and the one direction includes may run between them. A
// room includes its own files and those of any lower room, never a room at
// its own level or above; the engine includes nothing of ours, and tlvtool
// never includes a window. A new arrow is a change to this table, made on
// purpose.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Room
{
    const char *folder; // below src/
    int level;          // higher levels may include lower ones
};

// Most specific folder first: the engine sits inside data/.
const Room rooms[] = {
    {"data/xbase", 0}, {"platform", 1},                //
    {"data", 2},                                       //
    {"picklists", 3},  {"widgets", 3},                 //
    {"masterdata", 4}, {"mail", 4},                    //
    {"reports", 5},    {"labels", 5},   {"import", 5}, //
    {"invoicing", 6},                                  //
    {"shell", 7},      {"tools", 7},
};

const Room *roomOf(const std::string &relative)
{
    for (const Room &r : rooms) {
        const std::string prefix = std::string(r.folder) + "/";
        if (relative.compare(0, prefix.size(), prefix) == 0)
            return &r;
    }
    return nullptr;
}

bool isWindowFile(const std::string &relative)
{
    const std::string stem = fs::path(relative).stem().string();
    return !stem.empty() && stem.back() == 'U';
}

// Every include of src/ that runs against the arrows, as "file:line: why".
std::vector<std::string> wrongIncludes(const fs::path &src)
{
    std::vector<std::string> wrong;
    const std::regex include(R"(^\s*#\s*include\s*\"([^\"]+)\")");
    for (const auto &entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        const std::string from = fs::relative(entry.path(), src).generic_string();
        const Room *fromRoom = roomOf(from);
        if (!fromRoom) {
            wrong.push_back(from + ": a folder the table of rooms does not know");
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch m;
            if (!std::regex_search(line, m, include))
                continue;
            const std::string where = from + ":" + std::to_string(number) + ": ";
            // Names are relative to src/, or to the including file's folder.
            fs::path target = src / m[1].str();
            if (!fs::exists(target))
                target = entry.path().parent_path() / m[1].str();
            if (!fs::exists(target)) {
                wrong.push_back(where + m[1].str() + " is not a file of src/");
                continue;
            }
            const std::string to = fs::relative(fs::canonical(target), fs::canonical(src)).generic_string();
            const Room *toRoom = roomOf(to);
            if (!toRoom)
                wrong.push_back(where + to + " is in a folder the table of rooms does not know");
            else if (toRoom != fromRoom && toRoom->level >= fromRoom->level)
                wrong.push_back(where + fromRoom->folder + " may not include " + to);
            else if (std::string(fromRoom->folder) == "tools" && isWindowFile(to))
                wrong.push_back(where + "tlvtool may not include the window file " + to);
        }
    }
    return wrong;
}

} // namespace

TEST(IncludeArrows, EveryIncludeOfTheSourcesRunsDownward)
{
    const std::vector<std::string> wrong = wrongIncludes(fs::path(TLV_SOURCE_DIR) / "src");
    std::string report;
    for (const std::string &w : wrong)
        report += "  src/" + w + "\n";
    EXPECT_TRUE(wrong.empty()) << "includes against the arrows:\n" << report;
}

TEST(IncludeArrows, WrongIncludesAreNamedWithFileAndLine)
{
    const fs::path src = fs::temp_directory_path() / ("tlv-arrows-" + std::to_string(::getpid()));
    fs::remove_all(src);
    const auto write = [&](const std::string &file, const std::string &text) {
        fs::create_directories((src / file).parent_path());
        std::ofstream(src / file) << text;
    };
    write("data/xbase/Ntx.h", "#include \"xbase.h\"\n#include \"data/Records.h\"\n");
    write("data/xbase/xbase.h", "");
    write("data/Records.h", "#include \"data/xbase/xbase.h\"\n");
    write("picklists/PickU.h", "#include \"data/Records.h\"\n\n#include \"widgets/EditU.h\"\n");
    write("widgets/EditU.h", "");
    write("masterdata/CustU.h", "#include \"invoicing/Calc.h\"\n#include \"picklists/PickU.h\"\n");
    write("invoicing/Calc.h", "#include \"masterdata/CustU.h\"\n");
    write("tools/main.cpp",
          "#include \"invoicing/Calc.h\"\n#include \"masterdata/CustU.h\"\n#include \"Nope.h\"\n");
    write("extra/Thing.h", "");

    std::vector<std::string> wrong = wrongIncludes(src);
    std::sort(wrong.begin(), wrong.end());
    fs::remove_all(src);
    const std::vector<std::string> expected = {
        "data/xbase/Ntx.h:2: data/xbase may not include data/Records.h",
        "extra/Thing.h: a folder the table of rooms does not know",
        "masterdata/CustU.h:1: masterdata may not include invoicing/Calc.h",
        "picklists/PickU.h:3: picklists may not include widgets/EditU.h",
        "tools/main.cpp:2: tlvtool may not include the window file masterdata/CustU.h",
        "tools/main.cpp:3: Nope.h is not a file of src/",
    };
    EXPECT_EQ(wrong, expected);
}
