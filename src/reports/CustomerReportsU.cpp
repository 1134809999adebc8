#include "reports/CustomerReportsU.h"

#include "data/Database.h"
#include "data/TableScope.h"
#include "picklists/PickCustU.h"
#include "picklists/PickProdU.h"
#include "reports/CustomerReports.h"
#include "reports/DateSpanU.h"
#include "reports/MultGroupU.h"
#include "reports/ReportU.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"

namespace tlv {

void runProductBuyers(QWidget *parent)
{
    TableScope scope;
    Db &d = db();
    for (Table *t :
         {static_cast<Table *>(&d.inv6), static_cast<Table *>(&d.itm5), static_cast<Table *>(&d.prod5),
          static_cast<Table *>(&d.cust5), static_cast<Table *>(&d.groups)})
        t->open();
    if (!runPickProd(false))
        return;
    const long product = d.selected.product;
    defaultMonth();
    if (!askDateSpan(parent))
        return;
    productBuyers(product);
    showReport(parent);
}

void runCustomerProfile(bool byGroups, QWidget *parent)
{
    TableScope scope;
    Db &d = db();
    for (Table *t :
         {static_cast<Table *>(&d.cust5), static_cast<Table *>(&d.groups), static_cast<Table *>(&d.inv6),
          static_cast<Table *>(&d.itm5), static_cast<Table *>(&d.pmt), static_cast<Table *>(&d.prod5)})
        t->open();
    beginProfile();
    if (byGroups) {
        if (!askGroups(parent)) {
            report().endReport();
            return;
        }
        profileOfChosenGroups();
    } else {
        while (runPickCust(false))
            profileBlock(d.selected.customer);
    }
    showReport(parent);
}

} // namespace tlv
