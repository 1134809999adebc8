// Importing customers and products: the line splitting, the file's lines and
// encodings, what an import writes (compared as a dump of the table), its
// preview, a full disk in the middle, the windows and tlvtool import.
#include "data/Check.h"
#include "data/Cp1252.h"
#include "data/TableScope.h"
#include "data/xbase/FileIo.h"
#include "import/FmtDefU.h"
#include "import/ImportU.h"
#include "picklists/PickGroupU.h"
#include "support/FileSizeLimit.h"
#include "support/Modal.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStatusBar>

using namespace tlv;
using namespace tlv::test;

namespace {

TEST(ImportSplit, FieldsOfALine)
{
    const struct
    {
        const char *line;
        int separator;
        const char *fields; // joined with '|'
        int count;
    } cases[] = {
        {R"(Mr,John,Smith,"12 Main St, Apt 4",,Springfield,IL,,62701)", 44,
         "Mr|John|Smith|12 Main St, Apt 4||Springfield|IL||62701", 9},
        {"a,b,", 44, "a|b", 2}, // a trailing separator starts no field
        {",", 44, "", 1},       // one empty field, none after it
        {",,x", 44, "||x", 3},
        {R"("a""b",c)", 44, "ab|c", 2}, // two quotes close a run and open the next
        {R"(a,"b)", 44, "a|b", 2},      // a lone quote is dropped
        {R"(x"y,z"w)", 44, "xy,zw", 1}, // a quoted run inside a field
        {"a\tb, c\t", 9, "a|b, c", 2},
        {" a , b ", 44, " a | b ", 2}, // nothing trimmed
        {"", 44, "", 0},
    };
    for (const auto &c : cases) {
        const QStringList fields = importFields(QString::fromUtf8(c.line), c.separator);
        EXPECT_EQ(fields.join(QLatin1Char('|')).toStdString(), c.fields) << c.line;
        EXPECT_EQ(fields.size(), c.count) << c.line;
    }
}

TEST(ImportSplit, LinesEndAtCrLfOrCrLfAndTheEncodingIsFound)
{
    const ImportLines lines = importLinesOf(QByteArray("one\r\ntwo\rthree\n\n\r\nfour"));
    EXPECT_EQ(lines.lines, QStringList({"one", "two", "three", "four"}));
    EXPECT_EQ(lines.numbers, QList<int>({1, 2, 3, 6}));

    // The same name written in UTF-8 (with and without a byte order mark) and
    // in Windows-1252; plain ASCII is read as Windows-1252.
    const QString name = QStringLiteral("M\u00fcller \u20ac");
    for (const QByteArray &bytes :
         {name.toUtf8(), QByteArray("\xEF\xBB\xBF") + name.toUtf8(), toCp1252(name)}) {
        const ImportLines l = importLinesOf(bytes);
        ASSERT_EQ(l.lines.size(), 1);
        EXPECT_EQ(l.lines.first(), name);
    }
    EXPECT_TRUE(importLinesOf(name.toUtf8()).utf8);
    EXPECT_FALSE(importLinesOf(toCp1252(name)).utf8);
    EXPECT_FALSE(importLinesOf("plain").utf8);
}

class ImportData : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        db().groups.open();
        addGroup(1, QStringLiteral("Retail"));
        addGroup(2, QStringLiteral("Trade"));
        db().groups.close();
    }
    void TearDown() override
    {
        xbase::clearFaultPlan();
        WindowDataTest::TearDown();
    }

    // A customer format with the slots 1 to 13 on the given columns.
    static ImportFormatRecord customerFormat(std::initializer_list<int> columns, int least = 0)
    {
        ImportFormatRecord f = newFormat(ImportKind::Customers);
        int slot = 1;
        for (int c : columns)
            f.number(slot++) = c;
        f.nFields = least;
        return f;
    }
    static ImportFormatRecord productFormat(int least = 0)
    {
        ImportFormatRecord f = newFormat(ImportKind::Products);
        f.Fld1 = 1, f.Fld2 = 2, f.Fld3 = 3, f.Fld4 = 4;
        f.nFields = least;
        return f;
    }
    static ImportResult import(const ImportFormatRecord &f, const char *text, int group = 1,
                               bool preview = false)
    {
        ImportOptions o;
        o.group = group;
        o.preview = preview;
        return importLines(f, importLinesOf(QByteArray(text)), o);
    }
    // Every customer in record order: number, group, the texts trimmed.
    static QString customers()
    {
        auto &t = db().cust5;
        t.open();
        t.selectTag(nullptr);
        QStringList rows;
        for (int rc = t.top(); rc == 0 && !t.eof(); rc = t.skip(1)) {
            t.read();
            const CustomerRecord &c = t.buf;
            QStringList f{QString::number(c.cuno), QString::number(c.ngroup)};
            for (const QString *s : {&c.title, &c.first, &c.last, &c.addr1, &c.addr2, &c.addr3, &c.addr4,
                                     &c.zip, &c.phone, &c.fax, &c.email, &c.note})
                f << s->trimmed();
            rows << f.join(QLatin1Char('|'));
        }
        t.close();
        return rows.join(QLatin1Char('\n'));
    }
    static QString products()
    {
        auto &t = db().prod5;
        t.open();
        t.selectTag(nullptr);
        QStringList rows;
        for (int rc = t.top(); rc == 0 && !t.eof(); rc = t.skip(1)) {
            t.read();
            const ProductRecord &p = t.buf;
            rows << QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                        .arg(p.PrID.trimmed(), p.PDesc.trimmed(), p.IComm.trimmed())
                        .arg(p.UPrice, 0, 'f', 2)
                        .arg(p.RCode.trimmed())
                        .arg(int(p.LTax1))
                        .arg(p.ONHAND, 0, 'f', 2);
        }
        t.close();
        return rows.join(QLatin1Char('\n'));
    }
};

