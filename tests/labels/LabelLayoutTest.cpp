// Where labels land: the stock's dimensions on the printer, rows across and
// down the sheet from a starting label, page breaks and continuous forms.
#include "labels/LabelGen.h"
#include "platform/Printer.h"
#include "support/TempDir.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

using namespace tlv;

namespace {

TEST(LabelMetrics, MarginsCountFromThePrintableAreaAndNeverGoBelowZero)
{
    LabelRecord s;
    s.TopM = 7.2;    // 30 px, inside the 60 px top edge
    s.LeftM = 36;    // 150 px, 50 px edge
    s.BottomM = 7.2; // 30 px, inside the 90 px bottom edge
    s.RightM = 72;   // 300 px, 100 px edge
    s.Width = 180;   // 750 px
    s.Height = 72.1; // 300.4 px, truncated
    s.HGap = 9.1;    // 37.9 px, truncated
    s.VGap = 12;     // 50 px
    const LabelMetrics m = labelMetrics(s, 300, 300, QPoint(50, 60), QSize(2550, 3300), QSize(2400, 3150));
    EXPECT_EQ(m.top, 0);
    EXPECT_EQ(m.left, 100);
    EXPECT_EQ(m.bottom, 0);
    EXPECT_EQ(m.right, 200);
    EXPECT_EQ(m.width, 750);
    EXPECT_EQ(m.height, 300);
    EXPECT_EQ(m.hGap, 37);
    EXPECT_EQ(m.vGap, 50);
    EXPECT_EQ(m.rowsPerPage, 9); // 3150 / 350, and a tenth row does not fit without its gap
}

TEST(LabelMetrics, TheLastRowNeedsNoGap)
{
    struct Case
    {
        int pageHeight, top, bottom, height, gap, rows;
    } cases[] = {
        {1000, 0, 0, 300, 50, 3}, // 2 x 350 + 300 = 1000: a third row fits in the gaps' place
        {999, 0, 0, 300, 50, 2},  {1000, 100, 0, 300, 50, 2}, {720, 0, 0, 72, 0, 10}, {100, 0, 0, 300, 50, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(rowsPerPageOf(c.pageHeight, c.top, c.bottom, c.height, c.gap), c.rows) << c.pageHeight;
}

TEST(LabelFont, ShrinksUntilTwentyFiveCharactersAndFiveLinesFitButNotBelowFourPoints)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(300 / 0.0254));
    device.setDotsPerMeterY(qRound(300 / 0.0254));
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPointSize(20);
    const int width = pointsToPixels(180, 300), height = pointsToPixels(72, 300);
    const QFont fitted = fitLabelFont(big, &device, width, height);
    const QFontMetrics fm(fitted, &device);
    EXPECT_LT(fitted.pointSizeF(), 20);
    EXPECT_LE(5 * fm.horizontalAdvance(QStringLiteral("Abcde")), width);
    EXPECT_LE(5 * fm.height(), height);
    QFont oneLarger = fitted;
    oneLarger.setPointSizeF(fitted.pointSizeF() + 1);
    const QFontMetrics larger(oneLarger, &device);
    EXPECT_TRUE(5 * larger.horizontalAdvance(QStringLiteral("Abcde")) > width ||
                5 * larger.height() > height);

    EXPECT_EQ(fitLabelFont(big, &device, 10, 10).pointSizeF(), smallestLabelPoints);
}

// A 3-across stock of 10 rows on a Letter page printed at 72 dpi, so that
// pixels are points: the printable area starts a quarter inch (18 points) in.
LabelRecord threeAcross(bool continuous)
{
    LabelRecord s;
    s.Name = QStringLiteral("3 x 10");
    s.TopM = 36;
    s.LeftM = 9; // inside the unprintable edge: 0
    s.BottomM = 36;
    s.Width = 180;
    s.Height = 72;
    s.HGap = 9;
    s.NAcross = 3;
    s.Continuous = continuous;
    return s;
}

struct Spot
{
    int page, column, row;
    bool operator==(const Spot &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Spot &s)
{
    return os << "{" << s.page << "," << s.column << "," << s.row << "}";
}

TEST(LabelSheet, RowsFromTheStartingLabelAcrossPagesAndContinuousForms)
{
    struct Case
    {
        const char *what;
        int column, row, labels;
        bool continuous;
        int printedBeforeEnd; // labels on paper before the batch ends
        std::vector<Spot> spots;
    } cases[] = {
        {"start at the last column", 3, 1, 3, false, 1, {{1, 3, 1}, {1, 1, 2}, {1, 2, 2}}},
        {"7 on 3 across",
         1,
         1,
         7,
         false,
         6,
         {{1, 1, 1}, {1, 2, 1}, {1, 3, 1}, {1, 1, 2}, {1, 2, 2}, {1, 3, 2}, {1, 1, 3}}},
        {"row 12 of 10", 2, 12, 2, false, 2, {{2, 2, 1}, {2, 3, 1}}},
        {"the last row, then a new page", 3, 10, 2, false, 1, {{1, 3, 10}, {2, 1, 1}}},
        // Row 11 stays on the first page; row 12 starts past its end and goes
        // on the next page at the same pitch: an 11-inch form of 1-inch rows.
        {"continuous", 3, 10, 5, true, 4, {{1, 3, 10}, {1, 1, 11}, {1, 2, 11}, {1, 3, 11}, {2, 1, 1}}},
    };
    test::TempDataDir dir;
    for (const Case &c : cases) {
        PdfPrinter pdf(dir.file(QStringLiteral("labels.pdf")), QPageSize(QPageSize::Letter), 72);
        LabelSheet sheet(threeAcross(c.continuous), c.column, c.row, QFont(QStringLiteral("DejaVu Sans"), 8),
                         pdf);
        for (int i = 1; i <= c.labels; ++i)
            sheet.addLabel({QStringLiteral("Name %1").arg(i), QStringLiteral("Street %1").arg(i)});
        auto spots = [&] {
            const LabelMetrics &m = sheet.metrics();
            EXPECT_EQ(m.top, 18);
            EXPECT_EQ(m.left, 0);
            EXPECT_EQ(m.rowsPerPage, 10);
            std::vector<Spot> out;
            for (const LabelSheet::Placed &p : sheet.placed())
                if (p.text.startsWith(QLatin1String("Name")))
                    out.push_back({p.page, p.x / (180 + 9) + 1, (p.y - m.top) / 72 + 1});
            return out;
        };
        EXPECT_EQ(int(spots().size()), c.printedBeforeEnd) << c.what;
        ASSERT_TRUE(sheet.finish()) << c.what;
        EXPECT_EQ(spots(), c.spots) << c.what;
        EXPECT_EQ(pdf.pagesPrinted(), c.spots.back().page) << c.what;
        // Each label's second line is under its first, one line of the font lower.
        QHash<QString, LabelSheet::Placed> names;
        QSet<int> steps;
        for (const LabelSheet::Placed &p : sheet.placed())
            if (p.text.startsWith(QLatin1String("Name")))
                names.insert(p.text.mid(5), p);
        for (const LabelSheet::Placed &p : sheet.placed()) {
            if (!p.text.startsWith(QLatin1String("Street")))
                continue;
            const LabelSheet::Placed name = names.value(p.text.mid(7));
            EXPECT_EQ(p.x, name.x) << c.what;
            steps.insert(p.y - name.y);
        }
        EXPECT_EQ(steps.size(), 1) << c.what;
        EXPECT_GT(*steps.begin(), 0) << c.what;
    }
}

} // namespace
