// The stationery window: the logo chosen through the file dialog (and the
// working directory kept), a logo path naming no file stored empty, the
// justification, the colouring of the measurements and the trimmed texts.
#include "masterdata/Stationery.h"
#include "MasterDataFixture.h"
#include "masterdata/StationaryU.h"
#include "widgets/MoneyEdit.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace tlv;
using namespace tlv::test;

namespace {

// A file dialog that wanders off to another directory, as some do.
class WanderingUi : public ScriptedUi
{
public:
    QString elsewhere;
    QString presetSeen;
    QString filterSeen;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override
    {
        presetSeen = dir;
        filterSeen = filter;
        QDir::setCurrent(elsewhere);
        return ScriptedUi::openFileName(caption, dir, filter);
    }
};

void writeImage(const QString &path, const char *format)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(path, format)) << path.toStdString();
}

class Stationery : public MasterDataTest
{
};

TEST(StationeryRules, JustificationOtherThanCentreOrRightIsLeft)
{
    EXPECT_EQ(justificationOf(0), 1);
    EXPECT_EQ(justificationOf(4), 1);
    EXPECT_EQ(justificationOf(-2), 1);
    EXPECT_EQ(justificationOf(2), 2);
    EXPECT_EQ(justificationOf(3), 3);
}

TEST(StationeryRules, FilterOffersBitmapsFirstAndPngToo)
{
    const QString filter = logoFileFilter();
    EXPECT_TRUE(filter.startsWith("Bitmap Files (*.BMP *.bmp)")) << filter.toStdString();
    EXPECT_TRUE(filter.contains("*.png")) << filter.toStdString();
}

TEST_F(Stationery, ChosenLogoFollowsTheDialogAndItsDefaultExtension)
{
    writeImage(m_dir.file("logo.bmp"), "BMP");
    writeImage(m_dir.file("mark.png"), "PNG");
    const QString bmp = m_dir.file("logo.bmp");
    EXPECT_EQ(chosenLogoFile(m_dir.file("mark.png"), bmp), m_dir.file("mark.png"));
    // Cancelled: the preset stays while its file exists ...
    EXPECT_EQ(chosenLogoFile(QString(), bmp), bmp);
    // ... and goes when it does not.
    EXPECT_EQ(chosenLogoFile(QString(), m_dir.file("gone.bmp")), "");
    EXPECT_EQ(chosenLogoFile(m_dir.file("logo"), QString()), bmp);
    EXPECT_EQ(chosenLogoFile(m_dir.path(), QString()), "") << "a directory is no logo";
}

TEST_F(Stationery, OpensWithStoredValuesAndJustificationZeroAsLeft)
{
    settings().LHJustify = 0;
    settings().Company = QStringLiteral("Green Thumb Supply                 ");
    settings().TopMargin = -0.25;
    settings().LogoHeight = -1;
    TStationary w;
    showActive(w);
    EXPECT_EQ(w.windowTitle(), "Stationery Setup");
    EXPECT_TRUE(child<QRadioButton>(w, "RadioButton1")->isChecked());
    EXPECT_EQ(child<QLineEdit>(w, "Edit2")->text(), "Green Thumb Supply");
    auto *top = child<MoneyEdit>(w, "MaskEdit1");
    EXPECT_EQ(top->text(), "-0.25");
    EXPECT_TRUE(top->showsNegative());
    EXPECT_EQ(top->palette().color(QPalette::Text), QColor(255, 0, 0));
    auto *height = child<MoneyEdit>(w, "MaskEdit2");
    EXPECT_EQ(height->text(), "-1.00");
    EXPECT_FALSE(height->showsNegative());
    EXPECT_FALSE(child<MoneyEdit>(w, "MaskEdit3")->isColoured());

    w.BtnSaveClick();
    EXPECT_EQ(storedSettings().LHJustify, 1);
    EXPECT_DOUBLE_EQ(storedSettings().TopMargin, -0.25);
}

TEST_F(Stationery, SavedTextsAreTrimmedAndJustificationFollowsTheButtons)
{
    TStationary w;
    showActive(w);
    child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("  Green Thumb  "));
    child<QLineEdit>(w, "Edit3")->setText(QStringLiteral(" 12 Elm Street"));
    child<QLineEdit>(w, "Edit6")->setText(QStringLiteral("Barre, VT   "));
    child<QLineEdit>(w, "Edit8")->setText(QStringLiteral("   With thanks, the Green Thumb team   "));
    auto *right = child<QRadioButton>(w, "RadioButton3");
    QTest::mouseClick(right, Qt::LeftButton, {}, QPoint(6, right->height() / 2));
    QTest::mouseClick(child<QPushButton>(w, "BtnSave"), Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const SettingsRecord s = storedSettings();
    EXPECT_EQ(s.Company.trimmed(), "Green Thumb");
    EXPECT_TRUE(s.Company.startsWith("Green"));
    EXPECT_TRUE(s.Addr1.startsWith("12 Elm"));
    EXPECT_EQ(s.Addr4.trimmed(), "Barre, VT");
    EXPECT_TRUE(s.SigLine.startsWith("With thanks"));
    EXPECT_EQ(s.LHJustify, 3);
}

