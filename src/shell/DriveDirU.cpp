#include "shell/DriveDirU.h"

#include "data/Backup.h"
#include "data/Upgrade.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <functional>

namespace tlv {

namespace {

// File systems that hold no files of a person's own.
bool systemVolume(const QStorageInfo &v)
{
    static const QStringList skipped = {
        "proc",   "sysfs",   "devtmpfs",    "devpts", "cgroup",    "cgroup2",  "securityfs",
        "pstore", "debugfs", "tracefs",     "mqueue", "hugetlbfs", "configfs", "fusectl",
        "bpf",    "autofs",  "binfmt_misc", "nsfs",   "efivarfs",  "overlay",  "squashfs"};
    const QString type = QString::fromLatin1(v.fileSystemType());
    const QString root = v.rootPath();
    return skipped.contains(type) || root.startsWith(QStringLiteral("/proc")) ||
           root.startsWith(QStringLiteral("/sys")) || root.startsWith(QStringLiteral("/dev")) ||
           root.startsWith(QStringLiteral("/run/user")) || root == QStringLiteral("/boot/efi");
}

bool within(const QString &dir, const QString &drive)
{
    return dir == drive ||
           dir.startsWith(drive.endsWith(QLatin1Char('/')) ? drive : drive + QLatin1Char('/'));
}

} // namespace

TDriveDir::TDriveDir(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDriveDir"));
    setModal(true);
    m_drives = new QComboBox;
    m_drives->setObjectName(QStringLiteral("DriveComboBox1"));
    m_dirList = new QListWidget;
    m_dirList->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_fileList = new QListWidget;
    m_fileList->setObjectName(QStringLiteral("FileListBox1"));
    m_fileList->setSelectionMode(QAbstractItemView::NoSelection);
    m_path = new QLabel;
    m_path->setObjectName(QStringLiteral("DirLabel"));
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("BtnOK"));
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("BtnCancel"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_path, 0, 0, 1, 2);
    grid->addWidget(m_dirList, 1, 0);
    grid->addWidget(m_fileList, 1, 1);
    grid->addWidget(m_drives, 2, 0);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 1);
    resize(560, 380);

    for (const QString &d : drives())
        m_drives->addItem(QDir::toNativeSeparators(d), d);
    m_dir = QDir::currentPath();

    connect(m_drives, &QComboBox::activated, this, &TDriveDir::DriveComboBox1Change);
    connect(m_dirList, &QListWidget::itemActivated, this, &TDriveDir::DirectoryListBox1DblClick);
    connect(m_ok, &QPushButton::clicked, this, &TDriveDir::BtnOKClick);
    connect(cancel, &QPushButton::clicked, this, &TDriveDir::BtnCancelClick);
}

QStringList TDriveDir::drives()
{
    QStringList list{QStringLiteral("/")};
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !systemVolume(v) && !list.contains(v.rootPath()))
            list << v.rootPath();
    const QString home = QDir::homePath();
    if (!list.contains(home))
        list << home;
    return list;
}

void TDriveDir::setCaptions(const QString &windowCaption, const QString &okCaption)
{
    setWindowTitle(windowCaption);
    m_ok->setText(okCaption);
    // Wide enough for the whole caption (the upgrade's is long).
    const int wanted = fontMetrics().horizontalAdvance(windowCaption) + 160;
    if (width() < wanted)
        resize(wanted, height());
}

void TDriveDir::setDirectory(const QString &dir)
{
    m_dir = QDir(dir).absolutePath();
    fillLists();
}

void TDriveDir::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TDriveDir::FormShow()
{
    m_startingDir = QDir::currentPath();
    m_result.clear();
    fillLists();
    m_drive = m_drives->currentData().toString();
}

QString TDriveDir::driveOf(const QString &dir) const
{
    // The longest drive the directory lies on.
    QString best = QStringLiteral("/");
    for (int i = 0; i < m_drives->count(); ++i) {
        const QString d = m_drives->itemData(i).toString();
        if (within(dir, d) && d.size() > best.size())
            best = d;
    }
    return best;
}

