#include "mail/EMailSetupU.h"

#include "data/Settings.h"
#include "mail/MailConn.h"
#include "platform/Ui.h"
#include "widgets/FormKitU.h"
#include "widgets/StoredText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tlv {

namespace {
constexpr int helpContext = 655;
constexpr int mailFieldWidth = 69; // what the settings record keeps of each

// The port a protection usually goes with.
int usualPort(int securityIndex)
{
    return securityIndex == 1 ? 587 : securityIndex == 2 ? 465 : 25;
}
} // namespace

TEMailSetup::TEMailSetup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EMailSetup"));
    setWindowTitle(QStringLiteral("EMail Setup"));

    static const char *const names[] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5"};
    const QString captions[] = {QStringLiteral("Outgoing Mail Host"), QStringLiteral("Mail User ID"),
                                QStringLiteral("Sender's EMail Address"), QStringLiteral("Sender's Name"),
                                QStringLiteral("Reply To Address")};
    auto *stored = new QWidget;
    auto *form = new QFormLayout(stored);
    form->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 5; ++i) {
        m_edits[i] = namedEdit(names[i], mailFieldWidth);
        m_edits[i]->setMinimumWidth(300);
        form->addRow(captionFor(captions[i], m_edits[i]), m_edits[i]);
    }
    // These go into the settings table, which holds Windows-1252 text.
    guardStoredText(stored);

    m_port = new QSpinBox;
    m_port->setObjectName(QStringLiteral("SpinPort"));
    m_port->setRange(1, 65535);
    m_security = new QComboBox;
    m_security->setObjectName(QStringLiteral("ComboSecurity"));
    m_security->addItems({QStringLiteral("None"), QStringLiteral("STARTTLS"), QStringLiteral("SSL/TLS")});
    m_user = namedEdit("EditUser");
    m_password = namedEdit("EditPassword");
    m_password->setEchoMode(QLineEdit::Password);
    auto *connection = new QGroupBox(QStringLiteral(" Connection "));
    connection->setObjectName(QStringLiteral("GroupConnection"));
    auto *cform = new QFormLayout(connection);
    cform->addRow(captionFor(QStringLiteral("Port"), m_port), m_port);
    cform->addRow(captionFor(QStringLiteral("Security"), m_security), m_security);
    cform->addRow(captionFor(QStringLiteral("User Name"), m_user), m_user);
    cform->addRow(captionFor(QStringLiteral("Password"), m_password), m_password);
    connect(m_security, &QComboBox::currentIndexChanged, this, &TEMailSetup::securityChanged);
    m_attachPdf = new QCheckBox(QStringLiteral("Attach invoices and statements as PDF files"));
    m_attachPdf->setObjectName(QStringLiteral("CheckAttachPdf"));

    QPushButton *save = namedButton("BtnSave", QStringLiteral("Save"), this, &TEMailSetup::BtnSaveClick);
    save->setDefault(true);
    QPushButton *cancel =
        namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TEMailSetup::BtnCancelClick);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(stored);
    layout->addWidget(connection);
    layout->addWidget(m_attachPdf);
    layout->addLayout(buttonRow({save, cancel}));
    helpOnF1(this, helpContext);
}

void TEMailSetup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TEMailSetup::FormShow()
{
    const SettingsRecord &s = settings();
    const QString values[] = {s.MailHost, s.MailID, s.MailAddr, s.MailName, s.MailReply};
    for (int i = 0; i < 5; ++i)
        m_edits[i]->setText(values[i]);
    const MailConnection c = loadMailConnection(QDir::currentPath());
    m_security->blockSignals(true);
    m_security->setCurrentIndex(int(c.security));
    m_security->blockSignals(false);
    m_port->setValue(c.port);
    m_user->setText(c.user);
    m_password->setText(c.password);
    m_attachPdf->setChecked(c.attachPdf);
    m_edits[0]->setFocus();
}

void TEMailSetup::securityChanged(int index)
{
    // A port left at the usual one of the former choice follows the new one.
    const int value = m_port->value();
    if (value == 25 || value == 465 || value == 587)
        m_port->setValue(usualPort(index));
}

void TEMailSetup::BtnSaveClick()
{
    SettingsRecord &s = settings();
    QString *fields[] = {&s.MailHost, &s.MailID, &s.MailAddr, &s.MailName, &s.MailReply};
    for (int i = 0; i < 5; ++i)
        *fields[i] = m_edits[i]->text().trimmed();
    saveSettings();

    MailConnection c;
    c.port = quint16(m_port->value());
    c.security = TNMSMTP::Security(m_security->currentIndex());
    c.user = m_user->text().trimmed();
    c.password = m_password->text();
    c.attachPdf = m_attachPdf->isChecked();
    const QString dir = QDir::currentPath();
    QString error;
    if (!saveMailConnection(c, dir, &error))
        ui().information(QStringLiteral("Unable to save to: ") +
                         QDir(dir).filePath(mailConnectionFileName()) + QLatin1Char('\n') + error);
    accept();
}

void TEMailSetup::BtnCancelClick()
{
    reject();
}

void runEMailSetup(QWidget *parent)
{
    TEMailSetup window(parent);
    window.exec();
}

} // namespace tlv
