// The .ntx B-tree on its own: layout of new files, a randomized comparison with
// an ordered set, bulk builds, the free list, and damaged files.
#include "Ntx.h"
#include "xbase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sys/stat.h>

using xbase::NtxFile;

namespace {

using Entry = std::pair<std::string, uint32_t>;
using Model = std::set<Entry>;

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

unsigned u16(const std::string &b, size_t at)
{
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}
uint32_t u32(const std::string &b, size_t at)
{
    return u16(b, at) | (u16(b, at + 2) << 16);
}
void put32(std::string &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>(v >> (8 * i));
}
void put16(std::string &b, size_t at, unsigned v)
{
    b[at] = static_cast<char>(v);
    b[at + 1] = static_cast<char>(v >> 8);
}

std::string pad(std::string s, int len)
{
    s.resize(static_cast<size_t>(len), ' ');
    return s;
}

// Every entry in order through the cursor, stopping on errors and after
// `limit` steps so that a damaged file cannot hang the test.
int walk(NtxFile &ntx, std::vector<Entry> &out, size_t limit = 10000000)
{
    out.clear();
    int rc = ntx.top();
    while (rc == NtxFile::Found && out.size() < limit) {
        out.emplace_back(std::string(ntx.currentKey(), static_cast<size_t>(ntx.keyLen())),
                         ntx.currentRecNo());
        rc = ntx.next();
    }
    return rc < 0 ? rc : 0;
}

std::vector<Entry> asVector(const Model &m)
{
    return std::vector<Entry>(m.begin(), m.end());
}

class NtxTest : public ::testing::Test
{
protected:
    QTemporaryDir tmp;
    std::string path(const char *name) const { return QDir(tmp.path()).filePath(name).toStdString(); }
};

// Runs a peer script; returns its standard output, or "" with a failure.
std::string runPeer(const QString &program, const QStringList &args, int *exitCode)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        *exitCode = -1;
        return {};
    }
    *exitCode = p.exitCode();
    return p.readAllStandardOutput().toStdString();
}

// Our entries in the peers' dump format ("K <recno> <key>").
std::string dumpLines(const std::vector<Entry> &entries)
{
    std::string s;
    for (const Entry &e : entries) {
        s += "K\t" + std::to_string(e.second) + "\t";
        for (char c : e.first) {
            auto u = static_cast<unsigned char>(c);
            if (c == '\\')
                s += "\\\\";
            else if (u >= 0x20 && u < 0x7F)
                s += c;
            else {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02x", u);
                s += buf;
            }
        }
        s += "\n";
    }
    return s;
}

std::string withoutComments(const std::string &text)
{
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        std::string line = text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos + 1);
        if (line.empty() || line[0] != '#')
            out += line;
        if (eol == std::string::npos)
            break;
        pos = eol + 1;
    }
    return out;
}

} // namespace

TEST(NtxLayout, MaxItemFollowsClipperFormula)
{
    const int sizes[] = {2, 6, 8, 10, 16, 20, 30, 35, 40, 3, 7, 256};
    const int expect[] = {84, 62, 54, 50, 38, 32, 24, 20, 18, 76, 58, 2};
    for (size_t i = 0; i < std::size(sizes); ++i)
        EXPECT_EQ(NtxFile::maxItemFor(sizes[i]), expect[i]) << "key size " << sizes[i];
}

