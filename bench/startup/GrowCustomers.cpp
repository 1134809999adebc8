// grow_customers DIR N [INVOICES]: appends N customers to the data directory
// DIR, the way the customer window writes them (one flush per record), so
// that the program and its tools can be timed on large tables. With INVOICES,
// that many invoices follow, numbered on from the last one, each for one of
// the customers, with three line items and one payment.
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/TableScope.h"
#include "invoicing/InvoiceEditor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: grow_customers DIR N [INVOICES]\n");
        return 2;
    }
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "grow_customers: no directory %s\n", argv[1]);
        return 1;
    }
    // An empty directory gets new data files first.
    if (QDir().entryList(QDir::Files).isEmpty()) {
        const QString error = tlv::createDataFiles(QStringLiteral("."));
        if (!error.isEmpty()) {
            std::fprintf(stderr, "grow_customers: %s\n", qPrintable(error));
            return 1;
        }
    }
    const long count = std::atol(argv[2]);
    const long invoices = argc == 4 ? std::atol(argv[3]) : 0;
    static const char *lastNames[] = {"Abbott",      "Baker",   "Carver",   "Dunmore", "Ellison",
                                      "Fairweather", "Greaves", "Holloway", "Ingram",  "Jessop"};
    QElapsedTimer t;
    t.start();
    tlv::Db &db = tlv::db();
    {
        tlv::TableScope scope;
        db.cust5.open();
        int number = tlv::nextCustomerNumber();
        for (long i = 0; i < count; ++i, ++number) {
            if (!db.cust5.appendBlank()) {
                std::fprintf(stderr, "grow_customers: append failed at %ld\n", i);
                return 1;
            }
            tlv::CustomerRecord &c = db.cust5.buf;
            c = tlv::CustomerRecord{};
            c.cuno = number;
            c.first = QStringLiteral("Pat%1").arg(i % 997);
            c.last = QString::fromLatin1(lastNames[i % 10]) + QString::number(i);
            c.addr1 = QStringLiteral("%1 Orchard Road").arg(i % 400 + 1);
            c.zip = QStringLiteral("%1").arg(10000 + (i * 7919) % 89999);
            c.ngroup = int(i % 5) + 1;
            c.email = QStringLiteral("pat%1@example.com").arg(i);
            db.cust5.write();
        }
        const int lastCustomer = number - 1;
        if (invoices > 0) {
            db.inv6.open();
            db.itm5.open();
            db.pmt.open();
            int ivNo = tlv::nextInvoiceNumber();
            const QDate first(2020, 1, 1);
            for (long i = 0; i < invoices; ++i, ++ivNo) {
                if (!db.inv6.appendBlank()) {
                    std::fprintf(stderr, "grow_customers: invoice append failed at %ld\n", i);
                    return 1;
                }
                tlv::InvoiceRecord &h = db.inv6.buf;
                h = tlv::InvoiceRecord{};
                h.IvNo = ivNo;
                h.CuNo = std::max(1, lastCustomer - int(i % std::max(1L, count)));
                h.Dept = QStringLiteral("D%1").arg(i % 7);
                h.IDate = first.addDays(i % 2000);
                h.Due = 30.0 + double(i % 50);
                db.inv6.write();
                for (int line = 0; line < 3; ++line) {
                    if (!db.itm5.appendBlank()) {
                        std::fprintf(stderr, "grow_customers: line append failed at %ld\n", i);
                        return 1;
                    }
                    tlv::ItemRecord &item = db.itm5.buf;
                    item = tlv::ItemRecord{};
                    item.IvNo = ivNo;
                    item.PrID = QStringLiteral("P%1").arg((i + line) % 500);
                    item.PDesc = QStringLiteral("Part %1").arg((i + line) % 500);
                    item.Qty = line + 1;
                    item.UPR = 10.0;
                    db.itm5.write();
                }
                if (!db.pmt.appendBlank()) {
                    std::fprintf(stderr, "grow_customers: payment append failed at %ld\n", i);
                    return 1;
                }
                tlv::PaymentRecord &pay = db.pmt.buf;
                pay = tlv::PaymentRecord{};
                pay.IvNo = ivNo;
                pay.PDate = h.IDate;
                pay.PAmt = 20.0;
                db.pmt.write();
            }
        }
    }
    db.endSession();
    std::printf("appended %ld customers and %ld invoices in %.1f s\n", count, invoices, t.elapsed() / 1000.0);
    return 0;
}