TEST_F(ImportData, CustomersAreAddedMatchedAndUpdatedAsTheFileSays)
{
    // Slots in table order on columns 1 to 13.
    const ImportFormatRecord all = customerFormat({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    const char *file =
        "Mr,John,Smith,\"12 Main St, Apt 4\",,Springfield,IL,,62701,555-1,555-2,js@x.org,first\r\n"
        "Ms,Ann,Lee,,,,,Canada,K1A,,,,\r\n";
    QStringList status;
    ImportOptions o;
    o.group = 1;
    o.status = [&](const QString &text) { status << text; };
    ImportResult r = importLines(all, importLinesOf(file), o);
    EXPECT_EQ(messageOf(r, ImportKind::Customers), "2 Customers Added  0 Customers Updated");
    EXPECT_EQ(status, QStringList({"Importing: John Smith", "Importing: Ann Lee", ""}));
    EXPECT_EQ(customers(),
              "1|1|Mr|John|Smith|12 Main St, Apt 4|Springfield, IL|||62701|555-1|555-2|js@x.org|first\n"
              "2|1|Ms|Ann|Lee|Canada||||K1A||||");

    // The same file again: nobody added, the notes grow, title and group stay.
    r = import(all, file, 2);
    EXPECT_EQ(messageOf(r, ImportKind::Customers), "0 Customers Added  2 Customers Updated");
    EXPECT_EQ(
        customers(),
        "1|1|Mr|John|Smith|12 Main St, Apt 4|Springfield, IL|||62701|555-1|555-2|js@x.org|first: first\n"
        "2|1|Ms|Ann|Lee|Canada||||K1A||||:");

    // Case and blanks in the last name still match; another postal code is a
    // new customer with the next number. A format without the phone clears
    // the phone of the customers it updates; a line shorter than the highest
    // mapped column takes the missing columns as empty; a line with fewer
    // fields than the format asks is skipped.
    const ImportFormatRecord noPhone = customerFormat({0, 1, 2, 0, 0, 0, 0, 0, 3, 0, 0, 0, 4}, 2);
    r = import(noPhone, "john,  SMITH  ,62701,n2\nJohn,Smith,99999\nAnn\n");
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(r.updated, 1);
    EXPECT_EQ(customers(), "1|1|Mr|John|Smith|||||62701||||first: first: n2\n"
                           "2|1|Ms|Ann|Lee|Canada||||K1A||||:\n"
                           "3|1||John|Smith|||||99999||||");
}

TEST_F(ImportData, NewCustomersTakeTheFreeNumbersInTurn)
{
    db().cust5.open();
    for (int n : {1, 2, 4})
        appendRecord(db().cust5, [&](CustomerRecord &c) {
            c.cuno = n;
            c.last = QStringLiteral("Old%1").arg(n);
            c.ngroup = 1;
        });
    db().cust5.close();
    import(customerFormat({0, 0, 1}), "A\nB\nC\n", 2);
    EXPECT_EQ(customers(), "1|1|||Old1|||||||||\n2|1|||Old2|||||||||\n4|1|||Old4|||||||||\n"
                           "3|2|||A|||||||||\n5|2|||B|||||||||\n6|2|||C|||||||||");
}

TEST_F(ImportData, ProductsMatchByIdInCapitalsAndKeepWhatTheFileDoesNotHold)
{
    db().prod5.open();
    appendRecord(db().prod5, [](ProductRecord &p) {
        p.PrID = QStringLiteral("OLD1");
        p.RCode = QStringLiteral("LIC");
        p.LTax1 = true;
        p.ONHAND = 7;
        p.UPrice = 1;
    });
    db().prod5.close();
    const char *file = "abc,Widget,small,1.50\n"
                       "ABC,Widget,large,2.5\n"
                       "old1,Renamed,,n/a\n"
                       "  ,No ID,,1\n"
                       "x\n";
    // The preview writes nothing and tells line by line.
    const ImportResult p = import(productFormat(2), file, 0, true);
    QStringList shown;
    for (const LineVerdict &v : p.verdicts)
        shown << verdictText(v, true);
    EXPECT_EQ(shown.join(QLatin1Char('\n')), "Line 1: would add abc\n"
                                             "Line 2: would update ABC\n"
                                             "Line 3: would update old1\n"
                                             "Line 4: skipped, no product ID\n"
                                             "Line 5: skipped, 1 fields, the format needs 2");
    EXPECT_EQ(messageOf(p, ImportKind::Products, true),
              "1 Products would be Added  2 Products would be Updated\n2 lines skipped");
    EXPECT_EQ(products(), "OLD1|||1.00|LIC|1|7.00");

    const ImportResult r = import(productFormat(2), file);
    EXPECT_EQ(messageOf(r, ImportKind::Products), "1 Products Added  2 Products Updated");
    EXPECT_EQ(products(), "old1|Renamed||0.00|LIC|1|7.00\nABC|Widget|large|2.50||0|0.00");
}

TEST_F(ImportData, TextTheTablesCannotHoldIsToldAndTooLongTextIsCut)
{
    const QString name = QStringLiteral("\u0141\u00f3d\u017a"); // Polish: two letters outside Windows-1252
    const QByteArray file = (QStringLiteral("Anna,") + name + QStringLiteral(",1\nBob,Brown,2\n")).toUtf8() +
                            "Carl,Averyveryverylonglastname,3\n";
    ImportOptions o;
    o.group = 1;
    o.preview = true;
    const ImportFormatRecord f = customerFormat({0, 1, 2, 0, 0, 0, 0, 0, 3});
    ImportResult r = importLines(f, importLinesOf(file), o);
    ASSERT_EQ(r.verdicts.size(), 3);
    EXPECT_EQ(
        verdictText(r.verdicts[0], true),
        QStringLiteral("Line 1: would add customer 1, ?\u00f3d?, Anna; characters the tables cannot hold, "
                       "stored as ?: \u0141 \u017a"));
    EXPECT_EQ(verdictText(r.verdicts[2], true),
              "Line 3: would add customer 3, Averyveryverylonglas, Carl; Last Name cut to 20 characters");
    o.preview = false;
    r = importLines(f, importLinesOf(file), o);
    EXPECT_EQ(messageOf(r, ImportKind::Customers),
              "3 Customers Added  0 Customers Updated\n"
              "1 lines held characters that cannot be stored; they were stored as ?");
    // Imported again, the cut and the replaced names find their customers.
    r = importLines(f, importLinesOf(file), o);
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.updated, 3);
}

TEST_F(ImportData, AFullDiskStopsTheImportWithTheLinesBeforeItStoredAndTheIndexesRight)
{
    // A table of 100 customers, the largest of the data files, and a disk
    // with room for about 40 more.
    const ImportFormatRecord f = customerFormat({0, 1, 2, 0, 0, 0, 0, 0, 3});
    QByteArray file;
    for (int i = 1; i <= 100; ++i)
        file += QStringLiteral("First%1,Old%1,%1\n").arg(i).toLatin1();
    ImportOptions o;
    o.group = 1;
    ASSERT_EQ(importLines(f, importLinesOf(file), o).added, 100);
    file.clear();
    for (int i = 1; i <= 400; ++i)
        file += QStringLiteral("First%1,Last%1,%1\n").arg(i).toLatin1();
    db().cust5.open();
    const qint64 size = FileSizeLimit::sizeOf(QStringLiteral("CUST5.dbf"));
    const qint64 record = size / 100;
    ImportResult r;
    {
        FileSizeLimit full(size + 40 * record);
        r = importLines(f, importLinesOf(file), o);
    }
    ASSERT_EQ(r.status, ImportResult::Status::WriteFailed);
    EXPECT_GT(r.added, 30);
    EXPECT_EQ(r.stoppedAtLine, r.added + 1);
    EXPECT_EQ(
        messageOf(r, ImportKind::Customers),
        QStringLiteral("%1 Customers Added  0 Customers Updated\n"
                       "The import stopped at line %2: its record could not be written. The lines before "
                       "it were imported.\nThe disk is full or the file or its directory is not writable.")
            .arg(r.added)
            .arg(r.stoppedAtLine));
    EXPECT_EQ(db().cust5.recCount(), 100 + r.added);
    db().closeAll();
    const CheckResult check = checkDataFiles();
    EXPECT_EQ(check.failed, 0) << check.problems.join(QLatin1Char('\n')).toStdString();

    // With room again, the same file adds the rest and updates the ones before.
    const ImportResult again = importLines(f, importLinesOf(file), o);
    EXPECT_EQ(again.added, 400 - r.added);
    EXPECT_EQ(again.updated, r.added);
}

TEST_F(ImportData, TheWindowChecksDefinesAFormatAndImports)
{
    ModalWatchdog watchdog;
    QFile csv(m_dir.file(QStringLiteral("products.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("A1,First,,3.00\nB2,Second,,4\n");
    csv.close();

    TableScope scope;
    TImport w(ImportKind::Products);
    showActive(w);
    auto *list = child<QComboBox>(w, "ComboBox1");
    EXPECT_EQ(list->currentText(), "Click Add to create a format");
    m_ui.expect(Answer::Ok, QStringLiteral("Click the Add button to create an import format specification"));
    click(&w, "BtnImport");

    onModal<TFmtDef>([&](TFmtDef *d) {
        // A product format: four slots, comma separated.
        EXPECT_TRUE(d->findChild<QLineEdit *>("Edit5")->isVisible());
        EXPECT_FALSE(d->findChild<QLineEdit *>("Edit6")->isVisible());
        EXPECT_EQ(d->findChild<QLineEdit *>("Edit15")->text(), "44");
        EXPECT_EQ(d->findChild<QLineEdit *>("Edit16")->text(), "0");
        QTest::keyClicks(d->findChild<QLineEdit *>("Edit1"), "Shop");
        const char *edits[] = {"Edit2", "Edit3", "Edit4", "Edit5"};
        const char *typed[] = {"1", "2", "x", " 4 "};
        for (int i = 0; i < 4; ++i) {
            auto *e = d->findChild<QLineEdit *>(edits[i]);
            e->setFocus();
            e->selectAll();
            QTest::keyClicks(e, typed[i]);
            QTest::keyClick(e, Qt::Key_Tab);
        }
        EXPECT_EQ(d->findChild<QLineEdit *>("Edit4")->text(), "0");
        EXPECT_EQ(d->findChild<QLineEdit *>("Edit5")->text(), "4");
        click(d, "BtnSave");
    });
    click(&w, "BtnAdd");
    EXPECT_EQ(list->currentText(), "Shop");
    ASSERT_TRUE(loadFormat(w.currentFormat()));
    EXPECT_EQ(db().importF.buf.Fld4, 4);
    EXPECT_EQ(db().importF.buf.Fld3, 0);

    m_ui.expect(Answer::Ok, QStringLiteral("Click Browse button to select the file you want to import"));
    click(&w, "BtnImport");
    m_ui.expect(Answer::Ok, QStringLiteral("Import File NOT Found."));
    child<QLineEdit>(w, "Edit1")->setText(QStringLiteral("nothing.csv"));
    click(&w, "BtnImport");

    m_ui.expectFileName(csv.fileName());
    click(&w, "BtnBrowse");
    onModal<TImportPreview>([&](TImportPreview *p) {
        EXPECT_EQ(p->findChild<QPlainTextEdit *>("Memo1")->toPlainText(),
                  "Line 1: would add A1\nLine 2: would add B2\n\n"
                  "2 Products would be Added  0 Products would be Updated\n0 lines skipped");
        p->accept();
    });
    click(&w, "BtnPreview");
    m_ui.expect(Answer::Ok, QStringLiteral("2 Products Added  0 Products Updated"));
    click(&w, "BtnImport");
    EXPECT_EQ(products(), "A1|First||3.00||0|0.00\nB2|Second||4.00||0|0.00");
    EXPECT_EQ(child<QStatusBar>(w, "StatusBar1")->currentMessage(), "");
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(ImportData, ACustomerImportAsksForTheGroupOfTheNewCustomers)
{
    ModalWatchdog watchdog;
    QFile csv(m_dir.file(QStringLiteral("people.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Ann,Lee\n");
    csv.close();
    TableScope scope;
    db().importF.open();
    long recNo = 0;
    ASSERT_EQ(saveFormat(recNo, customerFormat({0, 1, 2})), FormatSave::Saved);
    TImport w(ImportKind::Customers);
    showActive(w);
    child<QLineEdit>(w, "Edit1")->setText(csv.fileName());

    // No group chosen: nothing imported, nothing said.
    onModal<TPickGroup>([&](TPickGroup *p) { click(p, "BtnCancel"); });
    click(&w, "BtnImport");
    EXPECT_EQ(customers(), "");

    onModal<TPickGroup>([&](TPickGroup *p) {
        EXPECT_TRUE(p->findChild<QPushButton *>("BtnNew")->isEnabled());
        for (int i = 0; i < p->list()->count(); ++i)
            if (p->list()->item(i)->text().trimmed() == QLatin1String("Trade"))
                p->list()->setCurrentRow(i);
        click(p, "BtnSelect");
    });
    m_ui.expect(Answer::Ok, QStringLiteral("1 Customers Added  0 Customers Updated"));
    click(&w, "BtnImport");
    EXPECT_EQ(customers(), "1|2||Ann|Lee|||||||||");
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(ImportData, TheToolImportsWithAFormatItSaved)
{
    db().reset();
    QFile csv(m_dir.file(QStringLiteral("people.txt")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Smith\tJohn\t1\nSmith\tJohn\t1\n");
    csv.close();
    const auto tool = [&](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral(TLV_TOOL_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return QString::number(p.exitCode()) + QLatin1Char(' ') +
               QString::fromLocal8Bit(p.readAllStandardOutput()) +
               QString::fromLocal8Bit(p.readAllStandardError());
    };
    const QString dir = m_dir.path();
    EXPECT_EQ(tool({"import-format", dir, "customers", "Tabbed", "--columns", "0,2,1,0,0,0,0,0,3",
                    "--delimiter", "9"}),
              "0 Format 'Tabbed' saved as record 1\n");
    EXPECT_EQ(tool({"import", dir, "customers", csv.fileName(), "--format", "Tabbed", "--preview"}),
              "0 Line 1: would add customer 1, Smith, John\nLine 2: would update customer 1, Smith, John\n"
              "1 Customers would be Added  1 Customers would be Updated\n0 lines skipped\n");
    EXPECT_EQ(tool({"import", dir, "customers", csv.fileName(), "--format", "Tabbed"}).left(1), "2");
    EXPECT_EQ(tool({"import", dir, "customers", csv.fileName(), "--format", "Tabbed", "--group", "2"}),
              "0 1 Customers Added  1 Customers Updated\n");
    EXPECT_EQ(customers(), "1|2||John|Smith|||||1||||:");
}

} // namespace
