#include "widgets/MoneyEdit.h"

#include "data/Helpers.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTimer>
#include <QValidator>

namespace tlv {

namespace {

// Accepts blanks, an optional minus, at most `positions` integer positions
// (the minus counts as one), the separator and at most `decimals` digits.
class MoneyValidator : public QValidator
{
public:
    MoneyValidator(int positions, int decimals, QString separator, QObject *parent)
        : QValidator(parent), m_positions(positions), m_decimals(decimals), m_separator(std::move(separator))
    {}

    State validate(QString &input, int &) const override
    {
        QString s = input;
        s.remove(QLatin1Char(' '));
        const QString sep = QRegularExpression::escape(m_separator);
        static thread_local QRegularExpression re;
        re.setPattern(QStringLiteral("^(-?)(\\d*)(?:%1(\\d*))?$").arg(sep));
        const auto m = re.match(s);
        if (!m.hasMatch())
            return Invalid;
        const int positions = m.capturedLength(1) + m.capturedLength(2);
        if (positions > m_positions || m.capturedLength(3) > m_decimals)
            return Invalid;
        // Blanks may only lead or trail: "1 2" is not a number.
        static const QRegularExpression inner(QStringLiteral("\\S\\s+\\S"));
        if (inner.match(input).hasMatch())
            return Invalid;
        return Acceptable;
    }

private:
    int m_positions;
    int m_decimals;
    QString m_separator;
};

} // namespace

MoneyEdit::MoneyEdit(int integerDigits, int decimals, QWidget *parent)
    : QLineEdit(parent), m_integerDigits(integerDigits), m_decimals(decimals)
{
    installValidator();
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValue(0.0);
    connect(this, &QLineEdit::textChanged, this, [this] { updateColour(); });
}

QString MoneyEdit::separator() const
{
    return locale().decimalPoint();
}

void MoneyEdit::installValidator()
{
    delete validator();
    setValidator(new MoneyValidator(m_integerDigits, m_decimals, separator(), this));
    m_locale = locale();
}

double MoneyEdit::value() const
{
    QString s = text();
    s.remove(QLatin1Char(' '));
    return toNumber(s, m_locale);
}

void MoneyEdit::setValue(double v)
{
    setText(numberToFixed(v, formatWidth(), m_decimals, locale()));
}

void MoneyEdit::setColoured(bool on)
{
    m_coloured = on;
    updateColour();
}

bool MoneyEdit::showsNegative() const
{
    return m_coloured && text().contains(QLatin1Char('-'));
}

QString MoneyEdit::normalisedText(const QString &text, int width, int decimals, const QLocale &locale)
{
    QString cleaned = text;
    cleaned.remove(QLatin1Char(' '));
    const double v = toNumber(cleaned, locale);
    const QString formatted = numberToFixed(v, width, decimals, locale);
    if (cleaned.startsWith(QLatin1Char('-')) && !(v < 0)) {
        // A minus typed before any digit: keep it in front of the zero.
        QString kept = QLatin1Char('-') + formatted.trimmed();
        if (kept.size() < text.size())
            kept = blanks(text.size() - kept.size()) + kept;
        return kept;
    }
    return formatted;
}

void MoneyEdit::normalise()
{
    const QString n = normalisedText(text(), formatWidth(), m_decimals, locale());
    if (n != text())
        setText(n);
    updateColour();
}

void MoneyEdit::updateColour()
{
    QPalette p = palette();
    const QColor wanted = showsNegative() ? QColor(255, 0, 0) : QColor(Qt::black);
    if (p.color(QPalette::Text) != wanted) {
        p.setColor(QPalette::Text, wanted);
        setPalette(p);
    }
}

void MoneyEdit::keyPressEvent(QKeyEvent *event)
{
    if (!event->text().isEmpty() && event->text() == separator() && !isReadOnly()) {
        normalise();
        // The decimals are selected, so that typing replaces them.
        const int at = text().lastIndexOf(separator());
        if (at >= 0)
            setSelection(at + separator().size(), m_decimals);
        event->accept();
        return;
    }
    if (event->text() == QLatin1String("-") && !isReadOnly() && !text().trimmed().isEmpty() &&
        selectedText().size() < text().size()) {
        // A minus typed anywhere but over the whole text turns the sign.
        toggleSign();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    updateColour();
}

void MoneyEdit::toggleSign()
{
    QString t = text();
    int pos = cursorPosition();
    if (const qsizetype minus = t.indexOf(QLatin1Char('-')); minus >= 0) {
        // A blank takes the sign's place, so the number stays right-aligned.
        t[minus] = QLatin1Char(' ');
    } else {
        qsizetype first = 0;
        while (first < t.size() && t.at(first) == QLatin1Char(' '))
            ++first;
        // The blank before a right-aligned number makes room for the sign.
        const bool padded = first > 0;
        if (padded)
            t.replace(first - 1, 1, QLatin1Char('-'));
        else
            t.insert(first, QLatin1Char('-'));
        if (!padded && pos >= first)
            ++pos;
    }
    int at = pos;
    if (validator() && validator()->validate(t, at) == QValidator::Invalid) {
        QApplication::beep(); // no room for a sign in front of the integer positions
        return;
    }
    setText(t);
    setCursorPosition(std::min<int>(pos, int(t.size())));
    updateColour();
}

void MoneyEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Typing into a field replaces what it holds, as one expects of an amount.
    if (event->reason() != Qt::PopupFocusReason && !isReadOnly())
        QTimer::singleShot(0, this, [this] {
            if (hasFocus())
                selectAll();
        });
}

void MoneyEdit::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason)
        normalise();
    QLineEdit::focusOutEvent(event);
}

void MoneyEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::LocaleChange && locale() != m_locale) {
        const double v = value();
        installValidator();
        setValue(v);
    }
}

} // namespace tlv
