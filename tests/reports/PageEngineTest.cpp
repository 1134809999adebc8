// The report document, its page engine and its text outputs.
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/RptUtil.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

class PageEngine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setClock(&m_clock);
        setPrinter(nullptr); // no printer installed
        resetReportFont();
        report().reset();
    }
    void TearDown() override
    {
        report().reset();
        setClock(nullptr);
    }

    // A tabular report shaped like the purchasing report.
    static ReportDocument &beginPurchasing()
    {
        ReportDocument &doc = report();
        doc.width = 71;
        doc.cellCount = 6;
        doc.beginReport();
        doc.titles << QStringLiteral("Purchasing Report for 3/1/2024 through 3/31/2024");
        doc.columnCodes = {"L00", "L12", "R47", "R58", "R71"};
        doc.setColumnHeadings({"Product", "Description", "Date", "Quantity", "Cost"});
        return doc;
    }
    static void addDataRow(ReportDocument &doc, int n)
    {
        doc.pageCheck(doc.lineCount + 1, true);
        doc.newRow();
        doc.putColumn(0, QStringLiteral("P%1").arg(n));
        doc.putColumn(3, QStringLiteral("      1.00"));
    }

    FixedClock m_clock{QDate(2024, 3, 15)};
};

// The rows of each page: split at the "EJECT" rows, which are left out.
QList<QList<QStringList>> pagesOf(const ReportDocument &doc)
{
    QList<QList<QStringList>> pages(1);
    for (const QStringList &row : doc.rows) {
        if (row.value(0).startsWith(QLatin1Char('E')))
            pages.append(QList<QStringList>());
        else
            pages.last().append(row);
    }
    return pages;
}

} // namespace

TEST_F(PageEngine, FirstPageCheckBeginsPageOneWithHeadingTitlesAndColumnHeadings)
{
    ReportDocument &doc = beginPurchasing();
    EXPECT_EQ(doc.linesPerPage, 60);
    EXPECT_EQ(doc.lastRow(), -1);
    // Whatever is asked for, the first check begins page 1, and no page break.
    EXPECT_TRUE(doc.pageCheck(0, true));
    EXPECT_EQ(doc.pageNumber, 1);
    ASSERT_EQ(doc.rows.size(), 8);
    EXPECT_EQ(doc.rows[0], QStringList({"L00Page 1", "R713/15/2024", "", "", "", ""}));
    EXPECT_EQ(doc.rows[1], QStringList(6, QString()));
    EXPECT_EQ(doc.rows[2][0], "C35Purchasing Report for 3/1/2024 through 3/31/2024");
    EXPECT_EQ(doc.rows[2][5], "B");
    EXPECT_EQ(doc.rows[3], QStringList(6, QString()));
    EXPECT_EQ(doc.rows[4][0], "L00"); // the subtitle, always empty
    EXPECT_EQ(doc.rows[4][5], "B");
    EXPECT_EQ(doc.rows[5], QStringList(6, QString()));
    EXPECT_EQ(doc.rows[6], QStringList({"", "", "", "", "", "U"}));
    EXPECT_EQ(doc.rows[7],
              QStringList({"L00Product", "L12Description", "R47Date", "R58Quantity", "R71Cost", "U"}));
    EXPECT_EQ(doc.lineCount, 8);
    for (const QStringList &row : doc.rows)
        EXPECT_NE(row[0], "EJECT");
    // Room left on the page: nothing happens.
    EXPECT_FALSE(doc.pageCheck(doc.lineCount + 1, true));
    EXPECT_EQ(doc.rows.size(), 8);
}

TEST_F(PageEngine, SixtyRowsPerPageWithoutPrinterHeadingsIncluded)
{
    ReportDocument &doc = beginPurchasing();
    for (int i = 0; i < 150; ++i)
        addDataRow(doc, i);
    const auto pages = pagesOf(doc);
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(pages[0].size(), 60);
    EXPECT_EQ(pages[1].size(), 60);
    // 8 heading rows per page: 52 + 52 + 46 data rows.
    EXPECT_EQ(pages[2].size(), 8 + 150 - 2 * 52);
    EXPECT_EQ(doc.pageNumber, 3);
}

