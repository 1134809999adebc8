// Inventory purchases: a new purchase's defaults, what a save writes, the
// inventory mark it leaves on the product chosen, and deleting.
#include "MasterDataFixture.h"
#include "masterdata/PurDefU.h"
#include "masterdata/Purchases.h"
#include "platform/Clock.h"
#include "widgets/DateEdit.h"
#include "widgets/MoneyEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

using namespace tlv;
using namespace tlv::test;

namespace {

class Purchases : public MasterDataTest
{
protected:
    void SetUp() override
    {
        MasterDataTest::SetUp();
        setClock(&m_clock);
        db().prod5.open();
        db().pur5.open();
    }
    void TearDown() override
    {
        setClock(nullptr);
        MasterDataTest::TearDown();
    }

    static PurchaseRecord purchaseAt(long recNo)
    {
        db().pur5.go(recNo);
        db().pur5.read();
        return db().pur5.buf;
    }

    FixedClock m_clock{QDate(2024, 6, 11)};
};

TEST_F(Purchases, NewPurchaseIsDatedTodayWithNothingBought)
{
    const PurchaseRecord r = newPurchase();
    EXPECT_EQ(r.PURDate, QDate(2024, 6, 11));
    EXPECT_EQ(r.PURProd, "");
    EXPECT_DOUBLE_EQ(r.PURQty, 0);
    EXPECT_DOUBLE_EQ(r.PURCost, 0);

    db().selected.purchase = 0;
    TPurDef w;
    showActive(w);
    EXPECT_EQ(w.windowTitle(), "Inventory Purchase Definition");
    EXPECT_EQ(child<DateEdit>(w, "DateTimePicker1")->date(), QDate(2024, 6, 11));
    EXPECT_EQ(child<DateEdit>(w, "DateTimePicker1")->text(), "6/11/2024");
    EXPECT_EQ(child<MoneyEdit>(w, "MaskEdit2")->text(), "      0.00");
    EXPECT_EQ(child<MoneyEdit>(w, "MaskEdit3")->text(), "        0.00");
    EXPECT_FALSE(child<QPushButton>(w, "BtnDelete")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(w, "BtnProduct"));
    auto *id = child<QLineEdit>(w, "Edit1");
    EXPECT_TRUE(id->isReadOnly());
    EXPECT_EQ(id->focusPolicy(), Qt::NoFocus);
}

TEST_F(Purchases, SaveWithoutAProductIsRefused)
{
    m_ui.expect(Answer::Ok, "Product Selection Required.");
    db().selected.purchase = 0;
    TPurDef w;
    showActive(w);
    QTest::mouseClick(child<QPushButton>(w, "BtnSave"), Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(db().pur5.recCount(), 0);
}

TEST_F(Purchases, SavingMarksTheChosenProductAsStock)
{
    const long p = addProduct("MULCH", 4.5, 2);
    ASSERT_FALSE(productAt(p).lInven);
    long recNo = 0;
    PurchaseEntry e{"mulch ", QDate(2024, 5, 2), 3, 10};
    ASSERT_EQ(savePurchase(recNo, newPurchase(), e, p), PurchaseSave::Saved);
    ASSERT_GT(recNo, 0);
    const PurchaseRecord r = purchaseAt(recNo);
    EXPECT_EQ(r.PURProd.trimmed(), "MULCH");
    EXPECT_EQ(r.PURDate, QDate(2024, 5, 2));
    EXPECT_DOUBLE_EQ(r.PURQty, 3);
    EXPECT_DOUBLE_EQ(r.PURCost, 10); // the whole cost, not a unit cost
    const ProductRecord prod = productAt(p);
    EXPECT_TRUE(prod.lInven);
    // Nothing else of the product changes.
    EXPECT_DOUBLE_EQ(prod.UPrice, 4.5);
    EXPECT_DOUBLE_EQ(prod.ONHAND, 2);
    EXPECT_EQ(prod.PDesc.trimmed(), "Product MULCH");
}

TEST_F(Purchases, ResavingWithoutChoosingLeavesTheProductAlone)
{
    const long p = addProduct("PEAT");
    const long r = addPurchase("PEAT", QDate(2024, 1, 5), 2, 7);
    {
        auto &t = db().pur5;
        t.go(r);
        t.read();
        t.buf.PURNo = 42;
        t.write();
    }
    db().selected.purchase = int(r);
    TPurDef w;
    showActive(w);
    EXPECT_TRUE(child<QPushButton>(w, "BtnDelete")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "PEAT");
    EXPECT_EQ(child<DateEdit>(w, "DateTimePicker1")->date(), QDate(2024, 1, 5));
    child<MoneyEdit>(w, "MaskEdit2")->setValue(5);
    w.BtnSaveClick();
    EXPECT_EQ(w.chosenProduct(), 0);
    EXPECT_FALSE(productAt(p).lInven);
    const PurchaseRecord saved = purchaseAt(r);
    EXPECT_DOUBLE_EQ(saved.PURQty, 5);
    EXPECT_DOUBLE_EQ(saved.PURCost, 7);
    EXPECT_EQ(saved.PURNo, 42);
    EXPECT_EQ(db().pur5.recCount(), 1);
}

TEST_F(Purchases, DateTypedIsStoredAsTheBareDate)
{
    addProduct("SEED");
    db().selected.purchase = int(addPurchase("SEED", QDate(2024, 2, 1)));
    TPurDef w;
    showActive(w);
    auto *date = child<DateEdit>(w, "DateTimePicker1");
    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, "3/15/24");
    QTest::keyClick(date, Qt::Key_Return); // Enter moves on and takes the date
    EXPECT_EQ(QApplication::focusWidget(), child<MoneyEdit>(w, "MaskEdit2"));
    w.BtnSaveClick();
    db().pur5.go(db().selected.purchase);
    EXPECT_STREQ(f4str(db().pur5.field(fld::PURDate)), "20240315");
}

TEST_F(Purchases, DeletingMarksOnlyThePurchase)
{
    const long p = addProduct("LIME");
    const long r = addPurchase("LIME", QDate(2024, 1, 5));
    db().selected.purchase = int(r);
    TPurDef w;
    showActive(w);
    QTest::mouseClick(child<QPushButton>(w, "BtnDelete"), Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(db().packNeeded);
    db().pur5.go(r);
    EXPECT_TRUE(db().pur5.isDeleted());
    db().prod5.go(p);
    EXPECT_FALSE(db().prod5.isDeleted());
}

} // namespace
