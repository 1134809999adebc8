// The editor's work on the in-memory invoice without its window: numbering,
// new invoices, the customer, line rows, and the batch label file.
#include "invoicing/InvoiceEditor.h"
#include "data/DataFixture.h"
#include "data/Helpers.h"
#include "invoicing/BatchLabel.h"
#include "invoicing/InvoiceCalc.h"
#include "support/ScriptedUi.h"

#include <QDir>
#include <QFile>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

using namespace tlv;
using namespace tlv::test;

namespace {

class EditorCore : public DataDirTest
{
protected:
    void SetUp() override
    {
        DataDirTest::SetUp();
        db().inv6.open();
        db().cust5.open();
    }
    long addInvoice(int ivno)
    {
        auto &t = db().inv6;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.IvNo = ivno;
        t.write();
        t.flush();
        return t.recNo();
    }
    long addCustomer(int cuno, const char *last, const char *email = "")
    {
        auto &t = db().cust5;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.cuno = cuno;
        t.buf.first = QStringLiteral("Pat");
        t.buf.last = QLatin1String(last);
        t.buf.zip = QStringLiteral("05641");
        t.buf.email = QLatin1String(email);
        t.buf.note = QStringLiteral("Gate code 41");
        t.write();
        return t.recNo();
    }
};

QString readAll(const QString &name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<none>");
    return QString::fromLatin1(f.readAll());
}

} // namespace

TEST_F(EditorCore, NumbersFollowTheLastInvoiceInNumberOrder)
{
    EXPECT_EQ(nextInvoiceNumber(), 1);
    EXPECT_EQ(lastInvoiceRecord(), 0);
    addInvoice(1041);
    const long last = addInvoice(1099);
    addInvoice(1007);         // appended later, but not the highest number
    db().inv6.buf.IvNo = 555; // the invoice being edited stays in the buffer
    EXPECT_EQ(nextInvoiceNumber(), 1100);
    EXPECT_EQ(lastInvoiceRecord(), last);
    EXPECT_EQ(db().inv6.buf.IvNo, 555);
}

TEST_F(EditorCore, StartingANewInvoiceClearsHeaderLinesAndPayments)
{
    addInvoice(12);
    InvoiceRecord &h = db().inv6.buf;
    h.CuNo = 4;
    h.Dept = "Garden";
    h.IMemo = "VISA";
    h.REM = "Leave at the door";
    h.Discount = 5;
    h.Ship = 3;
    h.Tax = 1;
    h.Due = 9;
    invoiceMemory().items << QStringList(itemColumnCount);
    invoiceMemory().payments << QStringList{"1/1/2026", "      1.00"};
    startNewInvoice(QDate(2026, 3, 14));
    EXPECT_EQ(h.IvNo, 13);
    EXPECT_EQ(h.CuNo, 0);
    EXPECT_EQ(h.IDate, QDate(2026, 3, 14));
    EXPECT_TRUE(h.Dept.isEmpty() && h.IMemo.isEmpty() && h.REM.isEmpty());
    EXPECT_EQ(h.Discount + h.Ship + h.Tax + h.Due, 0.0);
    EXPECT_EQ(invoiceMemory().highestItem(), -1);
    EXPECT_EQ(invoiceMemory().highestPayment(), -1);
}

TEST_F(EditorCore, CustomerIsTakenWithItsAddressBlock)
{
    EXPECT_EQ(startingCustomer(), 0); // empty table
    addCustomer(8, "Young");
    const long adams = addCustomer(3, "Adams", "pat@example.com");
    db().cust5.useTag(tag::CCNO);
    // No customer yet: the list starts on the first customer by name.
    EXPECT_EQ(startingCustomer(), adams);
    EXPECT_STREQ(db().cust5.selectedTag().toLower().toLatin1().constData(), "cname");

    EXPECT_FALSE(takeCustomer(99));
    EXPECT_EQ(db().inv6.buf.CuNo, 0);
    ASSERT_TRUE(takeCustomer(adams));
    EXPECT_EQ(db().inv6.buf.CuNo, 3);
    EXPECT_EQ(invoiceMemory().address, QStringList({"Pat Adams  05641", "", "", "", ""}));
    EXPECT_EQ(invoiceMemory().customerRecNo, adams);
    // Chosen: the list starts on the selected customer.
    db().selected.customer = 1;
    EXPECT_EQ(startingCustomer(), 1);

    db().cust5.buf.note = "typed in the editor";
    EXPECT_EQ(invoiceCustomerRecord(), adams);
    EXPECT_EQ(db().cust5.buf.note, "typed in the editor"); // found, not read
    db().inv6.buf.CuNo = 77;
    EXPECT_EQ(invoiceCustomerRecord(), 0);
}

