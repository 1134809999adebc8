#include "reports/InvoiceDocsU.h"

#include "data/Database.h"
#include "data/InvoiceMemory.h"
#include "data/TableScope.h"
#include "mail/EMail.h"
#include "picklists/PickCustU.h"
#include "picklists/PickInvU.h"
#include "platform/Clock.h"
#include "platform/Ui.h"
#include "reports/DateSpanU.h"
#include "reports/InvoiceDocs.h"
#include "reports/ReportU.h"
#include "reports/Selection.h"
#include "reports/Statements.h"

namespace tlv {

namespace {

void openInvoiceTables()
{
    Db &d = db();
    for (Table *t :
         {static_cast<Table *>(&d.cust5), static_cast<Table *>(&d.groups), static_cast<Table *>(&d.inv6),
          static_cast<Table *>(&d.itm5), static_cast<Table *>(&d.pmt), static_cast<Table *>(&d.prod5)})
        t->open();
}

} // namespace

void runInvoiceBatch(bool byDates, bool invoices, bool byEmail, QWidget *parent)
{
    // Mail that is not set up says so once, before anything is asked.
    if (byEmail && !emailSender().clearMessage())
        return;
    TableScope scope;
    openInvoiceTables();
    Db &d = db();
    if (byDates) {
        selection().startDate = selection().endDate = clock().today();
        if (!invoices)
            defaultMonth();
        if (!askDateSpan(parent))
            return;
        if (byEmail) {
            mailInvoicesDated(selection().startDate, selection().endDate, invoices);
            return;
        }
        setUpInvoiceDocument();
        appendInvoicesDated(selection().startDate, selection().endDate, invoices);
    } else {
        setUpInvoiceDocument();
        if (d.inv6.recCount() == 0) {
            ui().information(QStringLiteral("No invoices to select."));
            report().endReport();
            return;
        }
        int counter = 0;
        while (runPickInv(false)) {
            if (!loadInvoice(d.selected.invoice))
                continue;
            if (byEmail)
                mailLoadedInvoice(invoices, counter);
            else
                appendInvoice(invoices, false);
        }
        if (byEmail)
            return;
    }
    showReport(parent);
}

void runPackingListBatch(QWidget *parent)
{
    TableScope scope;
    openInvoiceTables();
    selection().startDate = selection().endDate = clock().today();
    if (!askDateSpan(parent))
        return;
    setUpPackingList();
    appendPackingListsDated(selection().startDate, selection().endDate);
    showReport(parent);
}

void runStatementBatch(bool byDates, bool byEmail, QWidget *parent)
{
    if (byEmail && !emailSender().clearMessage())
        return;
    if (byDates) {
        defaultMonth();
        if (!askDateSpan(parent))
            return;
    }
    TableScope scope;
    openInvoiceTables();
    setUpStatementDocument();
    Db &d = db();
    if (byDates && byEmail) {
        report().endReport();
        mailStatementsDated(selection().startDate, selection().endDate);
        return;
    }
    if (byDates) {
        appendStatementsDated(selection().startDate, selection().endDate);
    } else {
        int counter = 0;
        while (runPickCust(false)) {
            if (d.cust5.go(d.selected.customer) != 0)
                continue;
            d.cust5.read();
            if (byEmail)
                mailStatementOfCustomer(d.cust5.buf.cuno, counter);
            else
                appendStatementOfCustomer(d.cust5.buf.cuno);
        }
    }
    if (byEmail) {
        report().endReport();
        return;
    }
    showReport(parent);
}

void showLoadedInvoice(QWidget *parent)
{
    setUpInvoiceDocument();
    appendInvoice(true, false);
    showReport(parent);
}

void mailLoadedInvoiceNow()
{
    if (!emailSender().clearMessage())
        return;
    int counter = 0;
    mailLoadedInvoice(true, counter);
}

void showLoadedPackingList(QWidget *parent)
{
    setUpPackingList();
    appendPackingList();
    showReport(parent);
}

} // namespace tlv
