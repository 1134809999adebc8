// bench_import DIR LINES [EXISTING]: times a customer import of LINES lines
// (half of them new customers, half matching customers already stored when
// there are any) into the data directory DIR, created when empty. With
// EXISTING, the customer table is first grown to that many records, their
// numbers running 1 .. 800,000 and round again, so that the import's first
// new customer walks the whole number order and the rest continue from there.
// Then the same file is imported a second time (every line an update).
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/TableScope.h"
#include "import/Importer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

using namespace tlv;

namespace {
QString lastName(long i)
{
    return QStringLiteral("Name%1").arg(i);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: bench_import DIR LINES [EXISTING]\n");
        return 2;
    }
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    if (!QFile::exists(QStringLiteral("CUST5.dbf")) && !QFile::exists(QStringLiteral("cust5.dbf"))) {
        const QString error = createDataFiles(QStringLiteral("."));
        if (!error.isEmpty()) {
            std::fprintf(stderr, "bench_import: %s\n", qPrintable(error));
            return 1;
        }
    }
    const long lines = std::atol(argv[2]);
    const long existing = argc == 4 ? std::atol(argv[3]) : 0;
    QElapsedTimer t;
    {
        TableScope scope;
        auto &cust = db().cust5;
        cust.open();
        const long have = cust.recCount();
        t.start();
        for (long i = have; i < existing; ++i) {
            if (!cust.appendBlank())
                return 1;
            cust.buf = CustomerRecord{};
            cust.buf.cuno = int(i % 800000) + 1;
            cust.buf.last = lastName(i);
            cust.buf.first = QStringLiteral("Pat");
            cust.buf.zip = QStringLiteral("1000");
            cust.buf.ngroup = 1;
            cust.write();
        }
        if (existing > have)
            std::printf("grown to %ld customers: %.1f s\n", existing, t.elapsed() / 1000.0);
    }
    // Even lines: customers of the grown table (when there is one); odd
    // lines: new names.
    QByteArray text;
    for (long i = 0; i < lines; ++i) {
        const QString last =
            (i % 2 == 0 && existing > 0) ? lastName(i * 7 % existing) : QStringLiteral("New%1").arg(i);
        text += QStringLiteral("Pat,%1,\"%2 Orchard Road, Apt %3\",Springfield,IL,1000,note %2\n")
                    .arg(last)
                    .arg(i)
                    .arg(i % 40)
                    .toLatin1();
    }
    ImportFormatRecord f = newFormat(ImportKind::Customers);
    f.Fld2 = 1, f.Fld3 = 2, f.Fld4 = 3, f.Fld6 = 4, f.Fld7 = 5, f.Fld9 = 6, f.Fld13 = 7;
    ImportOptions o;
    o.group = 1;
    for (int round = 1; round <= 2; ++round) {
        TableScope scope;
        t.restart();
        const ImportResult r = importLines(f, importLinesOf(text), o);
        std::printf("import %d of %ld lines into %ld customers: %.2f s (%d added, %d updated)\n", round,
                    lines, existing, t.elapsed() / 1000.0, r.added, r.updated);
        if (r.status != ImportResult::Status::Done)
            std::printf("  %s\n", qPrintable(messageOf(r, ImportKind::Customers)));
    }
    return 0;
}
