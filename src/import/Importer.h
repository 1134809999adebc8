#pragma once
// Importing customers and products from a delimited text file through an
// import format: the file read and split into lines and fields, each line
// matched against the stored records and written as an update or a new
// record. The import window, its preview and tlvtool import share it.
#include "import/ImportFormats.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tlv {

// The file's lines, decoded: UTF-8 when the bytes are valid UTF-8 and hold
// any byte above 127 (a byte order mark is dropped), Windows-1252 otherwise.
// A line ends at CR, at LF or at CR LF; empty lines are left out. Each line
// keeps its number in the file.
struct ImportLines
{
    QStringList lines;
    QList<int> numbers;
    bool utf8 = false;
};
ImportLines importLinesOf(const QByteArray &bytes);

// The fields of a line, split with the format's separator (character code).
QStringList importFields(const QString &line, int separator);

// The checks before an import, in order; "" when it may run.
//   no format:          "Click the Add button to create an import format specification"
//   empty file name:    "Click Browse button to select the file you want to import"
//   no such file:       "Import File NOT Found. Click Browse button to select the file you want to import"
QString importRefusal(bool haveFormat, const QString &fileName);

// What became of one line.
struct LineVerdict
{
    enum What { Added, Updated, TooFewFields, EmptyId };
    int line = 0; // in the file, counted from 1
    What what = Added;
    QString who;       // "Smith, John (number 12)", "ABC"
    QString reason;    // why a line was skipped
    QStringList notes; // characters the tables cannot hold, texts cut to a field's width
};
QString verdictText(const LineVerdict &v, bool preview);

struct ImportOptions
{
    // Look and tell, write nothing: every line's verdict is kept.
    bool preview = false;
    // The group of the customers added (an update keeps the customer's own).
    int group = 0;
    // The status line: "Importing: John Smith", "" at the end.
    std::function<void(const QString &)> status;
};

struct ImportResult
{
    enum class Status {
        Done,
        Unreadable,    // the file could not be read; nothing imported
        WriteFailed,   // a record could not be written; the import stopped there
        NumbersUsedUp, // no customer number left; the import stopped there
    };
    Status status = Status::Done;
    int added = 0;
    int updated = 0;
    int skipped = 0;             // too few fields, no product ID
    int unstorableLines = 0;     // lines with characters stored as '?'
    int stoppedAtLine = 0;       // the line that could not be written
    QString failure;             // why, on a line of its own
    QList<LineVerdict> verdicts; // every line's, in a preview
};

// Imports the file with the format (the window's import, or its preview).
// Opens CUST5 or Prod5 when closed, and closes what it opened. Records are
// appended and rewritten one by one through the tables' tags, each written
// to disk before the next line; a write that fails ends the import there,
// with the records before it stored and counted.
ImportResult importFile(const ImportFormatRecord &format, const QString &fileName,
                        const ImportOptions &options);
// The same on lines already read.
ImportResult importLines(const ImportFormatRecord &format, const ImportLines &lines,
                         const ImportOptions &options);

// The message at the end: "3 Customers Added  2 Customers Updated" (or
// Products), with further lines for characters stored as '?' and for an
// import that stopped early. A preview says "would be".
QString messageOf(const ImportResult &result, ImportKind kind, bool preview = false);

} // namespace tlv
