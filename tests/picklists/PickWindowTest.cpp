// The pick-list windows: where they open, the scroll bar, the keys and the
// scroll-bar actions that move them, the seek fields, the side displays,
// choosing, and the run operations with their empty tables and New.
#include "PickFixture.h"
#include "picklists/PickCustU.h"
#include "picklists/PickGroupU.h"
#include "picklists/PickInvU.h"
#include "picklists/PickLabU.h"
#include "picklists/PickProdU.h"
#include "picklists/PickPurU.h"
#include "support/Modal.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

using namespace tlv;
using namespace tlv::test;

namespace {

QString cell(QTableWidget *g, int row, int column)
{
    const QTableWidgetItem *item = g->item(row, column);
    return item ? item->text() : QString();
}

QStringList headings(QTableWidget *g)
{
    QStringList h;
    for (int c = 0; c < g->columnCount(); ++c)
        h << g->horizontalHeaderItem(c)->text();
    return h;
}

QString name(int i)
{
    // Customer01 ... Customer25: name order is number order.
    return QStringLiteral("Customer%1").arg(i, 2, 10, QLatin1Char('0'));
}

} // namespace

class PickWindows : public PickTest
{
protected:
    // 25 customers appended out of name order; returns their record numbers
    // in name order.
    std::vector<long> addCustomers(int count, int group = 0)
    {
        db().cust5.open();
        std::vector<long> recs(size_t(count) + 1, 0);
        for (int k = 0; k < count; ++k) {
            const int i = 1 + (k * 7) % count; // 7 is prime to 25 and 10
            recs[size_t(i)] = addCustomer(name(i), QStringLiteral("F%1").arg(i), group,
                                          QStringLiteral("c%1@example.com").arg(100 - i));
        }
        return recs;
    }
};

