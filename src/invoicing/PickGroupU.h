#pragma once
// The group pick list (caption "PickGroup"): every group by name in a list
// box, with a seek field that selects the first name at or after the typed
// text. The group table's order is restored when the window closes.
//
// Usage (GROUPS open):
//
//     db().selected.group = startRecNo;
//     bool created = false;
//     if (runPickGroup(/*allowNew=*/true, &created))
//         use(db().selected.group);
//
// "New" opens the group window through the hook set with
// setNewRecordEditor(PickTable::Group, ...) (see PickList.h).
#include "invoicing/PickList.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tlv {

class TPickGroup : public QDialog
{
    Q_OBJECT
public:
    explicit TPickGroup(QWidget *parent = nullptr);

    void setNewAllowed(bool allowed);
    // Cancel, Escape and the close box: nothing chosen (selected record -1).
    void reject() override;
    // However it closes, the group table gets its order back.
    void done(int result) override;
    QListWidget *list() const { return m_list; }

public slots:
    void FormShow();
    void Edit1Change();
    void BtnSelectClick();
    void BtnNewClick();
    void BtnCancelClick();
    void ListBox1DblClick();
    void FormClose();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_seek = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_select = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_cancel = nullptr;
    QStringList m_upper;     // the names upper-cased, while shown
    QString m_previousOrder; // the group table's order before showing
    bool m_shown = false;
};

TPickGroup &pickGroup();

// Runs the group pick list; true when a group was chosen or created, the
// record number in db().selected.group. "Group Database is Empty" refuses an
// empty table when New is not allowed.
bool runPickGroup(bool allowNew, bool *created = nullptr);

} // namespace tlv
