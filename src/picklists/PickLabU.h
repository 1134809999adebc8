#pragma once
// The label stock pick list (caption "PickLab"): every label stock by name
// in a list box.
//
// Usage (LABELS open):
//
//     db().selected.labelStock = startRecNo;
//     bool created = false;
//     if (runPickLab(/*allowNew=*/true, &created))
//         use(db().selected.labelStock);
//
// "New" opens the label stock window through the hook set with
// setNewRecordEditor(PickTable::LabelStock, ...) (see PickList.h).
#include "picklists/PickNamesU.h"

namespace tlv {

class TPickLab : public TPickNames
{
    Q_OBJECT
public:
    explicit TPickLab(QWidget *parent = nullptr);

protected:
    int &selectedRecord() override;
    NameList loadNames() override;
    long recordAt(int index) override;
};

TPickLab &pickLab();

// Runs the label stock pick list; true when a label stock was chosen or
// created, the record number in db().selected.labelStock. "Label Database
// is Empty" refuses an empty table when New is not allowed.
bool runPickLab(bool allowNew, bool *created = nullptr);

} // namespace tlv
