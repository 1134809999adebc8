#pragma once
// The locale the program and tlvtool work in, set once the application
// object has read the desktop's.

namespace tlv {

// Numbers in table files are written with '.', whatever the desktop's locale;
// a desktop without a chosen locale ("C", "C.UTF-8") gets the numeric short
// dates and the decimal point of en_US rather than Qt's "17 Aug 2026", so the
// program and tlvtool show, print and export the same dates. Call after the
// QCoreApplication (or QApplication) has been created.
void useDesktopLocale();

} // namespace tlv
