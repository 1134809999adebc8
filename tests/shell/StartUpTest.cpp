#include "data/Backup.h"
#include "data/Check.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Settings.h"
#include "data/xbase/FileIo.h"
#include "picklists/PickInvU.h"
#include "reports/RptUtil.h"
#include "shell/AboutU.h"
#include "shell/InstanceLock.h"
#include "shell/MainU.h"
#include "shell/ReadOnlyDir.h"
#include "support/Modal.h"
#include "support/Recorders.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

class StartUp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db().reset();
        resetSettings();
        ASSERT_EQ(createDataFiles(dir.path()).toStdString(), "");
    }
    void TearDown() override
    {
        db().reset();
        resetSettings();
    }
    // A main window that starts as the program does, without the pause.
    std::unique_ptr<TMain> start()
    {
        auto main = std::make_unique<TMain>();
        main->setStartUpOnShow(false);
        main->setAboutPause(0);
        main->show();
        return main;
    }
    TempDataDir dir;
};

} // namespace

TEST_F(StartUp, MissingDataFileStopsBeforeAnyTableIsOpened)
{
    ASSERT_TRUE(QFile::remove(dir.file("ImportF.dbf")));
    EXPECT_EQ(TMain::firstMissingFile(dir.path()), "ImportF.dbf");
    ScriptedUi ui;
    ui.expect(Answer::Ok, "Database files not found in startup directory\n"
                          "Program must be started from the directory containing the data files.");
    auto main = start();
    EXPECT_FALSE(main->startUp());
    EXPECT_FALSE(db().hasSession()) << "no table may be opened";
    EXPECT_FALSE(main->aboutForm()->isVisible());
}

TEST_F(StartUp, FileNamesMatchWhateverTheirCase)
{
    ASSERT_TRUE(QFile::rename(dir.file("Prod5.dbf"), dir.file("PROD5.DBF")));
    EXPECT_EQ(TMain::firstMissingFile(dir.path()), "");
}

TEST_F(StartUp, ShowsTheSettingsAndRebuildsMissingIndexesQuietly)
{
    loadSettings();
    settings().FontName = "DejaVu Serif";
    settings().FontSize = 13;
    settings().ByCust = false;
    settings().fifo = false;
    saveSettings();
    resetSettings();
    db().reset();
    ASSERT_TRUE(QFile::remove(dir.file("Pmt.ntx")) || QFile::remove(dir.file("PMT.ntx")));

    RecordingProgress seen;
    auto main = start();
    ASSERT_TRUE(main->startUp());
    EXPECT_TRUE(seen.events.isEmpty()) << "the start-up re-index is quiet";
    EXPECT_TRUE(QFile::exists(dir.file("Pmt.ntx")) || QFile::exists(dir.file("PMT.ntx")));
    EXPECT_EQ(main->windowTitle(), "Tarlvin Invoicing & Inventory " + main->versionText());
    EXPECT_EQ(main->versionText().split('.').size(), 4);
    EXPECT_EQ(main->findChild<QLineEdit *>("Edit1")->text(), "DejaVu Serif@13");
    EXPECT_EQ(reportFont().pointSize(), 13);
    EXPECT_TRUE(main->findChild<QRadioButton *>("RadioButton2")->isChecked());
    EXPECT_TRUE(main->findChild<QRadioButton *>("RadioButton4")->isChecked());
    EXPECT_FALSE(main->aboutForm()->isVisible());
    EXPECT_TRUE(main->findChild<QLineEdit *>("Edit2")->text().endsWith("-Portrait"));
}

TEST_F(StartUp, AfterAnInterruptedRunEveryIndexIsBuiltAgain)
{
    // An index that missed the last record written to its table, as a run
    // killed between the two writes leaves it.
    QDir d(dir.path());
    const QStringList indexes = d.entryList({QStringLiteral("*.ntx"), QStringLiteral("*.NTX")}, QDir::Files);
    ASSERT_FALSE(indexes.isEmpty());
    QTemporaryDir saved;
    for (const QString &f : indexes)
        ASSERT_TRUE(QFile::copy(d.filePath(f), saved.filePath(f)));
    Db &data = db();
    data.prod5.open();
    ASSERT_TRUE(data.prod5.appendBlank());
    data.prod5.buf.PrID = QStringLiteral("LOST-KEY");
    data.prod5.write();
    data.reset();
    for (const QString &f : indexes) {
        QFile::remove(d.filePath(f));
        ASSERT_TRUE(QFile::copy(saved.filePath(f), d.filePath(f)));
    }
    EXPECT_GT(checkDataFiles().failed, 0);

    // A start after a proper end leaves the indexes that are there alone ...
    {
        auto main = start();
        ASSERT_TRUE(main->startUp());
    }
    db().closeAll();
    EXPECT_GT(checkDataFiles().failed, 0);

    // ... one after an interrupted run builds them all again.
    QFile lockFile(dir.file(InstanceLock::fileName()));
    ASSERT_TRUE(lockFile.open(QIODevice::WriteOnly));
    lockFile.write("running\n");
    lockFile.close();
    auto main = start();
    ASSERT_TRUE(main->startUp());
    db().closeAll();
    const CheckResult r = checkDataFiles();
    EXPECT_EQ(r.failed, 0) << r.problems.join('\n').toStdString();
}

