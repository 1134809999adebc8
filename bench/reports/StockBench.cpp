// bench_stock DIR [PRODUCTS PURCHASES LINES]: times the stock reports on a
// large data directory. An empty DIR is first filled through the data layer:
// PRODUCTS stocked products (10,000 by default), PURCHASES purchases spread
// over them (100,000) and LINES invoice lines (1,000,000), ten to an invoice,
// each for a product drawn at random. The reports then run as tlvtool runs
// them, first in first out and last in first out.
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "platform/Clock.h"
#include "reports/InventoryReports.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>
#include <random>

using namespace tlv;

namespace {

// Appends without the flush each window write makes: one flush per table at the end.
template <class R> void append(BufferedTable<R> &t, const R &r)
{
    if (!t.appendBlank()) {
        std::fprintf(stderr, "bench_stock: append to %s failed\n", t.def().stem);
        std::exit(1);
    }
    t.buf = r;
    writeRecord(t.buf, t.fields(), t.def());
}

void grow(long products, long purchases, long lines)
{
    std::mt19937 dice(20261209);
    const QDate first(2024, 1, 1);
    Db &d = db();
    TableScope scope;
    for (Table *t : std::initializer_list<Table *>{&d.prod5, &d.pur5, &d.inv6, &d.itm5})
        t->open();
    QElapsedTimer t;
    t.start();
    for (long i = 0; i < products; ++i) {
        ProductRecord p;
        // Every seventh identifier in lower case, as imports keep them.
        p.PrID = (i % 7 == 0 ? QStringLiteral("p%1") : QStringLiteral("P%1")).arg(i, 6, 10, QLatin1Char('0'));
        p.PDesc = QStringLiteral("Product number %1").arg(i);
        p.UPrice = 10 + i % 90;
        p.REORDER = i % 40;
        p.lInven = i % 10 != 9;
        append(d.prod5, p);
    }
    d.prod5.flush();
    for (long i = 0; i < purchases; ++i) {
        PurchaseRecord r;
        const long product = long(dice() % products);
        r.PURProd = (product % 7 == 0 ? QStringLiteral("p%1") : QStringLiteral("P%1"))
                        .arg(product, 6, 10, QLatin1Char('0'));
        r.PURDate = first.addDays(int(dice() % 730));
        r.PURQty = 10 + dice() % 200;
        r.PURCost = double(r.PURQty * (300 + dice() % 5000)) / 100.0;
        append(d.pur5, r);
    }
    d.pur5.flush();
    std::printf("products and purchases: %.1f s\n", t.elapsed() / 1000.0);
    const long invoices = (lines + 9) / 10;
    for (long n = 1; n <= invoices; ++n) {
        InvoiceRecord h;
        h.IvNo = int(n);
        h.CuNo = 1;
        h.IDate = first.addDays(int(n * 730 / invoices));
        append(d.inv6, h);
        for (long k = 0; k < 10 && (n - 1) * 10 + k < lines; ++k) {
            ItemRecord it;
            const long product = long(dice() % products);
            it.IvNo = int(n);
            it.PrID = (product % 7 == 0 ? QStringLiteral("p%1") : QStringLiteral("P%1"))
                          .arg(product, 6, 10, QLatin1Char('0'));
            it.Qty = 1 + dice() % 3;
            it.UPR = 10;
            it.PDesc = QStringLiteral("Product number %1").arg(product);
            append(d.itm5, it);
        }
    }
    d.inv6.flush();
    d.itm5.flush();
    std::printf("data written: %.1f s\n", t.elapsed() / 1000.0);
}

double timed(const char *name, bool (*generate)())
{
    QElapsedTimer t;
    t.start();
    const std::clock_t cpu = std::clock();
    long rows = 0;
    {
        TableScope scope;
        for (TableId id : {TableId::Prod5, TableId::Pur5, TableId::ITM5, TableId::INV6})
            db().table(id).open();
        generate();
        rows = long(report().rows.size());
    }
    report().endReport();
    const double seconds = t.elapsed() / 1000.0;
    // The processor time too: the machine may be busy with other work.
    std::printf("%-16s %-5s %8.2f s, %.2f s of processor time (%ld rows)\n", name,
                settings().fifo ? "fifo" : "lifo", seconds, double(std::clock() - cpu) / CLOCKS_PER_SEC,
                rows);
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 5) {
        std::fprintf(stderr, "usage: bench_stock DIR [PRODUCTS PURCHASES LINES]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    if (!QDir::setCurrent(dir)) {
        std::fprintf(stderr, "bench_stock: no directory %s\n", argv[1]);
        return 1;
    }
    if (QDir().entryList(QDir::Files).isEmpty()) {
        const QString error = createDataFiles(QStringLiteral("."));
        if (!error.isEmpty()) {
            std::fprintf(stderr, "bench_stock: %s\n", qPrintable(error));
            return 1;
        }
        grow(argc == 5 ? std::atol(argv[2]) : 10000, argc == 5 ? std::atol(argv[3]) : 100000,
             argc == 5 ? std::atol(argv[4]) : 1000000);
    }
    loadSettings();
    FixedClock today(QDate(2025, 6, 30));
    setClock(&today);
    selection().startDate = QDate(2025, 6, 1);
    selection().endDate = QDate(2025, 6, 30);
    for (const bool fifo : {true, false}) {
        settings().fifo = fifo;
        timed("stock on hand", stockOnHand);
        timed("inventory as of", inventoryAsOf);
        timed("cost of goods", costOfGoodsSold);
    }
    setClock(nullptr);
    return 0;
}
