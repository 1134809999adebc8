// bench_picklist DIR: every action of the customer list (in name and in
// e-mail order) and of the invoice list, timed on the tables of a data
// directory (grown with grow_customers), one line per action and order:
//
//   pick cname thumb-middle n=1000000 ms=12.3
//
// Each action is done several times from different places; the line gives
// the median and, after it, the slowest (on a busy machine the slowest is
// mostly another process's turn). Every action must stay under 20 ms on a
// million records and within twice its time on a hundred thousand.
#include "data/Database.h"
#include "data/TableScope.h"
#include "picklists/PickList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace tlv;

namespace {

double timed(const std::function<void()> &action)
{
    QElapsedTimer t;
    t.start();
    action();
    return double(t.nsecsElapsed()) / 1e6;
}

struct Order
{
    const char *name;
    Table &table;
    const char *tag;
    std::function<PickRow(long, bool)> row;
    // The text typed into the seek field for the record in the buffer.
    std::function<QString()> typed;
};

void benchOrder(const Order &o)
{
    Table &t = o.table;
    t.useTag(o.tag);
    TableSource source(t, o.row);
    PagedList list(source);
    const long n = t.recCount();
    auto print = [&](const char *action, std::vector<double> ms) {
        std::sort(ms.begin(), ms.end());
        std::printf("pick %s %s n=%ld ms=%.2f max=%.2f\n", o.name, action, n, ms[ms.size() / 2], ms.back());
        std::fflush(stdout);
    };
    // Records to start on and to seek: spread over the table.
    std::vector<long> places;
    for (long i = 1; i <= 5; ++i)
        places.push_back(std::max(1L, n * i / 6));
    std::vector<QString> texts;
    for (long r : places) {
        t.go(r);
        o.row(r, false); // reads the buffer
        texts.push_back(o.typed());
    }

    std::vector<double> times;
    for (long r : places)
        times.push_back(timed([&] {
            list.start(r);
            list.fill();
        }));
    print("open", times);

    times.clear();
    for (const QString &text : texts)
        times.push_back(timed([&] {
            if (list.seek(text))
                list.fill();
        }));
    print("seek", times);

    // From each place: paging three times in a row, a jump (Home, End, a
    // thumb drop) once, as a second one would go nowhere.
    auto moves = [&](const char *action, const std::function<void()> &move, int times = 1) {
        std::vector<double> t;
        for (long r : places) {
            list.start(r);
            list.fill();
            for (int i = 0; i < times; ++i)
                t.push_back(timed([&] {
                    move();
                    list.fill();
                }));
        }
        print(action, t);
    };
    moves(
        "page-down", [&] { list.moveBy(PagedList::pageRows); }, 3);
    moves(
        "page-up", [&] { list.moveBy(-PagedList::pageRows); }, 3);
    moves("home", [&] { list.moveTo(0); });
    moves("end", [&] { list.moveTo(list.maxOffset()); });
    for (int percent : {1, 10, 50, 90, 99}) {
        char action[32];
        if (percent == 50)
            std::snprintf(action, sizeof action, "thumb-middle");
        else
            std::snprintf(action, sizeof action, "thumb-%d", percent);
        moves(action, [&] { list.moveTo(list.offsetAt(percent)); });
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: bench_picklist DIR\n");
        return 2;
    }
    Db &d = db();
    {
        TableScope scope;
        d.cust5.open();
        d.inv6.open();
        auto customer = [&](bool byName) {
            return [&d, byName](long recNo, bool deleted) {
                d.cust5.read();
                return customerRow(d.cust5.buf, recNo, deleted, byName);
            };
        };
        auto invoice = [&d](long recNo, bool deleted) {
            d.inv6.read();
            return invoiceRow(d.inv6.buf, recNo, deleted);
        };
        benchOrder({"cname", d.cust5, tag::cname, customer(true),
                    [&d] { return seekText(d.cust5.buf.last.left(6)); }});
        benchOrder({"cemail", d.cust5, tag::cEMail, customer(false),
                    [&d] { return seekText(d.cust5.buf.email.left(8)); }});
        benchOrder({"inv", d.inv6, tag::Inv, invoice,
                    [&d] { return invoiceSeekText(QString::number(d.inv6.buf.IvNo)); }});
    }
    d.endSession();
    return 0;
}
