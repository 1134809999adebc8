#include "platform/qt/QtHelp.h"
#include "support/Modal.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {
QWidget *shownHelpWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "HelpWindow" && w->isVisible())
            return w;
    return nullptr;
}

// How far in from the left edge the first dark (text) pixel sits.
int textIndent(QWidget *w)
{
    const QImage image = w->grab().toImage();
    for (int x = 0; x < image.width(); ++x)
        for (int y = 4; y < image.height() - 4; ++y)
            if (image.pixelColor(x, y).lightness() < 100)
                return x;
    return -1;
}
} // namespace

TEST(HelpWindow, FromAModalWindowItIsUsableCentredOnItWithAMarginAndEscapeClosesIt)
{
    QtHelp qtHelp;
    setHelp(&qtHelp);
    QDialog dialog;
    dialog.setGeometry(120, 60, 600, 480);
    ModalWatchdog watchdog;
    onModal<QDialog>([&](QDialog *d) {
        help().showTopic(300); // as the window's Help button does
        QPointer<QWidget> shown = shownHelpWindow();
        if (shown) {
            EXPECT_LE((shown->geometry().center() - d->geometry().center()).manhattanLength(), 2);
            EXPECT_GE(textIndent(shown), 10);
            // Through the window system, which gives a window behind a modal one nothing.
            QTest::keyClick(shown->windowHandle(), Qt::Key_Escape);
            EXPECT_FALSE(shown && shown->isVisible()) << "Escape did not reach the help window";
        }
        EXPECT_NE(shown, nullptr);
        d->reject();
    });
    dialog.exec();
    EXPECT_FALSE(watchdog.fired());
    setHelp(nullptr);
}
