// Web shop orders into the invoice editor ("IMPORT") and card payments out to
// the card batch file ("Export").
#include "invoicing/WebOrder.h"
#include "import/ImportDirs.h"
#include "invoicing/CardBatch.h"
#include "invoicing/InvoiceFixture.h"
#include "picklists/PickGroupU.h"

#include <QDir>
#include <map>

using namespace tlv;
using namespace tlv::test;

namespace {

// An order information line with the given fields (0 to 31), the rest empty;
// fields holding a comma are quoted.
QString infoLine(const std::map<int, QString> &fields)
{
    QStringList out;
    for (int i = 0; i <= 31; ++i) {
        const auto it = fields.find(i);
        const QString v = it == fields.end() ? QString() : it->second;
        out << (v.contains(QLatin1Char(',')) ? QLatin1Char('"') + v + QLatin1Char('"') : v);
    }
    return out.join(QLatin1Char(','));
}

const std::map<int, QString> ann = {{4, "Ms"},
                                    {5, "Ann"},
                                    {6, "Baker"},
                                    {7, "1 Elm St"},
                                    {10, "Montpelier"},
                                    {11, "VT"},
                                    {12, "05641"},
                                    {13, "US"},
                                    {14, "ann@x.org"},
                                    {15, "802"},
                                    {16, "555-0100"},
                                    {17, "gift"},
                                    {18, "wrap"},
                                    {19, "802-0199"},
                                    {20, "Leave at door"},
                                    {21, "CREDIT"},
                                    {23, "4111111111111111"},
                                    {24, "12"},
                                    {25, "03"},
                                    {26, "shop"},
                                    {30, "1.24"},
                                    {31, "5.5"}};

QString pad16()
{
    return QString(QStringLiteral(",\"\"")).repeated(16);
}

QByteArray readAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

TEST(CardBatch, RecordsOfCardNotes)
{
    const QString head = QStringLiteral("\"C1\",\"\",\"\",");
    struct Case
    {
        const char *note, *total, *expected;
    } cases[] = {
        {"1234 5678 9012 3456 x 1/05", "     27.06", "\"1234567890123456\",\"0501\",\"27.06\""},
        {"4111111111111111 x12/03", "27.06", "\"4111111111111111\",\"0312\",\"27.06\""},
        {"4111-1111 x 9/2030", "1.00", "\"41111111\",\"2009\",\"1.00\""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cardBatchRecord(c.note, c.total), head + c.expected + pad16()) << c.note;
    EXPECT_EQ(cardBatchRecord(QStringLiteral("VISA"), QStringLiteral("1.00")), std::nullopt);
    EXPECT_EQ(cardBatchRecord(QStringLiteral("/05"), QStringLiteral("1.00")), std::nullopt);
    EXPECT_EQ(cardBatchRecord(QStringLiteral("x 1/05"), "2").value().count(QLatin1Char(',')), 21);
}

TEST(WebOrder, AddressRemarksAndTaxFlags)
{
    std::map<int, QString> f = ann;
    f[8] = "Suite 4";
    f[9] = "Building C";
    f[13] = "CA";
    f[21] = "CHECK";
    f[27] = "call first";
    f[30] = "0";
    const WebOrder o = webOrderOf(infoLine(f), {"7,HAT,Hat,12.5,2,x,y,Red", "8,\"SOCK, WOOL\",Socks,3,1"},
                                  QStringLiteral("order17.txt"));
    EXPECT_EQ(o.unplacedCountry, "CA");
    EXPECT_EQ(QStringList({o.customer.addr1, o.customer.addr2, o.customer.addr3, o.customer.addr4}),
              QStringList({"1 Elm St", "Suite 4", "Building C", "Montpelier, VT"}));
    EXPECT_EQ(o.customer.phone, "802 555-0100");
    EXPECT_EQ(o.customer.note, "gift wrap");
    EXPECT_EQ(o.imemo, "CHECK");
    EXPECT_EQ(o.rem, "Leave at door\norder17.txt\nSource: shop\ncall first\n\nTHANKS FOR YOUR ORDER.\n\n"
                     "ALL DAMAGES AND SHORTAGES MUST BE REPORTED WITHIN 5 DAYS OF RECEIPT.");
    EXPECT_EQ(o.ship.units(), 550);
    ASSERT_EQ(o.items.size(), 2);
    EXPECT_EQ(o.items[0], QStringList({"HAT", "     2.00", "    12.50", "f", "f", "Hat", "Red", "", ""}));
    EXPECT_EQ(o.items[1].value(ItemPrID), "SOCK, WOOL");

    // A country with a line left goes under the city; a tax marks every item.
    const WebOrder abroad = webOrderOf(
        infoLine(
            {{7, "1 Elm St"}, {13, "CA"}, {21, "CREDIT"}, {23, "4111"}, {24, "1"}, {25, "05"}, {30, "0.01"}}),
        {"1,A,a,1,1"}, "o");
    EXPECT_EQ(abroad.customer.addr3, "CA");
    EXPECT_TRUE(abroad.unplacedCountry.isEmpty());
    EXPECT_EQ(abroad.imemo, "4111 x1/05");
    EXPECT_EQ(abroad.items[0].value(ItemTax2), "t");
}

class WebOrderWindow : public InvoiceWindow
{
protected:
    void SetUp() override
    {
        InvoiceWindow::SetUp();
        QDir().mkdir("info");
        QDir().mkdir("orders");
        storeImportDirs({QDir::current().filePath("info"), QDir::current().filePath("orders")});
    }
    void writeOrder(const QString &name, const QString &info, const QByteArray &items)
    {
        QFile i("info/" + name), o("orders/" + name);
        ASSERT_TRUE(i.open(QIODevice::WriteOnly) && o.open(QIODevice::WriteOnly));
        i.write(info.toUtf8() + "\r\n");
        o.write(items);
    }
};

TEST_F(WebOrderWindow, ExportWritesTheCardRecordOfTheInvoiceOnScreen)
{
    TInvoice w;
    open(w, 0);
    // A note without "/" is refused once the file is there, and an existing
    // file keeps its records even when it was to be started anew.
    typeAndLeave(child(&w, "Edit3"), "CHECK 1001");
    m_ui.expect(Answer::Ok, "Improperly Formatted Credit Card Information");
    click(&w, "BtnExport");
    EXPECT_EQ(readAll("Batchin.dat"), "");
    QFile f("Batchin.dat");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old\r\n");
    f.close();
    m_ui.expect(Answer::No, "APPEND RECORD TO FILE? Batchin.dat");
    m_ui.expect(Answer::Ok, "Improperly Formatted Credit Card Information");
    click(&w, "BtnExport");
    EXPECT_EQ(readAll("Batchin.dat"), "old\r\n");

    typeAndLeave(child(&w, "Edit3"), "1234 5678 9012 3456 x 1/05");
    typeAndLeave(child(&w, "MaskEdit3"), "27.06");
    const QByteArray record =
        "\"C1\",\"\",\"\",\"1234567890123456\",\"0501\",\"27.06\"" + pad16().toLatin1() + "\r\n";
    m_ui.expect(Answer::Yes, "APPEND RECORD TO FILE? ");
    click(&w, "BtnExport");
    EXPECT_EQ(readAll("Batchin.dat"), "old\r\n" + record);
    m_ui.expect(Answer::No, "APPEND RECORD TO FILE? ");
    click(&w, "BtnExport");
    EXPECT_EQ(readAll("Batchin.dat"), record);
}

TEST_F(WebOrderWindow, ImportMatchesProductsAndTheFirstOfTwoEqualCustomers)
{
    addProduct("HATR", 9.99, true, false, "Red hat");
    addProduct("SOCK", 2.00, true, false, "Socks");
    addProduct("SOCKS", 2.00, true, false, "More socks");
    addCustomer(10, "Baker");
    addCustomer(11, "Baker");
    writeOrder("o1.txt", infoLine(ann),
               "1,hat,Hat,12.5,2,,,Red\r\n2,SOCK,Sock,1,3\r\n3,CAP,Cap,4,1,,,Blue\r\n");
    TInvoice w;
    open(w, 0);
    m_ui.expectFileName(QDir::current().filePath("info/o1.txt"));
    m_ui.expect(Answer::Ok, "Item CAPB - CapNOT FOUND IN PRODUCT DATABASE");
    m_ui.expect(Answer::Ok, "Multiple Matches on Name / Zip");
    click(&w, "BtnImport");
    const QList<QStringList> &items = invoiceMemory().items;
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0],
              QStringList({"HATR", "     2.00", "    12.50", "f", "t", "Red hat", "second line", "", ""}));
    EXPECT_EQ(items[1].value(ItemPrID), "SOCK");
    EXPECT_EQ(items[2].value(ItemPrID), "CAP");
    EXPECT_EQ(db().inv6.buf.CuNo, 10);
    EXPECT_EQ(text(&w, "Edit3"), "4111111111111111 x12/03");
    EXPECT_EQ(text(&w, "MaskEdit3"), "      5.50");
    EXPECT_EQ(text(&w, "MaskEdit4"), "      1.24");
    EXPECT_EQ(text(&w, "MaskEdit5"), "     38.74"); // 25.00 + 3.00 + 4.00 + 5.50 + 1.24
    EXPECT_TRUE(text(&w, "Memo1").contains("1 Elm St"));
    // The first customer took the order's address; the second is as it was.
    db().cust5.go(1);
    db().cust5.read();
    EXPECT_EQ(db().cust5.buf.addr2.trimmed(), "Montpelier, VT");
    EXPECT_EQ(db().cust5.buf.email.trimmed(), "ann@x.org");
    db().cust5.go(2);
    db().cust5.read();
    EXPECT_EQ(db().cust5.buf.addr1.trimmed(), "1 Main St");