TEST_F(StartUp, EmptyFontSettingsKeepTheWindowFont)
{
    loadSettings();
    settings().FontName = "";
    settings().FontSize = 0;
    saveSettings();
    auto main = start();
    ASSERT_TRUE(main->startUp());
    EXPECT_EQ(reportFont().family(), main->font().family());
    EXPECT_EQ(reportFont().pointSize(), main->font().pointSize());
}

TEST_F(StartUp, AboutWindowStaysUpForThePause)
{
    auto main = std::make_unique<TMain>();
    main->setStartUpOnShow(false);
    main->setAboutPause(300);
    main->show();
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(main->startUp());
    EXPECT_GE(t.elapsed(), 290);
    EXPECT_FALSE(main->aboutForm()->isVisible());
    EXPECT_TRUE(main->aboutForm()->okButton()->isVisibleTo(main->aboutForm()));
}

TEST_F(StartUp, CancelledFontDialogStillRewritesTheSettings)
{
    auto main = start();
    ASSERT_TRUE(main->startUp());
    const QFont before = reportFont();
    // Change the record behind the program's back: a save must put the
    // in-memory values back.
    settings().Company = "Kestrel Garden Supply";
    ScriptedUi ui;
    ui.expectFont(std::nullopt);
    main->findChild<QPushButton *>("BtnFont")->click();
    EXPECT_EQ(reportFont(), before);
    resetSettings();
    loadSettings();
    EXPECT_EQ(settings().Company.trimmed(), "Kestrel Garden Supply");
    EXPECT_EQ(settings().FontName.trimmed(), before.family());
    EXPECT_EQ(settings().FontSize, before.pointSize());
}

TEST_F(StartUp, ChosenFontIsShownAndKept)
{
    auto main = start();
    ASSERT_TRUE(main->startUp());
    ScriptedUi ui;
    QFont chosen("DejaVu Sans Mono", 9);
    ui.expectFont(chosen);
    main->findChild<QPushButton *>("BtnFont")->click();
    EXPECT_EQ(main->findChild<QLineEdit *>("Edit1")->text(), "DejaVu Sans Mono@9");
    resetSettings();
    loadSettings();
    EXPECT_EQ(settings().FontSize, 9);
}

TEST_F(StartUp, SortOrderChosenAndLeftIsKeptAtTheNextStart)
{
    {
        auto main = start();
        ASSERT_TRUE(main->startUp());
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
        main->findChild<QTabWidget *>("PageControl1")->setCurrentIndex(3);
        auto *byMail = main->findChild<QRadioButton *>("RadioButton2");
        byMail->setFocus();
        byMail->click();
        main->findChild<QRadioButton *>("RadioButton3")->setFocus(); // leaves the sort box
        QCoreApplication::processEvents();
        main->close();
    }
    db().reset();
    resetSettings();
    auto again = start();
    ASSERT_TRUE(again->startUp());
    EXPECT_FALSE(settings().ByCust);
    EXPECT_TRUE(again->findChild<QRadioButton *>("RadioButton2")->isChecked());
}

TEST_F(StartUp, ClosingPacksWhenAskedAndEndsTheSession)
{
    auto main = start();
    ASSERT_TRUE(main->startUp());
    Db &d = db();
    d.pur5.open();
    ASSERT_TRUE(d.pur5.appendBlank());
    d.pur5.buf = PurchaseRecord{};
    d.pur5.buf.PURProd = "X";
    d.pur5.write();
    d.pur5.markDeleted();
    d.pur5.flush();
    d.closeAll();
    d.packNeeded = true;
    main->close();
    EXPECT_FALSE(d.hasSession());
    d.pur5.open();
    EXPECT_EQ(d.pur5.recCount(), 0);
    d.closeAll();
}

TEST_F(StartUp, PreferencesChosenAreKeptHoweverTheWindowCloses)
{
    // The user clicks a choice and closes the window at once: the focus never
    // leaves the box.
    const struct
    {
        const char *choice;
        bool byCust, fifo;
        bool byMenu; // File / Exit, else the window's own close button
    } cases[] = {{"RadioButton2", false, true, false}, {"RadioButton4", true, false, true}};
    for (const auto &c : cases) {
        {
            auto main = start();
            ASSERT_TRUE(main->startUp());
            ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
            main->findChild<QTabWidget *>("PageControl1")->setCurrentIndex(3);
            auto *choice = main->findChild<QRadioButton *>(c.choice);
            choice->setFocus();
            choice->click();
            if (c.byMenu)
                main->findChild<QAction *>("Exit1")->trigger();
            else
                main->close();
        }
        db().reset();
        resetSettings();
        loadSettings(); // from TLV2 on disk
        EXPECT_EQ(settings().ByCust, c.byCust) << c.choice;
        EXPECT_EQ(settings().fifo, c.fifo) << c.choice;
        settings().ByCust = settings().fifo = true;
        saveSettings();
        db().reset();
    }
}

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST_F(StartUp, TheDataDirectoryIsClaimedOnlyOnceItsFilesAreThere)
{
    const QString lockFile = dir.file(InstanceLock::fileName());
    ASSERT_TRUE(QFile::rename(dir.file("ImportF.dbf"), dir.file("ImportF.kept")));
    {
        ScriptedUi ui;
        ui.expect(Answer::Ok, "Database files not found in startup directory");
        auto main = start();
        EXPECT_FALSE(main->startUp());
        EXPECT_FALSE(QFile::exists(lockFile)) << "a start from the wrong directory leaves nothing behind";
    }
    ASSERT_TRUE(QFile::rename(dir.file("ImportF.kept"), dir.file("ImportF.dbf")));
    auto main = start();
    ASSERT_TRUE(main->startUp());
    EXPECT_EQ(fileBytes(lockFile), "running\n");
    EXPECT_FALSE(InstanceLock(dir.path()).acquired()) << "a second copy stays off the data";
    main->close();
    EXPECT_EQ(fileBytes(lockFile), "") << "a proper end leaves nothing to repair";
}

