#pragma once
// The customer and group tests' data directory, with helpers that put
// customers straight into the tables and read back records.
#include "data/TableScope.h"
#include "support/WindowFixture.h"

#include <QLineEdit>

namespace tlv::test {

class CustomerDataTest : public WindowDataTest
{
protected:
    // Opens the tables the customer and group windows work on.
    static void openTables()
    {
        db().cust5.open();
        db().groups.open();
    }

    // Appends a customer (CUST5 open) and returns its record number.
    static int addCustomer(int number, const QString &last, int group = 1)
    {
        return int(appendRecord(db().cust5, [&](CustomerRecord &b) {
            b.cuno = number;
            b.last = last;
            b.first = QStringLiteral("F") + QString::number(number);
            b.ngroup = group;
        }));
    }

    static CustomerRecord customerAt(int recNo)
    {
        auto &t = db().cust5;
        t.go(recNo);
        t.read();
        return t.buf;
    }

    static GroupRecord groupAt(int recNo)
    {
        auto &t = db().groups;
        t.go(recNo);
        t.read();
        return t.buf;
    }

    static bool customerDeleted(int recNo)
    {
        db().cust5.go(recNo);
        return db().cust5.isDeleted();
    }
};

} // namespace tlv::test
