// The table access layer on real files: value conversions, opening and its
// failures, next customer number, group lookup, key order, and the scope that
// closes and packs.
#include "DataFixture.h"
#include "data/Helpers.h"
#include "data/ProgramEnd.h"
#include "data/TableScope.h"
#include "support/ScriptedUi.h"

#include <QFile>
#include <QFileInfo>

using namespace tlv;
using namespace tlv::test;

namespace {

void addCustomer(int cuno, const QString &last = QStringLiteral("Doe"),
                 const QString &first = QStringLiteral("Jo"))
{
    auto &t = db().cust5;
    ASSERT_TRUE(t.appendBlank());
    t.clear();
    t.buf.cuno = cuno;
    t.buf.last = last;
    t.buf.first = first;
    t.write();
}

void addInvoice(int ivno, int cuno, QDate date)
{
    auto &t = db().inv6;
    ASSERT_TRUE(t.appendBlank());
    t.clear();
    t.buf.IvNo = ivno;
    t.buf.CuNo = cuno;
    t.buf.IDate = date;
    t.write();
}

QString raw(Table &t, const char *field)
{
    return QString::fromLatin1(f4str(t.field(field)));
}

// The values of one field in the order of a tag, from the top.
QList<int> numbersInOrder(Table &t, const char *tagName, const char *field)
{
    QList<int> numbers;
    EXPECT_TRUE(t.selectTag(tagName));
    for (int r = t.top(); r == 0; r = t.skip(1))
        numbers << fieldio::readInt(t.field(field));
    return numbers;
}

int nextNumberFor(std::initializer_list<int> numbers)
{
    db().cust5.open();
    for (int n : numbers)
        addCustomer(n);
    return nextCustomerNumber();
}

} // namespace

using TableAccess = DataDirTest;

TEST_F(TableAccess, TextIsReadPaddedAndWrittenWithinItsLimits)
{
    auto &t = db().cust5;
    t.open();
    ASSERT_TRUE(t.appendBlank());
    t.buf.cuno = 42;
    t.buf.title = QStringLiteral("Mr");
    t.buf.last = QString::fromUtf8("Çavuş €"); // ş has no place in Windows-1252
    t.buf.addr1 = QString::fromUtf8("日本 Street");
    t.buf.email = QString(70, QLatin1Char('e')); // the field holds 60, the layer passes 59
    t.buf.comments = QStringLiteral("Line one\nline two  \n\n  ");
    t.write();

    t.clear();
    ASSERT_EQ(t.top(), 0);
    t.read();
    EXPECT_EQ(t.buf.cuno, 42);
    EXPECT_EQ(raw(t, fld::cuno), "    42");
    EXPECT_EQ(t.buf.title, "Mr ");
    EXPECT_EQ(t.buf.last, QString::fromUtf8("Çavu? €").leftJustified(20));
    EXPECT_EQ(t.buf.addr1, QStringLiteral("?? Street").leftJustified(34));
    EXPECT_EQ(t.buf.email, QString(59, QLatin1Char('e')) + QLatin1Char(' '));
    EXPECT_EQ(t.buf.comments, "Line one\nline two");
    EXPECT_EQ(t.buf.first, QString(13, QLatin1Char(' ')));
}

