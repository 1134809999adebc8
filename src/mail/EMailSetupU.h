#pragma once
// The mail settings window: the five mail settings of the settings record
// and, below them, how the server is reached (port, protection, sign-in),
// kept in the data directory's connection file.
#include <QDialog>

class QComboBox;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tlv {

class TEMailSetup : public QDialog
{
    Q_OBJECT
public:
    explicit TEMailSetup(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void BtnSaveClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void securityChanged(int index);

    QLineEdit *m_edits[5] = {};       // Edit1 .. Edit5
    QSpinBox *m_port = nullptr;       // SpinPort
    QComboBox *m_security = nullptr;  // ComboSecurity
    QLineEdit *m_user = nullptr;      // EditUser
    QLineEdit *m_password = nullptr;  // EditPassword
    QCheckBox *m_attachPdf = nullptr; // CheckAttachPdf
};

// The main window's "EMail Setup" command.
void runEMailSetup(QWidget *parent);

} // namespace tlv
