#pragma once
// Account statements: for one customer, the invoices still open within a
// span (or all of them), with charges, payments and the amount due of each,
// and their totals, on the letterhead.
#include "data/Money.h"

#include <QDate>
#include <QList>
#include <QStringList>

namespace tlv {

struct StatementLine
{
    int invoice = 0;
    QDate date;
    Hundredths charges, payments, due;
};

// The statement document: W = 59, N = 12, begun, with title, codes and headings.
void setUpStatementDocument();

// The invoices of customer `cuno` a statement lists: with a span, those whose
// balance due is not 0 dated within it; without, every one. Each invoice is
// loaded; charges are its items' quantity × price unrounded, less the
// discount, plus both charge lines, rounded to cents once. Invoices marked
// deleted are left out. INV6, ITM5, PMT, Prod5 and CUST5 open.
QList<StatementLine> statementLines(int cuno, const QDate *from, const QDate *to);

// Appends the statement of a customer (its address block and lines); nothing
// without lines. True when appended.
bool appendStatement(const QStringList &address, const QList<StatementLine> &lines);

// The batch by dates without a window: every live customer in postal-code
// order with an open invoice in the span (only those numbered in `only`
// when it is not empty). True when something was appended.
bool appendStatementsDated(const QDate &from, const QDate &to, const QList<int> &only = {});
// The statement of one customer (every invoice), by customer number; false
// when the customer is not on file or has no invoice.
bool appendStatementOfCustomer(int cuno);

// The same by e-mail: each statement sent alone to its customer's address
// (longer than three characters), subject "Account Statement". Returns the
// messages sent; mailStatementOfCustomer advances `counter` for the caption.
int mailStatementsDated(const QDate &from, const QDate &to, const QList<int> &only = {});
bool mailStatementOfCustomer(int cuno, int &counter);

} // namespace tlv
