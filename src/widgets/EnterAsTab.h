#pragma once
class QWidget;

namespace tlv {

// In data-entry fields the Enter key moves on to the next control, as Tab
// does, instead of pressing the window's default button.
void enterMovesFocus(QWidget *field);

// Enter on a push button that has the focus presses it, as Space does,
// whichever button is the window's default. Installed once for the whole
// application; every window's buttons follow it.
void enterPressesFocusedButtons();

} // namespace tlv