TEST_F(PageEngine, PageBreakClosesTheTableThenEjectsAndHeadsPageTwo)
{
    ReportDocument &doc = beginPurchasing();
    for (int i = 0; i < 53; ++i)
        addDataRow(doc, i);
    int eject = -1;
    for (int r = 0; r < doc.rows.size(); ++r)
        if (doc.rows[r][0] == "EJECT") eject = r;
    ASSERT_EQ(eject, 60);
    EXPECT_EQ(doc.rows[eject - 1][0], "L00P51");
    EXPECT_EQ(doc.rows[eject - 1][5], "U");
    EXPECT_EQ(doc.rows[eject], QStringList({"EJECT", "", "", "", "", ""}));
    EXPECT_EQ(doc.rows[eject + 1][0], "L00Page 2");
    EXPECT_EQ(doc.rows[eject + 1][1], "R713/15/2024");
    EXPECT_EQ(doc.rows[eject + 9][0], "L00P52");
}

TEST_F(PageEngine, PageBreakWithoutHeadingsKeepsTheLastRowsFlags)
{
    ReportDocument &doc = report();
    doc.width = 50;
    doc.cellCount = 3;
    doc.beginReport();
    doc.pageCheck(0, false);
    doc.newRow();
    doc.setFlags(doc.lastRow(), QStringLiteral("B"));
    doc.lineCount = 60;
    EXPECT_TRUE(doc.pageCheck(61, false));
    const auto pages = pagesOf(doc);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].last()[2], "B");
    // Page heading, blank, blank, subtitle: no column headings asked for.
    EXPECT_EQ(pages[1].size(), 4);
    EXPECT_EQ(pages[1][0][1], "R503/15/2024");
}

TEST_F(PageEngine, TitlesAreCentredOnHalfTheWidth)
{
    ReportDocument &doc = report();
    doc.width = 75;
    doc.cellCount = 16;
    doc.beginReport();
    doc.titles << QStringLiteral("Sales Summary") << QStringLiteral("Second");
    doc.pageCheck(1, false);
    EXPECT_EQ(doc.rows[2][0], "C37Sales Summary");
    EXPECT_EQ(doc.rows[3][0], "C37Second");
    EXPECT_EQ(doc.rows[3][15], "B");

    // A narrow report: the engine writes one-digit columns with a leading blank.
    doc.reset();
    doc.width = 9;
    doc.cellCount = 3;
    doc.beginReport();
    doc.titles << QStringLiteral("T");
    doc.pageCheck(1, false);
    EXPECT_EQ(doc.rows[0][1], "R 93/15/2024");
    EXPECT_EQ(doc.rows[2][0], "C 4T");
    EXPECT_EQ(cellColumn(doc.rows[2][0]), 4);
}

TEST_F(PageEngine, EndReportDiscardsTheDocument)
{
    ReportDocument &doc = beginPurchasing();
    addDataRow(doc, 1);
    doc.endReport();
    EXPECT_TRUE(doc.rows.isEmpty());
    EXPECT_TRUE(doc.titles.isEmpty());
    EXPECT_TRUE(doc.columnCodes.isEmpty());
    EXPECT_TRUE(doc.headings.isEmpty());
    EXPECT_EQ(doc.lastRow(), -1);
    // Out-of-range cells are ignored and read as empty.
    doc.putCell(3, 0, QStringLiteral("L00x"));
    EXPECT_EQ(doc.cell(3, 0), QString());
}

TEST_F(PageEngine, LinesPerPageFollowThePrinterAndTheReportFont)
{
    TempDataDir dir;
    PdfPrinter pdf(dir.file("x.pdf")); // Letter at 300 dpi, 10.5 inches printable
    setPrinter(&pdf);
    EXPECT_TRUE(printerInstalled());
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);
    setReportFont(font);
    const int at10 = linesPerPage();
    font.setPointSize(20);
    setReportFont(font);
    const int at20 = linesPerPage();
    setPrinter(nullptr);
    EXPECT_FALSE(printerInstalled());
    EXPECT_EQ(linesPerPage(), 60);
    // 10 points is about 0.16 inch a line: some 60 lines on 10.5 inches, less 6.
    EXPECT_GT(at10, 45);
    EXPECT_LT(at10, 75);
    EXPECT_NEAR(at20 + 6, (at10 + 6) / 2, 2);
}

