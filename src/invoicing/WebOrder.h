#pragma once
// A web shop order made into an invoice, without the windows: the order
// information file (customer, payment, charges; its first line) and the order
// file of the same name (one item per line), the items matched against the
// products and the customer against CUST5. The invoice editor's "IMPORT"
// runs these steps and shows what they found.
#include "data/Money.h"
#include "data/Records.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace tlv {

// The fields of a line of either file (see splitOrderLine).
QStringList orderFields(const QString &line);

// What one order brings, before any table is looked at.
struct WebOrder
{
    CustomerRecord customer;  // number 0, group 0, as the order gives it
    QString imemo;            // card number " x" month "/" year, or the payment method
    QString rem;              // the remarks with the two closing sentences
    Hundredths ship;          // field 31
    Hundredths tax;           // field 30
    QList<QStringList> items; // line-item rows as imported
    struct ItemSource
    {
        QString code;        // field 1
        QString description; // field 2
        QString option;      // field 7
    };
    QList<ItemSource> sources; // one per item
    // A country other than "US" that found no address line after three
    // street lines and the city line; empty when it found one.
    QString unplacedCountry;
};

// Builds the order from the first line of the information file, the lines of
// the order file and the file's name. Amounts in the files are read with "."
// as the decimal point; quantities and prices are shown as "%9.2f" in the
// user's notation. Missing fields count as empty.
WebOrder webOrderOf(const QString &infoLine, const QStringList &orderLines, const QString &fileName,
                    const QLocale &locale = QLocale());

// Matches an item against Prod5 (open): the code upper-cased and trimmed is
// sought as the leading part of a product identifier; when the product found
// is not exactly that code and the option is not empty, its first letter is
// added to the code and the search tried once more. A match replaces the
// row's identifier, description and second line with the product's; price,
// quantity and tax flags stay as imported. Returns whether it matched and
// gives the code last tried in *key.
bool matchOrderItem(QStringList &row, const WebOrder::ItemSource &source, QString *key);

// The warning of an item that found no product.
QString itemNotFoundMessage(const QString &key, const QString &description);

// Looks for the customer among CUST5 (open) in name order: the same last,
// first name and postal code (upper-cased, trimmed). The first such record
// takes the imported address lines, postal code, phone, fax and e-mail (its
// number, group, name, comments and note stay) and is written back; the buffer
// then holds the customer as stored. Returns its record number, or 0 when no
// customer matched; *multiple says whether a further record matched as well.
long matchOrderCustomer(CustomerRecord &customer, bool *multiple);

// Adds the buffer as a new customer of the group: the next free customer
// number, a blank record appended and the buffer written into it. Returns the
// record number, or 0 when the table refused the record.
long addOrderCustomer(CustomerRecord &customer, int group);

// Finds and reads the order named `name` (a file name only, as the file
// dialog gave it) in the two directories. Says why it cannot, as the import
// does, and gives nothing then:
//   a directory name shorter than 3 characters: "Directories containing Info
//     and Order files must be selected proir to ..."
//   a file missing: the directory, the name and " Not Found"
//   a file that cannot be read: the system's error
// An order named before in the data directory's list is questioned (Yes goes on).
struct ImportDirs;
std::optional<WebOrder> readWebOrder(const ImportDirs &dirs, const QString &name);

// The directory as the import names it: ending in "/".
QString orderDirectory(const QString &dir);

// Puts the order into the in-memory invoice as a new invoice dated today
// (INV6 and Prod5 open): the header buffer (no customer, the card note,
// remarks, shipping and tax as the order gives them, nothing due), the
// customer buffer, and the items matched against the products; the
// unplaced country and each unmatched item are shown (information, warning).
// The charge lines are not computed again.
void takeWebOrder(const WebOrder &order, const QDate &today);

// The order files already imported into this data directory, one name a line
// in "WebOrds.dat", so that an order is not taken twice by mistake. The
// editor remembers an order once it is on screen, tlvtool once it is saved.
inline constexpr const char *importedOrdersFileName = "WebOrds.dat";
bool orderImportedBefore(const QString &fileName);
void rememberImportedOrder(const QString &fileName);

} // namespace tlv