    // The same file again is questioned; No imports nothing.
    m_ui.expectFileName(QDir::current().filePath("info/o1.txt"));
    m_ui.expect(Answer::No, "o1.txt has been imported before");
    click(&w, "BtnImport");
    EXPECT_TRUE(invoiceMemory().items.isEmpty());
}

TEST_F(WebOrderWindow, ANewCustomerJoinsTheChosenGroupAndMissingFilesAreNamed)
{
    writeOrder("o2.txt", infoLine(ann), "1,X,Thing,1,1\r\n");
    QFile::remove("orders/o2.txt");
    TInvoice w;
    open(w, 0);
    m_ui.expectFileName(QDir::current().filePath("info/o2.txt"));
    m_ui.expect(Answer::Ok, "orders/o2.txt Not Found");
    click(&w, "BtnImport");

    writeOrder("o2.txt", infoLine(ann), "1,X,Thing,1,1\r\n");
    m_ui.expectFileName(QDir::current().filePath("info/o2.txt"));
    m_ui.expect(Answer::Ok, "Item X - ThingNOT FOUND");
    onModal<TPickGroup>([](TPickGroup *g) { g->BtnSelectClick(); });
    click(&w, "BtnImport");
    ASSERT_EQ(db().cust5.recCount(), 1);
    db().cust5.go(1);
    db().cust5.read();
    EXPECT_EQ(db().cust5.buf.cuno, 1);
    EXPECT_EQ(db().cust5.buf.ngroup, 1);
    EXPECT_EQ(db().cust5.buf.last.trimmed(), "Baker");
    EXPECT_EQ(db().inv6.buf.CuNo, 1);

    // A group list cancelled leaves the invoice without a customer.
    writeOrder("o4.txt", infoLine({{5, "Bo"}, {6, "Cole"}, {12, "1"}}), "");
    m_ui.expectFileName(QDir::current().filePath("info/o4.txt"));
    onModal<TPickGroup>([](TPickGroup *g) { g->BtnCancelClick(); });
    click(&w, "BtnImport");
    EXPECT_EQ(db().cust5.recCount(), 1);
    EXPECT_EQ(db().inv6.buf.CuNo, 0);
    EXPECT_EQ(text(&w, "Memo1"), "");

    // Without directories the import says where to name them.
    storeImportDirs({"", ""});
    m_ui.expect(Answer::Ok,
                "must be selected proir to using the Import function. See Preferences/Import Dir's");
    click(&w, "BtnImport");
}