TEST_F(NtxTest, EmptyFileHasTheClipperHeaderAndOneEmptyPage)
{
    NtxFile ntx;
    ASSERT_EQ(ntx.create(path("last.ntx"), "last", 20, "LAST"), 0);
    ASSERT_EQ(ntx.close(), 0);
    std::string b = readFile(path("last.ntx"));
    ASSERT_EQ(b.size(), 2048u);
    const unsigned char head[] = {0x06, 0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,
                                  0x00, 0x00, 0x00, 0x1c, 0x00, 0x14, 0x00, 0x00, 0x00,
                                  0x20, 0x00, 0x10, 0x00, 'l',  'a',  's',  't',  0};
    EXPECT_EQ(std::memcmp(b.data(), head, sizeof head), 0);
    EXPECT_EQ(b[0x118], 0) << "ascending";
    EXPECT_EQ(b.substr(0x21A, 5), std::string("LAST\0", 5));
    // Page 1: no keys, slots 0x44, 0x60, 0x7C ... one item apart.
    EXPECT_EQ(u16(b, 1024), 0u);
    EXPECT_EQ(u16(b, 1026), 0x44u);
    EXPECT_EQ(u16(b, 1028), 0x60u);
    EXPECT_EQ(u16(b, 1030), 0x7Cu);
    EXPECT_EQ(u16(b, 1024 + 2 + 2 * 32), 0x44u + 32 * 28);

    ASSERT_EQ(ntx.open(path("last.ntx")), 0);
    EXPECT_EQ(ntx.keyLen(), 20);
    EXPECT_EQ(ntx.expression(), "last");
    EXPECT_EQ(ntx.top(), NtxFile::End);
    EXPECT_EQ(ntx.bottom(), NtxFile::End);
    EXPECT_EQ(ntx.seek("A", 1), NtxFile::End);
    EXPECT_EQ(ntx.remove(pad("A", 20).data(), 1), 1);
    uint64_t n = 99;
    EXPECT_EQ(ntx.verify(&n), 0);
    EXPECT_EQ(n, 0u);
}

TEST_F(NtxTest, UpdateCounterMovesOncePerFlushWithChanges)
{
    NtxFile ntx;
    ASSERT_EQ(ntx.create(path("c.ntx"), "x", 4), 0);
    EXPECT_EQ(ntx.updateCount(), 1u);
    ASSERT_EQ(ntx.flush(), 0);
    EXPECT_EQ(ntx.updateCount(), 1u) << "nothing changed";
    ASSERT_EQ(ntx.insert("AAAA", 1), 0);
    ASSERT_EQ(ntx.insert("BBBB", 2), 0);
    ASSERT_EQ(ntx.flush(), 0);
    EXPECT_EQ(ntx.updateCount(), 2u);
    ASSERT_EQ(ntx.close(), 0);
    EXPECT_EQ(u16(readFile(path("c.ntx")), 2), 2u);
}

TEST_F(NtxTest, EqualKeysComeInRecordOrderWhateverTheInsertOrder)
{
    NtxFile ntx;
    ASSERT_EQ(ntx.create(path("eq.ntx"), "k", 3), 0);
    std::vector<uint32_t> recs(500);
    for (size_t i = 0; i < recs.size(); ++i)
        recs[i] = static_cast<uint32_t>(i + 1);
    std::shuffle(recs.begin(), recs.end(), std::mt19937(7));
    for (uint32_t r : recs)
        ASSERT_EQ(ntx.insert(r % 3 ? "SAM" : "BOB", r), 0);
    std::vector<Entry> all;
    ASSERT_EQ(walk(ntx, all), 0);
    ASSERT_EQ(all.size(), 500u);
    for (size_t i = 1; i < all.size(); ++i)
        EXPECT_LT(all[i - 1], all[i]);
    // A seek lands on the lowest record number of the key.
    EXPECT_EQ(ntx.seek("SAM", 3), NtxFile::Found);
    EXPECT_EQ(ntx.currentRecNo(), 1u);
    EXPECT_EQ(ntx.seek("BOB", 3), NtxFile::Found);
    EXPECT_EQ(ntx.currentRecNo(), 3u);
    EXPECT_EQ(ntx.verify(), 0);
}

