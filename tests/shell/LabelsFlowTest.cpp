// The label batches as the main window runs them: the label dialog, then the
// span, then the labels on the selected printer; the tables closed after.
#include "data/Database.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "labels/LabPrintU.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/DateSpanU.h"
#include "reports/Selection.h"
#include "shell/LabelsU.h"
#include "support/Modal.h"
#include "support/WindowFixture.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>

using namespace tlv;
using namespace tlv::test;

namespace {

class LabelsFlow : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        setClock(&m_clock);
        setPrinter(&m_pdf);
        TableScope scope;
        Db &d = db();
        d.cust5.open();
        d.inv6.open();
        d.labels.open();
        int number = 0;
        for (const char *name : {"Ann", "Bob", "Cid"}) {
            ++number;
            appendRecord(d.cust5, [&](CustomerRecord &b) {
                b.cuno = number;
                b.first = QLatin1String(name);
                b.last = QStringLiteral("Person");
            });
            appendRecord(d.inv6, [&](InvoiceRecord &b) {
                b.IvNo = number;
                b.CuNo = number;
                b.IDate = m_clock.today().addDays(number == 3 ? 1 : 0);
            });
        }
        appendRecord(d.labels, [](LabelRecord &b) {
            b.Name = QStringLiteral("Two across");
            b.TopM = 36;
            b.Width = 200;
            b.Height = 72;
            b.NAcross = 2;
        });
    }
    void TearDown() override
    {
        setPrinter(nullptr);
        setClock(nullptr);
        WindowDataTest::TearDown();
    }

    QString printed() const
    {
        QProcess p;
        p.start("pdftotext", {"-layout", m_pdf.fileName(), "-"});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }

    FixedClock m_clock{QDate(2026, 5, 4)};
    PdfPrinter m_pdf{m_dir.file("labels.pdf")};
};

TEST_F(LabelsFlow, InvoiceLabelsAskTheStockThenTodaysSpanAndPrint)
{
    ModalWatchdog watchdog;
    onModal<TLabPrint>([](TLabPrint *w) {
        w->findChild<QLineEdit *>("MaskEdit1")->setText("2");
        click(w, "BtnOK");
    });
    onModal<TDateSpan>([](TDateSpan *w) {
        EXPECT_EQ(selection().startDate, QDate(2026, 5, 4));
        EXPECT_EQ(selection().endDate, QDate(2026, 5, 4));
        click(w, "BtnOK");
    });
    runLabels(2);
    // Ann in the second column of the first row, Bob on the second row; Cid's
    // invoice is dated tomorrow.
    EXPECT_EQ(printed(), "Ann Person Bob Person");
    EXPECT_EQ(m_pdf.pagesPrinted(), 1);
    EXPECT_EQ(settings().LabID, "Two across");
    EXPECT_FALSE(db().cust5.isOpen());
    EXPECT_FALSE(db().inv6.isOpen());
    EXPECT_FALSE(db().labels.isOpen());
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(LabelsFlow, CancelledDialogOrMissingBatchFilePrintsNothing)
{
    ModalWatchdog watchdog;
    onModal<TLabPrint>([](TLabPrint *w) { click(w, "BtnCancel"); });
    runLabels(2);
    EXPECT_FALSE(QFile::exists(m_pdf.fileName()));

    m_ui.expect(Answer::Ok, "Unable to save to: BatchLab.dat");
    runBatchFileLabels();
    EXPECT_FALSE(QFile::exists(m_pdf.fileName()));

    QFile batch("BatchLab.dat");
    ASSERT_TRUE(batch.open(QIODevice::WriteOnly));
    batch.write("     3\r\n     1\r\n");
    batch.close();
    onModal<TLabPrint>([](TLabPrint *w) { click(w, "BtnOK"); });
    runBatchFileLabels();
    EXPECT_EQ(printed(), "Cid Person Ann Person");
    EXPECT_FALSE(watchdog.fired());
}

} // namespace
