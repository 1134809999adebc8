#include "data/Helpers.h"

#include "platform/Clock.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace tlv {

namespace {

int yearOrToday(int currentYear)
{
    return currentYear > 0 ? currentYear : clock().today().year();
}

// Powers of ten up to 10^4: a double times any of them is exact in a long
// double (53 + 10 significant bits fit the 64-bit mantissa), so rounding the
// product rounds the exact binary value.
long double pow10l(int decimals)
{
    static const long double table[] = {1.0L, 10.0L, 100.0L, 1000.0L, 10000.0L};
    return table[decimals < 0 ? 0 : (decimals > 4 ? 4 : decimals)];
}

QLocale strictLocale(const QLocale &locale)
{
    QLocale l(locale);
    l.setNumberOptions(QLocale::RejectGroupSeparator);
    return l;
}

} // namespace

// ---- Dates --------------------------------------------------------------

int windowYear(int year, int currentYear)
{
    const int pivot = yearOrToday(currentYear) - 60;
    if (year < 100) {
        int y = pivot - (pivot % 100) + year;
        if (y < pivot)
            y += 100;
        return y;
    }
    if (year < pivot)
        return year + 100;
    if (year >= pivot + 100)
        return year - 100;
    return year;
}

QDate centuryCorrect(const QDate &d, int currentYear)
{
    if (!d.isValid())
        return d;
    const int pivot = yearOrToday(currentYear) - 60;
    int year = d.year();
    if (year < pivot)
        year += 100;
    else if (year >= pivot + 100)
        year -= 100;
    const QDate moved(year, d.month(), d.day());
    return moved.isValid() ? moved : d;
}

QString dateToText(const QDate &d)
{
    if (!d.isValid() || d.year() < 1)
        return QString();
    const QDate c = centuryCorrect(d);
    return QString::asprintf("%04d%02d%02d", c.year(), c.month(), c.day());
}

QDate textToDate(const QString &text)
{
    if (text.trimmed().size() <= 7)
        return QDate();
    bool okY = false, okM = false, okD = false;
    const int y = text.mid(0, 4).toInt(&okY);
    const int m = text.mid(4, 2).toInt(&okM);
    const int d = text.mid(6, 2).toInt(&okD);
    if (!okY || !okM || !okD)
        return QDate();
    const QDate date(y, m, d);
    return date.isValid() ? date : QDate();
}

QString shortDateFormat(const QLocale &locale)
{
    QString f = locale.dateFormat(QLocale::ShortFormat);
    const int first = f.indexOf(QLatin1Char('y'));
    if (first < 0)
        return f;
    int last = first;
    while (last + 1 < f.size() && f[last + 1] == QLatin1Char('y'))
        ++last;
    f.replace(first, last - first + 1, QStringLiteral("yyyy"));
    return f;
}

QString dateToShort(const QDate &d, const QLocale &locale)
{
    if (!d.isValid())
        return QString();
    return locale.toString(d, shortDateFormat(locale));
}

QDate shortToDate(const QString &text, const QLocale &locale, int currentYear)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QDate();
    if (format.contains(QLatin1String("MMM"))) {
        // Month names: let the locale read it, then window a short year.
        QDate d = locale.toDate(trimmed, shortDateFormat(locale));
        if (!d.isValid()) {
            d = locale.toDate(trimmed, format);
            if (d.isValid())
                d = QDate(windowYear(d.year() % 100, currentYear), d.month(), d.day());
        }
        return d;
    }
    // The order of day, month and year in the format.
    QString order;
    for (QChar c : format) {
        const QChar l = c.toLower();
        if ((l == QLatin1Char('d') || l == QLatin1Char('m') || l == QLatin1Char('y')) && !order.contains(l))
            order += l;
    }
    if (order.size() != 3)
        return QDate();
    QList<QString> groups;
    QString current;
    for (QChar c : trimmed) {
        if (c.isDigit()) {
            current += c;
        } else {
            if (!c.isSpace() && !c.isPunct() && !c.isSymbol())
                return QDate(); // letters are never part of a numeric date
            if (!current.isEmpty())
                groups.append(current);
            current.clear();
        }
    }
    if (!current.isEmpty())
        groups.append(current);
    if (groups.size() != 3)
        return QDate();
    int day = 0, month = 0, year = 0;
    for (int i = 0; i < 3; ++i) {
        const QString &g = groups[i];
        const int v = g.toInt();
        switch (order[i].unicode()) {
        case 'd':
            if (g.size() > 2)
                return QDate();
            day = v;
            break;
        case 'm':
            if (g.size() > 2)
                return QDate();
            month = v;
            break;
        default:
            if (g.size() <= 2)
                year = windowYear(v, currentYear);
            else if (g.size() == 4)
                year = v;
            else
                return QDate();
        }
    }
    const QDate d(year, month, day);
    return d.isValid() ? d : QDate();
}

