// The keyboard as a desktop user expects it: Enter presses the focused
// button, a destructive question does nothing on Enter alone, and a minus
// typed anywhere in an amount turns its sign.
#include "platform/qt/QtUi.h"
#include "support/WindowFixture.h"
#include "widgets/EnterAsTab.h"
#include "widgets/FormKitU.h"
#include "widgets/MoneyEdit.h"

#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

TEST(Keyboard, EnterPressesTheFocusedButtonNotTheDefaultOne)
{
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    auto *field = namedEdit("Edit1");
    QStringList pressed;
    QPushButton *save = namedButton("BtnSave", QStringLiteral("Save"));
    QPushButton *cancel = namedButton("BtnCancel", QStringLiteral("Cancel"));
    save->setDefault(true);
    QObject::connect(save, &QPushButton::clicked, [&] { pressed << "save"; });
    QObject::connect(cancel, &QPushButton::clicked, [&] { pressed << "cancel"; });
    layout->addWidget(field);
    layout->addLayout(buttonRow({save, cancel}));
    showActive(dialog);

    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return); // a field: on to the next control
    EXPECT_TRUE(save->hasFocus());
    EXPECT_TRUE(pressed.isEmpty());
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QTest::keyClick(cancel, Qt::Key_Enter, Qt::KeypadModifier);
    save->setFocus();
    QTest::keyClick(save, Qt::Key_Return);
    EXPECT_EQ(pressed, (QStringList{"cancel", "cancel", "save"}));
}

TEST(Keyboard, EnterAloneNeverConfirmsADestructiveQuestion)
{
    QtUi qtUi;
    for (const auto &[buttons, expected] :
         {std::pair{Buttons::OkCancel, Answer::Cancel}, std::pair{Buttons::YesNo, Answer::Yes}}) {
        QTimer::singleShot(50, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(qtUi.message(BoxKind::Confirmation, QStringLiteral("WARNING: erase?"), buttons), expected);
    }
}

TEST(Keyboard, AMinusAnywhereInAnAmountTurnsItsSign)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *amount = new MoneyEdit(7, 2);
    auto *percent = new MoneyEdit(2, 2);
    layout->addWidget(amount);
    layout->addWidget(percent);
    showActive(window);
    struct Case
    {
        MoneyEdit *field;
        const char *before;
        int cursor;
        const char *after;
    };
    const Case cases[] = {
        {amount, "      1.00", 0, "     -1.00"},  // at Home
        {amount, "     -1.00", 10, "      1.00"}, // again at the end: positive
        {amount, "1.00", 0, "-1.00"},             // a full field
        {amount, "1234567.00", 3, "1234567.00"},  // no room for a sign: refused
        {percent, "12.50", 0, "12.50"},
        {percent, " 2.50", 2, "-2.50"},
    };
    for (const Case &c : cases) {
        c.field->setText(QLatin1String(c.before));
        c.field->setFocus();
        c.field->deselect();
        c.field->setCursorPosition(c.cursor);
        QTest::keyClick(c.field, Qt::Key_Minus);
        EXPECT_EQ(c.field->text(), QLatin1String(c.after)) << c.before;
        EXPECT_EQ(c.field->showsNegative(), QString::fromLatin1(c.after).contains('-')) << c.before;
    }
    // Over a selected text a minus starts a new negative amount, as before.
    amount->setText(QStringLiteral("      5.00"));
    amount->selectAll();
    QTest::keyClick(amount, Qt::Key_Minus);
    EXPECT_EQ(amount->text(), "-");
}
