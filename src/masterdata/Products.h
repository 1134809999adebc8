#pragma once
// Products and services (Prod5): the rules of the product window that do not
// depend on the window: the ID in capitals and unique, what a save writes,
// and what deleting a product takes with it.
#include "data/Records.h"

#include <QString>

namespace tlv {

// What the product window edits.
struct ProductEntry
{
    QString id;
    QString description;
    QString secondLine; // IComm
    double price = 0;
    bool tax1 = false;
    bool tax2 = false;
    QString licence; // RCode
    bool inventory = false;
    double reorder = 0;
    QString text; // PMemo, printed at the bottom of invoices
};

// The product as the window shows it: texts trimmed on both sides.
ProductEntry productEntryOf(const ProductRecord &r);

// A product ID as stored and sought: trimmed, in capitals (as the Prod tag
// builds its keys), at most the field's ten characters.
QString productIdOf(const QString &typed);
// The Prod (and Pur) key of a product ID: the ID blank-padded to its width.
QString productIdKey(const QString &id);

// The captions of the two tax check boxes: the settings' tax labels, trimmed.
QString taxCaption1();
QString taxCaption2();

// Whether saving with this ID must look for another product holding it: only
// when the ID differs from the one the product had when it was opened (the
// comparison is made on the IDs as stored, so a change of case alone is no
// change).
bool productIdChanged(const QString &newId, const QString &loadedId);

// Another product than `ownRecNo` (0 or less: none) holds this ID. Prod5 must
// be open; it is left positioned wherever the search ended.
bool productIdTaken(const QString &id, long ownRecNo);

enum class ProductSave {
    Saved,
    BlankId,      // "Blank Product ID not allowed"
    DuplicateId,  // "Duplicate Product ID's are not allowed"
    AppendFailed, // "Unable to Append record . . Please try again."
    WriteFailed,  // the record could not be written to disk
};
QString messageOf(ProductSave result);

// Saves the product opened as `loaded` (its record as read; a blank record for
// a new product) with the window's values. recNo is the product's record
// number, 0 or less for a new product; a new product's record number is
// stored into it once appended. ONHAND is carried unchanged from `loaded`,
// lBuild is written false. Prod5 must be open. The product buffer holds the
// saved record afterwards.
ProductSave saveProduct(long &recNo, const ProductRecord &loaded, const ProductEntry &entry);

// Deletes a product: its purchases in Pur5 (those of exactly this ID) are
// marked deleted, then the product itself, and the pack-needed flag is set.
// Prod5 must be open; Pur5 is opened for the purpose when it is not, and
// closed again. Returns the number of purchases marked.
int deleteProduct(long recNo);

} // namespace tlv