// ---- Text -------------------------------------------------------------------------------

namespace {
ReportDocument oneRow(int width, int cells, const QStringList &row)
{
    ReportDocument doc;
    doc.width = width;
    doc.cellCount = cells;
    doc.rows << row;
    return doc;
}
} // namespace

TEST(ReportText, PlainTextPlacesCellsByColumnAndAlignment)
{
    // Right-aligned on column 7: two padding blanks, then "   12" in positions 3-7.
    EXPECT_EQ(rowText(oneRow(10, 2, {"R07   12", ""}), 0, false), "     12");
    // Centred on column 36: 36 - 7 / 2 = 33 blanks before the text.
    EXPECT_EQ(rowText(oneRow(73, 2, {"C36Invoice", ""}), 0, false), QString(33, ' ') + "Invoice");
    // A line already past the target: no blank between.
    EXPECT_EQ(rowText(oneRow(20, 3, {"L00ABCDEFGH", "L05XY", ""}), 0, false), "ABCDEFGHXY");
    // A column written by the engine with a leading blank.
    EXPECT_EQ(rowText(oneRow(20, 2, {"L 3ab", ""}), 0, false), "   ab");
    // Rules, pictures and page breaks give nothing.
    EXPECT_EQ(rowText(oneRow(20, 5, {"V08", "H0010", "EJECT", "IL01logo.bmp", ""}), 0, false), "");
    // The flag cell never prints.
    EXPECT_EQ(rowText(oneRow(20, 2, {"L00a", "L05b"}), 0, false), "a");
    // An empty right-aligned text places nothing.
    EXPECT_EQ(rowText(oneRow(20, 3, {"R07", "L08x", ""}), 0, false), "        x");
}

TEST(ReportText, TabDelimitedSalesSummaryRowHasSevenFields)
{
    const QStringList row = {
        "V00", "R07  1001",     "V08", "R173/15/2024",  "V18", "R28    100.00", "V29", "R40      0.00",
        "V41", "R52      5.00", "V53", "R63      0.00", "V64", "R74    105.00", "V75", ""};
    const QString line = rowText(oneRow(75, 16, row), 0, true);
    const QStringList fields = line.split('\t');
    ASSERT_EQ(fields.size(), 7);
    EXPECT_EQ(fields[0], "  1001"); // leading blanks kept, column ignored
    EXPECT_EQ(fields[6], "    105.00");
}

TEST(ReportText, DocumentTextHasOneCrLfLinePerRow)
{
    ReportDocument doc;
    doc.width = 20;
    doc.cellCount = 3;
    doc.rows << QStringList{"L00Page 1", "R2003/15/2024", ""} << QStringList{"", "", ""}
             << QStringList{"EJECT", "", ""} << QStringList{"L02x", "R10abc", "U"};
    EXPECT_EQ(documentText(doc, false), "Page 1    03/15/2024\r\n\r\n\r\n  x    abc\r\n");
    EXPECT_EQ(documentText(doc, true), "Page 1\t03/15/2024\r\n\r\n\r\nx\tabc\r\n");
}

