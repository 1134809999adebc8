#pragma once
// The reports seen from the customer's side: the buyers of one product over
// the selection's span, the open receivables with their age in days, and the
// customer profile that prints each customer's address beside everything the
// customer bought. The generators fill the report document and tell whether
// there is anything to show; the caller opens the tables, asks for the
// product, span, groups or customers, shows the document and ends the report.
// Amounts come from data/Money.h.
#include <QString>

namespace tlv {

struct CustomerRecord;

// The name these reports print: title, first name and last name joined by
// single blanks, the whole trimmed.
QString reportCustomerName(const CustomerRecord &c);

// Buyers of the product in Prod5 record `productRecNo` among the invoices
// dated within the span, with the unit price net of each invoice's discount.
// INV6, ITM5, Prod5, CUST5 and GROUPS open. "No Invoices within selected
// dates." when no invoice is dated within the span.
bool productBuyers(long productRecNo);

// Every invoice with a balance due, in number order, its age in days and the
// total (credits reduce it). INV6 and CUST5 open.
bool receivables();

// The customer profile, one block after another: beginProfile() starts the
// document, profileBlock() adds one customer (CUST5 record) with its
// purchases. CUST5, GROUPS, INV6 and ITM5 open.
void beginProfile();
void profileBlock(long customerRecNo);
// A block for every customer of the chosen groups (selection), in name
// order. True when the document holds rows.
bool profileOfChosenGroups();

} // namespace tlv
