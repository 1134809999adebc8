#include "widgets/FormKitU.h"

#include "platform/Help.h"
#include "widgets/EnterAsTab.h"
#include "widgets/MoneyEdit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace tlv {

QPushButton *namedButton(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    enterPressesFocusedButtons();
    return b;
}

QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *b : buttons)
        row->addWidget(b);
    return row;
}

QLineEdit *namedEdit(const char *name, int maxLength)
{
    auto *e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    enterMovesFocus(e);
    return e;
}

MoneyEdit *namedMoneyEdit(const char *name, int integerDigits, int decimals, bool coloured)
{
    auto *e = new MoneyEdit(integerDigits, decimals);
    e->setObjectName(QLatin1String(name));
    e->setColoured(coloured);
    // Wide enough for the formatted number and a little air.
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (e->formatWidth() + 3));
    e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (e->formatWidth() + 6));
    enterMovesFocus(e);
    return e;
}

QLabel *captionFor(const QString &text, QWidget *field)
{
    auto *l = new QLabel(text);
    if (field)
        l->setBuddy(field);
    return l;
}

void helpOnF1(QWidget *window, int context)
{
    auto *key = new QShortcut(QKeySequence::HelpContents, window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [context] { help().showTopic(context); });
}

QWidget *editorParent(QWidget *given)
{
    if (given)
        return given;
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void pickAndEdit(const std::function<bool()> &pick, const std::function<void()> &edit, bool &newOpened)
{
    for (;;) {
        newOpened = false;
        const bool chosen = pick();
        if (newOpened)
            continue;
        if (!chosen)
            break;
        edit();
    }
}

} // namespace tlv
