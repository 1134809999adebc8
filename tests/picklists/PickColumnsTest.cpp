// The grid lists' columns in the font in use: none cuts the widest text it
// can hold, the grid shows every column but the record number, and numbers
// stand right.
#include "PickFixture.h"
#include "data/InvoiceMemory.h"
#include "invoicing/PickPmtU.h"
#include "picklists/PickCustU.h"
#include "picklists/PickInvU.h"
#include "picklists/PickProdU.h"
#include "picklists/PickPurU.h"

#include <QStyle>
#include <QTableWidget>

using namespace tlv;
using namespace tlv::test;

namespace {

struct ListColumns
{
    const char *list;
    QDialog *window;
    QTableWidget *grid;
    std::vector<std::pair<int, QString>> widest; // column, text
    std::vector<int> numbers;                    // right-aligned columns
    bool recNoLast = true;                       // the last column is off to the right
};

} // namespace

using PickColumns = PickTest;

TEST_F(PickColumns, NoColumnCutsItsWidestTextAndNumbersStandRight)
{
    db().cust5.open();
    db().prod5.open();
    db().inv6.open();
    db().pur5.open();
    addCustomer(QStringLiteral("Smith"));
    addProduct(QStringLiteral("WIDGET"), 12.5);
    addInvoice(42);
    addPurchase(QStringLiteral("WIDGET"), QDate(2025, 8, 18), 36, 442.8);
    invoiceMemory().payments = {{QStringLiteral("8/18/2025"), QStringLiteral("    100.00")}};

    TPickCust cust;
    TPickProd prod;
    TPickInv inv;
    TPickPur pur;
    TPickPmt pmt(nullptr);
    const QString key(10, QLatin1Char('W')), date = QStringLiteral("12/28/2088"),
                                             recNo = QStringLiteral("2147483647");
    const std::vector<ListColumns> lists = {
        {"customers", &cust, cust.grid(), {{2, "< DELETED >"}, {3, recNo}}, {3}},
        {"products", &prod, prod.grid(), {{0, key}, {2, "-99999.99"}, {2, "<DELETED>"}, {3, recNo}}, {2, 3}},
        {"invoices", &inv, inv.grid(), {{0, "999999"}, {1, date}, {2, "< DELETED >"}, {3, recNo}}, {0, 3}},
        {"purchases",
         &pur,
         pur.grid(),
         {{0, key}, {1, date}, {2, "-9999999.99"}, {3, "-999999999.99"}, {3, "<DELETED>"}, {4, recNo}},
         {2, 3, 4}},
        {"payments", &pmt, pmt.grid(), {{0, date}, {1, "9999999.99"}, {1, "-999999.99"}}, {1}, false},
    };
    // The desktop's font and a large one: the widths follow the font's metrics.
    for (const QFont &font : {QApplication::font(), QFont(QStringLiteral("DejaVu Serif"), 15)}) {
        for (const ListColumns &l : lists) {
            l.window->setFont(font);
            showActive(*l.window);
            QTableWidget *g = l.grid;
            const QFontMetrics fm(g->font());
            // The cell's text keeps the focus-frame margin and a pixel either side; the grid line takes one.
            const int margins =
                2 * (g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1) + 1;
            for (const auto &[column, text] : l.widest)
                EXPECT_GE(g->columnWidth(column), fm.horizontalAdvance(text) + margins)
                    << l.list << " column " << column << " cuts " << text.toStdString() << " in "
                    << font.family().toStdString();
            int shown = 0;
            for (int c = 0; c + (l.recNoLast ? 1 : 0) < g->columnCount(); ++c)
                shown += g->columnWidth(c);
            EXPECT_GE(g->viewport()->width(), shown) << l.list;
            for (int c : l.numbers)
                EXPECT_TRUE(g->item(0, c)->textAlignment() & Qt::AlignRight) << l.list << " column " << c;
            l.window->hide();
        }
    }
    invoiceMemory().reset();
}
