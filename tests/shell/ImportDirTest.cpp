// "Import Dir's" of the Preferences page: the two web order directories,
// browsed with the chooser and kept in ImpDirs.
#include "import/ImportDirs.h"
#include "picklists/PickList.h"
#include "shell/DriveDirU.h"
#include "shell/ImportDirU.h"
#include "shell/MainU.h"
#include "support/Modal.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

class ImportDir : public WindowDataTest
{
};

TEST_F(ImportDir, BrowseFillsOrEmptiesTheFieldAndSaveStoresAsTyped)
{
    storeImportDirs({QStringLiteral("/srv/info"), QStringLiteral("/srv/orders")});
    ASSERT_TRUE(QDir().mkdir("web"));
    TMain main;
    main.setStartUpOnShow(false);
    ModalWatchdog watchdog;
    click(&main, "BtnDirectories");
    TImportdir &w = onlyWindow<TImportdir>();
    ASSERT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.windowTitle(), "Import Directories");
    auto *info = w.findChild<QLineEdit *>("Edit1");
    auto *order = w.findChild<QLineEdit *>("Edit2");
    EXPECT_EQ(info->text(), "/srv/info");
    EXPECT_EQ(order->text(), "/srv/orders");

    // Cancel in the chooser empties the field; OK puts the directory in.
    QString caption;
    onModal<TDriveDir>([&](TDriveDir *c) {
        caption = c->windowTitle();
        click(c, "BtnCancel");
    });
    click(&w, "BInfo");
    EXPECT_EQ(caption, "Choose Customer Info Directory");
    EXPECT_EQ(info->text(), "");
    const QString web = QDir::current().filePath("web");
    onModal<TDriveDir>([&](TDriveDir *c) {
        caption = c->windowTitle();
        c->setDirectory(web);
        click(c, "BtnOK");
    });
    click(&w, "BOrder");
    EXPECT_EQ(caption, "Choose Order File Directory");
    EXPECT_EQ(order->text(), web);
    EXPECT_EQ(QDir::currentPath(), m_dir.path());

    order->setText(web + "  ");
    click(&w, "BSave");
    EXPECT_FALSE(w.isVisible());
    const ImportDirs stored = loadImportDirs();
    EXPECT_EQ(stored.info, "");
    EXPECT_EQ(stored.order, web);

    // Cancel keeps what was stored.
    click(&main, "BtnDirectories");
    order->setText("elsewhere");
    click(&w, "BCancel");
    EXPECT_EQ(loadImportDirs().order, web);
}

} // namespace
