#pragma once
#include <QDate>
#include <QLineEdit>

class QCalendarWidget;

namespace tlv {

// A date field in the user's short date format. It shows four-digit years,
// reads two-digit years through the program's 60-year window, and offers a
// calendar from the button at its right end. Text that is not a date is put
// back to the last good date when the field is left.
class DateEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit DateEdit(QWidget *parent = nullptr);

    QDate date() const { return m_date; }
    void setDate(const QDate &d);
    // Whether an empty field (no date) is allowed; off by default.
    void setAllowEmpty(bool on) { m_allowEmpty = on; }
    void showCalendar();

signals:
    void dateChanged(const QDate &date);

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void commitText();

    QDate m_date;
    bool m_allowEmpty = false;
    QCalendarWidget *m_calendar = nullptr;
};

} // namespace tlv
