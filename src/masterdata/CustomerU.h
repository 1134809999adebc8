#pragma once
// The customer window (caption "Customer"): creates, edits and deletes one
// customer. It works on the selected customer record (db().selected.customer;
// 0: a new customer) through the customer buffer, and leaves the saved
// customer's record number there.
//
// Opened from the customer pick list (the main window's "Customers" command
// and the list's "New" wherever it is run) and from the invoice editor:
//
//     db().selected.customer = recNo;   // 0: a new customer
//     if (editCustomer(this))
//         recNo = db().selected.customer;  // saved; the buffer holds it
//
// CUST5 and GROUPS must be open.
#include "data/Records.h"
#include "masterdata/Customers.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tlv {

class TCustomer : public QDialog
{
    Q_OBJECT
public:
    explicit TCustomer(QWidget *parent = nullptr);

    // The group number the customer will be saved with.
    int groupNumber() const { return m_group; }
    // The search for a new customer's number (tests).
    const CustomerNumberSearch &numberSearch() const { return m_numbers; }

public slots:
    void FormShow();
    void BtnGroupClick();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCancelClick();
    void BtnHelpClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    // A piece of the walk for a new customer's number, while the window waits.
    void findNumber();

    QLineEdit *m_number = nullptr;        // Edit1
    QLineEdit *m_title = nullptr;         // Edit2
    QLineEdit *m_first = nullptr;         // Edit3
    QLineEdit *m_last = nullptr;          // Edit4
    QLineEdit *m_addr1 = nullptr;         // Edit5
    QLineEdit *m_addr2 = nullptr;         // Edit6
    QLineEdit *m_addr3 = nullptr;         // Edit7
    QLineEdit *m_addr4 = nullptr;         // Edit8
    QLineEdit *m_zip = nullptr;           // Edit9
    QLineEdit *m_phone = nullptr;         // Edit10
    QLineEdit *m_fax = nullptr;           // Edit11
    QLineEdit *m_email = nullptr;         // Edit12
    QLineEdit *m_note = nullptr;          // Edit13
    QLineEdit *m_groupName = nullptr;     // Edit14
    QPlainTextEdit *m_comments = nullptr; // Memo1
    QLabel *m_addressLabel = nullptr;
    QPushButton *m_groupButton = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_help = nullptr;

    CustomerRecord m_loaded; // the customer as opened
    int m_group = 0;         // the group chosen so far
    // A new customer's number is looked for while the user types, so that a
    // large customer table does not hold up the save.
    CustomerNumberSearch m_numbers;
    QTimer m_numberTimer;
};

// Shows the customer window modally on the selected customer; true when the
// customer was saved or deleted. Without a parent the window opens over the
// active modal window.
bool editCustomer(QWidget *parent = nullptr);

// Makes the customer window the customer pick list's "New".
void installCustomerEditor();

// The main window's "Customers" command: the customer pick list and the
// customer window in turn until the list is cancelled; CUST5 is packed at the
// end when a customer was deleted.
void runCustomerCommand(QWidget *parent);

} // namespace tlv
