// Drawing report rows: where each code lands, on an image, on the printer and in PDF files.
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "platform/qt/QtPrinter.h"
#include "reports/InvoiceDocs.h"
#include "reports/RptUtil.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

QFont testFont(int points)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(points);
    return f;
}

bool dark(const QImage &img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 128;
}

int darkPixels(const QImage &img, QRect r)
{
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += dark(img, x, y);
    return n;
}

struct Canvas
{
    QImage image{400, 300, QImage::Format_RGB32};
    ReportGeometry g;
    QFont font = testFont(10);
    Canvas(int width)
    {
        image.fill(Qt::white);
        image.setDotsPerMeterX(3780); // 96 dpi
        image.setDotsPerMeterY(3780);
        g = measureReport(font, &image, width, image.width());
    }
};

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &file)
{
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    for (const QString &line : info.split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// The first page's size in whole points, as pdfinfo gives it: "612 x 792".
QString pdfPageSize(const QString &file)
{
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    for (const QString &line : info.split('\n'))
        if (line.startsWith("Page size:")) {
            const QStringList words = line.mid(10).split(' ', Qt::SkipEmptyParts);
            if (words.size() >= 3)
                return QStringLiteral("%1 x %2")
                    .arg(qRound(words[0].toDouble()))
                    .arg(qRound(words[2].toDouble()));
        }
    return QString();
}

} // namespace

TEST(ReportPaint, GeometryCentresTheReport)
{
    Canvas c(20);
    EXPECT_GT(c.g.charWidth, 0);
    EXPECT_EQ(c.g.margin, static_cast<int>(400 / 2.0 - 20 * c.g.charWidth / 2.0));
    EXPECT_EQ(c.g.x(3), c.g.margin + 3 * c.g.charWidth);
    EXPECT_EQ(c.g.rightEnd(), c.g.margin + 20 * c.g.charWidth);
    EXPECT_EQ(c.g.lineHeight, QFontMetrics(c.font, &c.image).height());
}

TEST(ReportPaint, RulesLandOnColumnEdges)
{
    Canvas c(20);
    ReportDocument doc;
    doc.width = 20;
    doc.cellCount = 3;
    doc.rows << QStringList{"V08", "", ""}      // row 0: vertical rule at column 8
             << QStringList{"H0206", "R07", ""} // row 1: rule along the top, columns 2 to 6; empty text
             << QStringList{"", "", "U"}        // row 2: rule along the bottom, whole width
             << QStringList{"EJECT", "", ""};   // row 3: dotted line on screen
    QPainter p(&c.image);
    p.setPen(Qt::black);
    RowPainter rows(p, doc, c.font, c.g, RowPainter::Surface::Screen);
    int y = 0;
    for (int r = 0; r < 4; ++r)
        rows.paintRow(r, y);
    p.end();
    const int lh = c.g.lineHeight;
    EXPECT_EQ(y, 4 * lh);
    // V: one row high at x(8).
    EXPECT_TRUE(dark(c.image, c.g.x(8), 1));
    EXPECT_TRUE(dark(c.image, c.g.x(8), lh - 1));
    EXPECT_FALSE(dark(c.image, c.g.x(8), lh + 2));
    EXPECT_FALSE(dark(c.image, c.g.x(8) + 2, lh / 2));
    // H: from x(2) to x(6) on the row's top; "R07" with no text draws nothing.
    EXPECT_TRUE(dark(c.image, c.g.x(2), lh));
    EXPECT_TRUE(dark(c.image, c.g.x(6), lh));
    EXPECT_FALSE(dark(c.image, c.g.x(6) + 2, lh));
    EXPECT_FALSE(dark(c.image, c.g.x(2) - 2, lh));
    EXPECT_EQ(darkPixels(c.image, QRect(0, lh + 1, 400, lh - 1)), 0);
    // U: from the margin to the right end under row 2.
    EXPECT_TRUE(dark(c.image, c.g.margin, 3 * lh));
    EXPECT_TRUE(dark(c.image, c.g.rightEnd(), 3 * lh));
    EXPECT_FALSE(dark(c.image, c.g.rightEnd() + 2, 3 * lh));
    // EJECT: dotted across the whole width at half a row.
    const int dots = darkPixels(c.image, QRect(0, 3 * lh + lh / 2, 400, 1));
    EXPECT_GT(dots, 100);
    EXPECT_LT(dots, 300);
    EXPECT_TRUE(dark(c.image, 0, 3 * lh + lh / 2) || dark(c.image, 1, 3 * lh + lh / 2));
}

TEST(ReportPaint, TextAlignmentAndBoldRows)
{
    Canvas c(20);
    ReportDocument doc;
    doc.width = 20;
    doc.cellCount = 4;
    doc.rows << QStringList{"L10MMM", "", "", ""} << QStringList{"R10MMM", "", "", ""}
             << QStringList{"C10MMM", "", "", ""} << QStringList{"L10MMM", "", "", "BU"};
    QPainter p(&c.image);
    p.setPen(Qt::black);
    RowPainter rows(p, doc, c.font, c.g, RowPainter::Surface::Screen);
    int y = 0;
    for (int r = 0; r < 4; ++r)
        rows.paintRow(r, y);
    p.end();
    const int lh = c.g.lineHeight, x = c.g.x(10);
    auto inkLeft = [&](int row) { return darkPixels(c.image, QRect(0, row * lh, x, lh - 1)); };
    auto inkRight = [&](int row) { return darkPixels(c.image, QRect(x + 1, row * lh, 400, lh - 1)); };
    EXPECT_EQ(inkLeft(0), 0);
    EXPECT_GT(inkRight(0), 0);
    EXPECT_GT(inkLeft(1), 0);
    EXPECT_EQ(inkRight(1), 0);
    EXPECT_GT(inkLeft(2), 0);
    EXPECT_GT(inkRight(2), 0);
    EXPECT_NEAR(inkLeft(2), inkRight(2), inkRight(0) / 3);
    // The bold row carries more ink than the same text in the regular style.
    EXPECT_GT(darkPixels(c.image, QRect(0, 3 * lh, 400, lh - 1)), inkRight(0) * 6 / 5);
    EXPECT_TRUE(dark(c.image, c.g.margin + 1, 4 * lh));
}

TEST(ReportPaint, FontShrinksToFitButNotBelowItsFloor)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    const QFont big = testFont(30);
    // Wide enough: unchanged.
    EXPECT_EQ(fitReportFont(big, &device, 20, 5000, 8).pointSizeF(), 30);
    // Shrunk point by point: the first size at which 75 columns fit.
    const QFont fitted = fitReportFont(big, &device, 75, 700, 8);
    const auto cw = [&](double pt) {
        QFont f = big;
        f.setPointSizeF(pt);
        return QFontMetrics(f, &device).horizontalAdvance('B');
    };
    EXPECT_LT(fitted.pointSizeF(), 30);
    EXPECT_LE(75 * cw(fitted.pointSizeF()), 700);
    EXPECT_GT(75 * cw(fitted.pointSizeF() + 1), 700);
    // Never below the floor, even when nothing fits.
    EXPECT_EQ(fitReportFont(big, &device, 99, 10, 8).pointSizeF(), 8);
    EXPECT_EQ(fitReportFont(big, &device, 99, 10, 4).pointSizeF(), 4);
}

