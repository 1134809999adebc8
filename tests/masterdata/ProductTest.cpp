// Products: IDs in capitals and unique, what a save writes and carries, what
// deleting takes with it, and the product window around them.
#include "MasterDataFixture.h"
#include "masterdata/ProdDefU.h"
#include "masterdata/Products.h"
#include "support/Recorders.h"
#include "widgets/MoneyEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace tlv;
using namespace tlv::test;

namespace {

class Products : public MasterDataTest
{
protected:
    void SetUp() override
    {
        MasterDataTest::SetUp();
        db().prod5.open();
    }

    // Saves through the window: opens it on the record, lets `edit` change
    // it, presses Save.
    void saveInWindow(int recNo, const std::function<void(TProdDef &)> &edit)
    {
        db().selected.product = recNo;
        TProdDef w;
        showActive(w);
        edit(w);
        QTest::mouseClick(child<QPushButton>(w, "BtnSave"), Qt::LeftButton);
    }

    static int purchasesMarked()
    {
        auto &t = db().pur5;
        int n = 0;
        for (int r = t.top(); r == 0; r = t.skip(1))
            n += t.isDeleted() ? 1 : 0;
        return n;
    }
};

TEST(ProductIds, CapitalsTrimmedAndWithinTheField)
{
    EXPECT_EQ(productIdOf("  abc12 "), "ABC12");
    EXPECT_EQ(productIdOf("seed-mix-standard"), "SEED-MIX-S");
    EXPECT_EQ(productIdKey("AB"), "AB        ");
    EXPECT_FALSE(productIdChanged("a1", "A1"));
    EXPECT_FALSE(productIdChanged(" A1", "a1        "));
    EXPECT_TRUE(productIdChanged("A1", "A10"));
    EXPECT_TRUE(productIdChanged("A1", ""));
}

TEST_F(Products, LowerCaseIdIsStoredInCapitalsAndResavedWithoutComplaint)
{
    saveInWindow(0, [](TProdDef &w) {
        QTest::keyClicks(w.findChild<QLineEdit *>("Edit1"), "abc12");
        QTest::keyClicks(w.findChild<QLineEdit *>("Edit2"), "Seed mix");
    });
    const int recNo = db().selected.product;
    ASSERT_GT(recNo, 0);
    EXPECT_EQ(productAt(recNo).PrID.trimmed(), "ABC12");
    // Found by its upper-case key.
    db().prod5.useTag(tag::Prod);
    EXPECT_EQ(db().prod5.seek("ABC12"), 0);

    saveInWindow(recNo, [](TProdDef &w) { w.findChild<QLineEdit *>("Edit2")->setText("Seed mix, 5 lb"); });
    EXPECT_TRUE(m_ui.boxes().isEmpty());
    EXPECT_EQ(productAt(recNo).PDesc.trimmed(), "Seed mix, 5 lb");
    EXPECT_EQ(db().prod5.recCount(), 1);
}

TEST_F(Products, RenamingOntoAnotherProductsIdIsRefused)
{
    const long a1 = addProduct("A1");
    addProduct("B2");
    m_ui.expect(Answer::Ok, "Duplicate Product ID's are not allowed");
    db().selected.product = int(a1);
    TProdDef w;
    showActive(w);
    auto *id = child<QLineEdit>(w, "Edit1");
    id->setText("b2");
    w.BtnSaveClick();
    EXPECT_TRUE(w.isVisible()) << "the window stays open";
    EXPECT_EQ(productAt(a1).PrID.trimmed(), "A1");
    // A new product may not take an ID either; one that only begins alike may.
    EXPECT_EQ(m_ui.boxes().last().kind, BoxKind::Information);
    long recNo = 0;
    ProductEntry e;
    e.id = "A";
    EXPECT_EQ(saveProduct(recNo, ProductRecord{}, e), ProductSave::Saved);
    recNo = 0;
    e.id = "a1";
    EXPECT_EQ(saveProduct(recNo, ProductRecord{}, e), ProductSave::DuplicateId);
    EXPECT_EQ(recNo, 0);
    EXPECT_EQ(db().prod5.recCount(), 3);
}

TEST_F(Products, ChangingOnlyTheCaseNeedsNoSearch)
{
    // An older table holds A1 twice; a search would find the other one.
    const long first = addProduct("A1");
    addProduct("A1");
    saveInWindow(int(first), [](TProdDef &w) { w.findChild<QLineEdit *>("Edit1")->setText("a1"); });
    EXPECT_TRUE(m_ui.boxes().isEmpty());
    EXPECT_EQ(productAt(first).PrID.trimmed(), "A1");
}

TEST_F(Products, IdStoredInLowerCaseByAnImportCanBeSavedUnchanged)
{
    const long r = addProduct("abc");
    addProduct("ABD");
    saveInWindow(int(r), [](TProdDef &) {});
    EXPECT_TRUE(m_ui.boxes().isEmpty()) << "its own record is no duplicate";
    EXPECT_EQ(productAt(r).PrID.trimmed(), "ABC");
}

TEST_F(Products, BlankIdIsRefused)
{
    m_ui.expect(Answer::Ok, "Blank Product ID not allowed");
    db().selected.product = 0;
    TProdDef w;
    showActive(w);
    child<QLineEdit>(w, "Edit1")->setText("   ");
    child<QLineEdit>(w, "Edit2")->setText("Something");
    w.BtnSaveClick();
    EXPECT_EQ(db().prod5.recCount(), 0);
    EXPECT_EQ(db().selected.product, -1) << "a new product is -1 until saved";
}

TEST_F(Products, SaveCarriesOnHandAndWritesTheRest)
{
    const long r = addProduct("TOOL", 12.5, 17.25);
    {
        auto &t = db().prod5;
        t.go(r);
        t.read();
        t.buf.lBuild = true;
        t.buf.REORDER = 4;
        t.write();
    }
    saveInWindow(int(r), [](TProdDef &w) {
        w.findChild<QLineEdit *>("Edit3")->setText("  second line  ");
        w.findChild<QLineEdit *>("Edit4")->setText(" LIC-9 ");
        w.findChild<QCheckBox *>("CheckBox1")->setChecked(true);
        w.findChild<QCheckBox *>("CheckBox3")->setChecked(true);
        w.findChild<QPlainTextEdit *>("Memo1")->setPlainText("  Keep dry.\nUse gloves.   \n\n");
        auto *price = w.findChild<MoneyEdit *>("MaskEdit1");
        price->setFocus();
        price->selectAll();
        QTest::keyClicks(price, "19.9");
    });
    const ProductRecord p = productAt(r);
    EXPECT_DOUBLE_EQ(p.ONHAND, 17.25);
    EXPECT_DOUBLE_EQ(p.REORDER, 4);
    EXPECT_DOUBLE_EQ(p.UPrice, 19.9);
    EXPECT_FALSE(p.lBuild);
    EXPECT_TRUE(p.LTax1);
    EXPECT_FALSE(p.LTax2);
    EXPECT_TRUE(p.lInven);
    EXPECT_TRUE(p.IComm.startsWith("second line"));
    EXPECT_TRUE(p.RCode.startsWith("LIC-9"));
    EXPECT_EQ(p.PMemo, "Keep dry.\nUse gloves.");
}

TEST_F(Products, NewProductStartsEmptyAndIsWrittenWithNothingOnHand)
{
    const long other = addProduct("OLD", 3, 9);
    productAt(other); // the buffer holds another product
    db().selected.product = 0;
    TProdDef w;
    showActive(w);
    EXPECT_EQ(w.windowTitle(), "Product Definition");
    EXPECT_FALSE(child<QPushButton>(w, "BtnDelete")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "");
    EXPECT_EQ(child<MoneyEdit>(w, "MaskEdit1")->text(), "    0.00");
    EXPECT_EQ(child<MoneyEdit>(w, "MaskEdit2")->text(), "     0.00");
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(w, "Edit1"));
    child<QLineEdit>(w, "Edit1")->setText("NEW");
    w.BtnSaveClick();
    const int recNo = db().selected.product;
    ASSERT_GT(recNo, 0);
    EXPECT_NE(recNo, other);
    const ProductRecord p = productAt(recNo);
    EXPECT_DOUBLE_EQ(p.ONHAND, 0);
    EXPECT_DOUBLE_EQ(p.REORDER, 0);
    EXPECT_DOUBLE_EQ(p.UPrice, 0);
}

