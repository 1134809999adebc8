// Saving a new customer in a very large customer table. Run by hand, with the
// number of customers in TLV_SCALE_CUSTOMERS (in a Release build):
//
//     TLV_SCALE_CUSTOMERS=1000000 test_masterdata --gtest_filter='CustomerScale.*'
//
// The numbers run 1, 2, 3 ... without a gap (the last few share one number,
// as six digits hold no more), so the new customer's number is found only
// past the last record: the longest walk there can be.
#include "CustomerFixture.h"

#include "data/FileMaint.h"
#include "masterdata/CustomerU.h"
#include "masterdata/Customers.h"
#include "picklists/PickGroupU.h"
#include "support/Modal.h"

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <ctime>

using namespace tlv;
using namespace tlv::test;

namespace {

class CustomerScale : public CustomerDataTest
{
};

TEST_F(CustomerScale, ANewCustomerInAHugeTableSavesWithoutAPause)
{
    const long count = qEnvironmentVariableIntValue("TLV_SCALE_CUSTOMERS");
    if (count <= 0)
        GTEST_SKIP() << "set TLV_SCALE_CUSTOMERS to the number of customers to measure";

    QElapsedTimer clock;
    clock.start();
    const int highest = maxCustomerNumber - 2;
    {
        // Written without the index group, which is rebuilt afterwards in one go.
        CODE4 *c4 = db().session();
        db().closeAll();
        const int autoOpen = code4autoOpen(c4, 0);
        DATA4 *d = d4open(c4, "CUST5");
        ASSERT_NE(d, nullptr);
        FIELD4 *cuno = d4field(d, "cuno");
        FIELD4 *last = d4field(d, "last");
        FIELD4 *first = d4field(d, "first");
        FIELD4 *group = d4field(d, "ngroup");
        char name[32];
        for (long i = 1; i <= count; ++i) {
            ASSERT_EQ(d4appendBlank(d), 0);
            f4assignLong(cuno, std::min<long>(i, highest));
            std::snprintf(name, sizeof name, "CUSTOMER%07ld", (i * 7919) % count);
            f4assign(last, name);
            f4assign(first, "PAT");
            f4assignLong(group, 1);
        }
        d4close(d);
        code4autoOpen(c4, autoOpen);
        ASSERT_TRUE(QFile::remove(m_dir.file("CUST5.cgp")) || QFile::remove(m_dir.file("cust5.cgp")));
        rebuildIndexes(true);
    }
    std::printf("built %ld customers in %.1f s\n", count, clock.elapsed() / 1000.0);

    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    const long first = std::min<long>(count, highest) + 1;

    // Saving without a search begun beforehand walks the whole run then and there.
    {
        CustomerEntry e;
        e.last = QStringLiteral("Newcomer");
        int recNo = 0;
        timespec cpu0{}, cpu1{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu0);
        clock.restart();
        ASSERT_EQ(saveCustomer(recNo, CustomerRecord{}, 1, e), CustomerSave::Saved);
        const double wall = clock.nsecsElapsed() / 1e6;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu1);
        const double cpu = (cpu1.tv_sec - cpu0.tv_sec) * 1e3 + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e6;
        std::printf("save with the whole walk at the save: %.1f ms (%.1f ms of processor time)\n", wall, cpu);
        EXPECT_EQ(customerAt(recNo).cuno, first);
    }

    // The window: the number is looked for while it waits for the user, a
    // piece at a time; the save itself only appends and writes.
    ModalWatchdog watchdog(120000);
    db().selected.customer = 0;
    TCustomer w;
    clock.restart();
    showActive(w);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.numberSearch().done(); }, 60000));
    std::printf("number found %.0f ms after the window opened\n", double(clock.elapsed()));
    // How long one piece holds up the window.
    {
        CustomerNumberSearch pieces;
        double longest = 0;
        int count = 0;
        for (bool done = false; !done; ++count) {
            clock.restart();
            done = pieces.advance(20000);
            longest = std::max(longest, clock.nsecsElapsed() / 1e6);
        }
        std::printf("%d pieces of the search, the longest %.1f ms\n", count, longest);
    }
    QTest::keyClicks(child<QLineEdit>(w, "Edit4"), "Windowed");
    onModal<TPickGroup>([&](TPickGroup *p) { click(p, "BtnSelect"); });
    click(&w, "BtnGroup");
    clock.restart();
    click(&w, "BtnSave");
    const double ms = clock.nsecsElapsed() / 1e6;
    std::printf("save in the window of a new customer among %ld: %.2f ms\n", count + 1, ms);
    ASSERT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(customerAt(db().selected.customer).cuno, first + 1);
    EXPECT_LT(ms, 100.0);
    EXPECT_FALSE(watchdog.fired());
}

} // namespace
