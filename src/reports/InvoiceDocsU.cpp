#include "reports/InvoiceDocsU.h"

#include "data/Database.h"
#include "data/InvoiceMemory.h"
#include "data/TableScope.h"
#include "picklists/PickInvU.h"
#include "platform/Clock.h"
#include "platform/Ui.h"
#include "reports/DateSpanU.h"
#include "reports/InvoiceDocs.h"
#include "reports/ReportU.h"
#include "reports/Selection.h"

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
