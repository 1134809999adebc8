#pragma once
// A pick list that shows every record of a small table by name in a list
// box: Select (or Enter, or a double click) chooses the current row, New
// opens the record's editor through the pick-list hook, Cancel, Escape and
// the close box choose nothing. The group and label stock lists are made
// of it; a list may add a seek field above the names.
#include "picklists/PickList.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tlv {

class TPickNames : public QDialog
{
    Q_OBJECT
public:
    void setNewAllowed(bool allowed);
    // Cancel, Escape and the close box: nothing chosen (selected record -1).
    void reject() override;
    void done(int result) override;
    QListWidget *list() const { return m_list; }

public slots:
    void FormShow();
    void BtnSelectClick();
    void BtnNewClick();
    void BtnCancelClick();
    void ListBox1DblClick();

protected:
    // `name` is the window's object name and caption; `withSeek` adds the
    // "Seek:" field Edit1 above the list.
    TPickNames(const char *name, QSize size, bool withSeek, QWidget *parent);

    // The selected-record slot the list reads on showing and answers in.
    virtual int &selectedRecord() = 0;
    // The names to show, read when the window is shown.
    virtual NameList loadNames() = 0;
    // The record number behind row `index` of the list.
    virtual long recordAt(int index) = 0;
    // Called once when a shown window closes, however it closes.
    virtual void closing() {}

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QLineEdit *m_seek = nullptr; // only where the list has a seek field
    QListWidget *m_list = nullptr;

private:
    QPushButton *m_select = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_shown = false;
};

} // namespace tlv
