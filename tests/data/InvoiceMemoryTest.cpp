// Loading an invoice into memory, and the customer address block.
#include "DataFixture.h"
#include "data/Helpers.h"

using namespace tlv;
using namespace tlv::test;

// ---- Address block -----------------------------------------------------------------

TEST(AddressBlock, ShortNameLineTakesThePostalCode)
{
    CustomerRecord c;
    c.title = QStringLiteral("Mr");
    c.first = QStringLiteral("John         "); // as read: blank-padded
    c.last = QStringLiteral("Smith").leftJustified(20);
    c.zip = QStringLiteral("12345     ");
    EXPECT_EQ(buildAddressBlock(c), QStringList({"Mr  John Smith  12345", "", "", "", ""}));
}

TEST(AddressBlock, LongLastLinePutsThePostalCodeOnItsOwnLine)
{
    CustomerRecord c;
    c.title = QStringLiteral("Ms");
    c.first = QStringLiteral("Rita");
    c.last = QStringLiteral("Moreau");
    c.addr1 = QStringLiteral("Riverside Community Sch"); // 23 characters
    c.zip = QStringLiteral("05602");
    const QStringList block = buildAddressBlock(c);
    EXPECT_EQ(block, QStringList(
                         {"Ms  Rita Moreau", "Riverside Community Sch", QString(20, ' ') + "05602", "", ""}));

    c.addr1.chop(1); // 22 characters still take the code on the same line
    EXPECT_EQ(buildAddressBlock(c)[1], "Riverside Community Sc  05602");
}

TEST(AddressBlock, NameComesFirstAndTheCodeJoinsTheLastLineInUse)
{
    CustomerRecord c;
    c.title = QStringLiteral("Dr ");
    c.first = QStringLiteral("Ann");
    c.last = QStringLiteral("Lee");
    c.addr1 = QStringLiteral("  Lee Design Ltd  ");
    c.addr2 = QStringLiteral("1 Main St");
    c.addr4 = QStringLiteral("Barre, VT");
    c.zip = QStringLiteral("05641");
    EXPECT_EQ(buildAddressBlock(c),
              QStringList({"Dr  Ann Lee", "Lee Design Ltd", "1 Main St", "", "Barre, VT  05641"}));

    // Line 4 has no line after it: even an over-long one takes the code.
    c.addr4 = QStringLiteral("A city line of more than 22");
    const QStringList block = buildAddressBlock(c);
    EXPECT_EQ(block.size(), 5);
    EXPECT_EQ(block[4], "A city line of more than 22  05641");
}

// ---- Load invoice ------------------------------------------------------------------

namespace {

class LoadInvoice : public DataDirTest
{
protected:
    void SetUp() override
    {
        DataDirTest::SetUp();
        Db &d = db();
        for (Table *t :
             {(Table *)&d.inv6, (Table *)&d.itm5, (Table *)&d.pmt, (Table *)&d.prod5, (Table *)&d.cust5})
            t->open();

        addCustomer(3, "Ms", "Anna", "Kowalski", "99 Birch Lane", "05641");
        addCustomer(7, "Mr", "John", "Smith", "", "12345");
        addProduct("WIDGET", "RC-1", "Warranty: one year.  \n");
        addProduct("bolt", "", "");

        // Stored out of order on purpose: the load must find them by key.
        addItem(1003, "WIDGET", 1, 1.00);
        addItem(1001, "WIDGET", 2, 9.5, true, false, "Widget", "  blue  ");
        addPayment(1002, QDate(2026, 2, 1), 20);
        addItem(1001, "GONE", 1.25, 100, false, true, "Discontinued", "");
        addItem(1001, "bolt", 3, 0.1);
        addPayment(1001, QDate(2026, 3, 4), 10);
        addPayment(1001, QDate(2026, 3, 10), 5.5);

        m_rec1001 = addInvoice(1001, 7);
        m_rec1002 = addInvoice(1002, 3);
        m_rec1003 = addInvoice(1003, 999);
    }