// Thousands of random inserts, removals and seeks against an ordered set of
// (key, record number), compared after every step; the key sizes give trees of
// two to five levels with frequent splits and merges.
class NtxModelTest : public NtxTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(NtxModelTest, MatchesAnOrderedSetAfterEveryStep)
{
    const int keyLen = GetParam();
    std::mt19937 rng(1234u + static_cast<unsigned>(keyLen));
    auto rnd = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::string alphabet = "ABCDE\xe9";
    auto randomKey = [&]() {
        std::string k;
        int len = 1 + rnd(std::min(keyLen, 4));
        for (int i = 0; i < len; ++i)
            k += alphabet[static_cast<size_t>(rnd(static_cast<int>(alphabet.size())))];
        return pad(k, keyLen);
    };
    NtxFile ntx;
    ASSERT_EQ(ntx.create(path("model.ntx"), "KEY", keyLen), 0);
    ntx.setCachePages(16); // small, so that pages are evicted and reread all the time
    Model model;
    uint32_t nextRec = 1;
    const int steps = keyLen > 50 ? 3000 : 6000;
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        int op = rnd(100);
        // Grow for the first half, then shrink, so that merges happen too.
        bool growing = step < steps / 2;
        if (op < (growing ? 55 : 25)) {
            std::string k = randomKey();
            uint32_t r = rnd(4) == 0 && nextRec > 1
                             ? static_cast<uint32_t>(1 + rnd(static_cast<int>(nextRec)))
                             : nextRec++;
            ASSERT_EQ(ntx.insert(k.data(), r), 0);
            model.insert({k, r});
        } else if (op < 70 && !model.empty()) {
            auto it = model.begin();
            std::advance(it, rnd(static_cast<int>(model.size())));
            Entry e = *it;
            ASSERT_EQ(ntx.remove(e.first.data(), e.second), 0);
            model.erase(e);
        } else if (op < 73) {
            std::string k = randomKey();
            int expect = model.count({k, 999999}) ? 0 : 1;
            ASSERT_EQ(ntx.remove(k.data(), 999999), expect);
        } else if (op < 75) {
            ASSERT_EQ(ntx.close(), 0);
            ASSERT_EQ(ntx.open(path("model.ntx")), 0);
            ntx.setCachePages(16);
        } else if (op < 77) {
            ASSERT_EQ(ntx.flush(), 0);
        }
        // A partial-key seek, then a few steps each way.
        std::string s = randomKey().substr(0, static_cast<size_t>(1 + rnd(std::min(keyLen, 3))));
        if (rnd(10) == 0)
            s = "\xff"; // past the last key
        auto it = model.lower_bound({s, 0});
        int rc = ntx.seek(s.data(), s.size());
        if (it == model.end()) {
            ASSERT_EQ(rc, NtxFile::End);
            ASSERT_EQ(ntx.prev(), model.empty() ? NtxFile::End : NtxFile::Found);
            if (!model.empty()) {
                ASSERT_EQ(ntx.currentRecNo(), model.rbegin()->second);
            }
            continue;
        }
        ASSERT_EQ(rc, it->first.compare(0, s.size(), s) == 0 ? NtxFile::Found : NtxFile::After);
        ASSERT_EQ(std::string(ntx.currentKey(), keyLen), it->first);
        ASSERT_EQ(ntx.currentRecNo(), it->second);
        if (rnd(4) == 0) {
            // A long skip either way, jumping along the leaves.
            const long by = rnd(121) - 60;
            const long before = static_cast<long>(std::distance(model.begin(), it));
            const long to = before + by;
            long moved = -1;
            const int r2 = ntx.skip(by, &moved);
            if (to < 0 || to >= static_cast<long>(model.size())) {
                ASSERT_EQ(r2, NtxFile::End);
                ASSERT_EQ(moved, to < 0 ? before : static_cast<long>(model.size()) - 1 - before);
            } else {
                ASSERT_EQ(r2, NtxFile::Found);
                ASSERT_EQ(moved, by < 0 ? -by : by);
                auto j = model.begin();
                std::advance(j, to);
                ASSERT_EQ(ntx.currentRecNo(), j->second);
            }
        } else if (rnd(2)) {
            auto j = it;
            for (int k = 0; k < 3; ++k) {
                ++j;
                int r2 = ntx.next();
                if (j == model.end()) {
                    ASSERT_EQ(r2, NtxFile::End);
                    break;
                }
                ASSERT_EQ(r2, NtxFile::Found);
                ASSERT_EQ(ntx.currentRecNo(), j->second);
            }
        } else {
            auto j = it;
            for (int k = 0; k < 3; ++k) {
                int r2 = ntx.prev();
                if (j == model.begin()) {
                    ASSERT_EQ(r2, NtxFile::End);
                    break;
                }
                --j;
                ASSERT_EQ(r2, NtxFile::Found);
                ASSERT_EQ(ntx.currentRecNo(), j->second);
            }
        }
        if (step % 250 == 0) {
            // Every record number one up, in place, as a pack renumbers.
            ASSERT_EQ(ntx.renumber([](uint32_t r) { return r + 1; }), 0);
            Model moved;
            for (const Entry &e : model)
                moved.insert({e.first, e.second + 1});
            model.swap(moved);
            ++nextRec;
            // Going to a place lands on an entry in the model near it.
            if (!model.empty()) {
                const double f = rnd(1001) / 1000.0;
                ASSERT_EQ(ntx.goToPosition(f), NtxFile::Found);
                ASSERT_EQ(model.count({std::string(ntx.currentKey(), keyLen), ntx.currentRecNo()}), 1u);
            }
            if (step % 1000 == 500) {
                // A rebuild cuts the file to its header and grows it again
                // under the pages read so far.
                auto from = model.begin();
                ASSERT_EQ(ntx.build(model.size(),
                                    [&](char *key, uint32_t &r) {
                                        std::memcpy(key, from->first.data(), from->first.size());
                                        r = (from++)->second;
                                        return true;
                                    }),
                          0);
            }
            std::vector<Entry> all;
            ASSERT_EQ(walk(ntx, all), 0);
            ASSERT_EQ(all, asVector(model));
            uint64_t n = 0;
            ASSERT_EQ(ntx.verify(&n), 0);
            ASSERT_EQ(n, model.size());
        }
    }
    std::vector<Entry> all;
    ASSERT_EQ(walk(ntx, all), 0);
    EXPECT_EQ(all, asVector(model));
    EXPECT_EQ(ntx.verify(), 0);
}

