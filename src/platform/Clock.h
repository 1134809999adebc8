#pragma once
#include <QDate>

namespace tlv {

// Today's date, behind a seam so that reports and defaults can be tested on a
// fixed day.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock : public Clock
{
public:
    QDate today() const override { return QDate::currentDate(); }
};

class FixedClock : public Clock
{
public:
    explicit FixedClock(QDate day) : m_day(day) {}
    QDate today() const override { return m_day; }
    void setToday(QDate day) { m_day = day; }

private:
    QDate m_day;
};

// The clock everyone asks; the system clock unless a test installs another.
const Clock &clock();
// Installs a clock (null restores the system clock). The caller keeps ownership.
void setClock(const Clock *c);

} // namespace tlv
