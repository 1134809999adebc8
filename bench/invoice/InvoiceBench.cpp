// bench_invoice DIR: saving and deleting invoices on the tables of a data
// directory (grown with grow_customers DIR N INVOICES), then the closing
// pack of the Invoices command with a handful of marked records, one line
// each:
//
//   invoice save-drop-line n=1000000 ms=41.0
//
// n is the number of invoices. Saves and deletes are done on five invoices
// spread over the table; the line gives the slowest. The directory is
// changed: grow a new one for the next run.
#include "data/Database.h"
#include "data/InvoiceMemory.h"
#include "data/TableScope.h"
#include "invoicing/InvoiceStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <optional>

using namespace tlv;

namespace {

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void openInvoiceTables()
{
    Db &d = db();
    d.inv6.open();
    d.itm5.open();
    d.pmt.open();
    d.prod5.open();
    d.cust5.open();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: bench_invoice DIR\n");
        return 2;
    }
    Db &d = db();
    long n = 0;
    double saveWorst = 0, deleteWorst = 0, packMs = 0;
    {
        std::optional<TableScope> scope;
        scope.emplace(packList::invoices);
        openInvoiceTables();
        n = d.inv6.recCount();
        // Saving an invoice that drops its last line.
        for (long i = 1; i <= 5; ++i) {
            const long recNo = std::max(1L, n * i / 7);
            if (!loadInvoice(recNo))
                continue;
            d.selected.invoice = int(recNo);
            InvoiceMemory &m = invoiceMemory();
            if (m.items.isEmpty())
                continue;
            m.items.removeLast();
            QElapsedTimer t;
            t.start();
            saveInvoice(d.cust5.buf.note);
            saveWorst = std::max(saveWorst, msSince(t));
        }
        // Deleting an invoice.
        for (long i = 1; i <= 5; ++i) {
            const long recNo = std::max(1L, n * i / 7 + 1);
            if (!loadInvoice(recNo))
                continue;
            d.selected.invoice = int(recNo);
            QElapsedTimer t;
            t.start();
            deleteInvoice();
            deleteWorst = std::max(deleteWorst, msSince(t));
        }
        // A handful of records marked in each invoice table, as saves and
        // deletes leave them when their own pack fails, and the pack flag
        // the command ends with.
        for (Table *table :
             {static_cast<Table *>(&d.inv6), static_cast<Table *>(&d.itm5), static_cast<Table *>(&d.pmt)}) {
            d4tagSelect(table->data(), nullptr);
            const long count = table->recCount();
            for (long i = 1; i <= 5; ++i)
                if (table->go(std::max(1L, count * i / 6 - 3)) == 0)
                    table->markDeleted();
            table->flush();
        }
        d.packNeeded = true;
        QElapsedTimer t;
        t.start();
        scope.reset(); // the command ends: the scope closes the tables and packs
        packMs = msSince(t);
    }
    d.endSession();
    std::printf("invoice save-drop-line n=%ld ms=%.1f\n", n, saveWorst);
    std::printf("invoice delete n=%ld ms=%.1f\n", n, deleteWorst);
    std::printf("invoice closing-pack n=%ld ms=%.1f\n", n, packMs);
    return 0;
}