TEST_F(StartUp, ADirectoryThatCannotBeClaimedStopsTheStartWithItsReason)
{
    const QString shown = QDir::toNativeSeparators(dir.path());
    {
        InstanceLock other(dir.path()); // another copy of the program
        ASSERT_TRUE(other.acquired());
        ScriptedUi ui;
        ui.expect(Answer::Ok, "is already running on the data in\n" + shown + "\n");
        auto main = start();
        EXPECT_FALSE(main->startUp());
        EXPECT_FALSE(db().hasSession());
        EXPECT_TRUE(ui.allUsed());
    }
    QFile::remove(dir.file(InstanceLock::fileName()));
    ReadOnlyDir readOnly(dir.path());
    if (!readOnly.writeProtected())
        GTEST_SKIP() << "this file system lets the directory be written anyway";
    ScriptedUi ui;
    ui.expect(Answer::Ok, "Unable to write to the data directory\n" + shown + "\n");
    auto main = start();
    EXPECT_FALSE(main->startUp());
    EXPECT_FALSE(db().hasSession());
    EXPECT_TRUE(ui.allUsed());
}

TEST_F(StartUp, InvoicesCommandEndsWithThePackOfPackData)
{
    auto main = start();
    ASSERT_TRUE(main->startUp());
    Db &d = db();
    auto markedInvoice = [&d] { // INV6 open
        ASSERT_TRUE(d.inv6.appendBlank());
        d.inv6.buf = InvoiceRecord{};
        d.inv6.buf.IvNo = 1;
        d.inv6.write();
        d.inv6.markDeleted();
        d.packNeeded = true;
    };
    RecordingProgress seen;
    d.inv6.open();
    markedInvoice();
    d.closeAll();
    main->findChild<QPushButton *>("BitBtn12")->click();
    const QString packData = seen.events.join(' ');
    ASSERT_TRUE(packData.contains("status:Packing Data Files"));

    seen.events.clear();
    ModalWatchdog watchdog;
    onModal<TPickInv>([&](TPickInv *list) {
        markedInvoice(); // as a deletion during the command leaves it
        list->BtnCancelClick();
    });
    main->findChild<QPushButton *>("BtnInvoice")->click();
    EXPECT_EQ(seen.events.join(' ').toStdString(), packData.toStdString());
    EXPECT_FALSE(d.packNeeded);
    d.inv6.open();
    EXPECT_EQ(d.inv6.recCount(), 0);
    d.closeAll();
}

TEST_F(StartUp, ARestoreCutShortIsPutBackAtTheNextStart)
{
    QTemporaryDir backup;
    auto bytes = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    {
        ScriptedUi ui;
        ASSERT_TRUE(backupTo(backup.path()));
    }
    db().cust5.open();
    ASSERT_TRUE(db().cust5.appendBlank());
    db().cust5.buf.last = QStringLiteral("After the backup");
    db().cust5.write();
    db().reset();
    const QByteArray customers = bytes(dir.file("CUST5.dbf"));
    ASSERT_NE(customers, bytes(QDir(backup.path()).filePath("CUST5.dbf")));
    // Every rename from the third data file on fails, the putting back too:
    // what a restore killed there leaves, with the customers of the backup.
    xbase::setFaultPlan({.failRename = 4, .renameLater = true});
    EXPECT_FALSE(copyAllFiles(CopyDirection::FromBackup, backup.path()));
    xbase::clearFaultPlan();
    ASSERT_TRUE(QFile::exists(dir.file("RESTORE.UNDO")));
    ASSERT_NE(bytes(dir.file("CUST5.dbf")), customers);

    ScriptedUi ui;
    ui.expect(Answer::Ok, QStringLiteral("The last restore did not finish."));
    auto main = start();
    ASSERT_TRUE(main->startUp());
    EXPECT_TRUE(ui.allUsed());
    EXPECT_EQ(bytes(dir.file("CUST5.dbf")), customers);
    EXPECT_FALSE(QFile::exists(dir.file("RESTORE.UNDO")));
    db().closeAll();
    EXPECT_EQ(checkDataFiles().failed, 0);
}