TEST_F(TableAccess, DatesAndLogicalsUseTheirStoredForms)
{
    auto &items = db().itm5;
    items.open();
    ASSERT_TRUE(items.appendBlank());
    items.buf.IvNo = 7;
    items.buf.LTax1 = true;
    items.buf.LTax2 = false;
    items.write();
    EXPECT_EQ(raw(items, fld::LTax1), "T");
    EXPECT_EQ(raw(items, fld::LTax2), "F");
    EXPECT_EQ(raw(items, fld::lBuild), "F");

    auto &pay = db().pmt;
    pay.open();
    ASSERT_TRUE(pay.appendBlank());
    pay.buf.PDate = QDate(2024, 2, 29);
    pay.write();
    EXPECT_EQ(raw(pay, fld::PDate), "20240229");
    pay.read();
    EXPECT_EQ(pay.buf.PDate, QDate(2024, 2, 29));

    pay.buf.PDate = QDate();
    pay.write();
    EXPECT_EQ(raw(pay, fld::PDate), "        ");
    pay.read();
    EXPECT_FALSE(pay.buf.PDate.isValid());

    // A short or impossible date in the file reads as no date.
    f4assign(pay.field(fld::PDate), "2024");
    pay.read();
    EXPECT_FALSE(pay.buf.PDate.isValid());
    f4assign(pay.field(fld::PDate), "20230229");
    pay.read();
    EXPECT_FALSE(pay.buf.PDate.isValid());
}

TEST_F(TableAccess, SettingsAndImportDirectoriesKeepTheirLongerTexts)
{
    {
        TableScope scope;
        auto &t = db().tlv2;
        t.open();
        ASSERT_EQ(t.recCount(), 1);
        t.read();
        t.buf.MailHost = QString(80, QLatin1Char('h'));
        t.buf.SigLine = QString(80, QLatin1Char('s'));
        t.buf.Company = QString(40, QLatin1Char('c'));
        t.write();
        auto &d = db().impDirs;
        d.open();
        ASSERT_EQ(d.recCount(), 1);
        d.buf.InfoDir = QString(130, QLatin1Char('i'));
        d.write();
    }
    TableScope scope;
    db().tlv2.open();
    db().tlv2.read();
    EXPECT_EQ(db().tlv2.buf.MailHost, QString(69, QLatin1Char('h')));
    EXPECT_EQ(db().tlv2.buf.SigLine, QString(59, QLatin1Char('s')));
    EXPECT_EQ(db().tlv2.buf.Company, QString(35, QLatin1Char('c'))); // cut by the field
    db().impDirs.open();
    db().impDirs.read();
    EXPECT_EQ(db().impDirs.buf.InfoDir, QString(126, QLatin1Char('i')));
}

TEST_F(TableAccess, EveryNumberTheFormsAcceptFits)
{
    TableScope scope;
    auto &inv = db().inv6;
    inv.open();
    ASSERT_TRUE(inv.appendBlank());
    inv.buf.IvNo = 999999;
    inv.buf.Discount = 99.99;
    inv.buf.Ship = -9999999.99;
    inv.buf.Tax = 9999999.99;
    inv.buf.Due = 99999989000.01; // one line of 999999.99 at 99999.99
    inv.write();
    auto &prod = db().prod5;
    prod.open();
    ASSERT_TRUE(prod.appendBlank());
    prod.buf.UPrice = -9999.99;
    prod.buf.REORDER = 999999.99;
    prod.write();
    auto &pur = db().pur5;
    pur.open();
    ASSERT_TRUE(pur.appendBlank());
    pur.buf.PURQty = 9999999.99;
    pur.buf.PURCost = 999999999.99;
    pur.buf.PURNo = -2147483647;
    pur.write();
    auto &lab = db().labels;
    lab.open();
    ASSERT_TRUE(lab.appendBlank());
    lab.buf.Width = 9999.999;
    lab.buf.VGap = -999.999;
    lab.buf.NAcross = 9;
    lab.write();
    auto &itm = db().itm5;
    itm.open();
    ASSERT_TRUE(itm.appendBlank());
    itm.buf.Qty = -99999.99;
    itm.buf.UPR = 99999.99;
    itm.write();

    inv.clear();
    inv.read();
    EXPECT_EQ(inv.buf.IvNo, 999999);
    EXPECT_DOUBLE_EQ(inv.buf.Discount, 99.99);
    EXPECT_DOUBLE_EQ(inv.buf.Ship, -9999999.99);
    EXPECT_DOUBLE_EQ(inv.buf.Tax, 9999999.99);
    EXPECT_DOUBLE_EQ(inv.buf.Due, 99999989000.01);
    prod.read();
    EXPECT_DOUBLE_EQ(prod.buf.UPrice, -9999.99);
    EXPECT_DOUBLE_EQ(prod.buf.REORDER, 999999.99);
    pur.read();
    EXPECT_DOUBLE_EQ(pur.buf.PURQty, 9999999.99);
    EXPECT_DOUBLE_EQ(pur.buf.PURCost, 999999999.99);
    EXPECT_EQ(pur.buf.PURNo, -2147483647);
    lab.read();
    EXPECT_DOUBLE_EQ(lab.buf.Width, 9999.999);
    EXPECT_DOUBLE_EQ(lab.buf.VGap, -999.999);
    EXPECT_EQ(lab.buf.NAcross, 9);
    itm.read();
    EXPECT_DOUBLE_EQ(itm.buf.Qty, -99999.99);
    EXPECT_DOUBLE_EQ(itm.buf.UPR, 99999.99);
}