TEST(ReportPaint, PrinterBreaksPagesAtEjectRows)
{
    QImage page(800, 1000, QImage::Format_RGB32);
    page.fill(Qt::white);
    ReportDocument doc;
    doc.width = 20;
    doc.cellCount = 2;
    doc.rows << QStringList{"L00a", ""} << QStringList{"EJECT", ""} << QStringList{"L00b", ""};
    QPainter p(&page);
    const QFont font = testFont(10);
    const ReportGeometry g = measureReport(font, &page, 20, 800);
    RowPainter rows(p, doc, font, g, RowPainter::Surface::Printer);
    int breaks = 0;
    rows.pageBreak = [&] {
        ++breaks;
        return 3 * g.lineHeight;
    };
    int y = 3 * g.lineHeight;
    rows.paintRow(0, y);
    rows.paintRow(1, y);
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(y, 3 * g.lineHeight); // back at the top margin of the new page
    rows.paintRow(2, y);
    EXPECT_EQ(y, 4 * g.lineHeight);
}

namespace {
class PrintedReport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setClock(&m_clock);
        setReportFont(testFont(10));
        report().reset();
    }
    void TearDown() override
    {
        report().reset();
        resetReportFont();
        setPrinter(nullptr);
        setClock(nullptr);
    }
    void build(int dataRows)
    {
        ReportDocument &doc = report();
        doc.width = 71;
        doc.cellCount = 6;
        doc.beginReport();
        doc.titles << QStringLiteral("Purchasing Report");
        doc.columnCodes = {"L00", "L12", "R47", "R58", "R71"};
        doc.setColumnHeadings({"Product", "Description", "Date", "Quantity", "Cost"});
        for (int i = 0; i < dataRows; ++i) {
            doc.pageCheck(doc.lineCount + 1, true);
            doc.newRow();
            doc.putColumn(0, QStringLiteral("ROW%1").arg(i));
            doc.putColumn(4, QStringLiteral("       12.50"));
        }
        doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    }
    FixedClock m_clock{QDate(2024, 3, 15)};
};
} // namespace

