#pragma once
// Inventory purchases (Pur5): what the purchase window writes, and the mark it
// leaves on the product bought.
#include "data/Records.h"

#include <QDate>
#include <QString>

namespace tlv {

struct PurchaseEntry
{
    QString productId;
    QDate date;
    double quantity = 0;
    double cost = 0; // of the whole quantity
};

// A new purchase: no product, today's date, nothing bought yet.
PurchaseRecord newPurchase();

enum class PurchaseSave {
    Saved,
    NoProduct,    // "Product Selection Required."
    AppendFailed, // "Unable to Append record . . Please try again."
    WriteFailed,  // the record could not be written to disk
};
QString messageOf(PurchaseSave result);

// Saves the purchase opened as `loaded` (its record as read; newPurchase() for
// a new one). recNo is its record number, 0 or less for a new purchase; a new
// purchase's record number is stored into it once appended. PURNo is carried
// from `loaded`. When a product was chosen during this opening
// (chosenProduct > 0), that product becomes an inventory item; otherwise no
// product is touched. Pur5 and Prod5 must be open.
PurchaseSave savePurchase(long &recNo, const PurchaseRecord &loaded, const PurchaseEntry &entry,
                          long chosenProduct);

// Marks the purchase deleted and sets the pack-needed flag. Pur5 must be open.
void deletePurchase(long recNo);

} // namespace tlv
