#pragma once
// The product, purchase, label stock and tax tests' data directory, with
// helpers that put products straight into the tables and read back records.
#include "support/WindowFixture.h"

namespace tlv::test {

class MasterDataTest : public WindowDataTest
{
protected:
    // The settings record as the file holds it now.
    static SettingsRecord storedSettings()
    {
        auto &t = db().tlv2;
        t.open();
        t.top();
        t.read();
        SettingsRecord s = t.buf;
        t.close();
        return s;
    }

    // Appends a product (Prod5 open) and returns its record number.
    static long addProduct(const QString &id, double price = 0, double onHand = 0)
    {
        return appendRecord(db().prod5, [&](ProductRecord &b) {
            b.PrID = id;
            b.PDesc = QStringLiteral("Product ") + id;
            b.UPrice = price;
            b.ONHAND = onHand;
        });
    }

    static ProductRecord productAt(long recNo)
    {
        auto &t = db().prod5;
        t.go(recNo);
        t.read();
        return t.buf;
    }
};

} // namespace tlv::test
