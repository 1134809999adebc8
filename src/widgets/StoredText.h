#pragma once
// Text fields whose contents go into the tables accept only characters the
// tables can hold (Windows-1252). A keystroke or paste with any other
// character is refused: the field keeps what it had and a tip at the field
// says why, so nothing is changed into '?' behind the user's back.
class QWidget;
class QString;

namespace tlv {

// The tip shown at a field that refused a character.
QString unstorableTextTip();

// Guards every text field inside `window`, line edits (on top of any rules
// of their own: lengths, digits) and plain-text edits. Date fields read
// their text themselves.
void guardStoredText(QWidget *window);

} // namespace tlv