TEST_F(PickWindows, TheCustomerListOpensOnTheCallersCustomer)
{
    db().groups.open();
    const std::vector<long> recs = addCustomers(25);
    db().selected.customer = int(recs[20]);
    TPickCust w;
    showActive(w);
    QTableWidget *g = w.grid();

    EXPECT_EQ(w.windowTitle(), QStringLiteral("Select Customer"));
    EXPECT_EQ(headings(g), QStringList({"Last", "First", "Note", "RecNo"}));
    const int u = QFontMetrics(w.font()).horizontalAdvance(QLatin1Char('B'));
    EXPECT_EQ(g->columnWidth(0), 20 * u);
    EXPECT_EQ(g->columnWidth(2), 34 * u);
    EXPECT_EQ(g->rowCount(), 10);
    // W = 15: rows show the 16th to the 25th, the 20th selected.
    EXPECT_EQ(w.pager().window(), 15);
    EXPECT_EQ(cell(g, 0, 0), name(16));
    EXPECT_EQ(cell(g, 9, 0), name(25));
    EXPECT_EQ(g->currentRow(), 4);
    EXPECT_EQ(cell(g, 4, 3), QString::number(recs[20]));
    EXPECT_TRUE(w.scrollBar()->isVisible());
    EXPECT_EQ(w.scrollBar()->value(), 100);
    // Closing without a button would count as cancelled.
    EXPECT_EQ(db().selected.customer, -1);
    EXPECT_TRUE(child<QLineEdit>(w, "Edit1")->hasFocus());

    QTest::mouseClick(child<QPushButton>(w, "BtnSelect"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(db().selected.customer, recs[20]);
}

TEST_F(PickWindows, KeysAndTheScrollBarMoveTheWindow)
{
    const std::vector<long> recs = addCustomers(25);
    db().selected.customer = int(recs[1]);
    TPickCust w;
    showActive(w);
    QTableWidget *g = w.grid();
    QScrollBar *bar = w.scrollBar();
    g->setFocus();

    QTest::keyClick(g, Qt::Key_PageDown);
    EXPECT_EQ(w.pager().window(), 10);
    EXPECT_EQ(cell(g, 0, 0), name(11));
    EXPECT_EQ(bar->value(), 66);
    QTest::keyClick(g, Qt::Key_PageDown);
    EXPECT_EQ(w.pager().window(), 15);
    QTest::keyClick(g, Qt::Key_PageUp);
    EXPECT_EQ(w.pager().window(), 5);
    QTest::keyClick(g, Qt::Key_End);
    EXPECT_EQ(w.pager().window(), 15);
    EXPECT_EQ(cell(g, 9, 0), name(25));
    QTest::keyClick(g, Qt::Key_Home);
    EXPECT_EQ(w.pager().window(), 0);
    EXPECT_EQ(bar->value(), 0);

    // The arrows move the selection within the page and the window at its edges.
    g->setCurrentCell(0, 0);
    QTest::keyClick(g, Qt::Key_Up);
    EXPECT_EQ(w.pager().window(), 0);
    EXPECT_EQ(g->currentRow(), 0);
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(g->currentRow(), 9);
    EXPECT_EQ(w.pager().window(), 0);
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(w.pager().window(), 1);
    EXPECT_EQ(g->currentRow(), 9);
    EXPECT_EQ(cell(g, 9, 0), name(11));
    g->setCurrentCell(0, 0);
    QTest::keyClick(g, Qt::Key_Up);
    EXPECT_EQ(w.pager().window(), 0);
    EXPECT_EQ(cell(g, 0, 0), name(1));

    // Scroll-bar actions; the bar then shows where the window is.
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w.pager().window(), 1);
    EXPECT_EQ(bar->value(), 6);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(w.pager().window(), 11);
    EXPECT_EQ(bar->value(), 73);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(w.pager().window(), 10);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(w.pager().window(), 0);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(w.pager().window(), 15);
    EXPECT_EQ(bar->value(), 100);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(w.pager().window(), 0);
    // The thumb released at 60%: 60 * 15 / 100 = 9.
    bar->setSliderPosition(60);
    w.ScrollBar1Released();
    EXPECT_EQ(w.pager().window(), 9);
    EXPECT_EQ(bar->value(), 60);
    EXPECT_EQ(cell(g, 0, 0), name(10));

    // Enter chooses the selected row.
    g->setCurrentCell(2, 0);
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(db().selected.customer, recs[12]);
}

TEST_F(PickWindows, TenCustomersOrFewerStartAtTheTopWithoutAScrollBar)
{
    const std::vector<long> recs = addCustomers(10);
    db().selected.customer = int(recs[7]);
    TPickCust w;
    showActive(w);
    QTableWidget *g = w.grid();
    EXPECT_FALSE(w.scrollBar()->isVisible());
    EXPECT_EQ(g->currentRow(), 0) << "the first row, not the caller's";
    EXPECT_EQ(cell(g, 0, 0), name(1));
    g->setFocus();
    g->setCurrentCell(3, 0);
    for (Qt::Key k : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Home}) {
        QTest::keyClick(g, k);
        EXPECT_EQ(w.pager().window(), 0);
        EXPECT_EQ(g->currentRow(), 3) << "the scroll keys change nothing";
        EXPECT_EQ(cell(g, 0, 0), name(1));
    }
    // Escape (like the close box) cancels.
    QTest::keyClick(g, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(db().selected.customer, -1);
}

TEST_F(PickWindows, EmptyRowsCannotBeChosen)
{
    const std::vector<long> recs = addCustomers(4);
    db().selected.customer = 0;
    TPickCust w;
    showActive(w);
    QTableWidget *g = w.grid();
    g->setFocus();
    g->setCurrentCell(3, 0);
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(g->currentRow(), 3) << "the rows below the last customer are not for choosing";
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(7, 0)).center());
    EXPECT_EQ(g->currentRow(), 3);
    QTest::mouseClick(child<QPushButton>(w, "BtnSelect"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(db().selected.customer, recs[4]);
}

TEST_F(PickWindows, SeekingSelectsTheFoundOrNextCustomer)
{
    const std::vector<long> recs = addCustomers(25);
    db().selected.customer = int(recs[1]);
    TPickCust w;
    showActive(w);
    QTableWidget *g = w.grid();
    auto *seek = child<QLineEdit>(w, "Edit1");

    QTest::keyClicks(seek, QStringLiteral("customer2"));
    EXPECT_EQ(w.pager().window(), 15);
    EXPECT_EQ(cell(g, g->currentRow(), 0), name(20));
    QTest::keyClicks(seek, QStringLiteral("2"));
    EXPECT_EQ(cell(g, g->currentRow(), 0), name(22));
    // Between two keys: "CUSTOMER125" lies between 12 and 13.
    seek->setText(QStringLiteral("Customer125"));
    EXPECT_EQ(w.pager().window(), 12);
    EXPECT_EQ(cell(g, g->currentRow(), 0), name(13));
    // Beyond the last key nothing changes.
    seek->setText(QStringLiteral("Zebra"));
    EXPECT_EQ(w.pager().window(), 12);
    EXPECT_EQ(cell(g, g->currentRow(), 0), name(13));
    EXPECT_EQ(w.pager().lastSeek(), QStringLiteral("ZEBRA"));

    // A new showing starts with an empty seek field.
    w.reject();
    db().selected.customer = int(recs[1]);
    showActive(w);
    EXPECT_TRUE(seek->text().isEmpty());
    EXPECT_TRUE(w.pager().lastSeek().isEmpty());
}

TEST_F(PickWindows, TheEmailOrderAndDeletedCustomers)
{
    settings().ByCust = false;
    const std::vector<long> recs = addCustomers(12);
    markDeleted(db().cust5, recs[5]);
    db().selected.customer = 0;
    TPickCust w;
    showActive(w);
    QTableWidget *g = w.grid();
    EXPECT_EQ(headings(g), QStringList({"EMail", "Last", "First", "RecNo"}));
    const int u = QFontMetrics(w.font()).horizontalAdvance(QLatin1Char('B'));
    EXPECT_EQ(g->columnWidth(0), 34 * u);
    // E-mail addresses run c88 ... c99: customer 12 comes first.
    EXPECT_EQ(cell(g, 0, 0), QStringLiteral("c88@example.com"));
    EXPECT_EQ(cell(g, 0, 1), name(12));
    // Customer 5 (c95) is the eighth; marked, its third column says so.
    EXPECT_EQ(cell(g, 7, 1), name(5));
    EXPECT_EQ(cell(g, 7, 2), QStringLiteral("< DELETED >"));
    w.reject();

    settings().ByCust = true;
    db().selected.customer = 0;
    showActive(w);
    EXPECT_EQ(headings(g), QStringList({"Last", "First", "Note", "RecNo"}));
    EXPECT_EQ(cell(g, 4, 0), name(5));
    EXPECT_EQ(cell(g, 4, 2), QStringLiteral("< DELETED >"));
    EXPECT_EQ(cell(g, 4, 3), QString::number(recs[5]));
}

TEST_F(PickWindows, TheSelectedCustomersGroupIsShown)
{
    auto &groups = db().groups;
    groups.open();
    addGroup(1, QStringLiteral("Retail"));
    addGroup(2, QStringLiteral("Wholesale"));
    db().cust5.open();
    addCustomer(QStringLiteral("Adams"), QStringLiteral("A"), 2);
    addCustomer(QStringLiteral("Baker"), QStringLiteral("B"), 1);
    addCustomer(QStringLiteral("Clark"), QStringLiteral("C"), 0);
    groups.useTag(tag::cGroup);
    db().selected.customer = 1;
    TPickCust w;
    showActive(w);
    auto *group = child<QLineEdit>(w, "Edit2");
    QTableWidget *g = w.grid();
    EXPECT_EQ(group->text(), QStringLiteral("Wholesale"));
    g->setFocus();
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(group->text(), QStringLiteral("Retail"));
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(group->text(), QString()) << "a customer without a group shows none";
    EXPECT_EQ(groups.selectedTag().toUpper(), QStringLiteral("CGROUP")) << "the group order is kept";

    // A click selects the row and brings the grid back to its first column.
    g->horizontalScrollBar()->setValue(g->horizontalScrollBar()->maximum());
    const QRect r = g->visualItemRect(g->item(0, 1));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    QApplication::processEvents();
    EXPECT_EQ(g->currentRow(), 0);
    EXPECT_EQ(g->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(group->text(), QStringLiteral("Wholesale"));
    // A double click chooses.
    const QPoint baker = g->visualItemRect(g->item(1, 0)).center();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, baker);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, baker);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(db().selected.customer, 2);
}

