#pragma once
// The stationery window: the letterhead printed on invoices, bills and
// statements (logo, company name and address, justification, top margin) and
// the closing and signature lines.
#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tlv {

class LogoLengthValidator;
class MoneyEdit;

class TStationary : public QDialog
{
    Q_OBJECT
public:
    explicit TStationary(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void BtnLogoClick();
    void BtnSaveClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setLogoText(const QString &path);

    QLineEdit *m_logo = nullptr;
    LogoLengthValidator *m_logoLimit = nullptr;
    QPushButton *m_logoButton = nullptr;
    MoneyEdit *m_topMargin = nullptr;
    MoneyEdit *m_logoHeight = nullptr;
    MoneyEdit *m_logoWidth = nullptr;
    QLineEdit *m_company = nullptr;
    QLineEdit *m_addr[4] = {};
    QRadioButton *m_justify[3] = {};
    QLineEdit *m_closing = nullptr;
    QLineEdit *m_signature = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};

// The main window's "Stationery" command.
void runStationery(QWidget *parent);

} // namespace tlv