    void addCustomer(int cuno, const char *title, const char *first, const char *last, const char *addr1,
                     const char *zip)
    {
        auto &t = db().cust5;
        ASSERT_TRUE(t.appendBlank());
        t.clear();
        t.buf.cuno = cuno;
        t.buf.title = QLatin1String(title);
        t.buf.first = QLatin1String(first);
        t.buf.last = QLatin1String(last);
        t.buf.addr1 = QLatin1String(addr1);
        t.buf.zip = QLatin1String(zip);
        t.write();
    }
    void addProduct(const char *id, const char *rcode, const char *memo)
    {
        auto &t = db().prod5;
        ASSERT_TRUE(t.appendBlank());
        t.clear();
        t.buf.PrID = QLatin1String(id);
        t.buf.RCode = QLatin1String(rcode);
        t.buf.PMemo = QLatin1String(memo);
        t.write();
    }
    void addItem(int ivno, const char *id, double qty, double price, bool tax1 = false, bool tax2 = false,
                 const char *desc = "", const char *comment = "")
    {
        auto &t = db().itm5;
        ASSERT_TRUE(t.appendBlank());
        t.clear();
        t.buf.IvNo = ivno;
        t.buf.PrID = QLatin1String(id);
        t.buf.Qty = qty;
        t.buf.UPR = price;
        t.buf.LTax1 = tax1;
        t.buf.LTax2 = tax2;
        t.buf.PDesc = QLatin1String(desc);
        t.buf.IComm = QLatin1String(comment);
        t.write();
    }
    void addPayment(int ivno, QDate date, double amount)
    {
        auto &t = db().pmt;
        ASSERT_TRUE(t.appendBlank());
        t.buf.IvNo = ivno;
        t.buf.PDate = date;
        t.buf.PAmt = amount;
        t.write();
    }
    long addInvoice(int ivno, int cuno)
    {
        auto &t = db().inv6;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.IvNo = ivno;
        t.buf.CuNo = cuno;
        t.buf.IDate = QDate(2026, 3, 1);
        t.buf.Ship = 4.5;
        t.write();
        return t.recNo();
    }

    long m_rec1001 = 0, m_rec1002 = 0, m_rec1003 = 0;
};

} // namespace

TEST_F(LoadInvoice, FillsLinesPaymentsAndAddress)
{
    ASSERT_TRUE(loadInvoice(m_rec1001));
    const InvoiceMemory &m = invoiceMemory();
    EXPECT_EQ(db().inv6.buf.IvNo, 1001);
    EXPECT_DOUBLE_EQ(db().inv6.buf.Ship, 4.5);

    ASSERT_EQ(m.highestItem(), 2);
    EXPECT_EQ(m.items[0], QStringList({"WIDGET    ", "     2.00", "    9.50", "t", "f",
                                       QStringLiteral("Widget").leftJustified(27), "blue", "RC-1",
                                       "Warranty: one year."}));
    // A product that no longer exists leaves its two columns empty.
    EXPECT_EQ(m.items[1][ItemPrID], "GONE      ");
    EXPECT_EQ(m.items[1][ItemQty], "     1.25");
    EXPECT_EQ(m.items[1][ItemTax2], "t");
    EXPECT_EQ(m.items[1][ItemRCode], "");
    EXPECT_EQ(m.items[1][ItemPMemo], "");
    // A lower-case identifier finds its product by the upper-case key.
    EXPECT_EQ(m.items[2][ItemPrID], "bolt      ");
    EXPECT_EQ(m.items[2][ItemPrice], "    0.10");

    ASSERT_EQ(m.highestPayment(), 1);
    EXPECT_EQ(m.payments[0], QStringList({"3/4/2026", "     10.00"}));
    EXPECT_EQ(m.payments[1], QStringList({"3/10/2026", "      5.50"}));

    EXPECT_EQ(m.address, QStringList({"Mr  John Smith  12345", "", "", "", ""}));
    EXPECT_EQ(m.customerRecNo, 2);
    EXPECT_EQ(db().cust5.buf.cuno, 7);
}

TEST_F(LoadInvoice, WithoutItemsStillFillsPayments)
{
    ASSERT_TRUE(loadInvoice(m_rec1001));
    ASSERT_TRUE(loadInvoice(m_rec1002));
    const InvoiceMemory &m = invoiceMemory();
    EXPECT_EQ(m.highestItem(), -1);
    ASSERT_EQ(m.highestPayment(), 0);
    EXPECT_EQ(m.payments[0], QStringList({"2/1/2026", "     20.00"}));
    EXPECT_EQ(m.address[0], "Ms  Anna Kowalski");
    EXPECT_EQ(m.address[1], "99 Birch Lane  05641");
}

TEST_F(LoadInvoice, UnknownCustomerLeavesOneEmptyLineAndTheBufferAsItWas)
{
    ASSERT_TRUE(loadInvoice(m_rec1001)); // the customer buffer now holds Smith
    ASSERT_TRUE(loadInvoice(m_rec1003));
    const InvoiceMemory &m = invoiceMemory();
    EXPECT_EQ(m.address, QStringList({""}));
    EXPECT_EQ(m.customerRecNo, 0);
    EXPECT_EQ(db().cust5.buf.cuno, 7);
    EXPECT_EQ(db().cust5.buf.last.trimmed(), "Smith");
    ASSERT_EQ(m.highestItem(), 0);
    EXPECT_EQ(m.items[0][ItemRCode], "RC-1");
    EXPECT_EQ(m.highestPayment(), -1);
}

TEST_F(LoadInvoice, MissingRecordLoadsNothing)
{
    ASSERT_TRUE(loadInvoice(m_rec1001));
    EXPECT_FALSE(loadInvoice(99));
    EXPECT_EQ(invoiceMemory().highestItem(), -1);
    EXPECT_EQ(invoiceMemory().highestPayment(), -1);
    EXPECT_EQ(invoiceMemory().address, QStringList({""}));
}