INSTANTIATE_TEST_SUITE_P(KeySizes, NtxModelTest, ::testing::Values(6, 35, 100, 250));

TEST_F(NtxTest, CursorFindsItsWayAfterTheTreeChanges)
{
    NtxFile ntx;
    ASSERT_EQ(ntx.create(path("cur.ntx"), "k", 100), 0); // 8 keys a page: many splits
    Model model;
    for (uint32_t r = 1; r <= 400; ++r) {
        std::string k = pad(std::to_string(r * 7 % 400), 100);
        ASSERT_EQ(ntx.insert(k.data(), r), 0);
        model.insert({k, r});
    }
    std::string k200 = pad("200", 100);
    ASSERT_EQ(ntx.seek(k200.data(), k200.size()), NtxFile::Found);
    uint32_t cur = ntx.currentRecNo();
    // Inserts all over the tree split the current page; next still follows the order.
    for (uint32_t r = 401; r <= 800; ++r) {
        std::string k = pad(std::to_string(r * 13 % 997), 100);
        ASSERT_EQ(ntx.insert(k.data(), r), 0);
        model.insert({k, r});
    }
    auto it = model.find({k200, cur});
    ASSERT_NE(it, model.end());
    ASSERT_EQ(ntx.next(), NtxFile::Found);
    EXPECT_EQ(ntx.currentRecNo(), std::next(it)->second);
    // Removing the current entry: next goes to the first greater one, prev to
    // the last smaller one.
    Entry gone = *std::next(it);
    ASSERT_EQ(ntx.remove(gone.first.data(), gone.second), 0);
    auto after = model.upper_bound(gone);
    model.erase(gone);
    ASSERT_EQ(ntx.next(), NtxFile::Found);
    EXPECT_EQ(ntx.currentRecNo(), after->second);
    Entry gone2 = *after;
    auto before = std::prev(model.find(gone2));
    ASSERT_EQ(ntx.remove(gone2.first.data(), gone2.second), 0);
    model.erase(gone2);
    ASSERT_EQ(ntx.prev(), NtxFile::Found);
    EXPECT_EQ(ntx.currentRecNo(), before->second);
    // Removing the last entry while standing on it: next passes the end.
    ASSERT_EQ(ntx.bottom(), NtxFile::Found);
    Entry last = *model.rbegin();
    ASSERT_EQ(ntx.remove(last.first.data(), last.second), 0);
    EXPECT_EQ(ntx.next(), NtxFile::End);
    EXPECT_EQ(ntx.prev(), NtxFile::Found);
    EXPECT_EQ(ntx.currentRecNo(), std::prev(model.end(), 2)->second);
}

