// The letterhead, the invoice and bill documents and their batches, on small
// tables and a PDF printer.
#include "reports/InvoiceDocs.h"
#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "data/TableScope.h"
#include "mail/Aiosmtpd.h"
#include "mail/MailConn.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/RptUtil.h"
#include "reports/Statements.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QProcess>
#include <cstdio>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

// Cell 0 and the flag cell of every row, one "cell0|flags" per row.
QStringList outline(const ReportDocument &doc)
{
    QStringList rows;
    for (int r = 0; r <= doc.lastRow(); ++r)
        rows << doc.cell(r, 0) + QLatin1Char('|') + doc.flags(r);
    return rows;
}

class InvoiceDocs : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        report().reset();
        setPrinter(nullptr);
        setClock(&m_clock);
        settings().Company = QStringLiteral("Larch Supply");
        settings().ShipLine = QStringLiteral("Shipping  ");
        settings().TaxLine = QStringLiteral("Sales Tax");
        settings().TopMargin = 0;
        for (Table *t :
             std::initializer_list<Table *>{&db().cust5, &db().inv6, &db().itm5, &db().pmt, &db().prod5})
            t->open();
        appendRecord(db().cust5, [](CustomerRecord &b) {
            b.cuno = 7;
            b.first = QStringLiteral("Ann");
            b.last = QStringLiteral("Lee");
            b.addr1 = QStringLiteral("1 Elm St");
            b.email = QStringLiteral("ann@example.com");
        });
    }
    void TearDown() override
    {
        report().reset();
        setClock(nullptr);
        setPrinter(nullptr);
        WindowDataTest::TearDown();
    }
    static void addInvoice(int number, QDate date, double discount, double due,
                           std::initializer_list<std::pair<double, double>> lines, const QString &note = {},
                           int customer = 7)
    {
        appendRecord(db().inv6, [&](InvoiceRecord &b) {
            b.IvNo = number;
            b.CuNo = customer;
            b.IDate = date;
            b.Discount = discount;
            b.Due = due;
            b.IMemo = note;
        });
        for (const auto &[qty, price] : lines)
            appendRecord(db().itm5, [&](ItemRecord &b) {
                b.IvNo = number;
                b.PrID = QStringLiteral("P%1").arg(number);
                b.PDesc = QStringLiteral("Part");
                b.Qty = qty;
                b.UPR = price;
            });
    }
    static QString documentOf(int number, bool asInvoice, bool forMail)
    {
        setUpInvoiceDocument();
        EXPECT_TRUE(loadInvoice(invoiceRecordOf(number)));
        appendInvoice(asInvoice, forMail);
        return documentText(report(), false);
    }

    FixedClock m_clock{QDate(2024, 3, 15)};
};

} // namespace

TEST_F(InvoiceDocs, TheLetterheadFollowsJustificationMarginLogoAndText)
{
    struct Case
    {
        int justify;
        double margin, logoHeight;
        bool text;
        QStringList expected;
    };
    const QString date = QStringLiteral("R73") + dateToShort(QDate(2024, 3, 15)) + QStringLiteral("|");
    const QStringList text = {"C36Larch Supply|B", "C36|B", "C36Main St|BU"};
    const std::vector<Case> cases = {
        {2, 0, 0, true, text + QStringList{date, "|"}},
        {3, 0, 0, true, {"R73Larch Supply|B", "R73|B", "R73Main St|BU", date, "|"}},
        // One inch at 600 dots per inch with lines of 100 dots: six rows.
        {1,
         1,
         0,
         true,
         {"|", "|", "|", "|", "|", "|", "L00Larch Supply|B", "L00|B", "L00Main St|BU", date, "|"}},
        // A logo of half an inch leaves three rows; without text the last is ruled.
        {1, 0, 0.5, false, {"IL00logo.png|S 0.50 2.00", "|", "|", "|U", date, "|"}},
        {9,
         0,
         0.5,
         true,
         {"IL00logo.png|S 0.50 2.00", "|", "|", "|", "L00Larch Supply|B", "L00|B", "L00Main St|BU", date,
          "|"}},
    };
    for (const Case &c : cases) {
        SettingsRecord s;
        s.LHJustify = c.justify;
        s.TopMargin = c.margin;
        if (c.text) {
            s.Company = QStringLiteral(" Larch Supply ");
            s.Addr2 = QStringLiteral("Main St");
        }
        if (c.logoHeight > 0) {
            s.LogoFile = QStringLiteral("logo.png ");
            s.LogoHeight = c.logoHeight;
            s.LogoWidth = 2;
        }
        ReportDocument doc;
        doc.width = 73;
        doc.cellCount = 12;
        doc.beginReport();
        appendLetterhead(doc, s, {600, 100}, QDate(2024, 3, 15));
        EXPECT_EQ(outline(doc), c.expected) << "justify " << c.justify << " margin " << c.margin;
    }
}