TEST_F(WebOrderWindow, TlvtoolImportsAnOrderAndExportsItsCard)
{
    addProduct("HAT", 9.99, true, false);
    writeOrder("o3.txt", infoLine(ann), "1,HAT,Hat,12.5,2,,,Red\r\n");
    db().closeAll();
    const auto tool = [this](QStringList args) {
        QProcess p;
        args.insert(1, m_dir.path());
        p.start(QStringLiteral(TLV_TOOL_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_pair(p.exitCode(),
                              QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
    };
    EXPECT_EQ(tool({"import-dirs"}).second, "InfoDir: " + QDir::current().filePath("info") +
                                                "\nOrderDir: " + QDir::current().filePath("orders") + "\n");
    // A new customer needs a group; the order is not remembered until saved.
    EXPECT_EQ(tool({"weborder", "o3.txt"}).first, 1);
    const auto saved = tool({"weborder", "o3.txt", "--group", "1"});
    EXPECT_EQ(saved, std::make_pair(0, QString("invoice 1 for customer 1\n")));
    EXPECT_EQ(tool({"weborder", "o3.txt", "--group", "1"}).first, 1); // imported before
    EXPECT_EQ(tool({"card-export", "1"}).first, 0);
    EXPECT_EQ(tool({"card-export", "1", "--append"}).first, 0);
    const QByteArray record =
        "\"C1\",\"\",\"\",\"4111111111111111\",\"0312\",\"31.74\"" + pad16().toLatin1() + "\r\n";
    EXPECT_EQ(readAll("Batchin.dat"), record + record);
}