TEST_F(NtxTest, BulkBuildGivesBalancedTreesOfEverySize)
{
    for (int keyLen : {200, 10}) {
        NtxFile ntx;
        ASSERT_EQ(ntx.create(path("bulk.ntx"), "k", keyLen), 0);
        const uint64_t maxCount = keyLen == 200 ? 700 : 3000;
        for (uint64_t count = 0; count <= maxCount; count += (count < 200 ? 1 : 37)) {
            SCOPED_TRACE("key " + std::to_string(keyLen) + " count " + std::to_string(count));
            uint64_t i = 0;
            ASSERT_EQ(ntx.build(count,
                                [&](char *key, uint32_t &rec) {
                                    std::string k = pad(std::to_string(100000 + i / 3), keyLen);
                                    std::memcpy(key, k.data(), static_cast<size_t>(keyLen));
                                    rec = static_cast<uint32_t>(i + 1);
                                    ++i;
                                    return true;
                                }),
                      0);
            uint64_t n = 0;
            ASSERT_EQ(ntx.verify(&n), 0);
            ASSERT_EQ(n, count);
            std::vector<Entry> all;
            ASSERT_EQ(walk(ntx, all), 0);
            ASSERT_EQ(all.size(), count);
            for (size_t j = 0; j < all.size(); ++j)
                ASSERT_EQ(all[j].second, j + 1);
            // The tree takes ordinary changes afterwards.
            if (count > 0 && count % 10 == 1) {
                std::string k = pad("100000", keyLen);
                ASSERT_EQ(ntx.remove(k.data(), 1), 0);
                ASSERT_EQ(ntx.insert(pad("0", keyLen).data(), 1), 0);
                ASSERT_EQ(ntx.verify(&n), 0);
                ASSERT_EQ(n, count);
            }
        }
        // Entries out of order are refused, leaving a valid empty index.
        uint32_t r = 10;
        EXPECT_LT(ntx.build(5,
                            [&](char *key, uint32_t &rec) {
                                std::memset(key, 'A', static_cast<size_t>(keyLen));
                                rec = r--;
                                return true;
                            }),
                  0);
        EXPECT_EQ(ntx.verify(), 0);
        EXPECT_EQ(ntx.top(), NtxFile::End);
    }
}

TEST_F(NtxTest, FreedPagesAreReusedBeforeTheFileGrows)
{
    NtxFile ntx;
    ASSERT_EQ(ntx.create(path("free.ntx"), "k", 100), 0);
    for (uint32_t r = 1; r <= 2000; ++r)
        ASSERT_EQ(ntx.insert(pad(std::to_string(r), 100).data(), r), 0);
    ASSERT_EQ(ntx.flush(), 0);
    uint32_t full = ntx.fileSize();
    for (uint32_t r = 1; r <= 1900; ++r)
        ASSERT_EQ(ntx.remove(pad(std::to_string(r), 100).data(), r), 0);
    ASSERT_EQ(ntx.close(), 0);
    std::string b = readFile(path("free.ntx"));
    EXPECT_NE(u32(b, 8), 0u) << "emptied pages are on the free list";
    ASSERT_EQ(ntx.open(path("free.ntx")), 0);
    EXPECT_EQ(ntx.verify(), 0);
    for (uint32_t r = 1; r <= 1900; ++r)
        ASSERT_EQ(ntx.insert(pad(std::to_string(r), 100).data(), r), 0);
    ASSERT_EQ(ntx.flush(), 0);
    EXPECT_LE(ntx.fileSize(), full + 8 * 1024u);
    uint64_t n = 0;
    EXPECT_EQ(ntx.verify(&n), 0);
    EXPECT_EQ(n, 2000u);
}

