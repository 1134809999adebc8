// Customer groups: numbering, saving, deleting with the move of the group's
// customers, the group window and the main window's "Customer Groups" loop.
#include "CustomerFixture.h"

#include "masterdata/GroupDefU.h"
#include "masterdata/Groups.h"
#include "picklists/PickGroupU.h"
#include "shell/MainU.h"
#include "support/Modal.h"

#include <QListWidget>

using namespace tlv;
using namespace tlv::test;

namespace {

class Groups : public CustomerDataTest
{
protected:
    static int saveNew(const QString &name)
    {
        int recNo = 0;
        EXPECT_EQ(saveGroup(recNo, GroupRecord{}, name), GroupSave::Saved);
        return recNo;
    }
    // The group numbers of the customers, in record order.
    static QList<int> customerGroups()
    {
        QList<int> out;
        auto &t = db().cust5;
        for (int r = 1; r <= t.recCount(); ++r)
            out << customerAt(r).ngroup;
        return out;
    }
    // The index of a name in the group list.
    static int rowOf(TPickGroup *p, const QString &name)
    {
        for (int i = 0; i < p->list()->count(); ++i)
            if (p->list()->item(i)->text().trimmed() == name)
                return i;
        return -1;
    }
};

// ---- Numbering and saving -----------------------------------------------------------------

TEST_F(Groups, NewGroupsTakeTheLowestFreeNumber)
{
    TableScope scope;
    openTables();
    EXPECT_EQ(nextGroupNumber(), 1);
    addGroup(1, "Retail");
    addGroup(2, "Trade");
    addGroup(4, "Clubs");
    db().groups.useTag(tag::cGroup);
    EXPECT_EQ(groupAt(saveNew("Schools")).nGroup, 3);
    EXPECT_EQ(groupAt(saveNew("Farms")).nGroup, 5);
    EXPECT_EQ(db().groups.selectedTag().toLower(), "cgroup");
    EXPECT_EQ(groupNumberText(5), " 5");
    EXPECT_EQ(groupNumberText(12), "12");
}

TEST_F(Groups, ADeletedAndPackedGroupFreesItsNumber)
{
    {
        TableScope scope(packList::groups);
        openTables();
        const int first = addGroup(1, "Retail");
        const int second = addGroup(2, "Trade");
        addGroup(3, "Clubs");
        EXPECT_EQ(deleteGroup(second, first), GroupDelete::Deleted);
        EXPECT_TRUE(db().packNeeded);
        // Until the pack the mark keeps the number taken.
        EXPECT_EQ(nextGroupNumber(), 4);
    }
    TableScope scope;
    openTables();
    EXPECT_EQ(db().groups.recCount(), 2);
    EXPECT_EQ(groupAt(saveNew("Farms")).nGroup, 2);
}

TEST_F(Groups, NinetyNineGroupsAreTheMostTheNumberHolds)
{
    TableScope scope;
    openTables();
    for (int n = 1; n <= 98; ++n)
        addGroup(n, QStringLiteral("G%1").arg(n));
    EXPECT_EQ(groupAt(saveNew("Last")).nGroup, 99);
    int recNo = 0;
    EXPECT_EQ(saveGroup(recNo, GroupRecord{}, "One too many"), GroupSave::NumbersUsedUp);
    EXPECT_EQ(recNo, 0);
    EXPECT_EQ(db().groups.recCount(), 99);
}

TEST_F(Groups, BlankNamesAreRefusedAndLeadingBlanksKept)
{
    TableScope scope;
    openTables();
    int recNo = 0;
    EXPECT_EQ(saveGroup(recNo, GroupRecord{}, "   "), GroupSave::BlankName);
    EXPECT_EQ(saveGroup(recNo, GroupRecord{}, ""), GroupSave::BlankName);
    EXPECT_EQ(db().groups.recCount(), 0);
    const int rec = saveNew("  Garden Clubs");
    EXPECT_EQ(groupAt(rec).cGroup, QString("  Garden Clubs").leftJustified(20));

    // Renaming keeps the number; a deleted mark is recalled.
    db().groups.go(rec);
    db().groups.markDeleted();
    recNo = rec;
    openGroup(recNo);
    EXPECT_EQ(saveGroup(recNo, db().groups.buf, "Clubs"), GroupSave::Saved);
    EXPECT_EQ(recNo, rec);
    EXPECT_EQ(db().groups.recCount(), 1);
    EXPECT_EQ(groupAt(rec).nGroup, 1);
    EXPECT_EQ(groupAt(rec).cGroup.trimmed(), "Clubs");
    db().groups.go(rec);
    EXPECT_FALSE(db().groups.isDeleted());
}

// ---- Deleting ----------------------------------------------------------------------------------

TEST_F(Groups, DeletingMovesExactlyTheGroupsCustomers)
{
    TableScope scope;
    openTables();
    const int retail = addGroup(1, "Retail");
    const int trade = addGroup(2, "Trade");
    const int clubs = addGroup(3, "Clubs");
    addCustomer(1, "A", 2);
    addCustomer(2, "B", 1);
    addCustomer(3, "C", 2);
    addCustomer(4, "D", 3);
    addCustomer(5, "E", 2);
    db().cust5.useTag(tag::cname);

    // The group itself as the receiver: nothing happens.
    EXPECT_EQ(deleteGroup(trade, trade), GroupDelete::SameGroup);
    EXPECT_EQ(customerGroups(), QList<int>({2, 1, 2, 3, 2}));
    db().groups.go(trade);
    EXPECT_FALSE(db().groups.isDeleted());
    EXPECT_FALSE(db().packNeeded);

    int moved = -1;
    EXPECT_EQ(deleteGroup(trade, clubs, &moved), GroupDelete::Deleted);
    EXPECT_EQ(moved, 3);
    EXPECT_EQ(customerGroups(), QList<int>({3, 1, 3, 3, 3}));
    db().groups.go(trade);
    EXPECT_TRUE(db().groups.isDeleted());
    EXPECT_TRUE(db().packNeeded);
    EXPECT_EQ(db().cust5.selectedTag().toLower(), "cname");

    // A group on its way out cannot take customers in.
    db().packNeeded = false;
    EXPECT_EQ(deleteGroup(retail, trade), GroupDelete::ReceiverDeleted);
    EXPECT_EQ(customerGroups(), QList<int>({3, 1, 3, 3, 3}));
    db().groups.go(retail);
    EXPECT_FALSE(db().groups.isDeleted());
    EXPECT_FALSE(db().packNeeded);
}

TEST_F(Groups, MovingOpensTheCustomerTableWhenItIsClosed)
{
    TableScope scope;
    db().cust5.open();
    addCustomer(1, "A", 5);
    addCustomer(2, "B", 6);
    db().cust5.close();
    EXPECT_EQ(moveCustomers(5, 6), 1);
    EXPECT_FALSE(db().cust5.isOpen());
    db().cust5.open();
    EXPECT_EQ(customerGroups(), QList<int>({6, 6}));
}

// ---- The group window ----------------------------------------------------------------------------

TEST_F(Groups, WindowSavesANewGroupAndRefusesABlankName)
{
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    db().selected.group = 0;
    TGroupDef w;
    showActive(w);
    EXPECT_EQ(w.windowTitle(), "Customer Group Definition");
    auto *number = child<QLineEdit>(w, "Edit1");
    auto *name = child<QLineEdit>(w, "Edit2");
    EXPECT_EQ(number->text(), " 0");
    EXPECT_TRUE(number->isReadOnly());
    EXPECT_EQ(number->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(name->maxLength(), 20);
    EXPECT_EQ(QApplication::focusWidget(), name);
    EXPECT_FALSE(child<QPushButton>(w, "BtnDelete")->isEnabled());

    QTest::keyClicks(name, "   ");
    m_ui.expect(Answer::Ok, "Can't Save Blank Name");
    click(&w, "BtnSave");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(db().groups.recCount(), 1);

    // Enter moves on instead of saving.
    QTest::keyClicks(name, "Trade");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_NE(QApplication::focusWidget(), name);
    EXPECT_TRUE(w.isVisible());
    click(&w, "BtnSave");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const int rec = db().selected.group;
    EXPECT_EQ(rec, 2);
    EXPECT_EQ(groupAt(rec).nGroup, 2);
    EXPECT_EQ(groupAt(rec).cGroup, QString("   Trade").leftJustified(20));
}

TEST_F(Groups, WindowShowsAStoredNameWithItsLeadingBlanks)
{
    TableScope scope;
    openTables();
    const int rec = addGroup(7, "  Clubs");
    db().selected.group = rec;
    TGroupDef w;
    showActive(w);
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), " 7");
    EXPECT_EQ(child<QLineEdit>(w, "Edit2")->text(), "  Clubs");
    EXPECT_TRUE(child<QPushButton>(w, "BtnDelete")->isEnabled());
    // The field has room to type on after the name.
    QTest::keyClick(child<QLineEdit>(w, "Edit2"), Qt::Key_End);
    QTest::keyClicks(child<QLineEdit>(w, "Edit2"), " East");
    click(&w, "BtnSave");
    EXPECT_EQ(groupAt(rec).cGroup.trimmed(), "Clubs East");
    EXPECT_EQ(groupAt(rec).nGroup, 7);
}

