// The label printing dialog: the stock it starts on, the starting column kept
// on the stock finally chosen, and the stock remembered only when it changed.
#include "data/Database.h"
#include "data/Settings.h"
#include "labels/LabPrintU.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

using namespace tlv;
using namespace tlv::test;

namespace {

class LabPrint : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        db().labels.open();
        // Appended out of name order: the list shows them by name.
        for (auto [name, across] : {std::pair{"Gamma", 4}, std::pair{"Alpha", 3}, std::pair{"Beta", 2}})
            appendRecord(db().labels, [&](LabelRecord &b) {
                b.Name = QLatin1String(name);
                b.NAcross = across;
            });
    }

    static QString storedLabID()
    {
        auto &t = db().tlv2;
        t.open();
        t.top();
        t.read();
        const QString id = t.buf.LabID.trimmed();
        t.close();
        return id;
    }
};

TEST_F(LabPrint, OpensOnTheRememberedStockOrTheFirst)
{
    for (auto [remembered, shown] :
         {std::pair{"Gamma", "Gamma"}, std::pair{"Beta", "Beta"}, std::pair{"Nobody", "Alpha"}}) {
        settings().LabID = QLatin1String(remembered);
        TLabPrint w;
        showActive(w);
        EXPECT_EQ(w.windowTitle(), "Print Labels");
        auto *list = child<QComboBox>(w, "ComboBox1");
        EXPECT_EQ(list->count(), 3);
        EXPECT_EQ(list->currentText(), QLatin1String(shown)) << remembered;
        EXPECT_EQ(child<QLineEdit>(w, "MaskEdit1")->text(), "1");
        EXPECT_EQ(child<QLineEdit>(w, "MaskEdit2")->text(), "1");
        EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(w, "MaskEdit1"));
    }
}

TEST_F(LabPrint, TheStartingColumnStaysOnTheStockChosen)
{
    settings().LabID = QStringLiteral("Alpha");
    TLabPrint w;
    showActive(w);
    auto *column = child<QLineEdit>(w, "MaskEdit1");
    auto *row = child<QLineEdit>(w, "MaskEdit2");
    column->selectAll();
    QTest::keyClicks(column, "7");
    QTest::keyClick(column, Qt::Key_Tab);
    EXPECT_EQ(column->text(), "3"); // Alpha is 3 across
    QToolButton *right = child<TUpDown>(w, "UpDown1")->forward();
    QTest::mouseClick(right, Qt::LeftButton);
    EXPECT_EQ(column->text(), "3");
    QTest::mouseClick(child<TUpDown>(w, "UpDown1")->back(), Qt::LeftButton);
    EXPECT_EQ(column->text(), "2");

    row->clear();
    QTest::keyClick(row, Qt::Key_Tab);
    EXPECT_EQ(row->text(), "1");
    QTest::mouseClick(child<TUpDown>(w, "UpDown2")->back(), Qt::LeftButton);
    EXPECT_EQ(row->text(), "1");
    QTest::mouseClick(child<TUpDown>(w, "UpDown2")->forward(), Qt::LeftButton);
    QTest::mouseClick(child<TUpDown>(w, "UpDown2")->forward(), Qt::LeftButton);
    EXPECT_EQ(row->text(), "3");

    // Choosing a 2-across stock after column 3 was typed keeps the column on it.
    column->setText("3");
    auto *list = child<QComboBox>(w, "ComboBox1");
    list->setCurrentIndex(list->findText("Beta"));
    emit list->activated(list->currentIndex());
    EXPECT_EQ(column->text(), "2");
    column->setText("3"); // typed without leaving the field
    click(&w, "BtnOK");
    EXPECT_FALSE(w.cancelled);
    EXPECT_EQ(w.startColumn(), 2);
    EXPECT_EQ(w.startRow(), 3);
    EXPECT_EQ(w.stock.Name.trimmed(), "Beta");
    EXPECT_EQ(settings().LabID, "Beta");
    EXPECT_EQ(storedLabID(), "Beta");
}

TEST_F(LabPrint, TheSameStockWritesNothingAndCancelKeepsEverything)
{
    // The file still holds no stock name: only a change would write one.
    settings().LabID = QStringLiteral("Alpha");
    {
        TLabPrint w;
        showActive(w);
        click(&w, "BtnOK");
        EXPECT_FALSE(w.cancelled);
        EXPECT_EQ(w.stock.Name.trimmed(), "Alpha");
    }
    EXPECT_EQ(storedLabID(), "");
    TLabPrint w;
    showActive(w);
    auto *list = child<QComboBox>(w, "ComboBox1");
    list->setCurrentIndex(list->findText("Gamma"));
    click(&w, "BtnCancel");
    EXPECT_TRUE(w.cancelled);
    EXPECT_EQ(storedLabID(), "");
    EXPECT_EQ(settings().LabID, "Alpha");
}

} // namespace
