#pragma once
// The drive-and-directory chooser of Backup, Restore and Upgrade Data: the
// drives (the mounted volumes and the home directory), the directories on the
// way from the drive to the one selected and those inside it, and the files
// in it. The caller sets the captions, may preset the directory, and reads
// the result after the window closes: the directory, or "" when cancelled.
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tlv {

class TDriveDir : public QDialog
{
    Q_OBJECT
public:
    explicit TDriveDir(QWidget *parent = nullptr);

    void setCaptions(const QString &windowCaption, const QString &okCaption);
    void setDirectory(const QString &dir);
    QString directory() const { return m_dir; }
    QString result() const { return m_result; }

    // The drives offered: the root, the mounted volumes a person keeps files
    // on, and the home directory.
    static QStringList drives();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void DriveComboBox1Change(int index);
    void DirectoryListBox1DblClick(QListWidgetItem *item);
    void BtnOKClick();
    void BtnCancelClick();
    void fillLists();
    QString driveOf(const QString &dir) const;

    QComboBox *m_drives;
    QListWidget *m_dirList;
    QListWidget *m_fileList;
    QLabel *m_path;
    QPushButton *m_ok;
    QString m_dir;
    QString m_drive;       // the drive shown before the last change
    QString m_startingDir; // the working directory when the window was shown
    QString m_result;
};

// "Backup", "Restore" and "Upgrade Data" of the File Maintenance page.
void runBackupCommand(QWidget *parent);
void runRestoreCommand(QWidget *parent);
void runUpgradeCommand(QWidget *parent);

} // namespace tlv