TEST_F(TableAccess, OpeningSelectsTheDefaultTagAndTheFirstRecord)
{
    auto &t = db().cust5;
    t.open();
    addCustomer(1, QStringLiteral("Zorn"));
    addCustomer(2, QStringLiteral("adams")); // the name key is upper-cased
    addCustomer(3, QStringLiteral("Miller"));
    t.open(); // again: the table starts over
    EXPECT_EQ(t.selectedTag().compare(QLatin1String("cname"), Qt::CaseInsensitive), 0);
    EXPECT_EQ(db().lastResult, 0);
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_EQ(numbersInOrder(t, tag::cname, fld::cuno), QList<int>({2, 3, 1}));
}

TEST_F(TableAccess, NextCustomerNumberFillsTheFirstGap)
{
    EXPECT_EQ(nextNumberFor({1, 2, 4}), 3);
}

TEST_F(TableAccess, NextCustomerNumberStartsAtOne)
{
    EXPECT_EQ(nextNumberFor({2, 3}), 1);
}

TEST_F(TableAccess, NextCustomerNumberOfAnEmptyTableIsOne)
{
    EXPECT_EQ(nextNumberFor({}), 1);
}

TEST_F(TableAccess, NextCustomerNumberCountsMarkedRecordsUntilPacked)
{
    EXPECT_EQ(nextNumberFor({3, 1, 2}), 4);
    auto &t = db().cust5;
    ASSERT_EQ(t.go(3), 0);
    t.markDeleted();
    EXPECT_EQ(nextCustomerNumber(), 4);
    // The walk leaves the name order selected and the table at its top.
    EXPECT_EQ(t.selectedTag().compare(QLatin1String("cname"), Qt::CaseInsensitive), 0);
    EXPECT_EQ(t.recNo(), 1);

    db().closeAll();
    packTable(TableId::CUST5, false);
    t.open();
    EXPECT_EQ(t.recCount(), 2);
    EXPECT_EQ(nextCustomerNumber(), 2);
}

TEST_F(TableAccess, PaddedNumberKeysSortNumerically)
{
    db().cust5.open();
    for (int n : {100000, 7, 999999, 42, 5})
        addCustomer(n);
    EXPECT_EQ(numbersInOrder(db().cust5, tag::CCNO, fld::cuno), QList<int>({5, 7, 42, 100000, 999999}));
    // A padded key finds only its own number, never a longer one.
    EXPECT_EQ(db().cust5.seek(paddedNumber(42, 6)), 0);
    EXPECT_NE(db().cust5.seek(paddedNumber(4, 6)), 0);

    db().inv6.open();
    for (int n : {1000, 5, 99, 123456})
        addInvoice(n, 1, QDate(2026, 1, 1));
    EXPECT_EQ(numbersInOrder(db().inv6, tag::Inv, fld::IvNo), QList<int>({5, 99, 1000, 123456}));
}

