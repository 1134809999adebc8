#include "widgets/DateEdit.h"

#include "data/Helpers.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>

namespace tlv {

DateEdit::DateEdit(QWidget *parent) : QLineEdit(parent)
{
    QAction *drop = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    drop->setObjectName(QStringLiteral("CalendarButton"));
    drop->setToolTip(QStringLiteral("Choose from a calendar"));
    connect(drop, &QAction::triggered, this, &DateEdit::showCalendar);
    connect(this, &QLineEdit::returnPressed, this, &DateEdit::commitText);
}

void DateEdit::setDate(const QDate &d)
{
    const QDate wanted = d.isValid() ? d : QDate();
    setText(dateToShort(wanted, locale()));
    if (wanted != m_date) {
        m_date = wanted;
        emit dateChanged(m_date);
    }
}

void DateEdit::commitText()
{
    const QString t = text().trimmed();
    if (t.isEmpty() && m_allowEmpty) {
        setDate(QDate());
        return;
    }
    const QDate d = shortToDate(t, locale());
    setDate(d.isValid() ? d : m_date);
}

void DateEdit::showCalendar()
{
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setObjectName(QStringLiteral("Calendar"));
        m_calendar->setWindowFlags(Qt::Popup);
        m_calendar->setGridVisible(true);
        connect(m_calendar, &QCalendarWidget::clicked, this, [this](QDate d) {
            m_calendar->hide();
            setDate(d);
            setFocus(Qt::OtherFocusReason);
        });
        connect(m_calendar, &QCalendarWidget::activated, this, [this](QDate d) {
            m_calendar->hide();
            setDate(d);
            setFocus(Qt::OtherFocusReason);
        });
    }
    commitText();
    m_calendar->setLocale(locale());
    m_calendar->setSelectedDate(m_date.isValid() ? m_date : QDate::currentDate());
    m_calendar->adjustSize();
    m_calendar->move(mapToGlobal(QPoint(0, height())));
    m_calendar->show();
    m_calendar->setFocus();
}

void DateEdit::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason)
        commitText();
    QLineEdit::focusOutEvent(event);
}

void DateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::LocaleChange)
        setText(dateToShort(m_date, locale()));
}

} // namespace tlv
