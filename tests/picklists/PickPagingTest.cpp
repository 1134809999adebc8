// The paging of the grid pick lists on a model of an ordered table: placing
// the window on a record from a fractional position that may be wrong either
// way, filling ten rows from any offset, moving, and seeking.
#include "picklists/PickList.h"

#include <QRandomGenerator>
#include <functional>
#include <gtest/gtest.h>

using namespace tlv;

namespace {

// An ordered table held in memory, answering like the engine: skipping past
// the beginning lands on the first record with r4bof, past the end on no
// record with r4eof. Counts the work done.
class ModelSource : public PickSource
{
public:
    // Record numbers in key order, and their keys.
    std::vector<long> order;
    std::vector<QString> keys;
    // The fractional position reported for an index; exact by default.
    std::function<double(long index, long count)> estimate;

    long reads = 0;   // records read
    long stepped = 0; // records passed by skips
    long skips = 0;   // skip calls
    long seeks = 0;

    explicit ModelSource(long n, long firstRecNo = 1) : m_firstRecNo(firstRecNo)
    {
        // Record numbers scrambled against the key order, as appends in any
        // order leave them.
        for (long i = 0; i < n; ++i) {
            order.push_back(firstRecNo + (i * 7919) % n);
            keys.push_back(QStringLiteral("K%1").arg(i * 10, 6, 10, QLatin1Char('0')));
        }
    }

    long count() override { return long(order.size()); }
    int top() override { return place(order.empty() ? -1 : 0); }
    int bottom() override { return place(long(order.size()) - 1); }
    int go(long recNo) override { return place(indexOf(recNo)); }
    int skip(long n) override
    {
        ++skips;
        if (m_cur < 0)
            return r4eof;
        if (n == 0)
            return 0;
        const long to = m_cur + n;
        if (to < 0) {
            stepped += m_cur + 1;
            m_cur = 0;
            return r4bof;
        }
        if (to >= count()) {
            stepped += count() - m_cur;
            m_cur = -1;
            return r4eof;
        }
        stepped += n < 0 ? -n : n;
        m_cur = to;
        return 0;
    }
    int seek(const QString &text) override
    {
        ++seeks;
        for (size_t i = 0; i < keys.size(); ++i) {
            if (keys[i].left(text.size()) >= text) {
                place(long(i));
                return keys[i].startsWith(text) ? 0 : r4after;
            }
        }
        return place(-1);
    }
    long recNo() override { return m_cur < 0 ? 0 : order[size_t(m_cur)]; }
    double position() override
    {
        if (m_cur < 0)
            return 1.0;
        if (estimate)
            return estimate(m_cur, count());
        return count() > 1 ? double(m_cur) / double(count() - 1) : 0.0;
    }
    PickRow readRow() override
    {
        ++reads;
        return {order[size_t(m_cur)], {keys[size_t(m_cur)], QString::number(order[size_t(m_cur)])}};
    }

    long indexOf(long recNo) const
    {
        // order[i] is firstRecNo + (i * 7919) % n: 7919 is prime, so the
        // inverse is found without a search.
        const long n = long(order.size());
        const long r = recNo - m_firstRecNo;
        if (r < 0 || r >= n)
            return -1;
        for (long i = r; i < n * 7919; i += n)
            if (i % 7919 == 0 && order[size_t(i / 7919)] == recNo)
                return i / 7919;
        return -1;
    }
    void resetCounters() { reads = stepped = skips = seeks = 0; }

private:
    int place(long index)
    {
        m_cur = index;
        return index < 0 ? r4eof : 0;
    }
    long m_cur = -1;
    long m_firstRecNo = 1;
};

// Places the list on the record at `index` (as the caller's record) and
// returns the offset locate() found.
long locateIndex(ModelSource &m, PagedList &list, long index)
{
    list.start(m.order[size_t(index)]);
    return list.window();
}

} // namespace

