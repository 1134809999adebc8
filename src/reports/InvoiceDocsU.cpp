#include "reports/InvoiceDocsU.h"

#include "data/Database.h"
#include "data/InvoiceMemory.h"
#include "data/TableScope.h"
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

void runInvoiceBatch(bool byDates, bool invoices, QWidget *parent)
{
    TableScope scope;
    openInvoiceTables();
    Db &d = db();
    if (byDates) {
        selection().startDate = selection().endDate = clock().today();
        if (!invoices)
            defaultMonth();
        if (!askDateSpan(parent))
            return;
        setUpInvoiceDocument();
        appendInvoicesDated(selection().startDate, selection().endDate, invoices);
    } else {
        setUpInvoiceDocument();
        if (d.inv6.recCount() == 0) {
            ui().information(QStringLiteral("No invoices to select."));
            report().endReport();
            return;
        }
        while (runPickInv(false)) {
            if (loadInvoice(d.selected.invoice))
                appendInvoice(invoices, false);
        }
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

void runStatementBatch(bool byDates, QWidget *parent)
{
    if (byDates) {
        defaultMonth();
        if (!askDateSpan(parent))
            return;
    }
    TableScope scope;
    openInvoiceTables();
    setUpStatementDocument();
    Db &d = db();
    if (byDates) {
        appendStatementsDated(selection().startDate, selection().endDate);
    } else {
        while (runPickCust(false)) {
            if (d.cust5.go(d.selected.customer) != 0)
                continue;
            d.cust5.read();
            appendStatementOfCustomer(d.cust5.buf.cuno);
        }
    }
    showReport(parent);
}

void showLoadedInvoice(QWidget *parent)
{
    setUpInvoiceDocument();
    appendInvoice(true, false);
    showReport(parent);
}

void showLoadedPackingList(QWidget *parent)
{
    setUpPackingList();
    appendPackingList();
    showReport(parent);
}

} // namespace tlv
