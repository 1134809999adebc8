#include "masterdata/Products.h"

#include "data/Database.h"
#include "data/Settings.h"

namespace tlv {

namespace {
int productIdWidth()
{
    const TableDef &t = tableDef(TableId::Prod5);
    return t.fields[fieldIndex(t, fld::PrID)].len;
}
} // namespace

ProductEntry productEntryOf(const ProductRecord &r)
{
    ProductEntry e;
    e.id = r.PrID.trimmed();
    e.description = r.PDesc.trimmed();
    e.secondLine = r.IComm.trimmed();
    e.price = r.UPrice;
    e.tax1 = r.LTax1;
    e.tax2 = r.LTax2;
    e.licence = r.RCode.trimmed();
    e.inventory = r.lInven;
    e.reorder = r.REORDER;
    e.text = r.PMemo.trimmed();
    return e;
}

QString productIdOf(const QString &typed)
{
    return keyUpper(typed.trimmed()).left(productIdWidth()).trimmed();
}

QString productIdKey(const QString &id)
{
    return id.leftJustified(productIdWidth(), QLatin1Char(' '), true);
}

QString taxCaption1()
{
    return settings().ShipLine.trimmed();
}

QString taxCaption2()
{
    return settings().TaxLine.trimmed();
}

bool productIdChanged(const QString &newId, const QString &loadedId)
{
    return productIdOf(newId) != productIdOf(loadedId);
}

bool productIdTaken(const QString &id, long ownRecNo)
{
    auto &t = db().prod5;
    t.useTag(tag::Prod);
    const QString wanted = productIdOf(id);
    if (t.seek(productIdKey(wanted)) != 0)
        return false;
    FIELD4 *prId = t.field(fld::PrID);
    // Equal keys lie together; an older table may hold the ID twice, so look
    // past this product's own record.
    while (!t.eof() && productIdOf(fieldio::readText(prId)) == wanted) {
        if (t.recNo() != ownRecNo)
            return true;
        if (t.skip(1) != 0)
            break;
    }
    return false;
}

QString messageOf(ProductSave result)
{
    switch (result) {
    case ProductSave::Saved:
        return {};
    case ProductSave::BlankId:
        return QStringLiteral("Blank Product ID not allowed");
    case ProductSave::DuplicateId:
        return QStringLiteral("Duplicate Product ID's are not allowed");
    case ProductSave::AppendFailed:
        return QStringLiteral("Unable to Append record . . Please try again.") + writeFailureLine();
    case ProductSave::WriteFailed:
        return QStringLiteral("The record could not be saved.") + writeFailureLine();
    }
    return {};
}

ProductSave saveProduct(long &recNo, const ProductRecord &loaded, const ProductEntry &entry)
{
    const QString id = productIdOf(entry.id);
    if (id.isEmpty())
        return ProductSave::BlankId;
    const bool existing = recNo > 0;
    if (productIdChanged(id, existing ? loaded.PrID : QString()) && productIdTaken(id, existing ? recNo : 0))
        return ProductSave::DuplicateId;

    auto &t = db().prod5;
    if (existing) {
        t.go(recNo);
    } else {
        if (!t.appendBlank())
            return ProductSave::AppendFailed;
        recNo = t.recNo();
    }
    ProductRecord &r = t.buf;
    r = loaded;
    r.PrID = id;
    r.RCode = entry.licence.trimmed();
    r.PDesc = entry.description.trimmed();
    r.IComm = entry.secondLine.trimmed();
    r.PMemo = entry.text.trimmed();
    r.UPrice = entry.price;
    r.REORDER = entry.reorder;
    r.LTax1 = entry.tax1;
    r.LTax2 = entry.tax2;
    r.lInven = entry.inventory;
    r.lBuild = false;
    if (!existing)
        r.ONHAND = 0;
    return t.write() == 0 ? ProductSave::Saved : ProductSave::WriteFailed;
}

int deleteProduct(long recNo)
{
    auto &prod = db().prod5;
    prod.go(recNo);
    prod.read();
    const QString id = productIdOf(prod.buf.PrID);

    int marked = 0;
    auto &pur = db().pur5;
    const bool wasOpen = pur.isOpen();
    if (!wasOpen)
        pur.open();
    pur.useTag(tag::Pur);
    // Only purchases of exactly this ID: A1 takes none of A10's.
    if (!id.isEmpty() && pur.seek(productIdKey(id)) == 0) {
        FIELD4 *purProd = pur.field(fld::PURProd);
        while (!pur.eof() && productIdOf(fieldio::readText(purProd)) == id) {
            pur.markDeleted();
            ++marked;
            if (pur.skip(1) != 0)
                break;
        }
        pur.flush();
    }
    if (!wasOpen)
        pur.close();

    prod.go(recNo);
    prod.markDeleted();
    prod.flush();
    db().packNeeded = true;
    return marked;
}

} // namespace tlv