TEST(PickPaging, LocateFindsTheExactPlaceWhateverTheEstimate)
{
    const long n = 600;
    const long maxOffset = n - PagedList::pageRows;
    struct Case
    {
        const char *name;
        std::function<double(long, long)> estimate;
    };
    QRandomGenerator gen(7331);
    std::vector<double> noise(n);
    for (double &d : noise)
        d = (gen.generateDouble() - 0.5) * 0.4; // up to a fifth of the table either way
    const Case cases[] = {
        {"exact", nullptr},
        {"40 too far", [](long i, long c) { return std::min(1.0, double(i + 40) / double(c)); }},
        {"40 too short", [](long i, long c) { return std::max(0.0, double(i - 40) / double(c)); }},
        {"always the end", [](long, long) { return 1.0; }},
        {"always the start", [](long, long) { return 0.0; }},
        {"noisy",
         [&](long i, long c) { return std::clamp(double(i) / double(c) + noise[size_t(i)], 0.0, 1.0); }},
    };
    for (const Case &c : cases) {
        ModelSource m(n);
        m.estimate = c.estimate;
        PagedList list(m);
        for (long index = 0; index < n; ++index) {
            ASSERT_EQ(locateIndex(m, list, index), std::min(index, maxOffset))
                << c.name << " index " << index;
            // The target is kept for the fill, which selects its row.
            ASSERT_EQ(list.target(), m.order[size_t(index)]) << c.name;
        }
    }
}

TEST(PickPaging, LocatingWalksLittleMoreThanFromTheNearerEnd)
{
    // The work of a locate: the index entries passed by skips (cheap) and
    // the skips themselves (each reads the record it ends on).
    const long n = 100000;
    const long margin = n / 32 + 16;
    struct Case
    {
        const char *name;
        long error; // how far the estimate is off, in records
    };
    // The engine's estimates run a few hundredths of the table either way.
    for (const Case &c : {Case{"exact", 0}, Case{"3% too far", 3000}, Case{"3% too short", -3000},
                          Case{"10% too far", 10000}}) {
        ModelSource m(n);
        const long error = c.error;
        m.estimate = [error](long i, long count) {
            return std::clamp((double(i + error) + 0.5) / double(count), 0.0, 1.0);
        };
        PagedList list(m);
        for (long index : {0L, 1L, 777L, 5000L, 49999L, 50001L, 87654L, 99989L, 99999L}) {
            m.resetCounters();
            ASSERT_EQ(locateIndex(m, list, index), std::min(index, n - 10)) << c.name << " " << index;
            EXPECT_EQ(m.reads, 0) << "locating reads no rows";
            const long nearer = std::min(index, n - 1 - index);
            const long off = std::abs(error);
            if (off < margin) {
                EXPECT_LE(m.stepped, nearer + 3 * (margin + off) + 4096 + 512 + 64 + 8)
                    << c.name << " " << index;
                EXPECT_LE(m.skips, (margin + off) / 512 + 40) << c.name << " " << index;
            } else {
                // An estimate beyond the margin may cost a walk or two more,
                // never a walk per record.
                EXPECT_LE(m.stepped, 4 * n) << c.name << " " << index;
                EXPECT_LE(m.skips, 120) << c.name << " " << index;
            }
        }
    }

    // Estimates that say nothing still give the exact place at bounded cost.
    for (double fixed : {0.0, 1.0, 0.5}) {
        ModelSource m(n);
        m.estimate = [fixed](long, long) { return fixed; };
        PagedList list(m);
        for (long index : {0L, 12345L, 50000L, 99999L}) {
            m.resetCounters();
            ASSERT_EQ(locateIndex(m, list, index), std::min(index, n - 10)) << fixed << " " << index;
            EXPECT_LE(m.stepped, 4 * n);
            EXPECT_LE(m.skips, n / 4096 + 120);
        }
    }
}

TEST(PickPaging, AFillAfterALocateStartsFromTheTarget)
{
    ModelSource m(100000);
    PagedList list(m);
    list.start(m.order[60000]);
    EXPECT_EQ(list.window(), 60000);
    m.resetCounters();
    PagedList::Page page = list.fill();
    EXPECT_EQ(page.targetRow, 0);
    EXPECT_LE(m.stepped, 9);
    // Moving by a page starts from the first row shown.
    list.moveBy(-10);
    m.resetCounters();
    page = list.fill();
    EXPECT_EQ(page.rows.front().recNo, m.order[59990]);
    EXPECT_LE(m.stepped, 10 + 9);
    // Near the end the target's window is the last one.
    list.start(m.order[99995]);
    EXPECT_EQ(list.window(), 99990);
    m.resetCounters();
    page = list.fill();
    EXPECT_EQ(page.targetRow, 5);
    EXPECT_LE(m.stepped, 5 + 9);
}

