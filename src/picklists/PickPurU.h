#pragma once
// The purchase pick list (caption "PickPur"): the purchases in Pur order
// (product, then date) with quantity and total cost. Its buttons read
// "Edit Selected", "Add New Purchase" and "Cancel".
//
// Usage (Pur5 open):
//
//     db().selected.purchase = startRecNo;
//     bool created = false;
//     if (runPickPur(/*allowNew=*/true, &created))
//         use(db().selected.purchase);
//
// "Add New Purchase" opens the purchase window through the hook set with
// setNewRecordEditor(PickTable::Purchase, ...) (see PickList.h).
#include "picklists/PickGridU.h"

namespace tlv {

class TPickPur : public TPickGrid
{
    Q_OBJECT
public:
    explicit TPickPur(QWidget *parent = nullptr);

protected:
    GridLayout layout() const override;
    void selectOrder() override;
    PickRow row(long recNo, bool deleted) override;
    QString seekKey(const QString &typed) const override;
    bool keepsSelection() const override { return true; }
};

TPickPur &pickPur();

// Runs the purchase pick list; true when a purchase was chosen or created,
// the record number in db().selected.purchase. "Purchase Database is Empty"
// refuses an empty table when New is not allowed.
bool runPickPur(bool allowNew, bool *created = nullptr);

} // namespace tlv