QString normalisedDatePattern(const QString &shortFormat)
{
    QString s = shortFormat.toUpper();
    for (QChar letter : {QLatin1Char('M'), QLatin1Char('D'), QLatin1Char('Y')}) {
        const int i = s.indexOf(letter);
        if (i >= 0 && (i + 1 >= s.size() || s[i + 1] != letter))
            s.insert(i + 1, letter);
    }
    return s;
}

QString normalisedDatePattern(const QLocale &locale)
{
    return normalisedDatePattern(locale.dateFormat(QLocale::ShortFormat));
}

// ---- Money and numbers --------------------------------------------------

double roundDecimals(double x, int decimals)
{
    if (!std::isfinite(x))
        return x;
    const long double scale = pow10l(decimals);
    const long double units = std::roundl(static_cast<long double>(x) * scale);
    const double result = static_cast<double>(units) / static_cast<double>(scale);
    return result == 0.0 ? 0.0 : result;
}

double roundMoney(double x)
{
    return roundDecimals(x, 2);
}

QString paddedNumber(qint64 n, int width)
{
    const QString digits = QString::number(n);
    return digits.size() >= width ? digits : blanks(width - digits.size()) + digits;
}

QString blanks(int count)
{
    return count > 0 ? QString(count, QLatin1Char(' ')) : QString();
}

QString numberToFixedC(double value, int width, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    QString text;
    const long double scale = pow10l(decimals);
    const long double units = std::isfinite(value) ? std::roundl(static_cast<long double>(value) * scale) : 0;
    if (decimals <= 4 && std::isfinite(value) && std::fabs(units) < 9.0e18L) {
        const std::int64_t u = static_cast<std::int64_t>(units);
        const std::uint64_t a = u < 0 ? static_cast<std::uint64_t>(-u) : static_cast<std::uint64_t>(u);
        QString digits = QString::number(a);
        if (digits.size() <= decimals)
            digits = QString(decimals + 1 - digits.size(), QLatin1Char('0')) + digits;
        if (decimals > 0)
            digits.insert(digits.size() - decimals, QLatin1Char('.'));
        text = (u < 0 ? QStringLiteral("-") : QString()) + digits;
    } else {
        // Far beyond any amount the program keeps; printf's rounding will do.
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
        text = QString::fromLatin1(buf);
    }
    return text.size() >= width ? text : blanks(width - text.size()) + text;
}

QString numberToFixed(double value, int width, int decimals, const QLocale &locale)
{
    QString text = numberToFixedC(value, width, decimals);
    const QString sep = locale.decimalPoint();
    if (sep != QLatin1String("."))
        text.replace(QLatin1Char('.'), sep);
    return text;
}

bool isNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    strictLocale(locale).toDouble(text.trimmed(), &ok);
    return ok;
}

double toNumber(const QString &text, const QLocale &locale, bool *ok)
{
    bool good = false;
    const double v = strictLocale(locale).toDouble(text.trimmed(), &good);
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}

// ---- Text ---------------------------------------------------------------

int lastPosition(const QString &sub, const QString &text)
{
    if (sub.isEmpty())
        return 0;
    return text.lastIndexOf(sub) + 1;
}

int indexInList(const QList<int> &list, int value)
{
    return list.indexOf(value);
}

} // namespace tlv
