// The six batches through tlvtool labels: which customers get a label, in
// which order, and where the text lands on the PDF page.
#include "data/Database.h"
#include "data/Settings.h"
#include "labels/LabelGen.h"
#include "support/ScriptedUi.h"
#include "support/WindowFixture.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

using namespace tlv;
using namespace tlv::test;

namespace {

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
}

class LabelBatches : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        Db &d = db();
        for (Table *t :
             {static_cast<Table *>(&d.cust5), static_cast<Table *>(&d.inv6), static_cast<Table *>(&d.labels)})
            t->open();
        struct Customer
        {
            int number;
            const char *first, *last, *zip;
            int group;
            bool deleted;
        } customers[] = {
            {1, "Ann", "Apple", "30000", 1, false},
            {2, "Bob", "Berry", "10000", 2, false},
            {3, "Cid", "Cherry", "20000", 1, true},
            {4, "Dee", "Date", "40000", 1, false},
        };
        for (const Customer &c : customers) {
            appendRecord(d.cust5, [&](CustomerRecord &b) {
                b.cuno = c.number;
                b.first = QLatin1String(c.first);
                b.last = QLatin1String(c.last);
                b.addr1 = QStringLiteral("%1 Main Street").arg(c.number);
                b.zip = QLatin1String(c.zip);
                b.ngroup = c.group;
            });
            if (c.deleted)
                d.cust5.markDeleted();
        }
        struct Invoice
        {
            int number, customer;
            QDate date;
            double due;
            bool deleted;
        } invoices[] = {
            {1, 4, {2026, 3, 2}, 10, false}, {2, 1, {2026, 3, 1}, 0, false}, {3, 3, {2026, 3, 1}, 5, false},
            {4, 2, {2026, 2, 1}, 7, false},  {5, 1, {2026, 3, 3}, 5, true},  {6, 2, {2026, 3, 15}, 3, false},
        };
        for (const Invoice &i : invoices) {
            appendRecord(d.inv6, [&](InvoiceRecord &b) {
                b.IvNo = i.number;
                b.CuNo = i.customer;
                b.IDate = i.date;
                b.Due = i.due;
            });
            if (i.deleted)
                d.inv6.markDeleted();
        }
        addStock(QStringLiteral("One across"), 1, 0, 0);
        addStock(QStringLiteral("Three across"), 3, 9, 31.5);
        QFile batch(m_dir.file(QLatin1String(batchLabelFile)));
        EXPECT_TRUE(batch.open(QIODevice::WriteOnly));
        batch.write("     4\r\n     3\r\n     9\r\n     1\r\n");
        batch.close();
        settings().FontName = QStringLiteral("DejaVu Sans");
        settings().FontSize = 10;
        saveSettings();
        d.closeAll();
    }

    static void addStock(const QString &name, int across, double gap, double left)
    {
        appendRecord(db().labels, [&](LabelRecord &b) {
            b.Name = name;
            b.TopM = 36;
            b.LeftM = left;
            b.BottomM = 36;
            b.Width = 189;
            b.Height = 72;
            b.HGap = gap;
            b.NAcross = across;
        });
    }

    QString labels(const QStringList &args, const QString &pdf = QStringLiteral("labels.pdf"))
    {
        int code = -1;
        const QString said =
            run(QStringLiteral(TLV_TOOL_PATH),
                QStringList{"labels", m_dir.path()} + args + QStringList{"-o", m_dir.file(pdf)}, &code);
        EXPECT_EQ(code, 0) << said.toStdString();
        return said;
    }
};

