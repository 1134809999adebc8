#pragma once
#include <QDate>
#include <QLineEdit>

class QCalendarWidget;

namespace tlv {

// A date field in the user's short date format. It shows four-digit years,
// reads two-digit years through the program's 60-year window, and offers a
// calendar from the button at its right end. Text that is not a date stays
// when the field is left: the field turns red, says why and takes the focus
// back, while date() keeps the last good date.
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
    // Whether the text, as it stands, is a date (or empty where allowed).
    // A window's Save asks, so that it never stores a date the user did
    // not mean.
    bool textIsDate() const;
    // The same for a window about to use the date: when the text is not a
    // date, the field takes the focus and says why.
    bool confirmDate();

signals:
    void dateChanged(const QDate &date);

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void commitText();
    void showRefused(bool refused);

    QDate m_date;
    bool m_allowEmpty = false;
    bool m_refused = false;
    QCalendarWidget *m_calendar = nullptr;
};

} // namespace tlv
