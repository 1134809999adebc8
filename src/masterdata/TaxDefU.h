#pragma once
// The tax window: labels and rates of the two computed taxes, whether the
// second is charged on the first, and how computed amounts are rounded.
#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tlv {

class MoneyEdit;

class TTaxDef : public QDialog
{
    Q_OBJECT
public:
    explicit TTaxDef(QWidget *parent = nullptr);

    // The item chosen in each radio group; -1 when none is.
    int shipTaxIndex() const;
    int taxRoundIndex() const;

public slots:
    void FormShow();
    void BtnSaveClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QGroupBox *radioGroup(const char *name, const QString &caption, const QStringList &items,
                          QButtonGroup *&group);

    QLineEdit *m_label1 = nullptr;
    QLineEdit *m_label2 = nullptr;
    MoneyEdit *m_rate1 = nullptr;
    MoneyEdit *m_rate2 = nullptr;
    QButtonGroup *m_shipTax = nullptr;
    QButtonGroup *m_taxRound = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};

// The main window's "Sales Tax" command.
void runTaxDefinition(QWidget *parent);

} // namespace tlv
