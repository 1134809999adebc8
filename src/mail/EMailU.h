#pragma once
// The e-mail window: the recipients, subject and text of the next message,
// which the user checks and edits before pressing "Send". What it shows
// lives in emailSender(), so callers fill that and send without the window
// as well.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tlv {

class TEMailF : public QDialog
{
    Q_OBJECT
public:
    explicit TEMailF(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void BtnSendClick();
    void BtnCancelClick();
    void reject() override; // not while a message is on its way

protected:
    void showEvent(QShowEvent *event) override;

private:
    QComboBox *m_to = nullptr;        // ComboBox1
    QLineEdit *m_subject = nullptr;   // Edit2
    QPlainTextEdit *m_text = nullptr; // Memo1
    QPushButton *m_send = nullptr;    // BtnSend
    QPushButton *m_cancel = nullptr;  // BtnCancel
    bool m_sending = false;
};

// Shows the e-mail window on emailSender()'s message, modally; answers the
// sent flag.
bool showEMailWindow(QWidget *parent);

} // namespace tlv