TEST(PickPaging, StartsOnTheCallersRecordOrAtTheTopWithTenOrFewer)
{
    // 25 records, the caller's the 20th: rows 16 to 25, the 20th selected,
    // the scroll bar at the end.
    ModelSource m(25);
    PagedList list(m);
    EXPECT_TRUE(list.start(m.order[19]));
    EXPECT_EQ(list.maxOffset(), 15);
    EXPECT_EQ(list.window(), 15);
    PagedList::Page page = list.fill();
    ASSERT_EQ(page.rows.size(), 10u);
    EXPECT_EQ(page.rows.front().recNo, m.order[15]);
    EXPECT_EQ(page.rows.back().recNo, m.order[24]);
    EXPECT_EQ(page.targetRow, 4);
    EXPECT_EQ(page.scrollPosition, 100);
    EXPECT_EQ(list.target(), 0) << "a fill clears the target";

    // Early in the order the window starts at the record itself.
    EXPECT_TRUE(list.start(m.order[2]));
    EXPECT_EQ(list.window(), 2);
    page = list.fill();
    EXPECT_EQ(page.targetRow, 0);
    EXPECT_EQ(page.scrollPosition, 2 * 100 / 15);

    // No starting record, or one the table does not have: the first row.
    for (long caller : {0L, -1L, 999L}) {
        EXPECT_TRUE(list.start(caller));
        EXPECT_EQ(list.window(), 0);
        page = list.fill();
        EXPECT_EQ(page.targetRow, 0) << caller;
        EXPECT_EQ(page.rows.front().recNo, m.order[0]);
    }

    // Ten or fewer: everything from the top, no target, and nothing moves.
    for (long n : {0L, 1L, 7L, 10L}) {
        ModelSource few(n);
        PagedList fewList(few);
        EXPECT_FALSE(fewList.start(n > 0 ? few.order[size_t(n - 1)] : 5));
        EXPECT_EQ(fewList.window(), 0);
        EXPECT_EQ(fewList.maxOffset(), 0);
        EXPECT_EQ(fewList.target(), 0);
        for (long w : {1L, -1L, 10L, -10L})
            EXPECT_FALSE(fewList.moveTo(w));
        EXPECT_FALSE(fewList.moveBy(1));
        page = fewList.fill();
        EXPECT_EQ(long(page.rows.size()), n);
        EXPECT_EQ(page.targetRow, -1);
        EXPECT_EQ(page.scrollPosition, 0);
    }
}

TEST(PickPaging, EveryFillReadsAtMostTenRecordsFromEitherEnd)
{
    const long n = 57;
    ModelSource m(n);
    PagedList list(m);
    list.start(0);
    for (long w = 0; w <= list.maxOffset(); ++w) {
        list.moveTo(w);
        m.resetCounters();
        const PagedList::Page page = list.fill();
        ASSERT_EQ(page.rows.size(), 10u) << w;
        EXPECT_EQ(m.reads, 10);
        for (long r = 0; r < 10; ++r)
            ASSERT_EQ(page.rows[size_t(r)].recNo, m.order[size_t(w + r)]) << "offset " << w << " row " << r;
        // The walk to the window starts from the nearer end of the order.
        EXPECT_LE(m.stepped, std::min(w, n - 1 - w) + 9) << w;
    }

    ModelSource big(200000);
    PagedList bigList(big);
    bigList.start(0);
    bigList.moveTo(bigList.maxOffset());
    big.resetCounters();
    const PagedList::Page last = bigList.fill();
    EXPECT_EQ(last.rows.back().recNo, big.order.back());
    EXPECT_LE(big.stepped, 20) << "the end of the list is reached from the bottom";
    EXPECT_EQ(big.reads, 10);
}

TEST(PickPaging, MovesAreClampedAndTheScrollBarCountsInPercent)
{
    ModelSource m(25);
    PagedList list(m);
    list.start(0);
    EXPECT_FALSE(list.moveTo(-1)) << "already at the top";
    EXPECT_TRUE(list.moveBy(10));
    EXPECT_EQ(list.window(), 10);
    EXPECT_EQ(list.scrollPosition(), 66); // 10 * 100 / 15, truncated
    EXPECT_TRUE(list.moveBy(10));
    EXPECT_EQ(list.window(), 15);
    EXPECT_FALSE(list.moveBy(1));
    EXPECT_EQ(list.scrollPosition(), 100);

    EXPECT_EQ(list.offsetAt(0), 0);
    EXPECT_EQ(list.offsetAt(50), 7); // 50 * 15 / 100, truncated
    EXPECT_EQ(list.offsetAt(99), 14);
    EXPECT_EQ(list.offsetAt(100), 15);

    ModelSource none(0);
    PagedList empty(none);
    EXPECT_EQ(empty.scrollPosition(), 0);
    EXPECT_EQ(empty.offsetAt(70), 0);
}