TEST_F(LabelBatches, EachBatchLabelsItsCustomersInItsOrderAndSkipsDeletedOnes)
{
    struct Case
    {
        QStringList args;
        QString names;
    } cases[] = {
        {{"invoices", "--from", "2026-03-01", "--to", "2026-03-31"}, "Ann Apple|Dee Date|Bob Berry"},
        {{"past-due", "--from", "2026-03-01", "--to", "2026-03-31"}, "Dee Date|Bob Berry"},
        {{"statements", "--from", "2026-03-01", "--to", "2026-03-31"}, "Bob Berry|Dee Date"},
        {{"invoices", "--from", "2026-02-01", "--to", "2026-02-28"}, "Bob Berry"},
        {{"groups", "--groups", "1"}, "Ann Apple|Dee Date"},
        {{"groups", "--groups", "1,2"}, "Bob Berry|Ann Apple|Dee Date"},
        {{"batch-file"}, "Dee Date|Ann Apple"},
        {{"customers", "--customers", "2,3,1"}, "Bob Berry|Ann Apple"},
    };
    for (const Case &c : cases) {
        QFile::remove(m_dir.file("labels.pdf"));
        labels(QStringList{"--stock", "One across"} + c.args);
        const QString text = run("pdftotext", {"-raw", m_dir.file("labels.pdf"), "-"});
        QStringList names;
        for (const QString &line : text.split(QLatin1Char('\n')))
            if (QRegularExpression(QStringLiteral("^[A-Z][a-z]+ [A-Z][a-z]+$"))
                    .match(line.trimmed())
                    .hasMatch())
                names << line.trimmed();
        EXPECT_EQ(names.join(QLatin1Char('|')), c.names) << c.args.join(' ').toStdString();
    }
}

TEST_F(LabelBatches, ABatchThatChoosesNobodyWritesNoFile)
{
    labels({"invoices", "--from", "2025-01-01", "--to", "2025-01-31"});
    EXPECT_FALSE(QFile::exists(m_dir.file("labels.pdf")));
}

// The PDF has each label's first word where the stock puts it: 300 dpi, a
// quarter-inch unprintable edge, the left margin of 31.5 points measured from
// the sheet's edge, labels 189 points wide with 9 between them, from row 2
// column 2 (the first label in the middle of the second row).
TEST_F(LabelBatches, TextLandsAtTheStocksPositions)
{
    labels({"--stock", "Three across", "--column", "2", "--row", "2", "groups", "--groups", "1,2"});
    const QString xml = run("pdftotext", {"-bbox", m_dir.file("labels.pdf"), "-"});
    auto px = [](double points) { return int(points * 300 / 72); };
    const int edge = px(18);
    // Pixels of the printer, back to points on the page.
    auto pt = [&](int pixels) { return (pixels + edge) * 72.0 / 300; };
    const int left = px(31.5) - edge, top = px(36) - edge, pitchX = px(189) + px(9), pitchY = px(72);
    struct Word
    {
        const char *word;
        int column, row; // from 0
    } words[] = {{"Bob", 1, 1}, {"Ann", 2, 1}, {"Dee", 0, 2}};
    for (const Word &w : words) {
        const QRegularExpression re(
            QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>%1</word>")
                .arg(QLatin1String(w.word)));
        const auto m = re.match(xml);
        ASSERT_TRUE(m.hasMatch()) << w.word << xml.toStdString();
        EXPECT_NEAR(m.captured(1).toDouble(), pt(left + w.column * pitchX), 1.0) << w.word;
        // The word's box starts at the top of the line, give or take the
        // font's own idea of its ascent.
        EXPECT_NEAR(m.captured(2).toDouble(), pt(top + w.row * pitchY), 2.0) << w.word;
    }
}

// The alignment test: one sheet of numbered outlines, ten rows of three.
TEST_F(LabelBatches, AlignmentTestNumbersEveryLabelOfOneSheet)
{
    labels({"--stock", "Three across", "alignment"});
    const QString text = run("pdftotext", {"-raw", m_dir.file("labels.pdf"), "-"});
    QStringList numbers = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList expected;
    for (int i = 1; i <= 30; ++i)
        expected << QString::number(i);
    EXPECT_EQ(numbers, expected);
}

using NoLabelStock = WindowDataTest;

TEST_F(NoLabelStock, SaysHowToDefineOneAndPrintsNothing)
{
    db().labels.open();
    m_ui.expect(Answer::Ok, QLatin1String(noLabelStockMessage));
    EXPECT_FALSE(labelStockDefined());
    db().closeAll();
    int code = 0;
    const QString said = run(QStringLiteral(TLV_TOOL_PATH),
                             {"labels", m_dir.path(), "invoices", "-o", m_dir.file("labels.pdf")}, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(said.contains(QLatin1String(noLabelStockMessage))) << said.toStdString();
    EXPECT_FALSE(QFile::exists(m_dir.file("labels.pdf")));
}

} // namespace
