#include "platform/DesktopLocale.h"

#include <QLocale>
#include <clocale>

namespace tlv {

void useDesktopLocale()
{
    std::setlocale(LC_NUMERIC, "C");
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace tlv