TEST_F(InvoiceDocs, TotalsDiscountAndTheCardNoteOnPaperOnly)
{
    // 3 × 20.00 + 1 × 40.00 = 100.00 less 10 %.
    addInvoice(1001, QDate(2024, 3, 2), 10, 90, {{3, 20}, {1, 40}}, QStringLiteral("Visa 4242"));
    const QString paper = documentOf(1001, true, false);
    for (const char *line : {" Item Code   Description                    Price       Qty        Total",
                             "Visa 4242", " 10.00% Discount:", "-10.00", "SubTotal:        90.00",
                             "Shipping:         0.00", "Sales Tax:         0.00", "Total:        90.00",
                             "Amount Paid:         0.00", "Balance Due:        90.00", "Invoice No:  1001"})
        EXPECT_TRUE(paper.contains(QLatin1String(line))) << line << "\n" << paper.toStdString();
    EXPECT_TRUE(paper.contains(QStringLiteral("Ann Lee"))) << paper.toStdString();

    const QString mail = documentOf(1001, true, true);
    EXPECT_FALSE(mail.contains(QStringLiteral("Visa"))) << mail.toStdString();
    EXPECT_TRUE(mail.contains(QStringLiteral("Balance Due:        90.00")));

    // A customer no longer on file: the invoice says whose number it carries.
    addInvoice(1002, QDate(2024, 3, 2), 0, 5, {{1, 5}}, QString(), 9);
    EXPECT_TRUE(documentOf(1002, false, false).contains(QStringLiteral("To:       Customer No. 9")));
}

TEST_F(InvoiceDocs, BillBatchesSkipSettledInvoicesAndEachDocumentStartsANewPage)
{
    addInvoice(1001, QDate(2024, 3, 2), 0, 0, {{1, 5}});
    addInvoice(1002, QDate(2024, 3, 3), 0, -5, {{1, 5}});
    addInvoice(1003, QDate(2024, 3, 4), 0, 12.5, {{1, 12.5}});
    addInvoice(1004, QDate(2024, 4, 1), 0, 8, {{1, 8}});
    setUpInvoiceDocument();
    EXPECT_TRUE(appendInvoicesDated(QDate(2024, 3, 1), QDate(2024, 3, 31), false));
    QString text = documentText(report(), false);
    EXPECT_TRUE(text.contains(QStringLiteral("Invoice No:  1003")));
    EXPECT_TRUE(text.contains(QStringLiteral("Bill")));
    for (const char *absent : {"1001", "1002", "1004", "EJECT"})
        EXPECT_FALSE(outline(report()).join('\n').contains(QLatin1String(absent))) << absent;

    // Three invoices on paper: three pages, each beginning with its letterhead.
    TempDataDir dir;
    PdfPrinter paper(dir.file("batch.pdf"));
    setPrinter(&paper);
    setUpInvoiceDocument();
    EXPECT_TRUE(appendInvoicesDated(QDate(2024, 3, 1), QDate(2024, 3, 31), true));
    ASSERT_EQ(printReport(report(), paper), PrintStatus::Printed);
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), dir.file("batch.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(pages[i].trimmed().startsWith(QStringLiteral("Larch Supply"))) << pages[i].toStdString();
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Invoice No:   100%1").arg(i + 1)))
            << pages[i].toStdString();
    }
}

TEST_F(InvoiceDocs, MemosWrapAtBlanksAndBreakWordsWiderThanTheLine)
{
    const QString word = QString(200, QLatin1Char('w'));
    const QStringList wrapped =
        wrapForPrinter(QStringLiteral("short line\r\n\r\n") + word + QStringLiteral(" end"), 20);
    ASSERT_GE(wrapped.size(), 4);
    EXPECT_EQ(wrapped[0], QStringLiteral("short line"));
    EXPECT_EQ(wrapped[1], QString()); // the blank line typed
    QString joined;
    for (int i = 2; i < wrapped.size(); ++i) {
        EXPECT_FALSE(wrapped[i].trimmed().isEmpty()) << i;
        EXPECT_LE(wrapped[i].size(), 20) << i;
        joined += wrapped[i];
    }
    EXPECT_EQ(joined, word + QStringLiteral(" end"));
    EXPECT_TRUE(wrapForPrinter(QStringLiteral(" \r\n "), 20).isEmpty());
}

