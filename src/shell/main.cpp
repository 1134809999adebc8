// Program entry: the desktop seams, the main window and the message loop.
#include "platform/Printer.h"
#include "platform/Ui.h"
#include "platform/qt/QtHelp.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtUi.h"
#include "shell/MainU.h"

#include <QApplication>
#include <clocale>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Numbers in table files are written with '.', whatever the desktop's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Tarlvin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarlvin Invoicing & Inventory"));

    tlv::QtUi ui;
    tlv::setUi(&ui);
    tlv::QtPrinter printer;
    tlv::setPrinter(&printer);
    tlv::QtHelp help;
    tlv::setHelp(&help);

    tlv::TMain mainWindow;
    mainWindow.show();
    const int rc = QApplication::exec();
    tlv::setHelp(nullptr);
    tlv::setPrinter(nullptr);
    tlv::setUi(nullptr);
    return rc;
}
