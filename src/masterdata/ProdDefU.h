#pragma once
// The product window: creates, edits and deletes one product or service. It
// works on the selected product record (0: a new product) and leaves the
// saved product's record number there.
#include "data/Records.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tlv {

class MoneyEdit;

class TProdDef : public QDialog
{
    Q_OBJECT
public:
    explicit TProdDef(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCancelClick();
    void BtnHelpClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_id = nullptr;
    QLineEdit *m_description = nullptr;
    QLineEdit *m_secondLine = nullptr;
    MoneyEdit *m_price = nullptr;
    QCheckBox *m_tax1 = nullptr;
    QCheckBox *m_tax2 = nullptr;
    QLineEdit *m_licence = nullptr;
    QCheckBox *m_inventory = nullptr;
    MoneyEdit *m_reorder = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_help = nullptr;

    ProductRecord m_loaded; // the product as opened
};

// Shows the product window modally on the selected product (Prod5 open);
// true when a product was saved (or deleted).
bool editProduct(QWidget *parent = nullptr);

// Makes the product window the product pick list's "New".
void installProductEditor();

// The main window's "Products && Services" command: the product pick list and
// the product window in turn until the list is cancelled; Prod5 and Pur5 are
// packed at the end when a product was deleted.
void runProductCommand(QWidget *parent);

} // namespace tlv