TEST_F(InvoiceDocs, StatementsListOpenInvoicesInPostalCodeOrder)
{
    // Ann (zip 05602) owes on two invoices; Bob (zip 01001) on one; one of
    // Ann's is settled and one falls after the span.
    db().cust5.go(1);
    db().cust5.read();
    db().cust5.buf.zip = QStringLiteral("05602");
    db().cust5.write();
    appendRecord(db().cust5, [](CustomerRecord &b) {
        b.cuno = 8;
        b.last = QStringLiteral("Bob");
        b.zip = QStringLiteral("01001");
    });
    addInvoice(1001, QDate(2024, 3, 2), 10, 8.99, {{3, 3.33}});
    addInvoice(1002, QDate(2024, 3, 3), 0, 0, {{1, 5}});
    addInvoice(1003, QDate(2024, 3, 4), 0, -2.5, {{1, 2.5}});
    addInvoice(1004, QDate(2024, 4, 1), 0, 8, {{1, 8}});
    addInvoice(1005, QDate(2024, 3, 9), 0, 4, {{1, 4}}, QString(), 8);
    appendRecord(db().pmt, [](PaymentRecord &b) {
        b.IvNo = 1003;
        b.PDate = QDate(2024, 3, 4);
        b.PAmt = 5;
    });

    setUpStatementDocument();
    ASSERT_TRUE(appendStatementsDated(QDate(2024, 3, 1), QDate(2024, 3, 31)));
    const QString text = documentText(report(), false);
    // Bob first; Ann on a new page with 8.99 charged (9.99 less 1.00) and
    // the credit, not the settled invoice nor the one of April.
    const qsizetype bob = text.indexOf(QStringLiteral("  1005"));
    const qsizetype ann = text.indexOf(QStringLiteral("  1001"));
    ASSERT_GE(bob, 0);
    ASSERT_GT(ann, bob);
    EXPECT_EQ(outline(report()).filter(QStringLiteral("EJECT")).size(), 1);
    for (const char *line : {"   1001   3/2/2024         8.99         0.00         8.99",
                             "   1003   3/4/2024         2.50         5.00        -2.50",
                             "Totals        11.49         5.00         6.49", "Account Statement"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
    for (const char *absent : {"1002", "1004"})
        EXPECT_FALSE(text.contains(QLatin1String(absent))) << absent;

    // One customer's statement lists every invoice, the settled one included.
    setUpStatementDocument();
    ASSERT_TRUE(appendStatementOfCustomer(7));
    const QString all = documentText(report(), false);
    for (const char *number : {"1001", "1002", "1003", "1004"})
        EXPECT_TRUE(all.contains(QLatin1String(number))) << number;
    EXPECT_FALSE(all.contains(QStringLiteral("1005")));
}

TEST_F(InvoiceDocs, AnEMailedInvoiceArrivesWithItsTextAndPagesButNoCardNote)
{
    Aiosmtpd server;
    ASSERT_NE(server.port(), 0) << server.diagnostics().toStdString();
    settings().MailHost = QStringLiteral("127.0.0.1");
    settings().MailID = QStringLiteral("till");
    settings().MailAddr = QStringLiteral("shop@example.com");
    MailConnection connection;
    connection.port = server.port();
    ASSERT_TRUE(saveMailConnection(connection, QDir::currentPath()));
    appendRecord(db().cust5, [](CustomerRecord &b) {
        b.cuno = 9;
        b.last = QStringLiteral("Short");
        b.email = QStringLiteral("a@b");
    });
    addInvoice(1001, QDate(2024, 3, 2), 0, 60, {{3, 20}}, QStringLiteral("Visa 4242"));
    addInvoice(1002, QDate(2024, 3, 3), 0, 5, {{1, 5}}, QString(), 9); // address too short
    EXPECT_EQ(mailInvoicesDated(QDate(2024, 3, 1), QDate(2024, 3, 31), true), 1);

    // Without the PDF: the plain text message alone.
    connection.attachPdf = false;
    ASSERT_TRUE(saveMailConnection(connection, QDir::currentPath()));
    int counter = 0;
    ASSERT_TRUE(loadInvoice(invoiceRecordOf(1001)));
    EXPECT_TRUE(mailLoadedInvoice(false, counter));
    EXPECT_EQ(counter, 1);

    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import email, sys\n"
                            "from email import policy\n"
                            "for name in sys.argv[1:]:\n"
                            "  m = email.message_from_bytes(open(name, 'rb').read(), "
                            "policy=policy.default)\n"
                            "  print('MESSAGE', m['to'], '| Subject:', m['subject'], '|', "
                            "m.get_content_type())\n"
                            "  for part in m.walk():\n"
                            "    if part.is_multipart(): continue\n"
                            "    data = part.get_content()\n"
                            "    print('--', part.get_content_type(), "
                            "part.get_filename(), len(data))\n"
                            "    print(data[:4] if isinstance(data, bytes) else data)\n"),
             server.filePath(QStringLiteral("message1.eml")),
             server.filePath(QStringLiteral("message2.eml"))});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString received = QString::fromUtf8(p.readAllStandardOutput());
    std::printf("---- received ----\n%s----\n", qPrintable(received));
    const QStringList messages = received.split(QStringLiteral("MESSAGE "), Qt::SkipEmptyParts);
    ASSERT_EQ(messages.size(), 2) << received.toStdString();
    EXPECT_TRUE(
        messages[0].startsWith(QStringLiteral("ann@example.com | Subject: Invoice | multipart/mixed")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Balance Due:        60.00")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("-- application/pdf Invoice 1001.pdf")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("b'%PDF'")));
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("ann@example.com | Subject: Bill | text/plain")));
    EXPECT_FALSE(received.contains(QStringLiteral("Visa")));
    EXPECT_FALSE(received.contains(QStringLiteral("a@b")));
}