TEST_F(TableAccess, LowerCaseProductIsFoundByItsUpperCaseKey)
{
    auto &p = db().prod5;
    p.open();
    for (const char *id : {"zz9", "ab12", "AB1"}) {
        ASSERT_TRUE(p.appendBlank());
        p.clear();
        p.buf.PrID = QLatin1String(id);
        p.write();
    }
    ASSERT_EQ(p.seek(keyUpper(QStringLiteral("ab12").leftJustified(10))), 0);
    p.read();
    EXPECT_EQ(p.buf.PrID.trimmed(), "ab12");
    EXPECT_EQ(p.seek(QStringLiteral("AB12")), 0);
    EXPECT_EQ(p.recNo(), 2);
    EXPECT_EQ(keyUpper(QString::fromUtf8("éa-z")), QString::fromUtf8("éA-Z")); // as the engine's Upper()
}

TEST_F(TableAccess, InvoicesOfOneDayKeepTheirRecordOrder)
{
    auto &t = db().inv6;
    t.open();
    const QDate day(2026, 3, 14);
    addInvoice(1003, 1, day);
    addInvoice(1001, 1, day.addDays(1));
    addInvoice(1004, 1, day);
    addInvoice(1002, 1, day.addDays(-1));
    addInvoice(1000, 1, day);
    EXPECT_EQ(numbersInOrder(t, tag::InvD, fld::IvNo), QList<int>({1002, 1003, 1004, 1000, 1001}));
    ASSERT_EQ(t.seek(dateToText(day)), 0);
    EXPECT_EQ(t.recNo(), 1);
}

TEST_F(TableAccess, MissingGroupGivesGroupZeroWithoutName)
{
    auto &g = db().groups;
    g.open();
    for (auto [n, name] : {std::pair{1, "Retail"}, std::pair{3, "Wholesale"}, std::pair{12, "Clubs"}}) {
        ASSERT_TRUE(g.appendBlank());
        g.buf.nGroup = n;
        g.buf.cGroup = QLatin1String(name);
        g.write();
    }
    EXPECT_TRUE(lookUpGroup(3));
    EXPECT_EQ(g.buf.nGroup, 3);
    EXPECT_EQ(g.buf.cGroup.trimmed(), "Wholesale");
    EXPECT_FALSE(lookUpGroup(2));
    EXPECT_EQ(g.buf.nGroup, 0);
    EXPECT_EQ(g.buf.cGroup, "");
    EXPECT_TRUE(lookUpGroup(12));
    EXPECT_EQ(g.buf.cGroup.trimmed(), "Clubs");
    EXPECT_FALSE(lookUpGroup(123)); // wider than any group key
    EXPECT_EQ(g.buf.nGroup, 0);
}

TEST_F(TableAccess, RecordWritesReachTheDiskAtOnce)
{
    db().cust5.open();
    addCustomer(5, QStringLiteral("Flushed"));
    // Another session sees the record while this one still holds the table.
    CODE4 *other = code4initP();
    code4autoOpen(other, 0);
    DATA4 *d = d4open(other, "CUST5");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d4recCountDo(d), 1);
    ASSERT_EQ(d4top(d), 0);
    EXPECT_EQ(QString::fromLatin1(f4str(d4field(d, "last"))).trimmed(), "Flushed");
    code4initUndoP(other);
}

// ---- Open failures -----------------------------------------------------------------

namespace {

// The first line names the file, the second says why in words.
void expectOpenFailure(Table &t, const QString &fileName, const QString &reason)
{
    ScriptedUi ui;
    ui.expect(Answer::Ok, QStringLiteral("Unable to open file ") + fileName);
    EXPECT_THROW(t.open(), ProgramEnded);
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_EQ(ui.boxes()[0].kind, BoxKind::Information);
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::Ok);
    EXPECT_EQ(ui.boxes()[0].text, QStringLiteral("Unable to open file ") + fileName + QLatin1Char('\n') +
                                      reason + QStringLiteral("\nProgram will now terminate."));
    EXPECT_FALSE(t.isOpen());
}

