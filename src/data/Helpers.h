#pragma once
// Date, number and text helpers shared by every part of the program. None of
// them touches the tables or the screen.
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

namespace tlv {

// ---- Dates --------------------------------------------------------------
// Date fields and date keys hold "yyyymmdd"; a null QDate means "no date".

// The year of the 100-year window that starts 60 years before currentYear.
int windowYear(int year, int currentYear);
// Moves a date's year into the 100-year window that starts 60 years before
// currentYear (a year at 0 or omitted means today's year from the clock). A
// 29 February that has no counterpart stays as it was.
QDate centuryCorrect(const QDate &d, int currentYear = 0);
// "yyyymmdd" of the date after the century correction; "" for no date.
QString dateToText(const QDate &d);
// The date of a "yyyymmdd" text; no date when the trimmed text is shorter than
// eight characters or the digits do not form a valid date.
QDate textToDate(const QString &text);

// The user's short date format with four-digit years (M/d/yyyy for en_US).
QString shortDateFormat(const QLocale &locale = QLocale());
// A date in the user's short date format with a four-digit year; "" for no date.
QString dateToShort(const QDate &d, const QLocale &locale = QLocale());
// Reads a date typed in the user's short date format: day, month and year as
// digit groups in the format's order, separated by anything else. A year of
// one or two digits goes through the 60-year window. Invalid text gives no date.
QDate shortToDate(const QString &text, const QLocale &locale = QLocale(), int currentYear = 0);

// The user's short date format in upper case with a lone M, D or Y doubled
// (m/d/yy -> MM/DD/YY, d.M.yyyy -> DD.MM.YYYY).
QString normalisedDatePattern(const QLocale &locale = QLocale());
QString normalisedDatePattern(const QString &shortFormat);

// ---- Money and numbers --------------------------------------------------

// Rounds to cents, half away from zero, judged on the exact binary value:
// 0.125 -> 0.13, -0.125 -> -0.13, 2.675 (just below in binary) -> 2.67.
// Zero comes back as +0.
double roundMoney(double x);
// Rounds to the given number of decimals (0 to 4) in the same way.
double roundDecimals(double x, int decimals);

// The integer's digits with blanks on the left up to width; never cut.
QString paddedNumber(qint64 n, int width);
QString blanks(int count);

// The number with exactly `decimals` decimals and the locale's decimal
// separator, right-aligned in at least `width` characters, like printf's
// "%10.2f" but never with group separators, and rounding exact binary halves
// away from zero (10.125 -> "10.13"). Never "-0.00".
QString numberToFixed(double value, int width, int decimals, const QLocale &locale = QLocale());
// The same with '.' whatever the user's locale: for files.
QString numberToFixedC(double value, int width, int decimals);

// True when the text, blanks around it ignored, reads as a number under the
// locale (its decimal separator, no group separators).
bool isNumber(const QString &text, const QLocale &locale = QLocale());
// Reads such a number; blank text or text that is not a number gives 0 and
// *ok false.
double toNumber(const QString &text, const QLocale &locale = QLocale(), bool *ok = nullptr);

// ---- Text ---------------------------------------------------------------

// 1-based position of the last occurrence of sub in text; 0 when absent.
int lastPosition(const QString &sub, const QString &text);
// Index of the first element equal to value; -1 when absent.
int indexInList(const QList<int> &list, int value);

} // namespace tlv
