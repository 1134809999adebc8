#pragma once
// Customers (CUST5): what the customer window shows and saves, without the
// window. The window works on the shared customer buffer (db().cust5.buf) and
// the selected customer record (db().selected.customer: greater than 0 the
// record being edited, 0 a new customer).
#include "data/Records.h"

#include <QString>

namespace tlv {

// The texts the customer window edits.
struct CustomerEntry
{
    QString title, first, last;
    QString addr1, addr2, addr3, addr4, zip;
    QString phone, email, fax, note;
    QString comments;
};

// The longest text the window lets one type into each field.
namespace customerLimits {
inline constexpr int title = 3;
inline constexpr int first = 13;
inline constexpr int last = 20;
inline constexpr int addressLine = 34; // lines 1 to 3
inline constexpr int addr4 = 19;
inline constexpr int zip = 10;
inline constexpr int note = 34;
inline constexpr int phone = 20;
inline constexpr int fax = 20;
// The field holds 60, but no text field is ever given more than 59
// characters: a 60th would be dropped from the address without a word.
inline constexpr int email = 59;
} // namespace customerLimits

// The highest customer number the six-digit number field can hold.
inline constexpr int maxCustomerNumber = 999999;

// Finding the next customer number: the lowest positive number no customer
// record uses, marked-deleted records included (1 for an empty table). The
// numbers are walked in CCNO order from the top, keeping the last number of
// the run 1, 2, 3 ... until a number is skipped.
//
// In a large table the walk is long, so it can be done a piece at a time (the
// customer window walks while it waits for the user) and resumed: what it has
// seen stays true as long as no record leaves the table, and records leave
// only when CUST5 is packed, which closes it. Keep a search no longer than
// CUST5 stays open. After a number has been given out, the same search goes
// on from there instead of walking the run again.
class CustomerNumberSearch
{
public:
    // Walks on until the run has grown by `budget` numbers (or the number is
    // found); true once the number is known.
    // CUST5 must be open; its selected order is kept and it is left on its
    // first record.
    bool advance(long budget);
    bool done() const { return m_done; }
    // The number, after walking whatever is left.
    int result();
    // `number` has just been given to a customer.
    void taken(int number);

private:
    int m_last = 0;      // 1 .. m_last are all in use
    long m_records = -1; // the table's record count when last looked at
    bool m_done = false;
};

// The customer as the window shows it: every text trimmed on both sides, the
// comments with trailing blanks removed only.
CustomerEntry customerEntryOf(const CustomerRecord &r);

// The customer number as shown: right-justified in six characters.
QString customerNumberText(int number);

// Opening the window: recNo greater than 0 reads that record into the customer
// buffer; otherwise the buffer is cleared (number 0, group 0, no texts) and
// recNo becomes -1. Then the customer's group is looked up (GROUPS open): its
// name is returned, and a group number that names no group becomes 0 in the
// buffer, so that the customer has to be given a group again before saving.
QString openCustomer(int &recNo);

// The name shown for a group number: the group's name trimmed, "" when there
// is no such group (the group buffer then holds group 0). GROUPS open; its
// selected order is kept.
QString groupNameOf(int number, int *groupRecNo = nullptr);

enum class CustomerSave {
    Saved,
    NoGroup,      // "Please Select Customer Group"
    AppendFailed, // "Unable to Append record . . Please try again."
    WriteFailed,  // the record could not be written to disk
    NumbersUsedUp // every six-digit number is taken
};
QString messageOf(CustomerSave result);

// Saves the customer opened as `loaded` with the window's texts (stored as
// typed) and group number. recNo greater than 0 is an existing record: it is
// rewritten in place (and, should it have no number yet, given the next one);
// otherwise the customer is new: it gets the next customer number and a new
// record, whose number is stored into recNo. The number comes from `numbers`
// when given (a search begun while the window waited), otherwise from a walk
// of its own. A record carrying the deleted mark is recalled. CUST5 must be
// open; the customer buffer holds the saved record afterwards, and nothing is
// written unless the result is Saved.
CustomerSave saveCustomer(int &recNo, const CustomerRecord &loaded, int group, const CustomerEntry &entry,
                          CustomerNumberSearch *numbers = nullptr);

// Marks the customer deleted and sets the pack-needed flag; the record goes
// with the next pack of CUST5. Invoices naming the customer are left as they
// are. CUST5 must be open.
void deleteCustomer(int recNo);

} // namespace tlv
