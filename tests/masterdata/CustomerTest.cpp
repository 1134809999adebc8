// Customers: numbering, what a save writes, deleting, and the customer
// window with its group choice, its refusals and the main window's loop.
#include "CustomerFixture.h"

#include "data/Helpers.h"
#include "invoicing/InvoiceU.h"
#include "masterdata/CustomerU.h"
#include "masterdata/Customers.h"
#include "masterdata/GroupDefU.h"
#include "picklists/PickCustU.h"
#include "picklists/PickGroupU.h"
#include "shell/MainU.h"
#include "support/Modal.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScreen>
#include <QTableWidget>

using namespace tlv;
using namespace tlv::test;

namespace {

class Customers : public CustomerDataTest
{
protected:
    // Saves a new customer through the save rules; returns its record.
    static int saveNew(const QString &last, int group = 1)
    {
        CustomerEntry e;
        e.last = last;
        int recNo = 0;
        EXPECT_EQ(saveCustomer(recNo, CustomerRecord{}, group, e), CustomerSave::Saved);
        return recNo;
    }
};

// ---- Numbering and saving ---------------------------------------------------------------

TEST_F(Customers, NewCustomersTakeTheLowestFreeNumberOnTheirFirstSave)
{
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    addCustomer(1, "Abbot");
    addCustomer(2, "Baker");
    addCustomer(4, "Carter");
    db().cust5.useTag(tag::cname);

    const int third = saveNew("Dunn");
    EXPECT_EQ(third, 4);
    EXPECT_EQ(customerAt(third).cuno, 3);
    EXPECT_EQ(customerAt(saveNew("Evans")).cuno, 5);
    EXPECT_EQ(db().cust5.recCount(), 5);
    // The name order the window's caller works in is kept.
    EXPECT_EQ(db().cust5.selectedTag().toLower(), "cname");

    // A save that is refused takes no number and writes nothing.
    int recNo = 0;
    EXPECT_EQ(saveCustomer(recNo, CustomerRecord{}, 0, CustomerEntry{}), CustomerSave::NoGroup);
    EXPECT_EQ(recNo, 0);
    EXPECT_EQ(db().cust5.recCount(), 5);
    EXPECT_EQ(customerAt(saveNew("Foster")).cuno, 6);
}

TEST_F(Customers, ADeletedCustomerKeepsItsNumberUntilThePack)
{
    int second = 0;
    {
        TableScope scope(packList::customers);
        openTables();
        addGroup(1, "Retail");
        addCustomer(1, "Abbot");
        second = addCustomer(2, "Baker");
        addCustomer(3, "Carter");
        db().packNeeded = false;
        deleteCustomer(second);
        EXPECT_TRUE(db().packNeeded);
        EXPECT_TRUE(customerDeleted(second));
        EXPECT_EQ(customerAt(saveNew("Dunn")).cuno, 4);
    } // the scope packs CUST5
    EXPECT_FALSE(db().packNeeded);

    TableScope scope;
    openTables();
    EXPECT_EQ(db().cust5.recCount(), 3);
    EXPECT_EQ(customerAt(saveNew("Evans")).cuno, 2);
    EXPECT_EQ(customerAt(saveNew("Foster")).cuno, 5);
}

TEST_F(Customers, TheNumberSearchInPiecesAgreesWithTheWholeWalk)
{
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    db().cust5.useTag(tag::cEMail);
    QRandomGenerator dice(20261208);
    // Numbers from the run, repeated ones, gaps, and the odd zero or negative
    // number of older data; customers added while a search is under way.
    const auto someNumber = [&] { return int(dice.bounded(-2, 70)); };
    for (int round = 0; round < 40; ++round) {
        for (int i = dice.bounded(1, 4); i > 0; --i)
            addCustomer(someNumber(), "Old");
        CustomerNumberSearch search;
        const long budget = dice.bounded(1, 6);
        while (!search.advance(budget))
            if (dice.bounded(4) == 0)
                addCustomer(someNumber(), "Meanwhile");
        const int found = search.result();
        EXPECT_EQ(found, nextCustomerNumber()) << "round " << round;
        EXPECT_EQ(db().cust5.selectedTag().toLower(), "cemail");

        // Saving with the search gives that number; the search then goes on
        // to the next one.
        int recNo = 0;
        ASSERT_EQ(saveCustomer(recNo, CustomerRecord{}, 1, CustomerEntry{}, &search), CustomerSave::Saved);
        EXPECT_EQ(customerAt(recNo).cuno, found);
        EXPECT_EQ(search.result(), nextCustomerNumber()) << "round " << round;
    }
}

TEST_F(Customers, TextsAreStoredAsTypedAndShownTrimmed)
{
    TableScope scope;
    openTables();
    addGroup(3, "Wholesale");
    CustomerEntry e;
    e.title = "Ms";
    e.first = "  Ann";
    e.last = "Lee  ";
    e.addr1 = " Lee & Co";
    e.addr4 = "Montpelier, VT";
    e.zip = "05602";
    e.email = "ann@lee.example";
    e.phone = "802-555-0101";
    e.fax = "802-555-0102";
    e.note = "net 30";
    e.comments = "Prefers mornings.\n  Call first.   \n  ";
    int recNo = 0;
    ASSERT_EQ(saveCustomer(recNo, CustomerRecord{}, 3, e), CustomerSave::Saved);
    const CustomerRecord r = customerAt(recNo);
    EXPECT_EQ(r.ngroup, 3);
    EXPECT_EQ(r.first, QString("  Ann").leftJustified(13));
    EXPECT_EQ(r.addr1, QString(" Lee & Co").leftJustified(34));
    EXPECT_EQ(r.comments, "Prefers mornings.\n  Call first.");
    // The buffer holds what was saved, for the invoice editor.
    EXPECT_EQ(db().cust5.buf.cuno, 1);
    EXPECT_EQ(db().cust5.buf.email.trimmed(), "ann@lee.example");

    const CustomerEntry shown = customerEntryOf(r);
    EXPECT_EQ(shown.first, "Ann");
    EXPECT_EQ(shown.last, "Lee");
    EXPECT_EQ(shown.addr1, "Lee & Co");
    EXPECT_EQ(shown.comments, "Prefers mornings.\n  Call first.");
    EXPECT_EQ(customerNumberText(0), "     0");
    EXPECT_EQ(customerNumberText(42), "    42");
}

TEST_F(Customers, SavingAnExistingCustomerRewritesItsRecordAndRecallsADeletedMark)
{
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    addGroup(2, "Trade");
    addCustomer(1, "Abbot");
    const int rec = addCustomer(2, "Baker");
    db().cust5.go(rec);
    db().cust5.markDeleted(); // deleted earlier in the same pick loop
    db().cust5.flush();

    int recNo = rec;
    openCustomer(recNo);
    const CustomerRecord loaded = db().cust5.buf;
    CustomerEntry e = customerEntryOf(loaded);
    e.first = "Beth";
    ASSERT_EQ(saveCustomer(recNo, loaded, 2, e), CustomerSave::Saved);
    EXPECT_EQ(recNo, rec);
    EXPECT_EQ(db().cust5.recCount(), 2);
    EXPECT_FALSE(customerDeleted(rec));
    const CustomerRecord r = customerAt(rec);
    EXPECT_EQ(r.cuno, 2);
    EXPECT_EQ(r.ngroup, 2);
    EXPECT_EQ(r.first.trimmed(), "Beth");
}

TEST_F(Customers, ARecordWithoutANumberIsNumberedInPlaceNotDuplicated)
{
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    addCustomer(1, "Abbot");
    addCustomer(2, "Baker");
    const int old = addCustomer(0, "Oldtimer");
    int recNo = old;
    openCustomer(recNo);
    const CustomerRecord loaded = db().cust5.buf;
    ASSERT_EQ(saveCustomer(recNo, loaded, 1, customerEntryOf(loaded)), CustomerSave::Saved);
    EXPECT_EQ(recNo, old);
    EXPECT_EQ(db().cust5.recCount(), 3);
    EXPECT_EQ(customerAt(old).cuno, 3);
}

TEST_F(Customers, OpeningFindsTheGroupOrForgetsAGroupThatIsGone)
{
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    addGroup(12, "  Garden Clubs");
    const int member = addCustomer(1, "Abbot", 12);
    const int orphan = addCustomer(2, "Baker", 7);
    db().groups.useTag(tag::cGroup);

    int recNo = member;
    EXPECT_EQ(openCustomer(recNo), "Garden Clubs");
    EXPECT_EQ(db().cust5.buf.ngroup, 12);
    recNo = orphan;
    EXPECT_EQ(openCustomer(recNo), "");
    EXPECT_EQ(db().cust5.buf.ngroup, 0);
    EXPECT_EQ(recNo, orphan);
    // The group order of whoever opened the tables stays.
    EXPECT_EQ(db().groups.selectedTag().toLower(), "cgroup");

    // The orphan cannot be saved until it has a group again; the record is
    // left as it was.
    const CustomerRecord loaded = db().cust5.buf;
    EXPECT_EQ(saveCustomer(recNo, loaded, loaded.ngroup, customerEntryOf(loaded)), CustomerSave::NoGroup);
    EXPECT_EQ(customerAt(orphan).ngroup, 7);

    // A new customer starts empty.
    recNo = 0;
    EXPECT_EQ(openCustomer(recNo), "");
    EXPECT_EQ(recNo, -1);
    EXPECT_EQ(db().cust5.buf.cuno, 0);
    EXPECT_EQ(db().cust5.buf.last, "");
}

// ---- The customer window --------------------------------------------------------------------

TEST_F(Customers, WindowShowsANewCustomerWithItsLayoutAndLimits)
{
    TableScope scope;
    openTables();
    db().selected.customer = 0;
    TCustomer w;
    showActive(w);
    EXPECT_EQ(w.windowTitle(), "Customer");
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "     0");
    EXPECT_FALSE(child<QLineEdit>(w, "Edit1")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "BtnDelete")->isEnabled());
    EXPECT_EQ(db().selected.customer, -1);
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(w, "Edit2"));

    const std::pair<const char *, int> limits[] = {
        {"Edit2", 3},  {"Edit3", 13}, {"Edit4", 20},  {"Edit5", 34},  {"Edit6", 34},  {"Edit7", 34},
        {"Edit8", 19}, {"Edit9", 10}, {"Edit10", 20}, {"Edit11", 20}, {"Edit12", 59}, {"Edit13", 34}};
    for (const auto &[name, length] : limits)
        EXPECT_EQ(child<QLineEdit>(w, name)->maxLength(), length) << name;
    EXPECT_EQ(child<QLineEdit>(w, "Edit14")->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(child<QLineEdit>(w, "Edit14")->isReadOnly());

    QStringList captions;
    for (QLabel *l : w.findChildren<QLabel *>()) {
        EXPECT_TRUE(l->font().bold()) << l->text().toStdString();
        captions << l->text();
    }
    for (const char *c : {"Customer No.", "Name", "Address", "Postal Code", "Phone", "Email", "Fax", "Note"})
        EXPECT_TRUE(captions.contains(c)) << c;
    EXPECT_EQ(child<QPushButton>(w, "BtnGroup")->text(), "Group");

    // Centred on the screen.
    const QPoint centre = w.screen()->availableGeometry().center();
    EXPECT_LE(std::abs(w.frameGeometry().center().x() - centre.x()), 2);
    EXPECT_LE(std::abs(w.frameGeometry().center().y() - centre.y()), 2);

    // Enter moves on from field to field instead of saving.
    QTest::keyClick(child<QLineEdit>(w, "Edit2"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(w, "Edit3"));
    QTest::keyClicks(child<QLineEdit>(w, "Edit3"), "Ann");
    QTest::keyClick(child<QLineEdit>(w, "Edit3"), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(w, "Edit4"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(db().cust5.recCount(), 0);
    w.reject();
}

TEST_F(Customers, WindowRefusesASaveWithoutGroupThenSavesWithTheGroupChosen)
{
    ModalWatchdog watchdog;
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    const int trade = addGroup(2, "Trade");
    addCustomer(1, "Abbot");

    db().selected.customer = 0;
    TCustomer w;
    showActive(w);
    QTest::keyClicks(child<QLineEdit>(w, "Edit4"), "Lee");
    QTest::keyClicks(child<QLineEdit>(w, "Edit12"), "ann@lee.example");
    m_ui.expect(Answer::Ok, "Please Select Customer Group");
    click(&w, "BtnSave");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(db().cust5.recCount(), 1);
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "     0");

    onModal<TPickGroup>([&](TPickGroup *p) {
        EXPECT_TRUE(p->findChild<QPushButton *>("BtnNew")->isEnabled());
        p->list()->setCurrentRow(1); // "Trade" (name order)
        click(p, "BtnSelect");
    });
    click(&w, "BtnGroup");
    EXPECT_EQ(child<QLineEdit>(w, "Edit14")->text(), "Trade");
    EXPECT_EQ(w.groupNumber(), 2);
    click(&w, "BtnSave");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const int recNo = db().selected.customer;
    ASSERT_EQ(recNo, 2);
    const CustomerRecord r = customerAt(recNo);
    EXPECT_EQ(r.cuno, 2);
    EXPECT_EQ(r.ngroup, 2);
    EXPECT_EQ(r.last.trimmed(), "Lee");
    EXPECT_EQ(r.email.trimmed(), "ann@lee.example");
    EXPECT_EQ(db().selected.group, trade);
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(Customers, WindowOnACustomerWhoseGroupIsGone)
{
    ModalWatchdog watchdog;
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    const int orphan = addCustomer(5, "Baker", 9);
    db().selected.customer = orphan;
    TCustomer w;
    showActive(w);
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "     5");
    EXPECT_EQ(child<QLineEdit>(w, "Edit4")->text(), "Baker");
    EXPECT_EQ(child<QLineEdit>(w, "Edit14")->text(), "");
    EXPECT_TRUE(child<QPushButton>(w, "BtnDelete")->isEnabled());

    m_ui.expect(Answer::Ok, "Please Select Customer Group");
    click(&w, "BtnSave");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(customerAt(orphan).ngroup, 9);

    // Cancelling the group list changes nothing.
    onModal<TPickGroup>([&](TPickGroup *p) { click(p, "BtnCancel"); });
    click(&w, "BtnGroup");
    EXPECT_EQ(w.groupNumber(), 0);

    onModal<TPickGroup>([&](TPickGroup *p) { click(p, "BtnSelect"); });
    click(&w, "BtnGroup");
    EXPECT_EQ(child<QLineEdit>(w, "Edit14")->text(), "Retail");
    click(&w, "BtnSave");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(db().selected.customer, orphan);
    EXPECT_EQ(customerAt(orphan).ngroup, 1);
    EXPECT_EQ(customerAt(orphan).cuno, 5);
    EXPECT_EQ(db().cust5.recCount(), 1);
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(Customers, AGroupCreatedThroughTheGroupListsNewIsTaken)
{
    ModalWatchdog watchdog;
    TableScope scope;
    openTables();
    db().selected.customer = 0;
    TCustomer w;
    showActive(w);
    QTest::keyClicks(child<QLineEdit>(w, "Edit4"), "Lee");

    // An empty group table is no error here: the list offers "New".
    onModal<TPickGroup>([&](TPickGroup *p) {
        EXPECT_EQ(p->list()->count(), 0);
        onModal<TGroupDef>([&](TGroupDef *g) {
            QTest::keyClicks(g->findChild<QLineEdit *>("Edit2"), "Walk-ins");
            click(g, "BtnSave");
        });
        click(p, "BtnNew");
    });
    click(&w, "BtnGroup");
    EXPECT_EQ(child<QLineEdit>(w, "Edit14")->text(), "Walk-ins");
    EXPECT_EQ(w.groupNumber(), 1);
    click(&w, "BtnSave");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(customerAt(db().selected.customer).ngroup, 1);
    EXPECT_EQ(db().groups.recCount(), 1);
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(Customers, NewInTheInvoiceEditorsCustomerListGivesTheInvoiceThatCustomer)
{
    ModalWatchdog watchdog;
    TableScope scope;
    openTables();
    for (Table *t : std::initializer_list<Table *>{&db().inv6, &db().itm5, &db().pmt, &db().prod5})
        t->open();
    addGroup(1, "Retail");
    addCustomer(1, "Abbot");
    installCustomerEditor();
    db().selected.invoice = 0;
    TInvoice w;
    showActive(w);
    onModal<TPickCust>([&](TPickCust *p) {
        onModal<TCustomer>([&](TCustomer *c) {
            EXPECT_EQ(c->findChild<QLineEdit *>("Edit1")->text(), "     0");
            c->findChild<QLineEdit *>("Edit4")->setText("Newman");
            onModal<TPickGroup>([&](TPickGroup *g) { click(g, "BtnSelect"); });
            click(c, "BtnGroup");
            click(c, "BtnSave");
        });
        click(p, "BtnNew");
    });
    click(&w, "BtnCust");
    EXPECT_EQ(db().inv6.buf.CuNo, 2);
    EXPECT_TRUE(child<QPlainTextEdit>(w, "Memo1")->toPlainText().contains("Newman"));
    EXPECT_EQ(db().cust5.recCount(), 2);
    w.reject();
    EXPECT_FALSE(watchdog.fired());
}

// ---- The "Customers" command -----------------------------------------------------------------

TEST_F(Customers, DeletingInTheCommandLoopPacksTheCustomerAndLeavesItsInvoices)
{
    ModalWatchdog watchdog;
    {
        TableScope scope;
        openTables();
        addGroup(1, "Retail");
        addCustomer(1, "Abbot");
        addCustomer(2, "Baker");
        addCustomer(3, "Carter");
        auto &inv = db().inv6;
        inv.open();
        ASSERT_TRUE(inv.appendBlank());
        inv.clear();
        inv.buf.IvNo = 1;
        inv.buf.CuNo = 2;
        inv.buf.Due = 12.5;
        inv.write();
        inv.flush();
    }
    TMain main;
    auto *button = main.findChild<QPushButton *>("BitBtnCust");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());

    int listsShown = 0;
    bool sawDeleted = false;
    // First list: Baker is chosen and deleted; the second list shows the mark
    // and is cancelled.
    onModal<TPickCust>([&](TPickCust *p) {
        ++listsShown;
        EXPECT_EQ(p->grid()->item(0, 0)->text().trimmed(), "Abbot"); // name order
        p->grid()->setCurrentCell(1, 0);
        onModal<TCustomer>([&](TCustomer *c) {
            EXPECT_EQ(c->findChild<QLineEdit *>("Edit4")->text(), "Baker");
            onModal<TPickCust>([&](TPickCust *p2) {
                ++listsShown;
                sawDeleted = p2->grid()->item(1, 2)->text() == "< DELETED >";
                click(p2, "BtnCancel");
            });
            click(c, "BtnDelete");
        });
        click(p, "BtnSelect");
    });
    button->click();
    EXPECT_EQ(listsShown, 2);
    EXPECT_TRUE(sawDeleted);
    EXPECT_FALSE(db().cust5.isOpen());
    EXPECT_FALSE(db().packNeeded);

    TableScope scope;
    openTables();
    EXPECT_EQ(db().cust5.recCount(), 2);
    db().cust5.useTag(tag::CCNO);
    EXPECT_NE(db().cust5.seek(paddedNumber(2, 6)), 0);
    auto &inv = db().inv6;
    inv.open();
    ASSERT_EQ(inv.recCount(), 1);
    inv.top();
    inv.read();
    EXPECT_EQ(inv.buf.CuNo, 2);
    EXPECT_EQ(inv.buf.Due, 12.5);
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(Customers, NewFromTheCommandLoopAddsACustomerAndReturnsToTheList)
{
    ModalWatchdog watchdog;
    {
        TableScope scope;
        openTables();
        addGroup(4, "Retail");
    }
    int listsShown = 0;
    // Empty table: the list opens with only New of use. The first New is
    // cancelled in the window, the second saves; then the list is cancelled.
    std::function<void(TPickCust *)> onList = [&](TPickCust *p) {
        ++listsShown;
        if (listsShown == 3) {
            EXPECT_EQ(p->grid()->item(0, 0)->text().trimmed(), "Lee");
            click(p, "BtnCancel");
            return;
        }
        onModal<TPickCust>(onList);
        onModal<TCustomer>([&](TCustomer *c) {
            if (listsShown == 1) {
                click(c, "BtnCancel");
                return;
            }
            c->findChild<QLineEdit *>("Edit4")->setText("Lee");
            onModal<TPickGroup>([&](TPickGroup *g) { click(g, "BtnSelect"); });
            click(c, "BtnGroup");
            click(c, "BtnSave");
        });
        click(p, "BtnNew");
    };
    onModal<TPickCust>(onList);
    runCustomerCommand(nullptr);
    EXPECT_EQ(listsShown, 3);

    TableScope scope;
    openTables();
    ASSERT_EQ(db().cust5.recCount(), 1);
    const CustomerRecord r = customerAt(1);
    EXPECT_EQ(r.cuno, 1);
    EXPECT_EQ(r.ngroup, 4);
    EXPECT_FALSE(watchdog.fired());
}

} // namespace
