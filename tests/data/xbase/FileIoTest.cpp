// The engine's file access against a byte string: every read sees every
// write, cut and growth made before it, whether it is served from the mapping,
// the read window or the descriptor, and a file cut by another process is
// read as cut.
#include "FileIo.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

using xbase::DiskFile;

namespace {

class DiskFileModel : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override { xbase::setMappedReads(GetParam()); }
    void TearDown() override { xbase::setMappedReads(true); }
};

TEST_P(DiskFileModel, ReadsSeeEveryWriteCutAndGrowth)
{
    QTemporaryDir tmp;
    const std::string path = QDir(tmp.path()).filePath(QStringLiteral("model.dbf")).toStdString();
    std::mt19937 rng(77);
    auto rnd = [&](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    std::string model;
    DiskFile f;
    ASSERT_TRUE(f.create(path));
    f.setWindow(16 * 1024);
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const size_t op = rnd(100);
        if (op < 45) {
            // Mostly small writes in or just past the file; now and then a
            // large one, so that the file outgrows any room mapped ahead.
            const size_t len = rnd(20) == 0 ? 200000 + rnd(300000) : 1 + rnd(600);
            const size_t at = rnd(model.size() + 4096);
            std::string bytes(len, '\0');
            for (char &c : bytes)
                c = char('a' + rnd(26));
            ASSERT_TRUE(f.writeAt(at, bytes.data(), len));
            if (at + len > model.size())
                model.resize(at + len, '\0');
            model.replace(at, len, bytes);
        } else if (op < 50) {
            const size_t len = rnd(model.size() + 1);
            ASSERT_TRUE(f.truncate(len));
            model.resize(len);
        } else if (op < 53) {
            ASSERT_TRUE(f.open(path));
            f.setWindow(16 * 1024);
        } else if (op < 55) {
            // Another hand appends: the bytes past what this descriptor wrote
            // still come back.
            std::ofstream out(path, std::ios::binary | std::ios::app);
            const std::string tail(1 + rnd(3000), 'Z');
            out << tail;
            out.close();
            model += tail;
        } else if (op < 56 && model.size() > 3 * 4096) {
            // Another hand cuts the file under this one, on a page boundary:
            // the bytes gone cannot be read and do not kill the process.
            const size_t len = (model.size() / 4096 - 2) * 4096;
            ASSERT_EQ(::truncate(path.c_str(), off_t(len)), 0);
            std::string gone(16, '\0');
            EXPECT_FALSE(f.readAt(len + 4096, gone.data(), gone.size()));
            model.resize(len);
            ASSERT_TRUE(f.open(path));
            f.setWindow(16 * 1024);
        }
        if (model.empty())
            continue;
        // A run of record-sized reads in order, then reads anywhere.
        const size_t rec = 1 + rnd(400);
        size_t at = rnd(model.size());
        std::string got(rec, '\0');
        for (int i = 0; i < 8 && at + rec <= model.size(); ++i, at += rec) {
            ASSERT_TRUE(f.readCached(at, got.data(), rec)) << at;
            ASSERT_EQ(got, model.substr(at, rec)) << at;
        }
        const size_t off = rnd(model.size());
        const size_t len = 1 + rnd(2000);
        std::string some(len, '\0');
        const long n = f.readSome(off, some.data(), len);
        ASSERT_EQ(n, long(std::min(len, model.size() - off)));
        ASSERT_EQ(some.substr(0, size_t(n)), model.substr(off, size_t(n)));
        ASSERT_EQ(f.readAt(off, some.data(), len), off + len <= model.size());
        EXPECT_FALSE(f.readCached(model.size() - 1, some.data(), 2));
    }
}

INSTANTIATE_TEST_SUITE_P(MappedOrNot, DiskFileModel, ::testing::Bool());

} // namespace
