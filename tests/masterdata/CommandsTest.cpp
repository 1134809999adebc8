// The main window's product, purchase, tax, stationery and label stock
// commands: buttons enabled, the pick list and editing window taking turns
// until the list is cancelled, "New" in the pick lists, and the pack at the
// end of a command that deleted something.
#include "MasterDataFixture.h"
#include "data/TableScope.h"
#include "masterdata/LabelDefU.h"
#include "masterdata/ProdDefU.h"
#include "masterdata/PurDefU.h"
#include "masterdata/StationaryU.h"
#include "masterdata/TaxDefU.h"
#include "picklists/PickLabU.h"
#include "picklists/PickProdU.h"
#include "picklists/PickPurU.h"
#include "shell/MainU.h"
#include "support/Modal.h"
#include "widgets/MoneyEdit.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

using namespace tlv;
using namespace tlv::test;

namespace {

class Commands : public MasterDataTest
{
protected:
    void SetUp() override
    {
        MasterDataTest::SetUp();
        m_main = std::make_unique<TMain>();
        m_main->setStartUpOnShow(false);
    }
    void TearDown() override
    {
        m_main.reset();
        MasterDataTest::TearDown();
    }

    QPushButton *button(const char *name) { return m_main->findChild<QPushButton *>(QLatin1String(name)); }

