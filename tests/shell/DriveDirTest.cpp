// "Backup" on the File Maintenance page through the drive-and-directory
// chooser, as a person uses it.
#include "data/Backup.h"
#include "shell/DriveDirU.h"
#include "shell/MainU.h"
#include "support/Modal.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

class DriveDir : public WindowDataTest
{
};

QStringList texts(QListWidget *list)
{
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->item(i)->text().trimmed();
    return all;
}

TEST_F(DriveDir, BackupGoesToTheDirectoryOpenedInTheChooser)
{
    QTemporaryDir outside;
    ASSERT_TRUE(QDir(outside.path()).mkpath("usb/old"));
    QFile(outside.filePath("usb/readme.txt")).open(QIODevice::WriteOnly);

    TMain main;
    main.setStartUpOnShow(false);
    ModalWatchdog watchdog;
    for (const bool ok : {false, true}) {
        QString seenCaption, seenOk;
        QStringList seenFiles;
        bool finished = false;
        onModal<TDriveDir>([&](TDriveDir *chooser) {
            seenCaption = chooser->windowTitle();
            seenOk = chooser->findChild<QPushButton *>("BtnOK")->text();
            EXPECT_EQ(chooser->findChild<QComboBox *>("DriveComboBox1")->itemData(0).toString(), "/");
            chooser->setDirectory(outside.path());
            auto *dirs = chooser->findChild<QListWidget *>("DirectoryListBox1");
            const auto found = dirs->findItems("usb", Qt::MatchEndsWith);
            ASSERT_EQ(found.size(), 1);
            dirs->setCurrentItem(found.first());
            const QPoint at = dirs->visualItemRect(found.first()).center();
            QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, at);
            seenFiles = texts(chooser->findChild<QListWidget *>("FileListBox1"));
            EXPECT_EQ(texts(dirs).last(), "old"); // the directories inside the one opened
            QDir::setCurrent(
                outside.path()); // wherever the chooser wandered, the program's directory comes back
            click(chooser, ok ? "BtnOK" : "BtnCancel");
            finished = true;
        });
        click(&main, "BitBtn8");
        ASSERT_TRUE(finished);
        EXPECT_EQ(seenCaption, "Choose Backup Drive & Directory");
        EXPECT_EQ(seenOk, "Backup");
        EXPECT_EQ(seenFiles, QStringList{"readme.txt"});
        EXPECT_EQ(QDir::currentPath(), m_dir.path());
        EXPECT_EQ(QFile::exists(outside.filePath("usb/CUST5.dbf")), ok);
        EXPECT_EQ(QFile::exists(outside.filePath("usb/" + manifestFileName())), ok);
    }
}

} // namespace

TEST_F(DriveDir, ADriveThatCannotBeReadGoesBackToTheOneShown)
{
    QTemporaryDir outside;
    TDriveDir chooser;
    chooser.setCaptions("Choose Drive & Directory Containing BACKUP", "Restore");
    chooser.setDirectory(outside.path());
    showActive(chooser);
    auto *drives = chooser.findChild<QComboBox *>("DriveComboBox1");
    const QString shown = drives->currentData().toString();
    drives->addItem("/gone", "/gone"); // a medium taken out after the list was made
    m_ui.expect(Answer::Ok, "Unable to read from drive /gone");
    drives->setCurrentIndex(drives->count() - 1);
    emit drives->activated(drives->count() - 1);
    EXPECT_EQ(drives->currentData().toString(), shown);
    EXPECT_EQ(chooser.findChild<QListWidget *>("DirectoryListBox1")->item(0)->data(Qt::UserRole).toString(),
              shown);
    click(&chooser, "BtnCancel");
    EXPECT_EQ(chooser.result(), "");
}
