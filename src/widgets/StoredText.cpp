#include "widgets/StoredText.h"

#include "data/Cp1252.h"
#include "widgets/DateEdit.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QToolTip>
#include <QValidator>

namespace tlv {

namespace {

void tellAt(QWidget *field)
{
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), unstorableTextTip(), field);
}

// Refuses what the tables cannot hold, then asks the field's own rules (a
// length limit, digits) when it has any.
class StorableValidator : public QValidator
{
public:
    StorableValidator(QLineEdit *field, const QValidator *own) : QValidator(field), m_field(field), m_own(own)
    {}

    State validate(QString &input, int &pos) const override
    {
        if (!isCp1252(input)) {
            if (m_field)
                tellAt(m_field);
            return Invalid;
        }
        return m_own ? m_own->validate(input, pos) : Acceptable;
    }
    void fixup(QString &input) const override
    {
        if (m_own)
            m_own->fixup(input);
    }

private:
    QPointer<QLineEdit> m_field;
    QPointer<const QValidator> m_own;
};

// A plain-text edit has no validator: a change that brings in a character
// the tables cannot hold is taken back at once.
void guardPlainText(QPlainTextEdit *edit)
{
    auto *last = new QString(edit->toPlainText());
    QObject::connect(edit, &QObject::destroyed, [last] { delete last; });
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, last] {
        const QString now = edit->toPlainText();
        if (isCp1252(now)) {
            *last = now;
            return;
        }
        const int position = std::min<int>(edit->textCursor().position(), int(last->size()));
        const QSignalBlocker quiet(edit);
        edit->setPlainText(*last);
        QTextCursor c = edit->textCursor();
        c.setPosition(std::min<int>(position, int(last->size())));
        edit->setTextCursor(c);
        tellAt(edit);
    });
}

} // namespace

QString unstorableTextTip()
{
    return QStringLiteral("Only Western European characters (Windows-1252) can be stored; "
                          "the character was not accepted.");
}

void guardStoredText(QWidget *window)
{
    for (QLineEdit *e : window->findChildren<QLineEdit *>()) {
        // Dates are read by their own field; a spin box's line edit is its own.
        if (qobject_cast<DateEdit *>(e) || qobject_cast<QAbstractSpinBox *>(e->parentWidget()) ||
            dynamic_cast<const StorableValidator *>(e->validator()))
            continue;
        e->setValidator(new StorableValidator(e, e->validator()));
    }
    for (QPlainTextEdit *e : window->findChildren<QPlainTextEdit *>())
        guardPlainText(e);
}

} // namespace tlv
