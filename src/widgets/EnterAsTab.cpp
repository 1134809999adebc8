#include "widgets/EnterAsTab.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace tlv {

namespace {

// The key event of an Enter or Return press, else null.
const QKeyEvent *enterPress(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return nullptr;
    auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ? key : nullptr;
}

class EnterFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!enterPress(event))
            return false;
        // Moving the focus makes the field read its text, as leaving it does.
        auto *w = static_cast<QWidget *>(watched);
        QWidget *next = w->nextInFocusChain();
        while (next && next != w &&
               (!(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled() || !next->isVisible()))
            next = next->nextInFocusChain();
        if (next)
            next->setFocus(Qt::TabFocusReason);
        return true;
    }
};

class ButtonEnterFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QKeyEvent *key = enterPress(event);
        if (!key || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->hasFocus() || !button->isEnabled() || !button->isVisible())
            return false;
        button->click();
        return true;
    }
};

} // namespace

void enterPressesFocusedButtons()
{
    static ButtonEnterFilter *filter = nullptr;
    if (!filter) {
        filter = new ButtonEnterFilter(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
    }
}

void enterMovesFocus(QWidget *field)
{
    static EnterFilter *filter = nullptr;
    if (!filter)
        filter = new EnterFilter(QCoreApplication::instance());
    field->installEventFilter(filter);
    enterPressesFocusedButtons();
}

} // namespace tlv