TEST_F(PrintedReport, EveryPageFitsThePaperAndPdfExportMatchesPrint)
{
    TempDataDir dir;
    PdfPrinter paper(dir.file("printed.pdf"));
    setPrinter(&paper);
    build(200);
    const int pages = report().pageNumber;
    ASSERT_GT(pages, 2);
    EXPECT_EQ(printReport(report(), paper), PrintStatus::Printed);
    EXPECT_EQ(pdfPages(dir.file("printed.pdf")), pages);
    // Each page ends with the last row the engine put on it: nothing ran off the paper.
    const QString text = run("pdftotext", {"-layout", dir.file("printed.pdf"), "-"});
    const QStringList printedPages = text.split('\f', Qt::SkipEmptyParts);
    ASSERT_GE(printedPages.size(), pages);
    EXPECT_TRUE(printedPages[1].contains("Page 2"));
    EXPECT_TRUE(printedPages[1].contains("3/15/2024"));
    EXPECT_TRUE(text.contains("ROW199"));
    int row = 0;
    for (int p = 0; p < pages; ++p) {
        while (row < 200 && printedPages[p].contains(QStringLiteral("ROW%1 ").arg(row)))
            ++row;
    }
    EXPECT_EQ(row, 200);

    ScriptedUi ui;
    ui.expectFileName(dir.file("exported"));
    EXPECT_TRUE(exportReportPdf());
    EXPECT_EQ(pdfPages(dir.file("exported.pdf")), pages);
    EXPECT_EQ(run("pdftotext", {"-layout", dir.file("exported.pdf"), "-"}), text);

    // Cancelling the file name writes nothing.
    ui.expectFileName(QString());
    EXPECT_FALSE(exportReportPdf());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(PrintedReport, PrintAndExportWithoutAPrinterUseTheLocalesPaperInTheChosenOrientation)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates), de(QLocale::German, QLocale::Germany);
    const struct
    {
        QLocale locale;
        bool landscape;
        QString points;
    } cases[] = {{us, false, "612 x 792"}, {de, false, "595 x 842"}, {us, true, "792 x 612"}};
    build(3);
    for (const auto &c : cases) {
        QLocale::setDefault(c.locale);
        QtPrinter desktop;
        if (desktop.hasPrinter())
            GTEST_SKIP() << "a printer is installed";
        desktop.setLandscape(c.landscape);
        setPrinter(&desktop);
        TempDataDir dir;
        ScriptedUi ui;
        ui.expectFileName(dir.file("printed.pdf")).expectFileName(dir.file("exported.pdf"));
        EXPECT_EQ(printReport(report(), printer()), PrintStatus::Printed);
        EXPECT_TRUE(exportReportPdf());
        EXPECT_EQ(pdfPageSize(dir.file("printed.pdf")), c.points) << c.locale.name().toStdString();
        EXPECT_EQ(pdfPageSize(dir.file("exported.pdf")), c.points) << c.locale.name().toStdString();
        setPrinter(nullptr);
    }
    QLocale::setDefault(us);
}

