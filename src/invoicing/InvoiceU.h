#pragma once
// The invoice editor (caption "Invoice"): one invoice at a time, its
// customer, header fields, line items, charge lines and payments, all in the
// in-memory invoice (db().inv6.buf and invoiceMemory()). It opens on the
// selected invoice record (db().selected.invoice; 0: a new invoice).
//
// CUST5, GROUPS, INV6, ITM5, PMT and Prod5 must be open: the main window's
// "Invoices" command (runInvoiceCommand) opens them and runs the invoice pick
// list around the editor.
#include "invoicing/InvoiceCalc.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tlv {

class DateEdit;
class MoneyEdit;
class TItemDef;
class TPickPmt;
class TPmtDef;

class TInvoice : public QDialog
{
    Q_OBJECT
public:
    explicit TInvoice(QWidget *parent = nullptr);
    ~TInvoice() override;

    // The grid of line items: Qt's header row is the heading row, so line
    // r - 1 stands in table row r - 1 and the grid's "rows" are rowCount() + 1.
    QTableWidget *grid() const { return m_grid; }
    TItemDef *itemDialog() const { return m_itemDef; }
    TPmtDef *paymentDialog() const { return m_pmtDef; }
    TPickPmt *paymentList() const { return m_pickPmt; }
    const InvoiceCalc &calc() const { return m_calc; }
    // Whether the chosen customer's e-mail address can be mailed to.
    bool customerMailable() const { return m_customerMailable; }

    // Writes the header buffer and the lines into the controls and recomputes
    // the totals (what opening, starting or loading an invoice ends with).
    void refreshDisplay();
    // The customer's address block and note, and whether it can be mailed.
    void showCustomer();
    // The grid back to its heading and four empty rows (after a save or delete).
    void resetGrid();

public slots:
    void FormShow();
    void BtnCustClick();
    void BtnCustEditClick();
    void BAddItmClick();
    void BEditItmClick();
    void StringGrid1DblClick(int row, int column);
    // Payments change the in-memory invoice; Save stores it (then closes,
    // or for a new invoice offers another), Delete removes it and closes.
    void BAddPmtClick();
    void BEditPmtClick();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCancelClick();
    void BtnPrintClick();
    void BtnEMailClick();
    void Button1Click();
    void BtnBatchLabClick();
    // A web shop order into a new invoice on screen (left for review and
    // Save); the card payment of the invoice on screen to the card batch file.
    void BtnImportClick();
    void BtnExportClick();
    void BitBtn1Click();
    void BtnDearCustClick();
    // Leaving a field stores it; leaving an amount recomputes.
    void Edit2Exit();
    void Edit3Exit();
    void Edit4Exit();
    void Memo2Exit();
    void MaskEdit1Exit();
    void MaskEdit3Exit();
    void MaskEdit4Exit();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // No customer: "Customer must be selected to print"; otherwise the form
    // goes into the header buffer for the document.
    bool readyToPrint();
    void buildControls();
    // Writes the values the last computation changed into their fields.
    void showTotals();
    void writeLines();
    void writeHeader();
    // What a save takes from the form into the header buffer.
    void copyFormToHeader();
    // No lines, no payments, no address, the grid cut back.
    void clearInvoice();
    // The lines, payments and amounts a change can be taken back to.
    struct AmountsBefore
    {
        QList<QStringList> items;
        QList<QStringList> payments;
        double discount = 0;
        double ship = 0;
        double tax = 0;
    };
    AmountsBefore amountsBefore() const;
    // After a change has been computed: when an amount no longer fits its
    // field, the change is taken back and the message ends in `refused`;
    // then the fields show the values.
    void keepIfFits(const AmountsBefore &before, const QString &refused);

    InvoiceCalc m_calc;
    TItemDef *m_itemDef = nullptr;
    TPmtDef *m_pmtDef = nullptr;
    TPickPmt *m_pickPmt = nullptr;
    bool m_customerMailable = false;

    QPushButton *m_btnCust = nullptr;       // BtnCust
    QPushButton *m_btnCustEdit = nullptr;   // BtnCustEdit
    QPlainTextEdit *m_address = nullptr;    // Memo1
    QLineEdit *m_custNote = nullptr;        // Edit4
    QLineEdit *m_number = nullptr;          // Edit1
    DateEdit *m_date = nullptr;             // DateTimePicker1
    QLineEdit *m_dept = nullptr;            // Edit2
    QLineEdit *m_memo = nullptr;            // Edit3
    QTableWidget *m_grid = nullptr;         // StringGrid1
    QPlainTextEdit *m_remarks = nullptr;    // Memo2
    MoneyEdit *m_discountPercent = nullptr; // MaskEdit1
    MoneyEdit *m_discount = nullptr;        // MaskEdit8
    MoneyEdit *m_subtotal = nullptr;        // MaskEdit2
    MoneyEdit *m_ship = nullptr;            // MaskEdit3
    MoneyEdit *m_tax = nullptr;             // MaskEdit4
    MoneyEdit *m_total = nullptr;           // MaskEdit5
    MoneyEdit *m_payments = nullptr;        // MaskEdit6
    MoneyEdit *m_due = nullptr;             // MaskEdit7
    QLabel *m_shipLabel = nullptr;          // Label5
    QLabel *m_taxLabel = nullptr;           // Label6
    QPushButton *m_addItem = nullptr;       // BAddItm
    QPushButton *m_editItem = nullptr;      // BEditItm
    QPushButton *m_addPayment = nullptr;    // BAddPmt
    QPushButton *m_editPayment = nullptr;   // BEditPmt
    QPushButton *m_save = nullptr;          // BtnSave
    QPushButton *m_delete = nullptr;        // BtnDelete
    QPushButton *m_cancel = nullptr;        // BtnCancel
    QPushButton *m_print = nullptr;         // BtnPrint
    QPushButton *m_email = nullptr;         // BtnEMail
    QPushButton *m_packing = nullptr;       // Button1
    QPushButton *m_import = nullptr;        // BtnImport
    QPushButton *m_export = nullptr;        // BtnExport
    QPushButton *m_batchLab = nullptr;      // BtnBatchLab
    QPushButton *m_dearCust = nullptr;      // BtnDearCust
    QPushButton *m_help = nullptr;          // BitBtn1
};

// The program's one invoice editor.
TInvoice &invoiceEditor();

// Shows the invoice editor modally on the selected invoice record.
void editInvoice();

// Makes the invoice editor the invoice pick list's "New".
void installInvoiceEditor();

// The main window's "Invoices" command: opens the invoice tables, starts the
// invoice pick list on the last invoice and shows the editor for each invoice
// chosen until the list is cancelled; closes the tables, packing them when a
// deletion asked for it.
void runInvoiceCommand(QWidget *parent);

} // namespace tlv