TEST_F(PickWindows, TheInvoiceListSeeksNumbersAndShowsTheCustomer)
{
    db().cust5.open();
    const long smith = addCustomer(QStringLiteral("Smith"), QStringLiteral("Anna"));
    db().cust5.go(smith);
    db().cust5.read();
    const int smithNo = db().cust5.buf.cuno;
    db().inv6.open();
    long last = 0;
    for (int n = 1; n <= 30; ++n)
        last = addInvoice(n, n == 12 ? smithNo : 999, QDate(2026, 1, n), QStringLiteral("Memo %1").arg(n));
    addInvoice(120, smithNo);
    addInvoice(1200, smithNo);
    db().selected.invoice = int(last);
    TPickInv w;
    showActive(w);
    QTableWidget *g = w.grid();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Select Invoice"));
    EXPECT_EQ(headings(g), QStringList({"Invoice", "Date", "Credit Card / Note", "RecNo"}));
    const int u = QFontMetrics(w.font()).horizontalAdvance(QLatin1Char('M'));
    EXPECT_EQ(g->columnWidth(2), 30 * u);
    // The last invoice of 32: the window at the end, invoice 30 selected.
    EXPECT_EQ(w.pager().window(), 22);
    EXPECT_EQ(cell(g, g->currentRow(), 0), QStringLiteral("    30"));
    EXPECT_EQ(cell(g, g->currentRow(), 1), QStringLiteral("1/30/2026"));
    EXPECT_EQ(cell(g, g->currentRow(), 2), QStringLiteral("Memo 30"));
    auto *customer = child<QLineEdit>(w, "Edit2");
    EXPECT_EQ(customer->text(), QString()) << "no customer 999";

    auto *seek = child<QLineEdit>(w, "MaskEdit1");
    QTest::keyClicks(seek, QStringLiteral("1x2"));
    EXPECT_EQ(seek->text(), QStringLiteral("12")) << "digits only";
    EXPECT_EQ(w.pager().lastSeek(), QStringLiteral("    12"));
    EXPECT_EQ(cell(g, g->currentRow(), 0), QStringLiteral("    12"));
    EXPECT_EQ(customer->text(), QStringLiteral("Anna Smith"));
    QTest::keyClicks(seek, QStringLiteral("0000"));
    EXPECT_EQ(seek->text(), QStringLiteral("120000"));
    // 120 and 1200 were found on the way; 12000 and 120000 lie beyond.
    EXPECT_EQ(cell(g, g->currentRow(), 0), QStringLiteral("  1200"));
    EXPECT_EQ(w.pager().lastSeek(), QStringLiteral("120000"));
    EXPECT_EQ(db().cust5.selectedTag().toUpper(), QStringLiteral("CNAME")) << "the customer order is kept";
}

