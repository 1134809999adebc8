// The pick lists' core on real tables: locating records through the engine's
// tags, the rows each list shows, the invoice number seek, the run protocol
// with its refusals and the New hook, and the plain group and label lists.
#include "PickFixture.h"
#include "data/Helpers.h"
#include "picklists/PickList.h"

#include <QRandomGenerator>

using namespace tlv;
using namespace tlv::test;

namespace {

PickRow customerByName(long recNo, bool deleted)
{
    db().cust5.read();
    return customerRow(db().cust5.buf, recNo, deleted, true);
}

QString randomName(QRandomGenerator &gen, int length)
{
    QString s;
    for (int i = 0; i < length; ++i)
        s += QChar(char16_t(u'a' + gen.bounded(26)));
    s[0] = s[0].toUpper();
    return s;
}

} // namespace

using PickTables = PickTest;

TEST_F(PickTables, LocateFindsEveryRecordsPlaceInTheTagsOrder)
{
    auto &cust = db().cust5;
    cust.open();
    QRandomGenerator gen(4242);
    const int n = 700;
    for (int i = 0; i < n; ++i)
        addCustomer(randomName(gen, 3 + int(gen.bounded(8))), randomName(gen, 4), 0,
                    randomName(gen, 2) + QStringLiteral("@example.com"));
    // Marked records stay in the order until the table is packed.
    markDeleted(cust, 17);
    markDeleted(cust, 401);

    for (const char *order : {tag::cname, tag::cEMail}) {
        cust.useTag(order);
        const std::vector<long> recs = recordsInOrder(cust);
        ASSERT_EQ(long(recs.size()), n);
        TableSource source(cust, customerByName);
        PagedList list(source);
        for (long k = 0; k < n; k += (k < 20 || k > n - 20) ? 1 : 7) {
            ASSERT_TRUE(list.start(recs[size_t(k)]));
            ASSERT_EQ(list.window(), std::min(k, long(n - 10))) << order << " place " << k;
            const PagedList::Page page = list.fill();
            ASSERT_GE(page.targetRow, 0) << order << " place " << k;
            EXPECT_EQ(page.rows[size_t(page.targetRow)].recNo, recs[size_t(k)]);
        }
        // Every window of the order shows its own ten records.
        for (long w : {0L, 1L, 345L, 689L, 690L}) {
            list.moveTo(w);
            const PagedList::Page page = list.fill();
            ASSERT_EQ(page.rows.size(), 10u);
            for (size_t r = 0; r < 10; ++r)
                ASSERT_EQ(page.rows[r].recNo, recs[size_t(w) + r]) << order << " window " << w;
        }
    }
}

TEST_F(PickTables, RowsShowTheirColumnsAndMarkDeletedRecords)
{
    CustomerRecord c;
    c.last = QStringLiteral("Smith");
    c.first = QStringLiteral("Anna");
    c.note = QStringLiteral("Pays late");
    c.email = QStringLiteral("anna@example.com");
    EXPECT_EQ(customerRow(c, 7, false, true).cells, QStringList({"Smith", "Anna", "Pays late", "7"}));
    EXPECT_EQ(customerRow(c, 7, true, true).cells, QStringList({"Smith", "Anna", "< DELETED >", "7"}));
    EXPECT_EQ(customerRow(c, 7, false, false).cells, QStringList({"anna@example.com", "Smith", "Anna", "7"}));
    EXPECT_EQ(customerRow(c, 7, true, false).cells,
              QStringList({"anna@example.com", "Smith", "< DELETED >", "7"}));

    ProductRecord p;
    p.PrID = QStringLiteral("WIDGET");
    p.PDesc = QStringLiteral("Blue widget");
    p.UPrice = 1234.5;
    EXPECT_EQ(productRow(p, 3, false).cells, QStringList({"WIDGET", "Blue widget", " 1234.50", "3"}));
    EXPECT_EQ(productRow(p, 3, true).cells, QStringList({"WIDGET", "Blue widget", "<DELETED>", "3"}));

    InvoiceRecord i;
    i.IvNo = 42;
    i.IDate = QDate(2026, 2, 9);
    i.IMemo = QStringLiteral("Visa 4111");
    EXPECT_EQ(invoiceRow(i, 12, false).cells, QStringList({"    42", "2/9/2026", "Visa 4111", "12"}));
    EXPECT_EQ(invoiceRow(i, 12, true).cells, QStringList({"    42", "2/9/2026", "< DELETED >", "12"}));

    PurchaseRecord u;
    u.PURProd = QStringLiteral("WIDGET");
    u.PURDate = QDate(2025, 12, 31);
    u.PURQty = 12;
    u.PURCost = 99.999;
    EXPECT_EQ(purchaseRow(u, 5, false).cells,
              QStringList({"WIDGET", "12/31/2025", "     12.00", "      100.00", "5"}));
    EXPECT_EQ(purchaseRow(u, 5, true).cells,
              QStringList({"WIDGET", "12/31/2025", "     12.00", "<DELETED>", "5"}));

    // Prices follow the user's decimal separator.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(productRow(p, 3, false).cells[2], QStringLiteral(" 1234,50"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    // Each list's columns: widths in letters, the record number last.
    for (const GridLayout &l :
         {customerLayout(true), customerLayout(false), productLayout(), invoiceLayout(), purchaseLayout()}) {
        ASSERT_FALSE(l.columns.empty());
        EXPECT_STREQ(l.columns.back().caption, "RecNo");
        EXPECT_EQ(l.columns.back().units, 10);
        int visible = 0;
        for (size_t k = 0; k + 1 < l.columns.size(); ++k)
            visible += l.columns[k].units;
        // The grid shows every column but the record number.
        EXPECT_EQ(visible, l.gridUnits) << l.caption;
    }
}