void writeFile(const QString &name, const QByteArray &text)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

} // namespace

TEST_F(TableAccess, MissingTableEndsTheProgramNamingItsFile)
{
    const QString notFound = engineReason(e4open);
    ASSERT_TRUE(QFile::remove(QStringLiteral("ImportF.dbf")));
    expectOpenFailure(db().importF, QStringLiteral("ImportF.DBF"), notFound);
    ASSERT_TRUE(QFile::remove(QStringLiteral("CUST5.dbf")));
    expectOpenFailure(db().cust5, QStringLiteral("CUST5.DBF"), notFound);
    ASSERT_TRUE(QFile::remove(QStringLiteral("TLV2.dbf")));
    expectOpenFailure(db().tlv2, QStringLiteral("TLV2.DBF"), notFound);
}

TEST_F(TableAccess, DamagedOrIncompleteTableSaysWhyOnTheSecondLine)
{
    // A table whose header is cut short, and a memo table without its memo file.
    writeFile(QStringLiteral("ImportF.dbf"), QByteArray("\x03\x7c\x01", 3));
    const QString cutShort = QStringLiteral("Unable to open file ImportF.DBF\n");
    {
        ScriptedUi ui;
        ui.expect(Answer::Ok, cutShort);
        EXPECT_THROW(db().importF.open(), ProgramEnded);
        ASSERT_EQ(ui.boxes().size(), 1);
        const QStringList lines = ui.boxes()[0].text.split('\n');
        ASSERT_EQ(lines.size(), 3);
        EXPECT_FALSE(lines[1].isEmpty());
        EXPECT_EQ(lines[2], "Program will now terminate.");
    }
    ASSERT_TRUE(QFile::remove(QStringLiteral("CUST5.dbt")));
    expectOpenFailure(db().cust5, QStringLiteral("CUST5.DBF"), engineReason(e4memo));
}

TEST_F(TableAccess, MissingDefaultTagEndsTheProgramNamingTheTagFile)
{
    const QString rebuild = engineReason(e4index);
    writeFile(QStringLiteral("GROUPS.cgp"), "cGroup.ntx\n");
    expectOpenFailure(db().groups, QStringLiteral("AccTag.Ntx"), rebuild);
    writeFile(QStringLiteral("INV6.cgp"), "invc.ntx\ninvd.ntx\n");
    expectOpenFailure(db().inv6, QStringLiteral("Inv.Ntx"), rebuild);
}

TEST_F(TableAccess, MissingWorkingTagEndsTheProgramLikeADamagedGroup)
{
    writeFile(QStringLiteral("CUST5.cgp"), "cName.ntx\nczip.ntx\nccomp.ntx\ncEmail.ntx\n");
    auto &t = db().cust5;
    t.open();
    addCustomer(1);
    ScriptedUi ui;
    ui.expect(Answer::Ok, QStringLiteral("Unable to open file ccno.ntx"));
    EXPECT_THROW(nextCustomerNumber(), ProgramEnded);
}

TEST_F(TableAccess, EndingHandlerRunsBeforeTheProgramEnds)
{
    ASSERT_TRUE(QFile::remove(QStringLiteral("ImpDirs.dbf")));
    QString reason;
    setProgramEndHandler([&](const QString &r) { reason = r; });
    ScriptedUi ui;
    ui.expect(Answer::Ok);
    EXPECT_THROW(db().impDirs.open(), ProgramEnded);
    setProgramEndHandler(nullptr);
    EXPECT_EQ(reason, "Unable to open file ImpDirs.DBF");
}

// ---- The command scope ----------------------------------------------------------------

