#pragma once
// The product pick list (caption "PickProd"): the products in Prod order
// with their identifier, description and price.
//
// Usage (Prod5 open):
//
//     db().selected.product = startRecNo;
//     bool created = false;
//     if (runPickProd(/*allowNew=*/true, &created))
//         use(db().selected.product);
//
// "New" opens the product window through the hook set with
// setNewRecordEditor(PickTable::Product, ...) (see PickList.h).
#include "picklists/PickGridU.h"

namespace tlv {

class TPickProd : public TPickGrid
{
    Q_OBJECT
public:
    explicit TPickProd(QWidget *parent = nullptr);

protected:
    GridLayout layout() const override;
    void selectOrder() override;
    PickRow row(long recNo, bool deleted) override;
    QString seekKey(const QString &typed) const override;
    bool keepsSelection() const override { return true; }
};

TPickProd &pickProd();

// Runs the product pick list; true when a product was chosen or created, the
// record number in db().selected.product. "Product Database is Empty"
// refuses an empty table when New is not allowed.
bool runPickProd(bool allowNew, bool *created = nullptr);

} // namespace tlv
