#pragma once
class QWidget;

namespace tlv {

// In data-entry fields the Enter key moves on to the next control, as Tab
// does, instead of pressing the window's default button.
void enterMovesFocus(QWidget *field);

} // namespace tlv
