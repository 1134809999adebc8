// The tax window: rates and labels as shown and stored, the two radio groups
// stored as position + 1, and the whole settings record rewritten.
#include "MasterDataFixture.h"
#include "masterdata/ProdDefU.h"
#include "masterdata/TaxDefU.h"
#include "masterdata/TaxSettings.h"
#include "widgets/MoneyEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace tlv;
using namespace tlv::test;

namespace {

class TaxDef : public MasterDataTest
{
};

// Radio buttons take clicks on their circle and caption only.
void clickRadio(QRadioButton *b)
{
    ASSERT_NE(b, nullptr);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

TEST(TaxChoices, CodesArePositionPlusOneAndZeroForNone)
{
    EXPECT_EQ(choiceIndexOfCode(1, 3), 0);
    EXPECT_EQ(choiceIndexOfCode(3, 3), 2);
    EXPECT_EQ(choiceIndexOfCode(0, 3), -1);
    EXPECT_EQ(choiceIndexOfCode(4, 3), -1);
    EXPECT_EQ(choiceIndexOfCode(-1, 3), -1);
    EXPECT_EQ(codeOfChoiceIndex(-1), 0);
    EXPECT_EQ(codeOfChoiceIndex(2), 3);
}

TEST_F(TaxDef, RatesAreShownFiveWideAndLabelsTrimmed)
{
    settings().TaxRate1 = 7.25;
    settings().TaxRate2 = 0;
    settings().ShipLine = QStringLiteral("  VAT   ");
    TTaxDef w;
    showActive(w);
    EXPECT_EQ(w.windowTitle(), "Tax Definition");
    EXPECT_EQ(child<MoneyEdit>(w, "MaskEdit1")->text(), " 7.25");
    EXPECT_EQ(child<MoneyEdit>(w, "MaskEdit2")->text(), " 0.00");
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "VAT");
    EXPECT_EQ(child<QLineEdit>(w, "Edit2")->text(), "Sales Tax");
}

TEST_F(TaxDef, CodesZeroOpenWithNothingChosenAndSaveZero)
{
    settings().ShipTax = 0;
    settings().TaxRound = 0;
    settings().Company = QStringLiteral("Green Thumb Supply");
    TTaxDef w;
    showActive(w);
    EXPECT_EQ(w.shipTaxIndex(), -1);
    EXPECT_EQ(w.taxRoundIndex(), -1);
    QTest::mouseClick(child<QPushButton>(w, "BtnSave"), Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const SettingsRecord s = storedSettings();
    EXPECT_EQ(s.ShipTax, 0);
    EXPECT_EQ(s.TaxRound, 0);
    // The whole record is rewritten, the company details with it.
    EXPECT_EQ(s.Company.trimmed(), "Green Thumb Supply");
}

TEST_F(TaxDef, ChoicesAndTypedValuesAreStoredAndReopened)
{
    {
        TTaxDef w;
        showActive(w);
        EXPECT_EQ(w.shipTaxIndex(), 0);  // a new business: "No"
        EXPECT_EQ(w.taxRoundIndex(), 0); // "Normal"
        auto *label1 = child<QLineEdit>(w, "Edit1");
        label1->selectAll();
        QTest::keyClicks(label1, "  State Tax ");
        auto *rate1 = child<MoneyEdit>(w, "MaskEdit1");
        rate1->setFocus();
        rate1->selectAll();
        QTest::keyClicks(rate1, "8.5");
        clickRadio(child<QRadioButton>(w, "RadioGroup1Item2")); // When Tax on Items
        clickRadio(child<QRadioButton>(w, "RadioGroup2Item1")); // Up
        QTest::mouseClick(child<QPushButton>(w, "BtnSave"), Qt::LeftButton);
    }
    const SettingsRecord s = storedSettings();
    EXPECT_EQ(s.ShipLine.trimmed(), "State Tax");
    EXPECT_EQ(settings().ShipLine, "State Tax");
    EXPECT_DOUBLE_EQ(s.TaxRate1, 8.5);
    EXPECT_EQ(s.ShipTax, 3);
    EXPECT_EQ(s.TaxRound, 2);

    TTaxDef again;
    showActive(again);
    EXPECT_EQ(again.shipTaxIndex(), 2);
    EXPECT_EQ(again.taxRoundIndex(), 1);
    EXPECT_EQ(child<MoneyEdit>(again, "MaskEdit1")->text(), " 8.50");
}

TEST_F(TaxDef, CancelChangesNothing)
{
    TTaxDef w;
    showActive(w);
    child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("Changed"));
    clickRadio(child<QRadioButton>(w, "RadioGroup2Item2"));
    QTest::mouseClick(child<QPushButton>(w, "BtnCancel"), Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(settings().TaxLine.trimmed(), "Sales Tax");
    EXPECT_EQ(storedSettings().TaxRound, 1);
}

TEST_F(TaxDef, RenamedTaxCaptionsTheProductWindowNextTime)
{
    db().prod5.open();
    db().selected.product = 0;
    {
        TProdDef before;
        showActive(before);
        EXPECT_EQ(child<QCheckBox>(before, "CheckBox1")->text(), "Shipping");
        before.reject();
    }
    {
        TTaxDef w;
        showActive(w);
        child<QLineEdit>(w, "Edit1")->setText(QStringLiteral("GST"));
        child<QLineEdit>(w, "Edit2")->setText(QStringLiteral(" PST "));
        w.BtnSaveClick();
    }
    db().selected.product = 0;
    TProdDef after;
    showActive(after);
    EXPECT_EQ(child<QCheckBox>(after, "CheckBox1")->text(), "GST");
    EXPECT_EQ(child<QCheckBox>(after, "CheckBox2")->text(), "PST");
}

} // namespace