TEST(PickPaging, SeekSelectsTheFoundOrNextGreaterKeyAndIgnoresTextBeyondTheLast)
{
    // Keys K000000, K000010, ... K000240.
    ModelSource m(25);
    PagedList list(m);
    list.start(0);
    list.fill();

    // Exactly a key.
    EXPECT_TRUE(list.seek(QStringLiteral("K000200")));
    EXPECT_EQ(list.window(), 15);
    PagedList::Page page = list.fill();
    ASSERT_GE(page.targetRow, 0);
    EXPECT_EQ(page.rows[size_t(page.targetRow)].recNo, m.order[20]);

    // Between two keys: the next greater one.
    EXPECT_TRUE(list.seek(QStringLiteral("K000035")));
    EXPECT_EQ(list.window(), 4);
    page = list.fill();
    EXPECT_EQ(page.targetRow, 0);
    EXPECT_EQ(page.rows[0].recNo, m.order[4]);

    // The same text again does not seek.
    m.resetCounters();
    EXPECT_FALSE(list.seek(QStringLiteral("K000035")));
    EXPECT_EQ(m.seeks, 0);

    // Beyond the last key: nothing changes, though the text is remembered.
    EXPECT_FALSE(list.seek(QStringLiteral("Z")));
    EXPECT_EQ(list.window(), 4);
    EXPECT_EQ(list.target(), 0);
    EXPECT_EQ(list.lastSeek(), QStringLiteral("Z"));
    EXPECT_EQ(list.fill().rows[0].recNo, m.order[4]);

    // A new showing forgets the last seek text.
    list.start(0);
    EXPECT_EQ(list.lastSeek(), QString());
    EXPECT_TRUE(list.seek(QStringLiteral("K")));
    EXPECT_EQ(list.window(), 0);
}

TEST(PickPaging, FarFromBothEndsTheEstimatePlacesTheWindowAndTheRowsStayInOrder)
{
    // Long enough for places beyond the exact reach of both ends; the
    // engine's estimates run 2% of the table too far.
    const long n = 2 * (PagedList::exactReach + 1) + 200000;
    ModelSource m(n);
    m.estimate = [](long i, long c) { return std::min(1.0, (double(i) + 0.02 * double(c)) / double(c - 1)); };
    PagedList list(m);
    const long bound = 4 * PagedList::exactReach; // most records any action may pass
    auto expectRunFrom = [&](const PagedList::Page &page, const char *what) {
        ASSERT_EQ(page.rows.size(), 10u) << what;
        const long first = m.indexOf(page.rows.front().recNo);
        for (long r = 0; r < 10; ++r)
            ASSERT_EQ(page.rows[size_t(r)].recNo, m.order[size_t(first + r)]) << what << " row " << r;
    };

    // Opened on a record in the middle: the estimate is the window, the
    // record the first row.
    const long middle = n / 2;
    m.resetCounters();
    list.start(m.order[size_t(middle)]);
    PagedList::Page page = list.fill();
    EXPECT_LE(m.stepped, bound);
    EXPECT_EQ(page.rows.front().recNo, m.order[size_t(middle)]);
    EXPECT_EQ(page.targetRow, 0);
    EXPECT_NEAR(double(list.window()), double(middle) + 0.02 * double(n), 2.0);
    // Paging moves by exactly ten records.
    list.moveBy(10);
    page = list.fill();
    EXPECT_EQ(page.rows.front().recNo, m.order[size_t(middle + 10)]);

    // A thumb dropped anywhere shows ten records in order, at bounded cost.
    for (int percent : {1, 10, 50, 90, 99}) {
        list.moveTo(list.offsetAt(percent));
        m.resetCounters();
        page = list.fill();
        expectRunFrom(page, "thumb");
        EXPECT_LE(m.stepped, bound) << percent;
        EXPECT_LE(m.reads, 10) << percent;
    }

    // Paging up from an estimated place reaches the first record through
    // every record on the way, once each.
    list.moveTo(list.offsetAt(30));
    page = list.fill();
    long expected = m.indexOf(page.rows.front().recNo);
    while (list.window() > 0) {
        list.moveBy(-10);
        m.resetCounters();
        page = list.fill();
        EXPECT_LE(m.stepped, bound);
        const long first = m.indexOf(page.rows.front().recNo);
        ASSERT_EQ(first, std::max(0L, expected - 10)) << "window " << list.window();
        expected = first;
    }
    EXPECT_EQ(expected, 0);
    // Home and End are exact.
    list.moveTo(list.maxOffset());
    page = list.fill();
    EXPECT_EQ(page.rows.back().recNo, m.order.back());
    list.moveTo(0);
    page = list.fill();
    EXPECT_EQ(page.rows.front().recNo, m.order.front());
}
