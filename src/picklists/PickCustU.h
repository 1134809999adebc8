#pragma once
// The customer pick list (caption "Select Customer"): the customers in name
// order ("Last", "First", "Note") or, when the sort preference is by e-mail
// address, in e-mail order ("EMail", "Last", "First"); the selected
// customer's group is shown beside the list.
//
// Usage (CUST5 open; GROUPS open for the group display):
//
//     db().selected.customer = startRecNo;
//     bool created = false;
//     if (runPickCust(/*allowNew=*/true, &created))
//         use(db().selected.customer);
//
// "New" opens the customer window through the hook set with
// setNewRecordEditor(PickTable::Customer, ...) (see PickList.h).
#include "picklists/PickGridU.h"

namespace tlv {

class TPickCust : public TPickGrid
{
    Q_OBJECT
public:
    explicit TPickCust(QWidget *parent = nullptr);

protected:
    GridLayout layout() const override;
    void selectOrder() override;
    PickRow row(long recNo, bool deleted) override;
    QString seekKey(const QString &typed) const override;
    QString sideText(long recNo) override;
};

// The one customer pick list of the program.
TPickCust &pickCust();

// Runs the customer pick list (cname selected first); true when a customer
// was chosen or created, the record number in db().selected.customer.
// "Customer Database is Empty" refuses an empty table when New is not allowed.
bool runPickCust(bool allowNew, bool *created = nullptr);

} // namespace tlv