TEST_F(Groups, WindowDeleteAsksThenMovesTheCustomersToTheChosenGroup)
{
    ModalWatchdog watchdog;
    TableScope scope;
    openTables();
    addGroup(1, "Retail");
    const int trade = addGroup(2, " Trade");
    addGroup(3, "Clubs");
    addCustomer(1, "A", 2);
    addCustomer(2, "B", 1);
    addCustomer(3, "C", 2);

    db().selected.group = trade;
    TGroupDef w;
    showActive(w);

    // Cancel at the question: nothing happens.
    m_ui.expect(Answer::Cancel, "Move Customers in Trade to a selected group");
    click(&w, "BtnDelete");
    EXPECT_TRUE(w.isVisible());

    // The list abandoned: nothing happens.
    m_ui.expect(Answer::Ok, "Move Customers in Trade to a selected group");
    onModal<TPickGroup>([&](TPickGroup *p) {
        EXPECT_FALSE(p->findChild<QPushButton *>("BtnNew")->isEnabled());
        click(p, "BtnCancel");
    });
    click(&w, "BtnDelete");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(db().selected.group, trade);

    // The group itself chosen: nothing happens, the window stays.
    m_ui.expect(Answer::Ok);
    onModal<TPickGroup>([&](TPickGroup *p) {
        EXPECT_EQ(p->list()->currentRow(), rowOf(p, "Trade")); // the list opens on the group
        click(p, "BtnSelect");
    });
    click(&w, "BtnDelete");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(customerGroups(), QList<int>({2, 1, 2}));
    db().groups.go(trade);
    EXPECT_FALSE(db().groups.isDeleted());

    m_ui.expect(Answer::Ok);
    onModal<TPickGroup>([&](TPickGroup *p) {
        p->list()->setCurrentRow(rowOf(p, "Clubs"));
        click(p, "BtnSelect");
    });
    click(&w, "BtnDelete");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(db().selected.group, 0);
    EXPECT_EQ(customerGroups(), QList<int>({3, 1, 3}));
    db().groups.go(trade);
    EXPECT_TRUE(db().groups.isDeleted());
    EXPECT_TRUE(db().packNeeded);
    EXPECT_FALSE(watchdog.fired());
}