TEST_F(TableAccess, ScopeClosesAllTablesAndPacksOnlyWhenAsked)
{
    {
        TableScope scope(packList::customers);
        db().cust5.open();
        db().groups.open();
        addCustomer(1);
        addCustomer(2);
        addCustomer(3);
        ASSERT_EQ(db().cust5.go(2), 0);
        db().cust5.markDeleted();
    }
    EXPECT_FALSE(db().cust5.isOpen());
    EXPECT_FALSE(db().groups.isOpen());
    db().cust5.open();
    EXPECT_EQ(db().cust5.recCount(), 3); // the flag was not set: nothing packed
    ASSERT_EQ(db().cust5.go(2), 0);
    EXPECT_TRUE(db().cust5.isDeleted());
    db().closeAll();

    {
        TableScope scope(packList::customers);
        db().cust5.open();
        db().packNeeded = true;
    }
    EXPECT_FALSE(db().packNeeded);
    db().cust5.open();
    EXPECT_EQ(db().cust5.recCount(), 2);
    EXPECT_EQ(numbersInOrder(db().cust5, tag::CCNO, fld::cuno), QList<int>({1, 3}));
}

TEST_F(TableAccess, ScopeLeftByTheProgramEndingOnlyCloses)
{
    ASSERT_TRUE(QFile::remove(QStringLiteral("ImportF.dbf")));
    ScriptedUi ui;
    ui.expect(Answer::Ok, QStringLiteral("ImportF.DBF"));
    try {
        TableScope scope(packList::customers);
        db().cust5.open();
        addCustomer(1);
        db().cust5.markDeleted();
        db().packNeeded = true;
        db().importF.open();
        ADD_FAILURE() << "the open did not end the program";
    } catch (const ProgramEnded &) {
    }
    EXPECT_FALSE(db().cust5.isOpen());
    db().cust5.open();
    EXPECT_EQ(db().cust5.recCount(), 1);
}

TEST_F(TableAccess, InvoiceCommandCompactsMemosOtherCommandsDoNot)
{
    const QString longText(3000, QLatin1Char('r'));
    {
        TableScope scope(packList::customers);
        auto &c = db().cust5;
        c.open();
        for (int n : {1, 2}) {
            ASSERT_TRUE(c.appendBlank());
            c.clear();
            c.buf.cuno = n;
            c.buf.comments = longText;
            c.write();
        }
        ASSERT_EQ(c.go(1), 0);
        c.markDeleted();
        db().packNeeded = true;
    }
    db().cust5.open();
    EXPECT_EQ(db().cust5.recCount(), 1);
    db().cust5.read();
    EXPECT_EQ(db().cust5.buf.comments, longText);
    db().closeAll();
    const qint64 customerMemos = QFileInfo(QStringLiteral("CUST5.dbt")).size();
    EXPECT_GE(customerMemos, 1 + 2 * 6 * 512); // the deleted customer's memo is still there

    {
        TableScope scope(packList::invoices);
        auto &inv = db().inv6;
        inv.open();
        for (int n : {1, 2}) {
            ASSERT_TRUE(inv.appendBlank());
            inv.clear();
            inv.buf.IvNo = n;
            inv.buf.REM = longText;
            inv.write();
        }
        ASSERT_EQ(inv.go(1), 0);
        inv.markDeleted();
        db().packNeeded = true;
    }
    EXPECT_FALSE(db().packNeeded);
    db().inv6.open();
    EXPECT_EQ(db().inv6.recCount(), 1);
    db().inv6.read();
    EXPECT_EQ(db().inv6.buf.IvNo, 2);
    EXPECT_EQ(db().inv6.buf.REM, longText);
    db().closeAll();
    EXPECT_LT(QFileInfo(QStringLiteral("INV6.dbt")).size(), 512 + 2 * 6 * 512);
    // The invoice command packs every table: CUST5's memos are compacted now.
    EXPECT_LT(QFileInfo(QStringLiteral("CUST5.dbt")).size(), customerMemos);
}