TEST_F(PickTables, TheInvoiceSeekLooksUpTheNumberPaddedToSixCharacters)
{
    EXPECT_EQ(invoiceSeekText(QStringLiteral("12")), QStringLiteral("    12"));
    EXPECT_EQ(invoiceSeekText(QStringLiteral(" 7 ")), QStringLiteral("     7"));
    EXPECT_EQ(invoiceSeekText(QString()), QStringLiteral("      "));
    EXPECT_EQ(seekText(QStringLiteral("  smith jo ")), QStringLiteral("SMITH JO"));

    auto &inv = db().inv6;
    inv.open();
    // Numbers that begin with 12 but are not 12 come first in the file.
    for (int number : {1200, 120, 125})
        addInvoice(number);
    for (int number = 1; number <= 40; ++number)
        addInvoice(number);
    TableSource source(inv, [](long recNo, bool deleted) {
        db().inv6.read();
        return invoiceRow(db().inv6.buf, recNo, deleted);
    });
    PagedList list(source);
    list.start(0);
    list.fill();

    auto seekedNumber = [&](const QString &typed) {
        if (!list.seek(invoiceSeekText(typed)))
            return -1;
        const PagedList::Page page = list.fill();
        return page.targetRow < 0 ? 0 : page.rows[size_t(page.targetRow)].cells[0].trimmed().toInt();
    };
    EXPECT_EQ(seekedNumber(QStringLiteral("12")), 12);
    EXPECT_EQ(list.window(), 11);
    EXPECT_EQ(seekedNumber(QStringLiteral("120")), 120);
    EXPECT_EQ(seekedNumber(QStringLiteral("121")), 125) << "the next greater number";
    EXPECT_EQ(seekedNumber(QStringLiteral("1")), 1);
    EXPECT_EQ(list.window(), 0);
    const long before = list.window();
    EXPECT_EQ(seekedNumber(QStringLiteral("999999")), -1) << "beyond the last number";
    EXPECT_EQ(list.window(), before);
}

TEST_F(PickTables, AnEmptyTableIsRefusedWhenNothingMayBeCreated)
{
    db().cust5.open();
    db().groups.open();
    db().prod5.open();
    db().inv6.open();
    db().pur5.open();
    db().labels.open();
    for (PickTable t : {PickTable::Customer, PickTable::Group, PickTable::Product, PickTable::Invoice,
                        PickTable::Purchase, PickTable::LabelStock}) {
        m_ui.expect(Answer::Ok, emptyTableMessage(t));
        selectedRecord(t) = 3;
        bool shown = false;
        bool created = true;
        EXPECT_FALSE(runPickList(
            t, false, [&](bool) { shown = true; }, &created));
        EXPECT_FALSE(shown);
        EXPECT_FALSE(created);
        EXPECT_EQ(selectedRecord(t), -1);
    }
    EXPECT_EQ(m_ui.texts(), QStringList({"Customer Database is Empty", "Group Database is Empty",
                                         "Product Database is Empty", "Invoice Database is Empty",
                                         "Purchase Database is Empty", "Label Database is Empty"}));
    for (const ShownBox &b : m_ui.boxes())
        EXPECT_EQ(b.kind, BoxKind::Information);
}

