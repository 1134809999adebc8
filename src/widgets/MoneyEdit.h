#pragma once
#include <QLineEdit>
#include <QLocale>

namespace tlv {

// The money and percent entry field. It is built with the number of integer
// positions (the sign takes one of them) and of decimals: 7+2 for amounts
// ("%10.2f"), 5+2 unit prices ("%8.2f"), 6+2 quantities ("%9.2f"), 2+2
// percentages ("%5.2f"), 4+3 label dimensions ("%8.3f").
//
// Typing the decimal separator or leaving the field rewrites the text in the
// field's format. A minus typed before any digit survives that rewrite in front
// of the formatted zero, so a negative amount below one can be typed as
// "-", separator, decimals. A minus typed anywhere in an amount turns its
// sign, a second one turns it back. The text is red while it holds a minus
// sign, unless colouring is switched off.
class MoneyEdit : public QLineEdit
{
    Q_OBJECT
public:
    MoneyEdit(int integerDigits, int decimals, QWidget *parent = nullptr);

    double value() const;
    void setValue(double v);

    int integerDigits() const { return m_integerDigits; }
    int decimals() const { return m_decimals; }
    // Width of the formatted text: integer positions, separator and decimals.
    int formatWidth() const { return m_integerDigits + 1 + m_decimals; }

    void setColoured(bool on);
    bool isColoured() const { return m_coloured; }
    // True while the text is shown in red.
    bool showsNegative() const;

    // Rewrites the text in the field's format (what the separator key and
    // leaving the field do).
    void normalise();
    // The rewrite of a given text under the given locale's separator.
    static QString normalisedText(const QString &text, int width, int decimals, const QLocale &locale);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateColour();
    // Makes the amount negative, or positive again, wherever the cursor is.
    void toggleSign();
    void installValidator();
    QString separator() const;

    int m_integerDigits;
    int m_decimals;
    bool m_coloured = true;
    QLocale m_locale; // the locale the text is written in
};

} // namespace tlv
