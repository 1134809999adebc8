// bench_sales [DIR] [INVOICES] [REPORT]: times the four sales reports (or
// the one named) over every invoice of a data directory, in wall-clock and
// processor time. A directory without data files (a temporary one when none
// is named) is first grown through the data layer: INVOICES invoices
// (100,000 by default) over about five years, numbered and paid in date order
// as a business writes them, three line items each (some discounted, some
// taxed), one payment each, and a catalogue of 500 products.
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "reports/RptGen.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace tlv;

namespace {

// Appends a record without the flush the windows do after each one: the
// tables are closed (and so made durable) at the end.
template <class T, class Fill> void append(T &table, Fill fill)
{
    table.appendBlank();
    table.clear();
    fill(table.buf);
    writeRecord(table.buf, table.fields(), table.def());
}

void grow(long invoices)
{
    TableScope scope;
    Db &d = db();
    d.prod5.open();
    d.inv6.open();
    d.itm5.open();
    d.pmt.open();
    for (int p = 0; p < 500; ++p)
        append(d.prod5, [&](ProductRecord &b) {
            b.PrID = QStringLiteral("P%1").arg(p, 4, 10, QLatin1Char('0'));
            b.PDesc = QStringLiteral("Product %1").arg(p);
            b.UPrice = 1 + p % 97 + 0.33;
        });
    const QDate first(2020, 1, 1);
    for (long i = 0; i < invoices; ++i) {
        const int number = int(i + 1);
        append(d.inv6, [&](InvoiceRecord &b) {
            b.IvNo = number;
            b.CuNo = 1 + int(i % 1000);
            b.IDate = first.addDays(i * 2000 / invoices); // numbered in date order
            b.IMemo = QStringLiteral("Visa %1").arg(1000 + i % 9000);
            b.Discount = i % 4 == 0 ? 10 : 0;
            b.Ship = 0.45;
            b.Tax = 1.23;
        });
        for (int line = 0; line < 3; ++line)
            append(d.itm5, [&](ItemRecord &b) {
                b.IvNo = number;
                b.PrID = QStringLiteral("P%1").arg((i * 3 + line) % 520, 4, 10, QLatin1Char('0'));
                b.Qty = 1 + line;
                b.UPR = 3.33 + line;
                b.LTax1 = line != 2;
                b.LTax2 = line == 0;
            });
        append(d.pmt, [&](PaymentRecord &b) {
            b.IvNo = number;
            b.PDate = first.addDays(i * 2000 / invoices + 3);
            b.PAmt = 12.34;
        });
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const long invoices = argc > 2 ? std::atol(argv[2]) : 100000;
    QElapsedTimer t;
    QDir().mkpath(dir);
    const bool empty = existingDataFiles(dir).isEmpty();
    if (empty) {
        const QString error = createDataFiles(dir);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "bench_sales: %s\n", qPrintable(error));
            return 1;
        }
    }
    QDir::setCurrent(dir);
    if (empty) {
        t.start();
        grow(invoices);
        std::printf("grew %ld invoices, %ld lines, %ld payments in %.1f s\n", invoices, invoices * 3,
                    invoices, t.elapsed() / 1000.0);
    }
    loadSettings();
    settings().TaxRate1 = 6;
    settings().ShipTax = 3;
    selection().startDate = QDate(2020, 1, 1);
    selection().endDate = QDate(2030, 12, 31);
    const QString only = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    for (const char *name : {"sales-summary", "sales-by-product", "daily-income", "tax"}) {
        if (!only.isEmpty() && only != QLatin1String(name))
            continue;
        const ReportCommand *command = findReportCommand(QString::fromLatin1(name));
        t.restart();
        const std::clock_t cpu = std::clock();
        long rows = 0;
        {
            TableScope scope;
            openReportTables(*command);
            command->generate();
            rows = report().lastRow() + 1;
        }
        const double seconds = t.elapsed() / 1000.0;
        const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        report().endReport();
        std::printf("%-17s %8ld rows  %.3f s (processor %.3f s)\n", name, rows, seconds, cpuSeconds);
    }
    db().endSession();
    return 0;
}