TEST_F(NtxTest, PositionRunsFromZeroToOneInOrder)
{
    NtxFile ntx;
    ASSERT_EQ(ntx.create(path("pos.ntx"), "k", 10), 0);
    const int count = 5000;
    for (int r = 1; r <= count; ++r)
        ASSERT_EQ(ntx.insert(pad(std::to_string(r * 7919 % 100003), 10).data(), static_cast<uint32_t>(r)), 0);
    ASSERT_EQ(ntx.top(), NtxFile::Found);
    EXPECT_DOUBLE_EQ(ntx.position(), 0.0);
    double last = -1;
    double worst = 0;
    int i = 0;
    int rc = NtxFile::Found;
    while (rc == NtxFile::Found) {
        double p = ntx.position();
        EXPECT_GE(p, last - 1e-12);
        worst = std::max(worst, std::abs(p - static_cast<double>(i) / (count - 1)));
        last = p;
        ++i;
        rc = ntx.next();
    }
    EXPECT_EQ(i, count);
    EXPECT_LT(worst, 0.15) << "estimate drifts too far from the exact place";
    ASSERT_EQ(ntx.bottom(), NtxFile::Found);
    EXPECT_DOUBLE_EQ(ntx.position(), 1.0);
    // Going to a place is the inverse, within a leaf page's share.
    for (int percent = 0; percent <= 100; percent += 5) {
        const double f = percent / 100.0;
        ASSERT_EQ(ntx.goToPosition(f), NtxFile::Found);
        EXPECT_NEAR(ntx.position(), f, 0.01) << percent;
    }
    ASSERT_EQ(ntx.goToPosition(0.0), NtxFile::Found);
    EXPECT_EQ(ntx.prev(), NtxFile::End) << "0 is the first entry";
    ASSERT_EQ(ntx.goToPosition(1.0), NtxFile::Found);
    EXPECT_EQ(ntx.next(), NtxFile::End) << "1 is the last entry";
}

// The files read back identically in Perl XBase::Index and the peers' own
// decoder, and pass the structural checker, after inserts, removals and a build.
TEST_F(NtxTest, PeersReadOurTreesBack)
{
    const QString peers = QStringLiteral(TLV_PEERS_DIR);
    if (!QFile::exists(peers + "/ntxdump.pl"))
        GTEST_SKIP() << "peer scripts not found";
    std::map<std::string, std::vector<Entry>> expect;
    std::mt19937 rng(99);
    for (int keyLen : {6, 35, 100}) {
        std::string name = "t" + std::to_string(keyLen) + ".ntx";
        NtxFile ntx;
        ASSERT_EQ(ntx.create(path(name.c_str()), "KEY", keyLen), 0);
        Model model;
        for (uint32_t r = 1; r <= 6000; ++r) {
            std::string k = pad(std::to_string(rng() % 3000), keyLen);
            k[static_cast<size_t>(keyLen) - 1] = static_cast<char>('a' + r % 26);
            ASSERT_EQ(ntx.insert(k.data(), r), 0);
            model.insert({k, r});
        }
        for (int i = 0; i < 2500; ++i) {
            auto it = model.begin();
            std::advance(it, rng() % model.size());
            ASSERT_EQ(ntx.remove(it->first.data(), it->second), 0);
            model.erase(it);
        }
        ASSERT_EQ(ntx.close(), 0);
        expect[name] = asVector(model);
    }
    {
        NtxFile ntx;
        ASSERT_EQ(ntx.create(path("bulk.ntx"), "KEY", 20), 0);
        uint64_t i = 0;
        ASSERT_EQ(ntx.build(20000,
                            [&](char *key, uint32_t &rec) {
                                std::string k = pad("K" + std::to_string(100000 + i / 2), 20);
                                std::memcpy(key, k.data(), 20);
                                rec = static_cast<uint32_t>(++i);
                                expect["bulk.ntx"].push_back({k, rec});
                                return true;
                            }),
                  0);
        ASSERT_EQ(ntx.close(), 0);
    }
    for (const auto &[name, entries] : expect) {
        SCOPED_TRACE(name);
        const QString file = QString::fromStdString(path(name.c_str()));
        int code = 0;
        std::string pl = runPeer("/usr/bin/perl", {peers + "/ntxdump.pl", file}, &code);
        EXPECT_EQ(code, 0);
        EXPECT_EQ(withoutComments(pl), dumpLines(entries));
        std::string py = runPeer("/usr/bin/python3", {peers + "/ntxdump.py", file}, &code);
        EXPECT_EQ(code, 0) << py.substr(0, 2000);
        EXPECT_EQ(withoutComments(py), dumpLines(entries));
    }
    int code = 0;
    std::string check = runPeer("/usr/bin/python3", {peers + "/xbcheck.py", tmp.path()}, &code);
    EXPECT_EQ(code, 0) << check;
    EXPECT_EQ(check.find("ERROR"), std::string::npos) << check;
}