TEST_F(Products, NegativePriceIsAcceptedAndShownRed)
{
    db().selected.product = 0;
    TProdDef w;
    showActive(w);
    child<QLineEdit>(w, "Edit1")->setText("REFUND");
    auto *price = child<MoneyEdit>(w, "MaskEdit1");
    price->setFocus();
    price->selectAll();
    QTest::keyClicks(price, "-5");
    QTest::keyClick(price, Qt::Key_Period);
    EXPECT_EQ(price->text(), "   -5.00");
    EXPECT_EQ(price->palette().color(QPalette::Text), QColor(255, 0, 0));
    w.BtnSaveClick();
    EXPECT_DOUBLE_EQ(productAt(db().selected.product).UPrice, -5.0);

    // Shown red again when opened.
    TProdDef again;
    showActive(again);
    EXPECT_EQ(child<MoneyEdit>(again, "MaskEdit1")->text(), "   -5.00");
    EXPECT_TRUE(child<MoneyEdit>(again, "MaskEdit1")->showsNegative());
}

TEST_F(Products, TabOrderFollowsTheForm)
{
    db().selected.product = addProduct("ORDER");
    TProdDef w;
    showActive(w);
    QStringList visited;
    QWidget *start = QApplication::focusWidget();
    ASSERT_EQ(start, child<QLineEdit>(w, "Edit1"));
    for (int i = 0; i < 14; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, QStringList({"Edit1", "Edit2", "MaskEdit1", "Edit3", "CheckBox1", "CheckBox2", "Edit4",
                                    "CheckBox3", "MaskEdit2", "Memo1", "BtnSave", "BtnDelete", "BtnCancel",
                                    "BtnHelp"}));
    // Enter in a data field moves on like Tab.
    child<QLineEdit>(w, "Edit2")->setFocus();
    QTest::keyClick(child<QLineEdit>(w, "Edit2"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), child<MoneyEdit>(w, "MaskEdit1"));
    EXPECT_TRUE(w.isVisible());
}