    // Runs a command's button and waits for its modal windows to be done.
    void press(const char *name)
    {
        QPushButton *b = button(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
        EXPECT_FALSE(m_watchdog.fired());
    }

    static void pickGridRow(TPickGrid *list, int row)
    {
        list->grid()->setCurrentCell(row, 0);
        list->BtnSelectClick();
    }

    static QStringList idsIn(TableId id, const char *field)
    {
        Table &t = db().table(id);
        t.open();
        QStringList ids;
        for (int r = t.top(); r == 0; r = t.skip(1))
            ids << fieldio::readText(t.field(field)).trimmed();
        t.close();
        return ids;
    }

    std::unique_ptr<TMain> m_main;
    ModalWatchdog m_watchdog{15000};
};

TEST_F(Commands, TheFiveButtonsAreEnabled)
{
    for (const char *name : {"BitBtnProd", "BitBtnInven", "BtnSTax", "BtnStationary", "BtnLabForms"}) {
        ASSERT_NE(button(name), nullptr) << name;
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    }
}

TEST_F(Commands, TaxAndStationeryOpenTheirWindows)
{
    onModal<TTaxDef>([](TTaxDef *w) { w->findChild<QPushButton *>("BtnCancel")->click(); });
    press("BtnSTax");
    onModal<TStationary>([](TStationary *w) {
        w->findChild<QLineEdit *>("Edit2")->setText("Green Thumb Supply");
        w->findChild<QPushButton *>("BtnSave")->click();
    });
    press("BtnStationary");
    EXPECT_EQ(storedSettings().Company.trimmed(), "Green Thumb Supply");
}

TEST_F(Commands, DeletingAProductPacksItsPurchasesAway)
{
    {
        TableScope scope;
        db().prod5.open();
        db().pur5.open();
        addProduct("A1");
        addProduct("A10");
        for (int i = 0; i < 3; ++i)
            addPurchase("A1", QDate(2024, 1, 1 + i));
        addPurchase("A10", QDate(2024, 1, 2));
    }
    // List (A1 first) -> product window -> Delete -> list -> Cancel.
    onModal<TPickProd>([](TPickProd *list) {
        onModal<TProdDef>([](TProdDef *w) {
            EXPECT_EQ(w->findChild<QLineEdit *>("Edit1")->text(), "A1");
            onModal<TPickProd>([](TPickProd *again) {
                EXPECT_EQ(again->grid()->item(0, 2)->text(), "<DELETED>") << "listed until the pack";
                again->BtnCancelClick();
            });
            w->findChild<QPushButton *>("BtnDelete")->click();
        });
        pickGridRow(list, 0);
    });
    press("BitBtnProd");
    EXPECT_FALSE(db().packNeeded);
    EXPECT_FALSE(db().prod5.isOpen());
    EXPECT_EQ(idsIn(TableId::Prod5, fld::PrID), QStringList({"A10"}));
    EXPECT_EQ(idsIn(TableId::Pur5, fld::PURProd), QStringList({"A10"}));
}

TEST_F(Commands, NewProductLeadsBackToTheListSavedOrNot)
{
    // New -> cancelled -> the list again -> New -> saved -> the list on it -> Cancel.
    onModal<TPickProd>([](TPickProd *list) {
        onModal<TProdDef>([](TProdDef *w) {
            onModal<TPickProd>([](TPickProd *second) {
                onModal<TProdDef>([](TProdDef *w2) {
                    onModal<TPickProd>([](TPickProd *third) {
                        EXPECT_EQ(third->grid()->item(third->grid()->currentRow(), 0)->text(), "HOSE");
                        third->BtnCancelClick();
                    });
                    w2->findChild<QLineEdit *>("Edit1")->setText("hose");
                    w2->BtnSaveClick();
                });
                second->BtnNewClick();
            });
            w->BtnCancelClick();
        });
        list->BtnNewClick();
    });
    press("BitBtnProd");
    EXPECT_EQ(idsIn(TableId::Prod5, fld::PrID), QStringList({"HOSE"}));
}

TEST_F(Commands, PurchaseOfANewProductMadeThroughThePickList)
{
    {
        TableScope scope;
        db().prod5.open();
        addProduct("RAKE");
    }
    // Purchases: Add New -> purchase window -> Product -> product list ->
    // New -> product window (saved) -> back in the purchase window -> Save
    // -> purchase list -> Cancel.
    onModal<TPickPur>([](TPickPur *purchases) {
        onModal<TPurDef>([](TPurDef *w) {
            onModal<TPickProd>([](TPickProd *products) {
                onModal<TProdDef>([](TProdDef *p) {
                    p->findChild<QLineEdit *>("Edit1")->setText("trowel");
                    p->BtnSaveClick();
                });
                products->BtnNewClick();
            });
            w->BtnProductClick();
            EXPECT_EQ(w->findChild<QLineEdit *>("Edit1")->text(), "TROWEL");
            EXPECT_GT(w->chosenProduct(), 0);
            w->findChild<MoneyEdit *>("MaskEdit2")->setValue(3);
            w->findChild<MoneyEdit *>("MaskEdit3")->setValue(10);
            onModal<TPickPur>([](TPickPur *again) { again->BtnCancelClick(); });
            w->BtnSaveClick();
        });
        purchases->BtnNewClick();
    });
    press("BitBtnInven");
    EXPECT_EQ(idsIn(TableId::Pur5, fld::PURProd), QStringList({"TROWEL"}));
    db().prod5.open();
    db().prod5.useTag(tag::Prod);
    ASSERT_EQ(db().prod5.seek("TROWEL"), 0);
    db().prod5.read();
    EXPECT_TRUE(db().prod5.buf.lInven);
    db().prod5.close();
}

TEST_F(Commands, ChoosingAnExistingProductForAPurchase)
{
    {
        TableScope scope;
        db().prod5.open();
        db().pur5.open();
        addProduct("HOE");
        addProduct("SPADE");
        addPurchase("HOE", QDate(2024, 4, 1));
    }
    // The purchase list -> its one purchase -> Product -> SPADE -> Save; then
    // Delete it in a second round, which packs Pur5 at the end.
    onModal<TPickPur>([](TPickPur *purchases) {
        onModal<TPurDef>([](TPurDef *w) {
            onModal<TPickProd>([](TPickProd *products) { pickGridRow(products, 1); });
            w->BtnProductClick();
            EXPECT_EQ(w->findChild<QLineEdit *>("Edit1")->text(), "SPADE");
            onModal<TPickPur>([](TPickPur *again) {
                onModal<TPurDef>([](TPurDef *w2) {
                    EXPECT_EQ(w2->findChild<QLineEdit *>("Edit1")->text(), "SPADE");
                    onModal<TPickPur>([](TPickPur *last) { last->BtnCancelClick(); });
                    w2->BtnDeleteClick();
                });
                pickGridRow(again, 0);
            });
            w->BtnSaveClick();
        });
        pickGridRow(purchases, 0);
    });
    press("BitBtnInven");
    EXPECT_TRUE(idsIn(TableId::Pur5, fld::PURProd).isEmpty()) << "deleted and packed";
    EXPECT_FALSE(db().packNeeded);
    EXPECT_EQ(idsIn(TableId::Prod5, fld::PrID), QStringList({"HOE", "SPADE"}));
}

TEST_F(Commands, LabelFormsCreateAndEditStocks)
{
    // An empty LABELS: the list opens empty; New -> cancelled -> the list
    // again -> New -> saved -> the list with it -> select -> edit -> Cancel.
    onModal<TPickLab>([](TPickLab *list) {
        EXPECT_EQ(list->list()->count(), 0);
        onModal<TLabelDef>([](TLabelDef *w) {
            onModal<TPickLab>([](TPickLab *second) {
                onModal<TLabelDef>([](TLabelDef *w2) {
                    EXPECT_EQ(w2->findChild<QLineEdit *>("MaskEdit9")->text(), "1");
                    w2->findChild<QLineEdit *>("Edit1")->setText("Avery 5160");
                    w2->findChild<MoneyEdit *>("MaskEdit5")->setValue(189);
                    onModal<TPickLab>([](TPickLab *third) {
                        EXPECT_EQ(third->list()->count(), 1);
                        onModal<TLabelDef>([](TLabelDef *w3) {
                            EXPECT_EQ(w3->findChild<MoneyEdit *>("MaskEdit5")->text(), " 189.000");
                            onModal<TPickLab>([](TPickLab *last) { last->BtnCancelClick(); });
                            w3->BtnCancelClick();
                        });
                        third->list()->setCurrentRow(0);
                        third->BtnSelectClick();
                    });
                    w2->BtnSaveClick();
                });
                second->BtnNewClick();
            });
            w->BtnCancelClick();
        });
        list->BtnNewClick();
    });
    press("BtnLabForms");
    EXPECT_EQ(idsIn(TableId::LABELS, fld::Name), QStringList({"Avery 5160"}));
    EXPECT_FALSE(db().labels.isOpen());
}

} // namespace
