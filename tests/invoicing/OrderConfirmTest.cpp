// The order confirmation's letter, with the owner's web-shop lines.
#include "invoicing/OrderConfirm.h"
#include "InvoiceFixture.h"
#include "mail/EMail.h"
#include "mail/EMailU.h"

#include <QComboBox>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tlv;

TEST(OrderConfirm, LetterWithItemsAndTheOwnersWebShopLines)
{
    QTemporaryDir dir;
    EXPECT_EQ(webShopLines(dir.path()), QStringList(5, QString())) << "no file: five empty lines";
    QFile f(QDir(dir.path()).filePath(webShopFileName()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("www.veltrano.example\r\nshop@veltrano.example\n");
    f.close();
    const QStringList shop = webShopLines(dir.path());

    EXPECT_EQ(orderConfirmationSubject(1042), "Veltrano Order No. 1042");
    const QString start =
        "Dear Customer:\r\n\r\n"
        "Thanks for ordering with Veltrano. Your order has been processed and pending credit "
        "approval will ship within the next 24-48 hours.\r\n\r\n"
        "Your order number is 1042. Please refer to it when contacting us.\r\n\r\n";
    const QString end = "Thanks\r\nVeltrano\r\nwww.veltrano.example\r\nshop@veltrano.example\r\n\r\n\r\n";
    EXPECT_EQ(orderConfirmationText(1042, {{"WID-1     ", "Widget, blue        "}, {"SVC", "Setup"}}, shop),
              start +
                  "This order includes the following item(s):\r\n\r\n"
                  "     WID-1 Widget, blue\r\n"
                  "     SVC Setup\r\n\r\n" +
                  end);
    EXPECT_EQ(orderConfirmationText(1042, {}, shop), start + end);
}

namespace tlv::test {

TEST_F(InvoiceWindow, DearCustomerPreparesTheConfirmationInTheEMailWindow)
{
    addCustomer(7, "Ames", "x");
    addCustomer(8, "Baker", "ann@example.com");
    settings().MailHost = "mail.example.com";
    settings().MailAddr = "shop@example.com";
    TInvoice w;
    open(w, 0);
    // An address without a usable "@": nothing happens.
    onModal<TPickCust>([](TPickCust *l) { pickRecord(l, 1); });
    click(&w, "BtnCust");
    click(&w, "BtnDearCust");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    onModal<TPickCust>([](TPickCust *l) { pickRecord(l, 2); });
    click(&w, "BtnCust");
    QString caption, to, subject;
    onModal<TEMailF>([&](TEMailF *m) {
        caption = child<QPushButton>(&w, "BtnDearCust")->text();
        to = child<QComboBox>(m, "ComboBox1")->currentText();
        subject = text(m, "Edit2");
        click(m, "BtnCancel");
    });
    click(&w, "BtnDearCust");
    EXPECT_EQ(caption, "Sending Message");
    EXPECT_EQ(to, "ann@example.com");
    EXPECT_EQ(subject, "Veltrano Order No. " + QString::number(db().inv6.buf.IvNo));
    EXPECT_EQ(child<QPushButton>(&w, "BtnDearCust")->text(), "Dear Customer");
    EXPECT_FALSE(emailSender().sent());
}

} // namespace tlv::test
