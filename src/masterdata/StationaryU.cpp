#include "masterdata/StationaryU.h"

#include "data/Settings.h"
#include "masterdata/Stationery.h"
#include "platform/Ui.h"
#include "widgets/FormKitU.h"
#include "widgets/MoneyEdit.h"
#include "widgets/StoredText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QValidator>

namespace tlv {

namespace {
constexpr int helpContext = 610;
constexpr int logoTypedMax = 35;

} // namespace

// Limits what may be typed into the logo field without cutting a longer path
// that the file dialog put there: the text may not grow past the limit, but a
// longer one may be shortened.
class LogoLengthValidator : public QValidator
{
public:
    LogoLengthValidator(QLineEdit *field, int limit) : QValidator(field), m_limit(limit)
    {
        // The field holds the edited text already while it is validated, so
        // the length before the edit is kept here; shortening lowers it.
        connect(field, &QLineEdit::textChanged, this, [this](const QString &t) { m_admitted = t.size(); });
    }

    // A text put into the field by the program may be longer than the limit.
    void admit(qsizetype length) { m_admitted = length; }

    State validate(QString &input, int &) const override
    {
        return input.size() <= std::max<qsizetype>(m_limit, m_admitted) ? Acceptable : Invalid;
    }

private:
    int m_limit;
    qsizetype m_admitted = 0;
};

TStationary::TStationary(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Stationary"));
    setWindowTitle(QStringLiteral("Stationery Setup"));

    m_logo = namedEdit("Edit1");
    m_logoLimit = new LogoLengthValidator(m_logo, logoTypedMax);
    m_logo->setValidator(m_logoLimit);
    m_logoButton = namedButton("BtnLogo", QStringLiteral("Logo File"));
    connect(m_logoButton, &QPushButton::clicked, this, &TStationary::BtnLogoClick);

    m_topMargin = namedMoneyEdit("MaskEdit1", 2, 2);
    // The logo's size is never negative in practice; it is not coloured.
    m_logoHeight = namedMoneyEdit("MaskEdit2", 2, 2, false);
    m_logoWidth = namedMoneyEdit("MaskEdit3", 2, 2, false);

    m_company = namedEdit("Edit2", 35);
    m_addr[0] = namedEdit("Edit3", 35);
    m_addr[1] = namedEdit("Edit4", 35);
    m_addr[2] = namedEdit("Edit5", 35);
    m_addr[3] = namedEdit("Edit6", 25);
    m_closing = namedEdit("Edit7", 25);
    m_signature = namedEdit("Edit8");

    auto *justifyBox = new QGroupBox(QStringLiteral(" Justification "));
    justifyBox->setObjectName(QStringLiteral("GroupBox1"));
    auto *justifyColumn = new QVBoxLayout(justifyBox);
    const char *justifyNames[] = {"RadioButton1", "RadioButton2", "RadioButton3"};
    const QString justifyCaptions[] = {QStringLiteral("Left"), QStringLiteral("Center"),
                                       QStringLiteral("Right")};
    for (int i = 0; i < 3; ++i) {
        m_justify[i] = new QRadioButton(justifyCaptions[i]);
        m_justify[i]->setObjectName(QLatin1String(justifyNames[i]));
        justifyColumn->addWidget(m_justify[i]);
    }

    auto *logoRow = new QHBoxLayout;
    logoRow->addWidget(m_logoButton);
    logoRow->addWidget(m_logo, 1);

    auto *measures = new QGridLayout;
    measures->addWidget(captionFor(QStringLiteral("Top Margin:"), m_topMargin), 0, 0);
    measures->addWidget(m_topMargin, 0, 1);
    measures->addWidget(new QLabel(QStringLiteral("Inches")), 0, 2);
    measures->addWidget(captionFor(QStringLiteral("Logo Height:"), m_logoHeight), 1, 0);
    measures->addWidget(m_logoHeight, 1, 1);
    measures->addWidget(captionFor(QStringLiteral("Width:"), m_logoWidth), 1, 2, Qt::AlignRight);
    measures->addWidget(m_logoWidth, 1, 3);
    measures->addWidget(new QLabel(QStringLiteral("Inches")), 1, 4);
    measures->setColumnStretch(5, 1);

    auto *address = new QGridLayout;
    address->addWidget(captionFor(QStringLiteral("Company Name:"), m_company), 0, 0);
    address->addWidget(m_company, 0, 1);
    address->addWidget(captionFor(QStringLiteral("Address:"), m_addr[0]), 1, 0);
    for (int i = 0; i < 4; ++i)
        address->addWidget(m_addr[i], 1 + i, 1);
    address->addWidget(justifyBox, 0, 2, 5, 1);
    address->addWidget(captionFor(QStringLiteral("Closing Line:"), m_closing), 5, 0);
    address->addWidget(m_closing, 5, 1);
    address->addWidget(captionFor(QStringLiteral("Signature Line:"), m_signature), 6, 0);
    address->addWidget(m_signature, 6, 1, 1, 2);
    address->setColumnStretch(1, 1);

    m_save = namedButton("BtnSave", QStringLiteral("Save"), this, &TStationary::BtnSaveClick);
    m_save->setDefault(true);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TStationary::BtnCancelClick);
    auto *buttons = buttonRow({m_save, m_cancel});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(logoRow);
    layout->addLayout(measures);
    layout->addSpacing(6);
    layout->addLayout(address);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    QWidget *order[] = {m_logoButton, m_logo,    m_topMargin, m_logoHeight, m_logoWidth,  m_company,
                        m_addr[0],    m_addr[1], m_addr[2],   m_addr[3],    m_justify[0], m_justify[1],
                        m_justify[2], m_closing, m_signature, m_save,       m_cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    helpOnF1(this, helpContext);
    resize(560, sizeHint().height());
    guardStoredText(this);
}

void TStationary::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TStationary::setLogoText(const QString &path)
{
    // The typing limit must not cut a chosen path.
    m_logoLimit->admit(path.size());
    m_logo->setText(path);
    m_logo->setCursorPosition(0);
}

void TStationary::FormShow()
{
    const StationeryDefinition d = stationeryDefinition(settings());
    setLogoText(d.logoFile);
    m_topMargin->setValue(d.topMargin);
    m_logoHeight->setValue(d.logoHeight);
    m_logoWidth->setValue(d.logoWidth);
    m_company->setText(d.company);
    m_addr[0]->setText(d.addr1);
    m_addr[1]->setText(d.addr2);
    m_addr[2]->setText(d.addr3);
    m_addr[3]->setText(d.addr4);
    m_closing->setText(d.closingLine);
    m_signature->setText(d.signatureLine);
    m_justify[d.justification - 1]->setChecked(true);
    m_logo->setFocus();
}

void TStationary::BtnLogoClick()
{
    QString chosen;
    {
        // The data files are found relative to the working directory.
        WorkingDirectoryKeeper keeper;
        const QString preset = m_logo->text().trimmed();
        chosen =
            chosenLogoFile(ui().openFileName(QStringLiteral("Logo File"), preset, logoFileFilter()), preset);
    }
    if (!chosen.isEmpty() && storableLogoPath(chosen).isEmpty()) {
        ui().information(logoPathTooLongMessage());
        return;
    }
    setLogoText(storableLogoPath(chosen));
}

void TStationary::BtnSaveClick()
{
    StationeryDefinition d;
    d.logoFile = m_logo->text();
    const QString logo = logoPathToStore(d.logoFile);
    if (!logo.isEmpty() && storableLogoPath(logo).isEmpty()) {
        ui().information(logoPathTooLongMessage());
        m_logo->setFocus();
        return;
    }
    d.topMargin = m_topMargin->value();
    d.logoHeight = m_logoHeight->value();
    d.logoWidth = m_logoWidth->value();
    d.company = m_company->text();
    d.addr1 = m_addr[0]->text();
    d.addr2 = m_addr[1]->text();
    d.addr3 = m_addr[2]->text();
    d.addr4 = m_addr[3]->text();
    d.closingLine = m_closing->text();
    d.signatureLine = m_signature->text();
    d.justification = m_justify[2]->isChecked() ? 3 : m_justify[1]->isChecked() ? 2 : 1;
    saveStationery(d);
    accept();
}

void TStationary::BtnCancelClick()
{
    reject();
}

void runStationery(QWidget *parent)
{
    TStationary window(parent);
    window.exec();
}

} // namespace tlv
