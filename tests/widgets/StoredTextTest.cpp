// Text fields that are stored in the tables refuse characters the tables
// cannot hold, typed or pasted, and keep what they had.
#include "widgets/StoredText.h"
#include "invoicing/InvoiceU.h"
#include "invoicing/ItemDefU.h"
#include "masterdata/CustomerU.h"
#include "masterdata/GroupDefU.h"
#include "masterdata/LabelDefU.h"
#include "masterdata/ProdDefU.h"
#include "masterdata/PurDefU.h"
#include "masterdata/StationaryU.h"
#include "masterdata/TaxDefU.h"
#include "support/WindowFixture.h"
#include "widgets/DateEdit.h"
#include "widgets/MoneyEdit.h"

#include <QAbstractSpinBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace tlv;
using namespace tlv::test;

namespace {

// Types text as a keyboard with those characters would, one key event each.
void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

} // namespace

TEST(StoredText, CharactersTheTablesCannotHoldAreRefusedAsTypedOrPasted)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *name = new QLineEdit;
    auto *note = new QPlainTextEdit;
    auto *amount = new MoneyEdit(7, 2);
    layout->addWidget(name);
    layout->addWidget(note);
    layout->addWidget(amount);
    guardStoredText(&window);
    showActive(window);
    amount->clear();
    QTest::keyClicks(amount, "1x2");
    EXPECT_EQ(amount->text().trimmed(), "12"); // a number field keeps its own rules

    name->setFocus();
    typeText(name, QStringLiteral("Café €5 中文 ok"));
    EXPECT_EQ(name->text(), QStringLiteral("Café €5  ok"));
    QApplication::clipboard()->setText(QStringLiteral("李"));
    name->paste();
    EXPECT_EQ(name->text(), QStringLiteral("Café €5  ok"));
    QApplication::clipboard()->setText(QStringLiteral("Ærø"));
    name->paste();
    EXPECT_EQ(name->text(), QStringLiteral("Café €5  okÆrø"));

    note->setFocus();
    typeText(note, QStringLiteral("line"));
    note->insertPlainText(QStringLiteral(" 😀"));
    EXPECT_EQ(note->toPlainText(), QStringLiteral("line"));
    note->insertPlainText(QStringLiteral(" two"));
    EXPECT_EQ(note->toPlainText(), QStringLiteral("line two"));
}

TEST(StoredText, EveryTextFieldOfTheEditingWindowsIsGuarded)
{
    const std::vector<std::function<QWidget *()>> windows = {
        [] { return new TCustomer; }, [] { return new TGroupDef; }, [] { return new TProdDef; },
        [] { return new TPurDef; },   [] { return new TLabelDef; }, [] { return new TStationary; },
        [] { return new TTaxDef; },   [] { return new TInvoice; },  [] { return new TItemDef; },
    };
    for (const auto &make : windows) {
        std::unique_ptr<QWidget> w(make());
        int fields = 0;
        for (QLineEdit *e : w->findChildren<QLineEdit *>()) {
            if (qobject_cast<DateEdit *>(e) || qobject_cast<QAbstractSpinBox *>(e->parentWidget()))
                continue;
            ASSERT_TRUE(e->validator())
                << w->objectName().toStdString() << " " << e->objectName().toStdString();
            QString typed = QStringLiteral("中");
            int at = 0;
            EXPECT_EQ(e->validator()->validate(typed, at), QValidator::Invalid)
                << w->objectName().toStdString() << " " << e->objectName().toStdString();
            ++fields;
        }
        EXPECT_GT(fields, 0) << w->objectName().toStdString();
    }
}