TEST_F(Stationery, DeletedBitmapIsStoredEmpty)
{
    const QString logo = m_dir.file("old.bmp");
    writeImage(logo, "BMP");
    settings().LogoFile = logo;
    TStationary w;
    showActive(w);
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), logo);
    ASSERT_TRUE(QFile::remove(logo));
    w.BtnSaveClick();
    EXPECT_EQ(settings().LogoFile, "");
    EXPECT_EQ(storedSettings().LogoFile.trimmed(), "");
}

TEST_F(Stationery, LogoDialogLeavesTheWorkingDirectoryAlone)
{
    QTemporaryDir pictures;
    const QString logo = pictures.filePath("shop.png");
    writeImage(logo, "PNG");
    WanderingUi dialog;
    dialog.elsewhere = pictures.path();
    dialog.expectFileName(logo);
    const QString before = QDir::currentPath();

    settings().LogoFile = QStringLiteral("typed.bmp");
    TStationary w;
    showActive(w);
    QTest::mouseClick(child<QPushButton>(w, "BtnLogo"), Qt::LeftButton);
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(dialog.presetSeen, "typed.bmp");
    EXPECT_TRUE(dialog.filterSeen.startsWith("Bitmap Files"));
    if (logo.size() <= 59) {
        EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), logo);
        w.BtnSaveClick();
        EXPECT_EQ(storedSettings().LogoFile.trimmed(), logo);
    }
    EXPECT_TRUE(dialog.allUsed());
}

TEST_F(Stationery, CancelledDialogKeepsAnExistingLogoAndDropsAMissingOne)
{
    const QString logo = m_dir.file("keep.bmp");
    writeImage(logo, "BMP");
    settings().LogoFile = logo;
    TStationary w;
    showActive(w);
    m_ui.expectFileName(QString());
    w.BtnLogoClick();
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), logo);
    ASSERT_TRUE(QFile::remove(logo));
    m_ui.expectFileName(QString());
    w.BtnLogoClick();
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), "");
}

TEST_F(Stationery, CancelKeepsTheSettings)
{
    const QString logo = m_dir.file("new.bmp");
    writeImage(logo, "BMP");
    TStationary w;
    showActive(w);
    m_ui.expectFileName(logo);
    w.BtnLogoClick();
    child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("Someone Else"));
    QTest::mouseClick(child<QPushButton>(w, "BtnCancel"), Qt::LeftButton);
    EXPECT_EQ(settings().LogoFile.trimmed(), "");
    EXPECT_EQ(storedSettings().LogoFile.trimmed(), "");
    EXPECT_EQ(settings().Company.trimmed(), "");
}

TEST_F(Stationery, TypingIsLimitedButALongChosenPathIsShownWhole)
{
    // A path of 50 characters inside the data directory.
    const int stem = 50 - int(m_dir.path().size()) - 1 - 4;
    if (stem < 1)
        GTEST_SKIP() << "temporary directory path too long for this case";
    const QString logo = m_dir.file(QString(stem, QLatin1Char('L')) + ".bmp");
    ASSERT_EQ(logo.size(), 50);
    writeImage(logo, "BMP");
    TStationary w;
    showActive(w);
    auto *field = child<QLineEdit>(w, "Edit1");
    field->setFocus();
    QTest::keyClicks(field, QString(40, QLatin1Char('x')));
    EXPECT_EQ(field->text().size(), 35);

    m_ui.expectFileName(logo);
    w.BtnLogoClick();
    EXPECT_EQ(field->text(), logo);
    field->setFocus();
    field->end(false);
    QTest::keyClicks(field, "zz");
    EXPECT_EQ(field->text(), logo) << "a chosen path does not grow by typing";
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text().size(), logo.size() - 1);
}

TEST_F(Stationery, PathTooLongForTheSettingsIsKeptRelativeOrRefused)
{
    // Inside the data directory a long path is kept relative to it ...
    QDir(m_dir.path()).mkpath(QString(40, QLatin1Char('f')));
    const QString shorter = m_dir.file(QString(40, QLatin1Char('f')) + "/logo.bmp");
    writeImage(shorter, "BMP");
    ASSERT_GT(shorter.size(), 59);
    EXPECT_EQ(storableLogoPath(shorter), QString(40, QLatin1Char('f')) + "/logo.bmp");
    // ... unless even that is too long.
    const QString deep = QString(30, QLatin1Char('d')) + "/" + QString(30, QLatin1Char('e'));
    QDir(m_dir.path()).mkpath(deep);
    const QString inside = m_dir.file(deep + "/logo.bmp");
    writeImage(inside, "BMP");
    EXPECT_EQ(storableLogoPath(inside), "");

    TStationary w;
    showActive(w);
    m_ui.expectFileName(shorter);
    w.BtnLogoClick();
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), QString(40, QLatin1Char('f')) + "/logo.bmp");
    // A path that cannot be kept at all is refused and the field left alone.
    m_ui.expectFileName(inside).expect(Answer::Ok, "too long");
    w.BtnLogoClick();
    EXPECT_EQ(child<QLineEdit>(w, "Edit1")->text(), QString(40, QLatin1Char('f')) + "/logo.bmp");
    w.BtnSaveClick();
    EXPECT_EQ(storedSettings().LogoFile.trimmed(), QString(40, QLatin1Char('f')) + "/logo.bmp");
}

} // namespace
