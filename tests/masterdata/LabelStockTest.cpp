// Label stock: a new stock's defaults, the dimension format, the name check
// and what a save writes.
#include "masterdata/LabelStock.h"
#include "MasterDataFixture.h"
#include "masterdata/LabelDefU.h"
#include "widgets/MoneyEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace tlv;
using namespace tlv::test;

namespace {

class LabelStock : public MasterDataTest
{
protected:
    void SetUp() override
    {
        MasterDataTest::SetUp();
        db().labels.open();
    }

    static LabelRecord stockAt(long recNo)
    {
        db().labels.go(recNo);
        db().labels.read();
        return db().labels.buf;
    }
};

TEST(LabelsAcross, BlankCountsAsOne)
{
    EXPECT_EQ(labelsAcrossOf(""), 1);
    EXPECT_EQ(labelsAcrossOf(" "), 1);
    EXPECT_EQ(labelsAcrossOf("0"), 0);
    EXPECT_EQ(labelsAcrossOf("3"), 3);
}

TEST_F(LabelStock, NewStockOpensWithOneAcrossAndNothingElse)
{
    db().selected.labelStock = 0;
    TLabelDef w;
    showActive(w);
    EXPECT_EQ(w.windowTitle(), "Label Definition");
    EXPECT_EQ(child<QLineEdit>(w, "MaskEdit9")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "");
    EXPECT_FALSE(child<QCheckBox>(w, "CheckBox1")->isChecked());
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(child<MoneyEdit>(w, qPrintable(QString("MaskEdit%1").arg(i)))->text(), "   0.000") << i;
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(w, "Edit1"));
    EXPECT_EQ(w.findChild<QPushButton *>("BtnDelete"), nullptr);
    bool noteShown = false;
    for (QLabel *l : w.findChildren<QLabel *>())
        noteShown = noteShown || l->text() ==
                                     "Label Dimensions are defined in printer points where each printer "
                                     "point is 1/72 of an inch.";
    EXPECT_TRUE(noteShown);
}

TEST_F(LabelStock, DimensionsShownWithThreeDecimalsUncoloured)
{
    LabelRecord r = newLabelStock();
    r.Name = "Avery 5160";
    r.Width = 180;
    r.TopM = -2.5;
    r.NAcross = 3;
    long recNo = 0;
    ASSERT_EQ(saveLabelStock(recNo, r), LabelSave::Saved);
    db().selected.labelStock = int(recNo);
    TLabelDef w;
    showActive(w);
    EXPECT_EQ(child<MoneyEdit>(w, "MaskEdit5")->text(), " 180.000");
    auto *top = child<MoneyEdit>(w, "MaskEdit1");
    EXPECT_EQ(top->text(), "  -2.500");
    EXPECT_FALSE(top->showsNegative());
    EXPECT_EQ(child<QLineEdit>(w, "MaskEdit9")->text(), "3");
    // Typing reformats on the separator key.
    auto *gap = child<MoneyEdit>(w, "MaskEdit7");
    gap->setFocus();
    gap->selectAll();
    QTest::keyClicks(gap, "9");
    QTest::keyClick(gap, Qt::Key_Period);
    EXPECT_EQ(gap->text(), "   9.000");
}

TEST_F(LabelStock, EmptyNameIsRefused)
{
    m_ui.expect(Answer::Ok, "Please fill in label name.");
    db().selected.labelStock = 0;
    TLabelDef w;
    showActive(w);
    child<QLineEdit>(w, "Edit1")->setText("   ");
    QTest::mouseClick(child<QPushButton>(w, "BtnSave"), Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(db().labels.recCount(), 0);
    EXPECT_EQ(db().selected.labelStock, 0);
}

TEST_F(LabelStock, SaveWritesEveryFieldAndEditsInPlace)
{
    db().selected.labelStock = 0;
    {
        TLabelDef w;
        showActive(w);
        QTest::keyClicks(child<QLineEdit>(w, "Edit1"), "  Continuous 1-up  ");
        for (int i = 1; i <= 8; ++i)
            child<MoneyEdit>(w, qPrintable(QString("MaskEdit%1").arg(i)))->setValue(i * 10.125);
        auto *across = child<QLineEdit>(w, "MaskEdit9");
        across->setFocus();
        across->selectAll();
        QTest::keyClicks(across, "27"); // one digit only
        EXPECT_EQ(across->text(), "2");
        child<QCheckBox>(w, "CheckBox1")->setChecked(true);
        w.BtnSaveClick();
    }
    const int recNo = db().selected.labelStock;
    ASSERT_GT(recNo, 0);
    LabelRecord s = stockAt(recNo);
    EXPECT_EQ(s.Name.trimmed(), "Continuous 1-up");
    EXPECT_TRUE(s.Name.startsWith("Continuous"));
    EXPECT_DOUBLE_EQ(s.TopM, 10.125);
    EXPECT_DOUBLE_EQ(s.LeftM, 20.25);
    EXPECT_DOUBLE_EQ(s.VGap, 81.0);
    EXPECT_EQ(s.NAcross, 2);
    EXPECT_TRUE(s.Continuous);

    // Reopened and saved again: the same record, and a blank across is one.
    {
        TLabelDef w;
        showActive(w);
        auto *across = child<QLineEdit>(w, "MaskEdit9");
        across->clear();
        across->setFocus();
        QTest::keyClick(across, Qt::Key_Tab);
        EXPECT_EQ(across->text(), "1");
        across->clear();
        w.BtnSaveClick();
    }
    EXPECT_EQ(db().selected.labelStock, recNo);
    EXPECT_EQ(db().labels.recCount(), 1);
    EXPECT_EQ(stockAt(recNo).NAcross, 1);
}

TEST_F(LabelStock, TwoStocksMayShareAName)
{
    LabelRecord r = newLabelStock();
    r.Name = "Sheet";
    long a = 0, b = 0;
    EXPECT_EQ(saveLabelStock(a, r), LabelSave::Saved);
    EXPECT_EQ(saveLabelStock(b, r), LabelSave::Saved);
    EXPECT_NE(a, b);
    EXPECT_EQ(db().labels.recCount(), 2);
}

} // namespace