TEST_F(Products, DeletingMarksExactlyTheProductsOwnPurchases)
{
    const long ab = addProduct("AB");
    addProduct("ABC");
    db().pur5.open();
    const QDate d(2024, 3, 1);
    addPurchase("ABC", d.addDays(-5));
    addPurchase("AB", d);
    addPurchase("ABC", d);
    addPurchase("AB", d.addDays(3));
    addPurchase("AB", d.addDays(-40));
    addPurchase("ABD", d);
    addPurchase("A", d);
    db().pur5.close();

    db().selected.product = int(ab);
    {
        TProdDef w;
        showActive(w);
        EXPECT_TRUE(child<QPushButton>(w, "BtnDelete")->isEnabled());
        QTest::mouseClick(child<QPushButton>(w, "BtnDelete"), Qt::LeftButton);
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(db().packNeeded);
    EXPECT_FALSE(db().pur5.isOpen()) << "opened for the deletion and closed again";
    db().prod5.go(ab);
    EXPECT_TRUE(db().prod5.isDeleted());
    db().pur5.open();
    QStringList marked;
    for (int r = db().pur5.top(); r == 0; r = db().pur5.skip(1))
        if (db().pur5.isDeleted()) {
            db().pur5.read();
            marked << db().pur5.buf.PURProd.trimmed();
        }
    EXPECT_EQ(marked, QStringList({"AB", "AB", "AB"}));
    EXPECT_EQ(purchasesMarked(), 3);
}

TEST_F(Products, DeletingWithPurchasesOpenLeavesThemOpen)
{
    const long p = addProduct("SOIL");
    db().pur5.open();
    addPurchase("soil", QDate(2024, 1, 1)); // stored before IDs were capitalised
    addPurchase("SOILX", QDate(2024, 1, 1));
    EXPECT_EQ(deleteProduct(p), 1);
    EXPECT_TRUE(db().pur5.isOpen());
    EXPECT_EQ(purchasesMarked(), 1);
}

TEST_F(Products, HelpButtonOpensTheProductTopic)
{
    RecordingHelp help;
    db().selected.product = 0;
    TProdDef w;
    showActive(w);
    QTest::mouseClick(child<QPushButton>(w, "BtnHelp"), Qt::LeftButton);
    QTest::keyClick(child<QLineEdit>(w, "Edit1"), Qt::Key_F1);
    EXPECT_EQ(help.topics, QList<int>({430, 430}));
}

} // namespace
