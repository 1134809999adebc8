#pragma once
// The invoice editor's test fixture: a data directory with the invoice tables
// open, one customer group, charge-line settings, a fixed clock, a scripted
// Ui and helpers to drive the editor's controls and its modal windows.
#include "data/DataFixture.h"
#include "data/Helpers.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "invoicing/InvoiceEditor.h"
#include "invoicing/InvoiceU.h"
#include "invoicing/ItemDefU.h"
#include "masterdata/CustomerU.h"
#include "picklists/PickCustU.h"
#include "picklists/PickInvU.h"
#include "picklists/PickProdU.h"
#include "platform/Clock.h"
#include "shell/MainU.h"
#include "support/Modal.h"
#include "support/Recorders.h"
#include "support/ScriptedUi.h"
#include "support/WindowFixture.h"
#include "widgets/DateEdit.h"
#include "widgets/MoneyEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

// Readable failures.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace tlv::test {

template <class T = QWidget> inline T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    EXPECT_TRUE(c) << name;
    return c;
}

inline QString text(QWidget *w, const char *name)
{
    if (auto *e = w->findChild<QLineEdit *>(QLatin1String(name)))
        return e->text();
    if (auto *m = w->findChild<QPlainTextEdit *>(QLatin1String(name)))
        return m->toPlainText();
    ADD_FAILURE() << "no text field " << name;
    return {};
}

// Selects the row of the record in a pick list and presses Select.
inline void pickRecord(TPickGrid *list, long recNo)
{
    QTableWidget *grid = list->grid();
    const int last = grid->columnCount() - 1;
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, last) && grid->item(r, last)->text().toLong() == recNo) {
            grid->setCurrentCell(r, 0);
            list->BtnSelectClick();
            return;
        }
    ADD_FAILURE() << "record " << recNo << " is not listed";
    list->BtnCancelClick();
}

// Makes the field's window the active one again (after a modal window has
// closed), so that focus moves deliver their events.
inline void activate(QWidget *field)
{
    QWidget *w = field->window();
    if (!w->isActiveWindow()) {
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    }
}

// Types into a field and leaves it with Tab, as the user does.
inline void typeAndLeave(QWidget *field, const QString &typed)
{
    activate(field);
    field->setFocus(Qt::TabFocusReason);
    // On a loaded machine the focus and a field's own reaction to it (an
    // amount selects its text) may arrive a little later: wait for both, so
    // the keys go where a user's would.
    EXPECT_TRUE(QTest::qWaitFor([field] { return field->hasFocus(); }, 5000));
    QApplication::processEvents();
    if (auto *e = qobject_cast<QLineEdit *>(field))
        e->selectAll();
    QTest::keyClicks(field, typed);
    QTest::keyClick(field, Qt::Key_Tab);
    QApplication::processEvents();
}

class InvoiceWindow : public DataDirTest
{
protected:
    void SetUp() override
    {
        DataDirTest::SetUp();
        resetSettings();
        loadSettings();
        SettingsRecord &s = settings();
        s.ShipLine = QStringLiteral("Shipping  ");
        s.TaxLine = QStringLiteral("Sales Tax ");
        s.TaxRate1 = 0;
        s.TaxRate2 = 8.25;
        s.ShipTax = 2;
        s.TaxRound = 1;
        s.ByCust = true;
        setClock(&m_clock);
        Db &d = db();
        for (Table *t : {(Table *)&d.cust5, (Table *)&d.groups, (Table *)&d.inv6, (Table *)&d.itm5,
                         (Table *)&d.pmt, (Table *)&d.prod5})
            t->open();
        auto &g = d.groups;
        EXPECT_TRUE(g.appendBlank());
        g.buf.nGroup = 1;
        g.buf.cGroup = QStringLiteral("Retail");
        g.write();
    }
    void TearDown() override
    {
        EXPECT_TRUE(m_ui.allUsed()) << "boxes expected but not shown";
        EXPECT_FALSE(m_watchdog.fired());
        setClock(nullptr);
        resetSettings();
        DataDirTest::TearDown();
    }

    long addProduct(const QString &id, double price, bool tax1, bool tax2, const QString &desc = {})
    {
        return appendRecord(db().prod5, [&](ProductRecord &b) {
            b.PrID = id;
            b.PDesc = desc.isEmpty() ? QStringLiteral("Product ") + id : desc;
            b.IComm = QStringLiteral("second line");
            b.UPrice = price;
            b.LTax1 = tax1;
            b.LTax2 = tax2;
            b.RCode = QStringLiteral("LIC-") + id;
        });
    }
    long addCustomer(int cuno, const QString &last, const QString &email = {}, const QString &note = {})
    {
        return appendRecord(db().cust5, [&](CustomerRecord &b) {
            b.cuno = cuno;
            b.title = QStringLiteral("Ms");
            b.first = QStringLiteral("Ann");
            b.last = last;
            b.addr1 = QStringLiteral("1 Main St");
            b.zip = QStringLiteral("05641");
            b.email = email;
            b.note = note;
            b.ngroup = 1;
        });
    }
    long addInvoice(int number, int customer, int lines)
    {
        const long recNo = appendRecord(db().inv6, [&](InvoiceRecord &b) {
            b.IvNo = number;
            b.CuNo = customer;
            b.IDate = QDate(2026, 2, 27);
            b.Dept = QStringLiteral("Garden");
            b.IMemo = QStringLiteral("VISA 4111");
            b.Ship = 5.00;
        });
        db().inv6.flush();
        for (int i = 0; i < lines; ++i)
            appendRecord(db().itm5, [&](ItemRecord &b) {
                b.IvNo = number;
                b.PrID = QStringLiteral("L%1").arg(i + 1);
                b.Qty = i + 1;
                b.UPR = 1.25;
                b.LTax2 = true;
                b.PDesc = QStringLiteral("Line %1").arg(i + 1);
            });
        return recNo;
    }
    void open(TInvoice &w, int invoiceRecord)
    {
        db().selected.invoice = invoiceRecord;
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    // Add Item: pick the product, then act on the line dialog.
    void addItem(TInvoice &w, long product, const std::function<void(TItemDef *)> &inDialog)
    {
        onModal<TPickProd>([product](TPickProd *p) { pickRecord(p, product); });
        onModal<TItemDef>([inDialog](TItemDef *d) { inDialog(d); });
        click(&w, "BAddItm");
        QApplication::processEvents();
    }
    // The invoice tables as they stand pass "tlvtool check": the tables are
    // closed for it and opened again.
    void expectCheckPasses()
    {
        Db &d = db();
        d.closeAll();
        QProcess p;
        p.start(QStringLiteral(TLV_TOOL_PATH), {QStringLiteral("check"), m_dir.path()});
        ASSERT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString()
                                   << p.readAllStandardError().toStdString();
        for (Table *t : {(Table *)&d.cust5, (Table *)&d.groups, (Table *)&d.inv6, (Table *)&d.itm5,
                         (Table *)&d.pmt, (Table *)&d.prod5})
            t->open();
    }
    static QString cell(TInvoice &w, int row, int column)
    {
        const QTableWidgetItem *item = w.grid()->item(row, column);
        return item ? item->text() : QString();
    }

    FixedClock m_clock{QDate(2026, 3, 14)};
    ScriptedUi m_ui;
    ModalWatchdog m_watchdog;
};

} // namespace tlv::test
