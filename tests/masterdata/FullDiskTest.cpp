// Saving on a full disk: every editing window's save reports that it failed,
// with the reason on the message's second line, and the records stored
// before stay as they were.
#include "MasterDataFixture.h"
#include "data/Check.h"
#include "data/xbase/FileIo.h"
#include "masterdata/Customers.h"
#include "masterdata/Groups.h"
#include "masterdata/LabelStock.h"
#include "masterdata/Products.h"
#include "masterdata/Purchases.h"

#include <functional>

using namespace tlv;
using namespace tlv::test;

namespace {

class FullDisk : public MasterDataTest
{
protected:
    void SetUp() override
    {
        MasterDataTest::SetUp();
        for (Table *t : tables())
            t->open();
    }
    void TearDown() override
    {
        xbase::clearFaultPlan();
        MasterDataTest::TearDown();
    }
    static std::vector<Table *> tables()
    {
        return {&db().cust5, &db().groups, &db().prod5, &db().pur5, &db().labels};
    }
};

struct SaveCase
{
    const char *what;
    // Saves a new record (recNo 0) or changes the first one; returns the
    // message the window shows, "" when saved.
    std::function<QString(long recNo)> save;
    const char *appendMessage;
};

TEST_F(FullDisk, ASaveThatCannotWriteSaysSoWithTheReasonAndKeepsTheStoredRecords)
{
    const QString reason = QStringLiteral("The disk is full or the file or its directory is not writable.");
    const SaveCase cases[] = {
        {"customer",
         [](long r) {
             int recNo = int(r);
             CustomerEntry e;
             e.last = QStringLiteral("Smith");
             return messageOf(saveCustomer(recNo, CustomerRecord{}, 1, e));
         },
         "Unable to Append record . . Please try again."},
        {"group",
         [](long r) {
             int recNo = int(r);
             return messageOf(saveGroup(recNo, GroupRecord{}, QStringLiteral("Retail")));
         },
         "Unable to add record at this time. Please try later."},
        {"product",
         [](long r) {
             static int serial = 0;
             ProductEntry e;
             e.id = QStringLiteral("P%1").arg(++serial);
             return messageOf(saveProduct(r, r > 0 ? productAt(r) : ProductRecord{}, e));
         },
         "Unable to Append record . . Please try again."},
        {"purchase",
         [](long r) {
             PurchaseEntry e;
             e.productId = QStringLiteral("A1");
             e.quantity = 2 + r;
             return messageOf(savePurchase(r, PurchaseRecord{}, e, 0));
         },
         "Unable to Append record . . Please try again."},
        {"label stock",
         [](long r) {
             LabelRecord l;
             l.Name = QStringLiteral("Avery %1").arg(r);
             return messageOf(saveLabelStock(r, l));
         },
         "Unable to Append record . . Please try again."},
    };
    for (const SaveCase &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(c.save(0), QString()); // record 1, stored while there is room
        std::vector<long> counts;
        for (Table *t : tables())
            counts.push_back(t->recCount());

        xbase::FaultPlan full;
        full.failWrite = 1;
        full.failLater = true;
        xbase::setFaultPlan(full);
        EXPECT_EQ(c.save(0), QString::fromLatin1(c.appendMessage) + QLatin1Char('\n') + reason);
        EXPECT_EQ(c.save(1), QStringLiteral("The record could not be saved.\n") + reason);
        xbase::clearFaultPlan();

        for (size_t i = 0; i < tables().size(); ++i)
            EXPECT_EQ(tables()[i]->recCount(), counts[i]) << i;
    }
    for (Table *t : tables())
        t->close();
    const CheckResult check = checkDataFiles();
    EXPECT_EQ(check.failed, 0) << check.problems.join(QLatin1Char('\n')).toStdString();
}

} // namespace
