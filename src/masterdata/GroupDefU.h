#pragma once
// The group window (caption "Customer Group Definition"): creates, renames and
// deletes one customer group. It works on the selected group record
// (db().selected.group; 0: a new group) and leaves the saved group's record
// number there, so that whoever opened it through the group pick list's
// "New" can take the new group. GROUPS must be open; deleting also works on
// CUST5 (opened for the purpose when closed).
#include "data/Records.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tlv {

class TGroupDef : public QDialog
{
    Q_OBJECT
public:
    explicit TGroupDef(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_number = nullptr; // Edit1
    QLineEdit *m_name = nullptr;   // Edit2
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_cancel = nullptr;

    GroupRecord m_loaded; // the group as opened
    int m_recNo = 0;      // its record; -1 for a new group
};

// Shows the group window modally on the selected group; true when the group
// was saved or deleted.
bool editGroup(QWidget *parent = nullptr);

// Makes the group window the group pick list's "New".
void installGroupEditor();

// The main window's "Customer Groups" command: the group pick list and the
// group window in turn until the list is cancelled; GROUPS is packed at the
// end when a group was deleted.
void runGroupCommand(QWidget *parent);

} // namespace tlv