void TDriveDir::fillLists()
{
    const QString drive = driveOf(m_dir);
    m_drives->setCurrentIndex(m_drives->findData(drive));
    m_path->setText(QDir::toNativeSeparators(m_dir));

    m_dirList->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    // The drive, each directory on the way down, then those inside.
    QStringList way{drive};
    const QString below = QDir(drive).relativeFilePath(m_dir);
    if (below != QStringLiteral("."))
        for (const QString &part : below.split(QLatin1Char('/'), Qt::SkipEmptyParts))
            way << QDir(way.last()).filePath(part);
    int depth = 0;
    for (const QString &d : way) {
        auto *item = new QListWidgetItem(
            open, QString(depth * 2, QLatin1Char(' ')) +
                      (depth == 0 ? QDir::toNativeSeparators(d) : QFileInfo(d).fileName()));
        item->setData(Qt::UserRole, d);
        m_dirList->addItem(item);
        ++depth;
    }
    m_dirList->setCurrentRow(m_dirList->count() - 1);
    const QDir here(m_dir);
    for (const QString &sub :
         here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + sub);
        item->setData(Qt::UserRole, here.filePath(sub));
        m_dirList->addItem(item);
    }
    m_fileList->clear();
    m_fileList->addItems(here.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void TDriveDir::DriveComboBox1Change(int index)
{
    const QString drive = m_drives->itemData(index).toString();
    const QFileInfo info(drive);
    if (!info.isDir() || !info.isReadable() || !QDir(drive).isReadable()) {
        ui().information(QStringLiteral("Unable to read from drive ") + QDir::toNativeSeparators(drive));
        m_drives->setCurrentIndex(m_drives->findData(m_drive));
        m_dir = m_drive;
        fillLists();
        return;
    }
    m_drive = drive;
    m_dir = drive;
    fillLists();
}

void TDriveDir::DirectoryListBox1DblClick(QListWidgetItem *item)
{
    const QString dir = item->data(Qt::UserRole).toString();
    if (!QDir(dir).isReadable())
        return;
    m_dir = dir;
    fillLists();
}

void TDriveDir::BtnOKClick()
{
    // The directory selected in the list, even when it was only clicked once.
    if (QListWidgetItem *item = m_dirList->currentItem())
        m_dir = item->data(Qt::UserRole).toString();
    m_result = m_dir;
    QDir::setCurrent(m_startingDir);
    accept();
}

void TDriveDir::BtnCancelClick()
{
    m_result.clear();
    QDir::setCurrent(m_startingDir);
    reject();
}

// ---- The commands ------------------------------------------------------------

namespace {

QString choose(QWidget *parent, const QString &caption, const QString &ok, const QString &preset = {})
{
    TDriveDir chooser(parent);
    chooser.setCaptions(caption, ok);
    if (!preset.isEmpty())
        chooser.setDirectory(preset);
    chooser.exec();
    const QString dir = chooser.result();
    if (parent)
        parent->repaint();
    return dir;
}

void busy(const std::function<void()> &work)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    work();
    QApplication::restoreOverrideCursor();
}

} // namespace

void runBackupCommand(QWidget *parent)
{
    const QString dir =
        choose(parent, QStringLiteral("Choose Backup Drive & Directory"), QStringLiteral("Backup"));
    if (dir.isEmpty())
        return;
    busy([&] { backupTo(dir); });
}

void runRestoreCommand(QWidget *parent)
{
    const QString dir = choose(parent, QStringLiteral("Choose Drive & Directory Containing BACKUP"),
                               QStringLiteral("Restore"));
    if (dir.isEmpty())
        return;
    busy([&] { restoreFrom(dir); });
}

void runUpgradeCommand(QWidget *parent)
{
    const QString dir = choose(
        parent,
        QStringLiteral("Choose Drive & Directory Containing TLVN Version 1 or Norvath Version 4-5 Data"),
        QStringLiteral("Upgrade"), upgradePreset());
    if (dir.isEmpty())
        return;
    // The hourglass while files are copied and converted, never over a question.
    upgradeFrom(dir, true, [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

} // namespace tlv