TEST(EditorEmail, AnAtSignAfterTheFirstCharacterMakesAnAddressUsable)
{
    EXPECT_TRUE(hasUsableEmail("pat@example.com"));
    EXPECT_TRUE(hasUsableEmail("  p@x   "));
    EXPECT_TRUE(hasUsableEmail("@pat@example.com"));
    EXPECT_FALSE(hasUsableEmail("@example.com"));
    EXPECT_FALSE(hasUsableEmail("pat.example.com"));
    EXPECT_FALSE(hasUsableEmail(""));
}

TEST(LineRows, ProductDialogFieldsAndRowsRoundTrip)
{
    ProductRecord p;
    p.PrID = "ROSE-12   ";
    p.PDesc = "Climbing rose              "; // as read: blank-padded
    p.IComm = "bare root";
    p.UPrice = 12.5;
    p.LTax1 = true;
    p.RCode = "  LIC-9  ";
    p.PMemo = "Plant in spring.\n";
    LineFields f = lineFieldsOf(p);
    EXPECT_EQ(f.price, "   12.50");
    EXPECT_EQ(f.quantity, "     1.00");
    EXPECT_TRUE(f.tax1);
    EXPECT_FALSE(f.tax2);
    EXPECT_EQ(lineFieldsOf(p, QLocale(QLocale::German, QLocale::Germany)).price, "   12,50");

    const QStringList row = newLineRow(f, p);
    EXPECT_EQ(row, QStringList({"ROSE-12", "     1.00", "   12.50", "t", "f", "Climbing rose", "bare root",
                                "LIC-9", "Plant in spring."}));
    EXPECT_EQ(gridTotalText(row), "     12.50 tf");

    // Edited: licence code and invoice text stay.
    QStringList edited = row;
    f.quantity = "    -2.00";
    f.price = "    1.25";
    f.tax1 = false;
    f.tax2 = true;
    f.comment = "potted";
    updateLineRow(edited, f);
    EXPECT_EQ(edited[ItemRCode], "LIC-9");
    EXPECT_EQ(edited[ItemPMemo], "Plant in spring.");
    EXPECT_EQ(edited[ItemComment], "potted");
    EXPECT_EQ(gridTotalText(edited), "     -2.50 ft");

    const LineFields back = lineFieldsOf(edited);
    EXPECT_EQ(back.prId, f.prId);
    EXPECT_EQ(back.quantity, f.quantity);
    EXPECT_EQ(back.price, f.price);
    EXPECT_EQ(back.tax2, true);
    EXPECT_EQ(back.description, "Climbing rose");
}

// ---- Batch label file ---------------------------------------------------------------------

TEST(BatchLabelFile, CreatedAppendedOrStartedAnew)
{
    TempDataDir dir;
    ScriptedUi ui;
    ui.expect(Answer::Ok);
    EXPECT_FALSE(addToBatchLabels(0));
    EXPECT_EQ(ui.texts(), QStringList({"Customer Not Selected"}));
    EXPECT_FALSE(QFile::exists("BatchLab.dat"));

    ui.clear();
    EXPECT_TRUE(addToBatchLabels(42)); // a new file: no question
    EXPECT_TRUE(ui.texts().isEmpty());
    EXPECT_EQ(readAll("BatchLab.dat"), "    42\r\n");

    ui.expect(Answer::Yes, "APPEND ADDRESS TO FILE? BatchLab.dat");
    EXPECT_TRUE(addToBatchLabels(123456));
    EXPECT_EQ(readAll("BatchLab.dat"), "    42\r\n123456\r\n");

    ui.expect(Answer::No, "APPEND ADDRESS TO FILE? BatchLab.dat");
    EXPECT_TRUE(addToBatchLabels(7));
    EXPECT_EQ(readAll("BatchLab.dat"), "     7\r\n");
    EXPECT_TRUE(ui.allUsed());
}

TEST(BatchLabelFile, AFileThatCannotBeWrittenIsReported)
{
    TempDataDir dir;
    ScriptedUi ui;
    // A directory of that name exists but cannot be written as a file, even
    // with rights that ignore file permissions.
    ASSERT_TRUE(QDir().mkdir("BatchLab.dat"));
    ui.expect(Answer::Yes, "APPEND ADDRESS TO FILE?");
    ui.expect(Answer::Ok, "Unable to save to: BatchLab.dat");
    EXPECT_FALSE(addToBatchLabels(5));
    ui.expect(Answer::No, "APPEND ADDRESS TO FILE?");
    ui.expect(Answer::Ok, "Unable to save to: BatchLab.dat");
    EXPECT_FALSE(addToBatchLabels(5));
    EXPECT_TRUE(ui.allUsed());
}