TEST(ReportText, EmailTextRulesRowsFlaggedExactlyU)
{
    ReportDocument doc;
    doc.width = 9;
    doc.cellCount = 2;
    doc.rows << QStringList{"L00one", "U"} << QStringList{"L00two", "BU"} << QStringList{"L00three", "B"};
    EXPECT_EQ(emailText(doc, false), "one\r\n----------\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(emailText(doc, true), "one\r\n----------\r\ntwo\r\nthree\r\n");
}

TEST(ReportText, PictureFlagsAndCells)
{
    const QString flags = pictureFlags(1.5, 2);
    EXPECT_EQ(flags, "S 1.50 2.00");
    EXPECT_FALSE(flags.contains('B'));
    EXPECT_FALSE(flags.contains('U'));
    const PictureSize size = pictureSize(flags);
    EXPECT_DOUBLE_EQ(size.heightInches, 1.5);
    EXPECT_DOUBLE_EQ(size.widthInches, 2.0);
    EXPECT_DOUBLE_EQ(pictureSize("S 1,25 0,50").heightInches, 1.25); // a decimal comma
    EXPECT_DOUBLE_EQ(pictureSize("BU").widthInches, 0);
    const PictureCell pic = pictureCell("IC36  /tmp/logo.bmp  ");
    EXPECT_EQ(pic.align, 'C');
    EXPECT_EQ(pic.column, 36);
    EXPECT_EQ(pic.fileName, "/tmp/logo.bmp");
    EXPECT_EQ(ruleEndColumn("H6073"), 73);
    EXPECT_EQ(cellColumn("H6073"), 60);
}

// ---- Export to a text file -------------------------------------------------------------------

namespace {
// A save dialog that, like some real ones, changes the current directory.
class WanderingUi : public ScriptedUi
{
public:
    QString wanderTo;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override
    {
        filters << filter;
        if (!wanderTo.isEmpty()) QDir::setCurrent(wanderTo);
        return ScriptedUi::saveFileName(caption, dir, filter);
    }
    QStringList filters;
};

void fillSmallReport()
{
    ReportDocument &doc = report();
    doc.reset();
    doc.width = 20;
    doc.cellCount = 3;
    doc.rows << QStringList{"L00Total", "R20   12.50", "U"};
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST(ReportExport, PlainAndTabbedFilesWithDefaultExtensions)
{
    TempDataDir dir;
    fillSmallReport();
    WanderingUi ui;
    ui.expectFileName(dir.file("plain"))
        .expectFileName(dir.file("tabbed"))
        .expectFileName(dir.file("given.TXT"));
    EXPECT_TRUE(exportReportText(false));
    EXPECT_TRUE(exportReportText(true));
    EXPECT_TRUE(exportReportText(false));
    EXPECT_EQ(contents(dir.file("plain.txt")), "Total          12.50\r\n");
    EXPECT_EQ(contents(dir.file("tabbed.asc")), "Total\t   12.50\r\n");
    EXPECT_TRUE(QFile::exists(dir.file("given.TXT")));
    EXPECT_EQ(ui.dialogsAsked, QStringList({"Export Report", "Export Report", "Export Report"}));
    EXPECT_EQ(ui.filters,
              QStringList({"Text files (*.txt)", "Delimited files (*.asc)", "Text files (*.txt)"}));
    EXPECT_TRUE(ui.boxes().isEmpty());
    report().reset();
}

TEST(ReportExport, AnExistingFileIsReplaced)
{
    TempDataDir dir;
    fillSmallReport();
    {
        QFile f(dir.file("old.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    }
    ScriptedUi ui;
    ui.expectFileName(dir.file("old.txt"));
    EXPECT_TRUE(exportReportText(false));
    EXPECT_EQ(contents(dir.file("old.txt")), "Total          12.50\r\n");
    report().reset();
}

TEST(ReportExport, CancellingWritesNothingAndKeepsTheWorkingDirectory)
{
    TempDataDir dir;
    QTemporaryDir elsewhere;
    fillSmallReport();
    WanderingUi ui;
    ui.wanderTo = elsewhere.path();
    ui.expectFileName(QString()).expectFileName(QStringLiteral("relative"));
    EXPECT_FALSE(exportReportText(false));
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(elsewhere.path()).entryList(QDir::Files).isEmpty());
    // A relative name is taken in the program's directory, not where the dialog went.
    EXPECT_TRUE(exportReportText(false));
    EXPECT_TRUE(QFile::exists(dir.file("relative.txt")));
    EXPECT_FALSE(QFile::exists(QDir(elsewhere.path()).filePath("relative.txt")));
    report().reset();
}

TEST(ReportExport, AFileThatCannotBeCreatedIsReported)
{
    TempDataDir dir;
    fillSmallReport();
    ScriptedUi ui;
    const QString name = dir.file("missing/sub/out.txt");
    ui.expectFileName(name).expect(Answer::Ok, "Unable to save to: " + name);
    EXPECT_FALSE(exportReportText(false));
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_EQ(ui.boxes()[0].text, "Unable to save to: " + name);
    EXPECT_EQ(ui.boxes()[0].kind, BoxKind::Information);
    EXPECT_TRUE(ui.allUsed());
    report().reset();
}
