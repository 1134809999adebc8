#pragma once
// Small pieces shared by the master-data windows.
#include <QPushButton>
#include <QString>
#include <functional>
#include <initializer_list>

class QLabel;
class QLineEdit;
class QHBoxLayout;
class QWidget;

namespace tlv {

class MoneyEdit;

// A push button with its control name and caption; not pressed by Enter
// unless it has the focus.
QPushButton *namedButton(const char *name, const QString &caption);
// The same, pressing it runs `click` on `window`.
template <class Window>
QPushButton *namedButton(const char *name, const QString &caption, Window *window, void (Window::*click)())
{
    QPushButton *b = namedButton(name, caption);
    QObject::connect(b, &QPushButton::clicked, window, click);
    return b;
}
// A window's row of buttons, pushed to the right.
QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons);

// A text field with its control name and the most characters one may type
// (0: no limit); Enter moves on to the next control.
QLineEdit *namedEdit(const char *name, int maxLength = 0);
// A money, percent or measure field; Enter moves on to the next control.
MoneyEdit *namedMoneyEdit(const char *name, int integerDigits, int decimals, bool coloured = true);
// A caption for a field, which focuses the field on its mnemonic.
QLabel *captionFor(const QString &text, QWidget *field = nullptr);
// F1 in the window opens its help topic.
void helpOnF1(QWidget *window, int context);

// The parent for an editing window: the one given, else the modal window in
// front (a pick list's caller), else the active window.
QWidget *editorParent(QWidget *given);

// The main window's editing commands: the pick list and the editing window in
// turn until the list is cancelled. `pick` runs the pick list with "New"
// allowed; "New" opens the editor through the list's hook, which raises
// `newOpened`, and leads back to the list. A record chosen is edited with
// `edit`.
void pickAndEdit(const std::function<bool()> &pick, const std::function<void()> &edit, bool &newOpened);

} // namespace tlv
