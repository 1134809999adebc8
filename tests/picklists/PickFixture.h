#pragma once
// The pick-list tests' data directory (customers sorted by name) and helpers
// that put customers, invoices, products and label stocks straight into the
// open tables.
#include "support/WindowFixture.h"

namespace tlv::test {

class PickTest : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        settings().ByCust = true;
    }

    static long addCustomer(const QString &last, const QString &first = QStringLiteral("Jo"), int group = 0,
                            const QString &email = QString(), const QString &note = QString())
    {
        auto &t = db().cust5;
        return appendRecord(t, [&](CustomerRecord &b) {
            b.cuno = int(t.recNo());
            b.last = last;
            b.first = first;
            b.ngroup = group;
            b.email = email;
            b.note = note;
        });
    }

    static long addInvoice(int number, int customer = 0, QDate date = QDate(2026, 3, 1),
                           const QString &memo = QString())
    {
        const long rec = appendRecord(db().inv6, [&](InvoiceRecord &b) {
            b.IvNo = number;
            b.CuNo = customer;
            b.IDate = date;
            b.IMemo = memo;
        });
        db().inv6.flush();
        return rec;
    }

    static long addProduct(const QString &id, double price = 0, const QString &desc = QString())
    {
        return appendRecord(db().prod5, [&](ProductRecord &b) {
            b.PrID = id;
            b.PDesc = desc.isNull() ? QStringLiteral("Product ") + id : desc;
            b.UPrice = price;
        });
    }

    static long addLabel(const QString &name)
    {
        return appendRecord(db().labels, [&](LabelRecord &b) {
            b.Name = name;
            b.NAcross = 1;
        });
    }

    static void markDeleted(Table &t, long recNo)
    {
        ASSERT_EQ(t.go(recNo), 0);
        t.markDeleted();
        t.flush();
    }

    // Record numbers of a table in the order of its selected tag.
    static std::vector<long> recordsInOrder(Table &t)
    {
        std::vector<long> recs;
        for (int rc = t.top(); rc == 0; rc = t.skip(1))
            recs.push_back(t.recNo());
        return recs;
    }
};

} // namespace tlv::test
