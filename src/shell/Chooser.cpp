#include "shell/Chooser.h"

namespace tlv {

const QList<ChooserList> &chooserLists()
{
    static const QList<ChooserList> lists = {
        {1,
         QStringLiteral("Invoices"),
         QStringLiteral("Invoices"),
         {QStringLiteral("Print Selected Dates"), QStringLiteral("Print Selected Invoices"),
          QStringLiteral("Email Selected Dates"), QStringLiteral("EMail Selected Invoices")}},
        {2,
         QStringLiteral("Bills"),
         QStringLiteral("Bills"),
         {QStringLiteral("Print with Balance Due"), QStringLiteral("Print Selected"),
          QStringLiteral("Email with Balances Due"), QStringLiteral("EMail Selected")}},
        {3,
         QStringLiteral("Statements"),
         QStringLiteral("Statements"),
         {QStringLiteral("Print with Balance Due"), QStringLiteral("Print Selected"),
          QStringLiteral("Email with Balances Due"), QStringLiteral("EMail Selected")}},
        {4,
         QStringLiteral("Sales Reports"),
         QStringLiteral("Sales Reports"),
         {QStringLiteral("Sales Summary"), QStringLiteral("Product Summary"),
          QStringLiteral("Product Buyers"), QStringLiteral("Income Summary"),
          QStringLiteral("Receivable Income"), QStringLiteral("Tax Summary")}},
        {5,
         QStringLiteral("Inventory Reports"),
         QStringLiteral("Inventory Reports"),
         {QStringLiteral("Inventory"), QStringLiteral("Cost of Goods Sold"), QStringLiteral("Stock On Hand"),
          QStringLiteral("Purchasing History"), QStringLiteral("Cost of Goods Detail")}},
        {6,
         QStringLiteral("Customer Profile"),
         QStringLiteral("Customer Profile"),
         {QStringLiteral("for Selected Customers"), QStringLiteral("for Selected Groups")}},
        {7,
         QStringLiteral("Address Labels"),
         QStringLiteral("Print Address Labels for"),
         {QStringLiteral("Selected Customers"), QStringLiteral("Invoices Dated"),
          QStringLiteral("Past Due Billing"), QStringLiteral("Balance Due Statements"),
          QStringLiteral("Customer Groups")}},
        {8,
         QStringLiteral("Bulk Mail"),
         QStringLiteral("Bulk Mail"),
         {QStringLiteral("Export Merge File"), QStringLiteral("Compose Bulk EMail")}},
    };
    return lists;
}

const ChooserList *chooserList(int type)
{
    if (type < 1 || type > chooserLists().size())
        return nullptr;
    return &chooserLists()[type - 1];
}

QRect chooserGeometry(const ChooserList &list, int rowHeight, QSize page,
                      const std::function<int(const QString &line, bool heading)> &lineWidth)
{
    const int rows = static_cast<int>(list.entries.size()) + 1;
    const int height = rows * rowHeight;
    int width = lineWidth(list.heading, true);
    for (const QString &e : list.entries)
        width = std::max(width, lineWidth(e, false));
    const int left = static_cast<int>(0.75 * page.width()) - width / 2;
    const int top = page.height() / 2 - height / 2;
    return QRect(left, top, width, height);
}

int chooserEntryForRow(const ChooserList &list, int row)
{
    if (row <= 0 || row > list.entries.size())
        return 0;
    return row;
}

} // namespace tlv
