#include "widgets/DateEdit.h"

#include "data/Helpers.h"
#include "platform/Clock.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QTimer>
#include <QToolTip>

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
    showRefused(false);
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
    if (t.isEmpty()) {
        // An empty field means no date where that is allowed, else the last one.
        setDate(m_allowEmpty ? QDate() : m_date);
        return;
    }
    const QDate d = shortToDate(t, locale());
    if (d.isValid()) {
        showRefused(false);
        setDate(d);
        return;
    }
    // Not a date (2/30/2026, 13/1/26): the text stays for the user to mend,
    // the field says why and takes the focus back, and the last good date
    // stands until then.
    showRefused(true);
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && window()->isActiveWindow() && !textIsDate())
            setFocus(Qt::OtherFocusReason);
    });
}

bool DateEdit::textIsDate() const
{
    const QString t = text().trimmed();
    if (t.isEmpty())
        return m_allowEmpty;
    return shortToDate(t, locale()).isValid();
}

bool DateEdit::confirmDate()
{
    if (textIsDate())
        return true;
    showRefused(true);
    setFocus(Qt::OtherFocusReason);
    return false;
}

void DateEdit::showRefused(bool refused)
{
    if (!refused && !m_refused)
        return;
    m_refused = refused;
    QPalette p = palette();
    p.setColor(QPalette::Base, refused ? QColor(255, 220, 220) : QPalette().color(QPalette::Base));
    setPalette(p);
    const QString why =
        QStringLiteral("\"%1\" is not a date. Type a date such as %2.")
            .arg(text().trimmed(), dateToShort(QDate(clock().today().year(), 12, 31), locale()));
    setToolTip(refused ? why : QString());
    if (refused)
        QToolTip::showText(mapToGlobal(QPoint(0, height())), why, this);
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
