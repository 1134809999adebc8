// Program entry: the desktop seams, the main window and the message loop. The
// directory the program starts from is its data directory.
#include "data/Database.h"
#include "data/ProgramEnd.h"
#include "platform/Printer.h"
#include "platform/Ui.h"
#include "platform/qt/QtHelp.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtUi.h"
#include "shell/InstanceLock.h"
#include "shell/MainU.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <clocale>
#include <cstdlib>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Numbers in table files are written with '.', whatever the desktop's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tarlvin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarlvin Invoicing & Inventory"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarlvin.svg")));
    // A desktop without a chosen locale ("C") gets numeric short dates and a
    // decimal point rather than Qt's "17 Aug 2026".
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    tlv::QtUi ui;
    tlv::setUi(&ui);
    tlv::QtPrinter printer;
    tlv::setPrinter(&printer);
    tlv::QtHelp help;
    tlv::setHelp(&help);

    // Two copies of the program on one data directory would overwrite each
    // other's records.
    tlv::InstanceLock lock(QDir::currentPath());
    if (!lock.acquired()) {
        ui.information(QStringLiteral("Tarlvin Invoicing & Inventory is already running on the data in\n%1\n"
                                      "Only one copy of the program may work on the same data.")
                           .arg(QDir::toNativeSeparators(QDir::currentPath())));
        return 1;
    }

    // A table that cannot be opened ends the program at once, after its
    // message has been shown.
    tlv::setProgramEndHandler([](const QString &) {
        tlv::db().endSession();
        std::exit(1);
    });

    tlv::TMain mainWindow;
    mainWindow.setPreviousRunInterrupted(lock.previousRunInterrupted());
    mainWindow.show();
    const int rc = QApplication::exec();
    tlv::db().endSession();
    tlv::setHelp(nullptr);
    tlv::setPrinter(nullptr);
    tlv::setUi(nullptr);
    return rc;
}
