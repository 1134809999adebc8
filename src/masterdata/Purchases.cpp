#include "masterdata/Purchases.h"

#include "data/Database.h"
#include "masterdata/Products.h"
#include "platform/Clock.h"

namespace tlv {

PurchaseRecord newPurchase()
{
    PurchaseRecord r;
    r.PURDate = clock().today();
    return r;
}

QString messageOf(PurchaseSave result)
{
    switch (result) {
    case PurchaseSave::Saved:
        return {};
    case PurchaseSave::NoProduct:
        return QStringLiteral("Product Selection Required.");
    case PurchaseSave::AppendFailed:
        return QStringLiteral("Unable to Append record . . Please try again.") + writeFailureLine();
    case PurchaseSave::WriteFailed:
        return QStringLiteral("The record could not be saved.") + writeFailureLine();
    }
    return {};
}

PurchaseSave savePurchase(long &recNo, const PurchaseRecord &loaded, const PurchaseEntry &entry,
                          long chosenProduct)
{
    const QString id = productIdOf(entry.productId);
    if (id.isEmpty())
        return PurchaseSave::NoProduct;

    auto &pur = db().pur5;
    if (recNo > 0) {
        pur.go(recNo);
    } else {
        if (!pur.appendBlank())
            return PurchaseSave::AppendFailed;
        recNo = pur.recNo();
    }
    PurchaseRecord &r = pur.buf;
    r = loaded;
    r.PURProd = id;
    r.PURDate = entry.date;
    r.PURQty = entry.quantity;
    r.PURCost = entry.cost;
    if (pur.write() != 0)
        return PurchaseSave::WriteFailed;

    if (chosenProduct > 0) {
        auto &prod = db().prod5;
        if (prod.go(chosenProduct) == 0) {
            prod.read();
            prod.buf.lInven = true;
            if (prod.write() != 0)
                return PurchaseSave::WriteFailed;
        }
    }
    return PurchaseSave::Saved;
}

void deletePurchase(long recNo)
{
    auto &pur = db().pur5;
    pur.go(recNo);
    pur.markDeleted();
    pur.flush();
    db().packNeeded = true;
}

} // namespace tlv