// ---- The "Customer Groups" command ---------------------------------------------------------------

TEST_F(Groups, CommandLoopDeletesAGroupAndPacksAtTheEnd)
{
    ModalWatchdog watchdog;
    {
        TableScope scope;
        openTables();
        addGroup(1, "Retail");
        addGroup(2, "Trade");
        addCustomer(1, "A", 2);
        addCustomer(2, "B", 1);
    }
    TMain main;
    auto *button = main.findChild<QPushButton *>("BitBtn14");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());

    int listsShown = 0;
    m_ui.expect(Answer::Ok, "Move Customers in Trade to a selected group");
    onModal<TPickGroup>([&](TPickGroup *p) {
        ++listsShown;
        EXPECT_EQ(p->list()->currentRow(), 0); // the first group by name
        p->list()->setCurrentRow(rowOf(p, "Trade"));
        onModal<TGroupDef>([&](TGroupDef *g) {
            // The receiving group's list.
            onModal<TPickGroup>([&](TPickGroup *r) {
                r->list()->setCurrentRow(rowOf(r, "Retail"));
                onModal<TPickGroup>([&](TPickGroup *again) {
                    ++listsShown;
                    EXPECT_TRUE(again->list()->item(rowOf(again, "Trade<DELETED>")) != nullptr);
                    click(again, "BtnCancel");
                });
                click(r, "BtnSelect");
            });
            click(g, "BtnDelete");
        });
        click(p, "BtnSelect");
    });
    button->click();
    EXPECT_EQ(listsShown, 2);
    EXPECT_FALSE(db().groups.isOpen());
    EXPECT_FALSE(db().packNeeded);

    TableScope scope;
    openTables();
    EXPECT_EQ(db().groups.recCount(), 1);
    EXPECT_EQ(groupAt(1).cGroup.trimmed(), "Retail");
    EXPECT_EQ(customerGroups(), QList<int>({1, 1}));
    EXPECT_FALSE(watchdog.fired());
}

} // namespace