TEST_F(PrintedReport, NarrowPaperShrinksThePrinterFontToAFloor)
{
    TempDataDir dir;
    // A 1.5-inch label roll: 1 inch printable at 300 dpi.
    PdfPrinter narrow(dir.file("narrow.pdf"), QPageSize(QSizeF(1.5, 4), QPageSize::Inch), 300);
    setPrinter(&narrow);
    build(3);
    EXPECT_EQ(printReport(report(), narrow), PrintStatus::Printed);
    EXPECT_EQ(pdfPages(dir.file("narrow.pdf")), 1);
}

TEST_F(PrintedReport, MissingPictureStillEndsThePrintJob)
{
    TempDataDir dir;
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::black);
    ASSERT_TRUE(logo.save(dir.file("logo.png")));
    PdfPrinter paper(dir.file("pictures.pdf"));
    setPrinter(&paper);
    ReportDocument &doc = report();
    doc.width = 73;
    doc.cellCount = 3;
    doc.rows << QStringList{"IC36" + dir.file("logo.png"), "", pictureFlags(1, 2)}
             << QStringList{"IL00" + dir.file("nothere.bmp"), "", pictureFlags(1, 1)}
             << QStringList{"L00after", "", ""};
    EXPECT_EQ(printReport(doc, paper), PrintStatus::Printed);
    EXPECT_EQ(pdfPages(dir.file("pictures.pdf")), 1);
    EXPECT_TRUE(run("pdftotext", {dir.file("pictures.pdf"), "-"}).contains("after"));
    // The picture is stretched to 2 x 1 inch, centred on column 36.
    const QString png = dir.file("page");
    run("pdftoppm", {"-r", "50", "-png", "-singlefile", dir.file("pictures.pdf"), png});
    QImage rendered(png + ".png");
    ASSERT_FALSE(rendered.isNull());
    int inkRows = 0, inkCols = 0;
    for (int y = 0; y < rendered.height(); ++y)
        inkRows += darkPixels(rendered, QRect(0, y, rendered.width(), 1)) > 20;
    for (int x = 0; x < rendered.width(); ++x)
        inkCols += darkPixels(rendered, QRect(x, 0, 1, rendered.height())) > 20;
    EXPECT_NEAR(inkRows, 50, 3); // 1 inch at 50 dpi
    EXPECT_NEAR(inkCols, 100, 3);

    // On the screen it fills the rows a letterhead leaves for an inch on
    // paper, whatever the screen's own resolution.
    QImage screen(900, 600, QImage::Format_RGB32);
    screen.fill(Qt::white);
    const ReportGeometry g = measureReport(reportFont(), &screen, doc.width, screen.width());
    {
        QPainter painter(&screen);
        RowPainter rows(painter, doc, reportFont(), g, RowPainter::Surface::Screen);
        int y = 0;
        rows.paintRow(0, y);
    }
    const int roomRows = paper.dpiY() / printerLines().lineHeight;
    int screenRows = 0;
    for (int y = 0; y < screen.height(); ++y)
        screenRows += darkPixels(screen, QRect(0, y, screen.width(), 1)) > 5;
    EXPECT_GE(screenRows, (roomRows - 1) * g.lineHeight);
    EXPECT_LE(screenRows, (roomRows + 1) * g.lineHeight);
}
