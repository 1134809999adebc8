#pragma once
// The letterhead the program prints on invoices, bills and statements: logo,
// company name and address, justification and top margin, with the closing
// and signature lines kept beside them. They live in the settings record.
#include "data/Records.h"

#include <QString>

namespace tlv {

struct StationeryDefinition
{
    QString logoFile;
    double topMargin = 0;
    double logoHeight = 0;
    double logoWidth = 0;
    QString company, addr1, addr2, addr3, addr4;
    QString closingLine, signatureLine;
    int justification = 1; // 1 left, 2 centred, 3 right
};

// The settings as the window shows them: texts trimmed, and a justification
// other than 2 or 3 read as left.
StationeryDefinition stationeryDefinition(const SettingsRecord &s);
int justificationOf(int stored);

// The file-open dialog's filter for the logo: bitmaps first, then every
// picture format the program can draw.
QString logoFileFilter();

// The logo named after the file dialog: its answer, or the preset name when it
// was cancelled (an empty answer). A name without an extension that names no
// file is tried with ".bmp". Empty when no such file exists.
QString chosenLogoFile(const QString &answer, const QString &preset);

// The logo path as it is stored: trimmed, and empty when it names no file.
QString logoPathToStore(const QString &typed);

// The settings field holds at most 59 Windows-1252 characters. A path that
// does not fit is given relative to the working directory (the data
// directory) when that fits; an empty result means it cannot be kept.
QString storableLogoPath(const QString &path);
// Shown when a logo's path cannot be kept.
QString logoPathTooLongMessage();

// Takes the definition into the in-memory settings (texts trimmed, the logo
// emptied when it names no file) and rewrites the whole settings record.
void saveStationery(const StationeryDefinition &d);

// File dialogs may move the working directory, where the data files are
// found; this puts it back when it goes out of scope.
class WorkingDirectoryKeeper
{
public:
    WorkingDirectoryKeeper();
    ~WorkingDirectoryKeeper();
    WorkingDirectoryKeeper(const WorkingDirectoryKeeper &) = delete;
    WorkingDirectoryKeeper &operator=(const WorkingDirectoryKeeper &) = delete;

private:
    QString m_dir;
};

} // namespace tlv
