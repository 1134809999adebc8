#pragma once
// Storing the in-memory invoice and removing a stored one, without the
// windows: the header buffer goes into INV6, the line-item rows into ITM5,
// the payment rows into PMT and the customer's note into CUST5.
//
// INV6, ITM5, PMT and CUST5 must be open. The selected invoice record
// (db().selected.invoice) says which invoice is in memory: 0 or less a new
// one, otherwise the INV6 record it was loaded from.
//
// A save is many record writes, each flushed as it is made. Should the
// program stop in the middle, the invoice being saved holds a mix of its old
// and new lines and payments (the header is written first); no other invoice
// is touched, and opening and saving (or deleting) it again puts it right.
#include "data/Records.h"

#include <QString>
#include <QStringList>

namespace tlv {

enum class SaveOutcome {
    Saved,
    NoCustomer,      // nothing written
    HeaderRefused,   // the INV6 append was refused; nothing written
    ItemsRefused,    // stopped at a refused ITM5 append
    PaymentsRefused, // stopped at a refused PMT append
};

struct SaveResult
{
    SaveOutcome outcome = SaveOutcome::Saved;
    bool wasNew = false; // the invoice had not been stored before this save
    long recNo = 0;      // the INV6 record written; 0 when none was
};

// Saves the invoice in memory. The header buffer must already hold what the
// form shows. A new invoice is numbered here: the next invoice number, or for
// the very first invoice the number the user starts with ("FIRST INVOICE").
// Every refusal is reported to the user before returning. A new invoice whose
// header was written but whose lines or payments were refused becomes the
// selected invoice record, so that saving again rewrites it instead of
// storing it twice. The in-memory invoice is left as it was.
SaveResult saveInvoice(const QString &customerNote);

// Deletes the lines and payments stored under the header buffer's invoice
// number, and the INV6 record of a stored invoice. Like the lines and
// payments a save leaves over, they stay marked (every reader skips them)
// and the pack-needed flag has the command's closing pack remove them. The
// selected invoice record becomes the last invoice in number order that is
// not marked (0 for none). Returns whether any record was deleted.
bool deleteInvoice();

// The record of a line-item row or payment row as the save writes it.
ItemRecord itemRecordOf(int number, const QStringList &row);
PaymentRecord paymentRecordOf(int number, const QStringList &row);

// The remarks as stored: without trailing blanks and line breaks.
QString storedRemarks(const QString &text);

} // namespace tlv
