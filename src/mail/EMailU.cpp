#include "mail/EMailU.h"

#include "mail/EMail.h"
#include "widgets/FormKitU.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

TEMailF::TEMailF(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EMailF"));
    setWindowTitle(QStringLiteral("Email"));

    m_to = new QComboBox;
    m_to->setObjectName(QStringLiteral("ComboBox1"));
    m_subject = namedEdit("Edit2");
    m_text = new QPlainTextEdit;
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setTabChangesFocus(true);
    // A letter is read in a plain typeface with its own line breaks.
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_send = namedButton("BtnSend", QStringLiteral("Send"), this, &TEMailF::BtnSendClick);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TEMailF::BtnCancelClick);

    auto *head = new QGridLayout;
    head->addWidget(captionFor(QStringLiteral("To:"), m_to), 0, 0);
    head->addWidget(m_to, 0, 1);
    head->addWidget(captionFor(QStringLiteral("Subject:"), m_subject), 1, 0);
    head->addWidget(m_subject, 1, 1);
    head->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttonRow({m_send, m_cancel}));
    resize(560, 420);
}

void TEMailF::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TEMailF::FormShow()
{
    EMailSender &s = emailSender();
    m_to->clear();
    m_to->addItems(s.recipients);
    m_to->setCurrentIndex(s.recipients.isEmpty() ? -1 : 0);
    m_subject->setText(s.subject);
    m_text->setPlainText(s.text);
    s.clearSent();
    m_subject->setFocus();
}

void TEMailF::BtnSendClick()
{
    if (m_sending)
        return;
    EMailSender &s = emailSender();
    s.subject = m_subject->text();
    s.text = m_text->toPlainText();
    // The window goes on answering while the server is waited for; nothing
    // in it may start a second message or close it meanwhile.
    m_sending = true;
    m_send->setEnabled(false);
    m_cancel->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const EMailSender::Outcome outcome = s.send();
    QApplication::restoreOverrideCursor();
    m_sending = false;
    m_send->setEnabled(true);
    m_cancel->setEnabled(true);
    // A failure keeps the window open with the message as it was written.
    if (outcome == EMailSender::Outcome::Failed)
        return;
    if (outcome == EMailSender::Outcome::Sent)
        accept();
    else
        QDialog::reject();
}

void TEMailF::BtnCancelClick()
{
    reject();
}

void TEMailF::reject()
{
    if (!m_sending)
        QDialog::reject();
}

bool showEMailWindow(QWidget *parent)
{
    TEMailF window(editorParent(parent));
    window.exec();
    return emailSender().sent();
}

} // namespace tlv