TEST_F(PickTables, NewOpensTheEditorAndACreatedRecordIsReported)
{
    auto &prod = db().prod5;
    prod.open();
    int editorRuns = 0;
    int editorSaw = -99;
    // The editor saves a product and leaves its record number.
    setNewRecordEditor(PickTable::Product, [&] {
        ++editorRuns;
        editorSaw = db().selected.product;
        db().selected.product = int(addProduct(QStringLiteral("NEW")));
    });

    // Empty table, New allowed: the list is shown with 0 preset; it is left
    // at 0 as if New was pressed.
    db().selected.product = 5;
    bool allowedSeen = false;
    int presetSeen = -99;
    bool created = false;
    EXPECT_TRUE(runPickList(
        PickTable::Product, true,
        [&](bool allow) {
            allowedSeen = allow;
            presetSeen = db().selected.product;
        },
        &created));
    EXPECT_TRUE(allowedSeen);
    EXPECT_EQ(presetSeen, 0);
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(editorSaw, 0) << "the editor is asked for a new record";
    EXPECT_TRUE(created);
    EXPECT_EQ(db().selected.product, 1);
    EXPECT_EQ(prod.recCount(), 1);

    // A record chosen: the editor is not opened.
    created = true;
    EXPECT_TRUE(runPickList(
        PickTable::Product, true, [](bool) { db().selected.product = 1; }, &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(editorRuns, 1);

    // Cancelled: nothing chosen, nothing created.
    EXPECT_FALSE(runPickList(
        PickTable::Product, true, [](bool) { db().selected.product = -1; }, &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(editorRuns, 1);

    // An editor that saves nothing leaves 0 or -1: not created, not chosen.
    for (int left : {0, -1}) {
        setNewRecordEditor(PickTable::Product, [left] { db().selected.product = left; });
        EXPECT_FALSE(runPickList(
            PickTable::Product, true, [](bool) { db().selected.product = 0; }, &created));
        EXPECT_FALSE(created) << left;
    }

    // Without an editor New simply ends the run.
    setNewRecordEditor(PickTable::Product, nullptr);
    EXPECT_FALSE(hasNewRecordEditor(PickTable::Product));
    EXPECT_FALSE(runPickList(
        PickTable::Product, true, [](bool) { db().selected.product = 0; }, &created));
    EXPECT_FALSE(created);
}

TEST_F(PickTables, TheCustomerRunStartsFromTheNameOrder)
{
    auto &cust = db().cust5;
    cust.open();
    addCustomer(QStringLiteral("Able"));
    cust.useTag(tag::CCNO);
    QString orderSeen;
    runPickList(PickTable::Customer, false, [&](bool) { orderSeen = db().cust5.selectedTag(); });
    EXPECT_EQ(orderSeen.toUpper(), QStringLiteral("CNAME"));
}

TEST_F(PickTables, GroupAndLabelListsHoldEveryNameAndSeekByLeadingLetters)
{
    auto &groups = db().groups;
    groups.open();
    const long wholesale = addGroup(1, QStringLiteral("Wholesale"));
    const long retail = addGroup(2, QStringLiteral("retail"));
    const long gone = addGroup(3, QStringLiteral("Closed"));
    const long exportGroup = addGroup(4, QStringLiteral("Export"));
    markDeleted(groups, gone);
    groups.useTag(tag::cGroup);

    NameList names = loadGroupNames(retail);
    EXPECT_EQ(names.items, QStringList({"Closed<DELETED>", "Export", "retail", "Wholesale"}));
    EXPECT_EQ(names.upperNames, QStringList({"CLOSED", "EXPORT", "RETAIL", "WHOLESALE"}));
    EXPECT_EQ(names.selectIndex, 2);
    EXPECT_EQ(loadGroupNames(999).selectIndex, 0) << "an unknown record selects the first name";

    EXPECT_EQ(seekNameIndex(names.upperNames, QString()), 0);
    EXPECT_EQ(seekNameIndex(names.upperNames, QStringLiteral("E")), 1);
    EXPECT_EQ(seekNameIndex(names.upperNames, QStringLiteral("RETAIL")), 2);
    EXPECT_EQ(seekNameIndex(names.upperNames, QStringLiteral("RETAILER")), 3) << "longer than the name";
    EXPECT_EQ(seekNameIndex(names.upperNames, QStringLiteral("F")), 2) << "the next greater name";
    EXPECT_EQ(seekNameIndex(names.upperNames, QStringLiteral("X")), -1);

    EXPECT_EQ(recordAtIndex(groups, 0), gone);
    EXPECT_EQ(recordAtIndex(groups, 1), exportGroup);
    EXPECT_EQ(recordAtIndex(groups, 3), wholesale);
    EXPECT_EQ(recordAtIndex(groups, 4), 0);

    auto &labels = db().labels;
    labels.open();
    EXPECT_EQ(loadLabelNames(0).selectIndex, -1) << "nothing to select in an empty list";
    const long avery = addLabel(QStringLiteral("Avery 5160"));
    const long dymo = addLabel(QStringLiteral("Dymo 30252"));
    addLabel(QStringLiteral("Avery 5161"));
    markDeleted(labels, dymo);
    names = loadLabelNames(dymo);
    EXPECT_EQ(names.items, QStringList({"Avery 5160", "Avery 5161", "Dymo 30252<DELETED>"}));
    EXPECT_EQ(names.selectIndex, 2);
    EXPECT_EQ(recordAtIndex(labels, 0), avery);
}
