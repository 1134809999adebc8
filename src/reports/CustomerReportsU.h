#pragma once
// The customer reports as the report chooser runs them: the product or the
// customers are chosen from their pick lists, the span and the groups from
// the selection dialogs, and the document is shown in the viewer.
class QWidget;

namespace tlv {

// "Product Buyers": a product from the product pick list, then the span
// (the current month by default).
void runProductBuyers(QWidget *parent = nullptr);

// "for Selected Groups" (byGroups) or "for Selected Customers": the groups
// from the group dialog, or customers picked one at a time until the pick
// list is cancelled.
void runCustomerProfile(bool byGroups, QWidget *parent = nullptr);

} // namespace tlv
