#pragma once
// The date-span dialog: a starting and an ending date for a report, a label
// batch or an export, left in the selection state.
#include <QDialog>

class QLabel;
class QPushButton;

namespace tlv {

class DateEdit;

class TDateSpan : public QDialog
{
    Q_OBJECT
public:
    explicit TDateSpan(QWidget *parent = nullptr);

    // Asks for one date only: the ending date and its label hidden, the
    // first label reading `caption`. restoreSpan() undoes it.
    void setSingleDate(const QString &caption);
    void restoreSpan();

public slots:
    void FormShow();
    void BtnOKClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void takeDates();

    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    DateEdit *m_start = nullptr;
    DateEdit *m_end = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

// Shows the dialog on the selection's dates; true when "OK" took them.
bool askDateSpan(QWidget *parent = nullptr);
// The same for a single date (the starting date), with the first label
// reading `caption`; the dialog is put back as it was afterwards.
bool askSingleDate(const QString &caption, QWidget *parent = nullptr);

} // namespace tlv
