#pragma once
// "Import Dir's" of the Preferences page: the window (caption "Import
// Directories") naming the two directories the invoice editor's IMPORT reads
// web orders from. It browses with the drive-and-directory chooser, which
// lives here in the shell, so the window does too; the directories themselves
// are kept by import/ImportDirs.h. Shown modeless.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tlv {

class TImportdir : public QDialog
{
    Q_OBJECT
public:
    explicit TImportdir(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void BInfoClick();
    void BOrderClick();
    void BSaveClick();
    void BCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Runs the chooser; its result (empty when cancelled) goes into the field.
    void browse(QLineEdit *field, const QString &caption);

    QLineEdit *m_info;  // Edit1
    QLineEdit *m_order; // Edit2
};

// Shows the program's one directories window, without waiting for it.
void showImportDirectories();

} // namespace tlv
