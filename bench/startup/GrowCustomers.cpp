// grow_customers DIR N: appends N customers to the data directory DIR, the
// way the customer window writes them (one flush per record), so that the
// program and its tools can be timed on a large table.
#include "data/Database.h"
#include "data/TableScope.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: grow_customers DIR N\n");
        return 2;
    }
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "grow_customers: no directory %s\n", argv[1]);
        return 1;
    }
    const long count = std::atol(argv[2]);
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
    }
    db.endSession();
    std::printf("appended %ld customers in %.1f s\n", count, t.elapsed() / 1000.0);
    return 0;
}
