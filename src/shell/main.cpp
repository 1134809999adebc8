// Program entry: the desktop seams, the main window and the message loop. The
// directory the program starts from is its data directory.
#include "data/Database.h"
#include "data/ProgramEnd.h"
#include "platform/DesktopLocale.h"
#include "platform/Printer.h"
#include "platform/Ui.h"
#include "platform/qt/QtHelp.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtUi.h"
#include "shell/MainU.h"

#include <QApplication>
#include <cstdlib>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tlv::useDesktopLocale();
    tlv::setUpApplication();

    tlv::QtUi ui;
    tlv::setUi(&ui);
    tlv::QtPrinter printer;
    tlv::setPrinter(&printer);
    tlv::QtHelp help;
    tlv::setHelp(&help);

    // A table that cannot be opened ends the program at once, after its
    // message has been shown. exit() also tells the data directory's lock
    // that the run ended properly (see InstanceLock).
    tlv::setProgramEndHandler([](const QString &) {
        tlv::db().endSession();
        std::exit(1);
    });

    // The start-up, run when the window is first shown, checks the data
    // files and then claims the directory against a second copy.
    tlv::TMain mainWindow;
    mainWindow.show();
    const int rc = QApplication::exec();
    tlv::db().endSession();
    tlv::setHelp(nullptr);
    tlv::setPrinter(nullptr);
    tlv::setUi(nullptr);
    return rc;
}