// ---- Damaged files -------------------------------------------------------------

class NtxDamageTest : public NtxTest
{
protected:
    // A three-level index of 2000 keys of 100 bytes.
    std::string makeTree()
    {
        NtxFile ntx;
        EXPECT_EQ(ntx.create(path("good.ntx"), "KEY", 100), 0);
        for (uint32_t r = 1; r <= 2000; ++r)
            EXPECT_EQ(ntx.insert(pad(std::to_string(r * 37 % 2003), 100).data(), r), 0);
        EXPECT_EQ(ntx.close(), 0);
        return readFile(path("good.ntx"));
    }
    // Opens the bytes and exercises every operation; errors are fine, crashes
    // and endless walks are not. Returns the first error met (0 if none).
    int exercise(const std::string &bytes)
    {
        writeFile(path("bad.ntx"), bytes);
        NtxFile ntx;
        int rc = ntx.open(path("bad.ntx"));
        if (rc < 0)
            return rc;
        int first = 0;
        auto note = [&](int r) {
            if (r < 0 && first == 0)
                first = r;
        };
        std::vector<Entry> all;
        note(walk(ntx, all, 200000));
        EXPECT_LE(all.size(), bytes.size() / 1024 * 9) << "more entries than the pages can hold";
        int steps = 0;
        for (int r = ntx.bottom(); r == NtxFile::Found && steps < 200000; r = ntx.prev(), ++steps)
            note(r < 0 ? r : 0);
        note(ntx.seek("1", 1));
        note(ntx.seek("99999", 5));
        (void)ntx.position();
        note(ntx.verify());
        note(ntx.renumber([](uint32_t r) { return r + 1; }));
        for (uint32_t r = 1; r <= 60; ++r) {
            note(ntx.insert(pad(std::to_string(r * 31), 100).data(), 5000 + r));
            note(ntx.remove(pad(std::to_string(r * 37 % 2003), 100).data(), r));
        }
        note(ntx.next());
        ntx.close();
        return first;
    }
};

TEST_F(NtxDamageTest, GarbledHeadersAreRefused)
{
    std::string good = makeTree();
    ASSERT_EQ(exercise(good), 0);
    struct Case
    {
        const char *what;
        size_t at;
        int bytes;
        uint32_t value;
    };
    const Case cases[] = {
        {"signature", 0, 2, 0x4242},
        {"root outside the file", 4, 4, static_cast<uint32_t>(good.size())},
        {"root not on a page", 4, 4, 1500},
        {"root on the header", 4, 4, 0},
        {"free page outside the file", 8, 4, 0x7FFFFC00},
        {"item size", 12, 2, 50},
        {"key size zero", 14, 2, 0},
        {"key size too large", 14, 2, 300},
        {"max_item too large", 18, 2, 60},
        {"max_item too small", 18, 2, 1},
    };
    for (const Case &c : cases) {
        std::string b = good;
        if (c.bytes == 2)
            put16(b, c.at, c.value);
        else
            put32(b, c.at, c.value);
        NtxFile ntx;
        writeFile(path("bad.ntx"), b);
        EXPECT_EQ(ntx.open(path("bad.ntx")), e4index) << c.what;
    }
    // No NUL in the expression, a short file, a size off the page grid.
    std::string b = good;
    std::memset(b.data() + 0x16, 'x', 256);
    writeFile(path("bad.ntx"), b);
    NtxFile ntx;
    EXPECT_EQ(ntx.open(path("bad.ntx")), e4index);
    writeFile(path("bad.ntx"), good.substr(0, 1500));
    EXPECT_EQ(ntx.open(path("bad.ntx")), e4index);
    writeFile(path("bad.ntx"), good + "xyz");
    EXPECT_EQ(ntx.open(path("bad.ntx")), e4index);
    EXPECT_EQ(ntx.open(path("missing.ntx")), e4index);
}