TEST_F(PickWindows, ProductsAndPurchasesKeepTheSelectionWhenTheTargetIsNotShown)
{
    db().prod5.open();
    for (int i = 1; i <= 15; ++i)
        addProduct(QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0')), i * 1.5);
    db().selected.product = 1;
    TPickProd w;
    showActive(w);
    QTableWidget *g = w.grid();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PickProd"));
    EXPECT_EQ(headings(g), QStringList({"Product ID", "Description", "Price", "RecNo"}));
    EXPECT_EQ(cell(g, 0, 2), QStringLiteral("    1.50"));
    g->setFocus();
    g->setCurrentCell(6, 0);
    QTest::keyClick(g, Qt::Key_PageDown);
    EXPECT_EQ(w.pager().window(), 5);
    EXPECT_EQ(g->currentRow(), 6);
    EXPECT_EQ(cell(g, 6, 0), QStringLiteral("P12"));
    auto *seek = child<QLineEdit>(w, "Edit1");
    QTest::keyClicks(seek, QStringLiteral("p03"));
    EXPECT_EQ(cell(g, g->currentRow(), 0), QStringLiteral("P03"));
    w.reject();

    db().pur5.open();
    for (int i = 1; i <= 12; ++i)
        addPurchase(QStringLiteral("P%1").arg(i % 3), QDate(2025, 1, i), i, i * 10.0);
    markDeleted(db().pur5, 4);
    db().selected.purchase = 0;
    TPickPur p;
    showActive(p);
    QTableWidget *pg = p.grid();
    EXPECT_EQ(p.windowTitle(), QStringLiteral("PickPur"));
    EXPECT_EQ(headings(pg), QStringList({"Product ID", "Date", "Quantity", "Total Cost", "RecNo"}));
    auto *edit = child<QPushButton>(p, "BtnSelect");
    auto *add = child<QPushButton>(p, "BtnNew");
    EXPECT_EQ(edit->text(), QStringLiteral("Edit Selected"));
    EXPECT_EQ(edit->toolTip(), QStringLiteral("Edit Selected Purchase Record"));
    EXPECT_EQ(add->text(), QStringLiteral("Add New Purchase"));
    EXPECT_EQ(add->toolTip(), QStringLiteral("Add a New Purchase Record"));
    // Pur order: product then date; p0 purchases are records 3, 6, 9, 12.
    EXPECT_EQ(cell(pg, 0, 0), QStringLiteral("P0"));
    EXPECT_EQ(cell(pg, 0, 1), QStringLiteral("1/3/2025"));
    EXPECT_EQ(cell(pg, 0, 2), QStringLiteral("      3.00"));
    EXPECT_EQ(cell(pg, 0, 3), QStringLiteral("       30.00"));
    // Record 4 (P1, 1/4/2025), the sixth, is marked.
    EXPECT_EQ(cell(pg, 5, 4), QStringLiteral("4"));
    EXPECT_EQ(cell(pg, 5, 3), QStringLiteral("<DELETED>"));
}

TEST_F(PickWindows, SelectWithoutAGroupKeepsTheListOpen)
{
    auto &groups = db().groups;
    groups.open();
    addGroup(1, QStringLiteral("Wholesale"));
    const long retail = addGroup(2, QStringLiteral("Retail"));
    addGroup(3, QStringLiteral("Export"));
    db().selected.group = int(retail);
    TPickGroup w;
    showActive(w);
    QListWidget *list = w.list();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PickGroup"));
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Retail"));
    EXPECT_EQ(groups.selectedTag().toUpper(), QStringLiteral("CGROUP"));

    // A seek text after every name selects none: Select refuses.
    auto *seek = child<QLineEdit>(w, "Edit1");
    QTest::keyClicks(seek, QStringLiteral("zz"));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    m_ui.expect(Answer::Ok, QStringLiteral("Item Not Selected"));
    QTest::mouseClick(child<QPushButton>(w, "BtnSelect"), Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(m_ui.boxes().size(), 1);

    seek->clear();
    QTest::keyClicks(seek, QStringLiteral("w"));
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Wholesale"));
    QTest::mouseClick(child<QPushButton>(w, "BtnSelect"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(db().selected.group, 1);
    // The group order the caller had is back.
    EXPECT_EQ(groups.selectedTag().toUpper(), QStringLiteral("NGROUP"));

    // New and Cancel.
    showActive(w);
    QTest::mouseClick(child<QPushButton>(w, "BtnNew"), Qt::LeftButton);
    EXPECT_EQ(db().selected.group, 0);
    showActive(w);
    QTest::mouseClick(child<QPushButton>(w, "BtnCancel"), Qt::LeftButton);
    EXPECT_EQ(db().selected.group, -1);
    EXPECT_EQ(groups.selectedTag().toUpper(), QStringLiteral("NGROUP"));
}

TEST_F(PickWindows, TheLabelListSelectsByPlace)
{
    auto &labels = db().labels;
    labels.open();
    addLabel(QStringLiteral("Zeta"));
    const long alpha = addLabel(QStringLiteral("Alpha"));
    const long mid = addLabel(QStringLiteral("Mid"));
    db().selected.labelStock = int(mid);
    TPickLab w;
    showActive(w);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("PickLab"));
    EXPECT_EQ(w.list()->currentRow(), 1);
    EXPECT_EQ(db().selected.labelStock, -1);
    w.list()->setCurrentRow(0);
    QTest::mouseClick(child<QPushButton>(w, "BtnSelect"), Qt::LeftButton);
    EXPECT_EQ(db().selected.labelStock, alpha);
}

TEST_F(PickWindows, TheProductRunWithNewOnAnEmptyTable)
{
    ModalWatchdog watchdog;
    db().prod5.open();
    setNewRecordEditor(PickTable::Product, [] {
        EXPECT_EQ(db().selected.product, 0);
        db().selected.product = int(addProduct(QStringLiteral("FIRST"), 9.95));
    });
    bool sawEmptyList = false;
    onModal<TPickProd>([&](TPickProd *w) {
        sawEmptyList = w->grid()->rowCount() == 0 && !w->grid()->isEnabled() &&
                       !child<QPushButton>(*w, "BtnSelect")->isEnabled() &&
                       child<QPushButton>(*w, "BtnNew")->isEnabled();
        QTest::mouseClick(child<QPushButton>(*w, "BtnNew"), Qt::LeftButton);
    });
    bool created = false;
    EXPECT_TRUE(runPickProd(true, &created));
    EXPECT_TRUE(sawEmptyList);
    EXPECT_TRUE(created);
    EXPECT_EQ(db().selected.product, 1);

    // The list now holds the product and New may be refused.
    onModal<TPickProd>([&](TPickProd *w) {
        EXPECT_FALSE(child<QPushButton>(*w, "BtnNew")->isEnabled());
        EXPECT_EQ(cell(w->grid(), 0, 0), QStringLiteral("FIRST"));
        QTest::mouseClick(child<QPushButton>(*w, "BtnSelect"), Qt::LeftButton);
    });
    EXPECT_TRUE(runPickProd(false, &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(db().selected.product, 1);
    setNewRecordEditor(PickTable::Product, nullptr);

    // Other tables refuse when empty and New is not allowed.
    db().cust5.open();
    m_ui.expect(Answer::Ok, QStringLiteral("Customer Database is Empty"));
    EXPECT_FALSE(runPickCust(false));
    EXPECT_EQ(db().selected.customer, -1);
    db().groups.open();
    m_ui.expect(Answer::Ok, QStringLiteral("Group Database is Empty"));
    EXPECT_FALSE(runPickGroup(false));
}

// An index whose header is sound but whose pages are not: the list says so
// instead of showing itself short or empty without a word.
TEST_F(PickWindows, AnOrderWhoseIndexPagesCannotBeReadIsReported)
{
    addCustomers(200);
    db().cust5.close();
    QFile tag(QStringLiteral("cName.ntx"));
    ASSERT_TRUE(tag.open(QIODevice::ReadWrite));
    const qint64 pageSize = 1024;
    ASSERT_GT(tag.size(), 3 * pageSize);
    for (qint64 page = 1; page * pageSize < tag.size(); ++page) {
        tag.seek(page * pageSize);
        tag.write(QByteArray(pageSize, '\xff'));
    }
    tag.close();
    db().cust5.open();

    m_ui.expect(Answer::Ok,
                QStringLiteral("The list may be incomplete: its index file cName.ntx cannot be "
                               "read.\nAn index file is missing or damaged; Re-Index Data (or tlvtool "
                               "reindex) rebuilds the index files."));
    TPickCust w;
    showActive(w);
    EXPECT_TRUE(m_ui.allUsed());
    // Told once a showing, however often the list is filled again.
    QTest::keyClick(w.grid(), Qt::Key_PageDown);
    EXPECT_EQ(m_ui.boxes().size(), 1);
}