TEST_F(NtxDamageTest, BadPagesGiveErrorsNotCrashesOrEndlessWalks)
{
    std::string good = makeTree();
    const uint32_t root = u32(good, 4);
    const int maxItem = 8, itemSize = 108;
    auto slotOf = [&](const std::string &b, uint32_t page, int i) { return page + u16(b, page + 2 + 2 * i); };
    // Child offsets outside the file, off the page grid, and pointing back to
    // the root (a cycle) or to the page itself.
    for (uint32_t bad : {static_cast<uint32_t>(good.size() + 1024), 1000u, root, 0xFFFFFC00u}) {
        std::string b = good;
        put32(b, slotOf(b, root, 0), bad);
        EXPECT_NE(exercise(b), 0) << "child " << bad;
    }
    uint32_t child0 = u32(good, slotOf(good, root, 0));
    {
        std::string b = good;
        put32(b, slotOf(b, child0, 1), child0); // the page points to itself
        EXPECT_NE(exercise(b), 0);
    }
    {
        // Two children of the root share one page: a walk meets keys twice.
        std::string b = good;
        put32(b, slotOf(b, root, 1), child0);
        EXPECT_NE(exercise(b), 0);
    }
    {
        // A key count beyond max_item, a slot outside the page, a slot inside
        // the slot table.
        std::string b = good;
        put16(b, root, maxItem + 1);
        EXPECT_NE(exercise(b), 0);
        b = good;
        put16(b, root + 2, 1024 - itemSize + 1);
        EXPECT_NE(exercise(b), 0);
        b = good;
        put16(b, root + 2, 4);
        EXPECT_NE(exercise(b), 0);
    }
    {
        // A leaf child in an interior page (mixed zero and non-zero children).
        std::string b = good;
        put32(b, slotOf(b, root, 1), 0);
        EXPECT_NE(exercise(b), 0);
    }
    {
        // Keys out of order in a leaf are caught by the walk.
        std::string b = good;
        uint32_t leaf = child0;
        while (u32(b, slotOf(b, leaf, 0)) != 0)
            leaf = u32(b, slotOf(b, leaf, 0));
        unsigned s0 = u16(b, leaf + 2), s1 = u16(b, leaf + 4);
        put16(b, leaf + 2, s1);
        put16(b, leaf + 4, s0);
        EXPECT_NE(exercise(b), 0);
    }
}

TEST_F(NtxDamageTest, RenumberingPassesOverAStrayPageButNotADamagedOneInTheTree)
{
    const std::string good = makeTree();
    // Garbage after the tree, as an interrupted change can leave: the tree
    // takes the new numbers all the same.
    writeFile(path("stray.ntx"), good + std::string(1024, '\xff'));
    NtxFile ntx;
    ASSERT_EQ(ntx.open(path("stray.ntx")), 0);
    ASSERT_EQ(ntx.renumber([](uint32_t r) { return r * 2; }), 0);
    std::vector<Entry> all;
    ASSERT_EQ(walk(ntx, all), 0);
    ASSERT_EQ(all.size(), 2000u);
    for (const Entry &e : all)
        EXPECT_EQ(e.first, pad(std::to_string(e.second / 2 * 37 % 2003), 100));
    ntx.close();
    // A leaf of the tree with an impossible key count is an error.
    std::string b = good;
    uint32_t leaf = u32(b, 4);
    while (u32(b, leaf + u16(b, leaf + 2)) != 0)
        leaf = u32(b, leaf + u16(b, leaf + 2));
    put16(b, leaf, 200);
    writeFile(path("bad.ntx"), b);
    ASSERT_EQ(ntx.open(path("bad.ntx")), 0);
    EXPECT_LT(ntx.renumber([](uint32_t r) { return r * 2; }), 0);
}

TEST_F(NtxDamageTest, RandomlyDamagedFilesNeverCrash)
{
    std::string good = makeTree();
    std::mt19937 rng(4242);
    for (int round = 0; round < 300; ++round) {
        std::string b = good;
        int flips = 1 + static_cast<int>(rng() % 20);
        for (int i = 0; i < flips; ++i) {
            // Mostly the first bytes of pages (counts and slots), sometimes anywhere.
            size_t page = rng() % (b.size() / 1024);
            size_t at = page * 1024 + (rng() % 3 == 0 ? rng() % 1024 : rng() % 40);
            b[at] = static_cast<char>(rng());
        }
        exercise(b); // any result, as long as it returns
    }
}
