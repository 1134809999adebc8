#pragma once
// What the commands of tlvtool share: the command table and the way they
// report. Each command lives in its own file and is one line in the table.
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <span>

namespace tlv {
class DataLock;
class FixedClock;
} // namespace tlv

namespace tlv::tool {

struct Command
{
    const char *name;
    const char *arguments; // for --help, e.g. "DIR"
    const char *summary;
    int (*run)(const QStringList &args); // the arguments after the command name
};

// Every command tlvtool knows, in the order --help lists them.
std::span<const Command> commands();

// Writes "tlvtool: <message>" to standard error and returns 1.
int fail(const QString &message);
// "DIR is in use: …" for a directory the program or another tlvtool holds; 1.
int failInUse(const QString &dir);
// Writes the message and a hint to --help to standard error and returns 2.
int usageError(const QString &message);
void printLine(const QString &text); // to standard output
// Splits a command's arguments into the positional ones and the values of the
// options given, each option taking one value (a lone "-" is positional).
// 0, or the usage error for an unknown option or one without its value.
int splitArguments(const QStringList &args, const QStringList &options, QStringList &positional,
                   QHash<QString, QString> &values);
// A date given as yyyy-mm-dd or yyyymmdd; invalid otherwise.
QDate argumentDate(const QString &text);
// While it lives, the clock reads the date given (--today); an empty text
// leaves today as it is. valid() is false for a text that is not a date.
class TodayOverride
{
public:
    explicit TodayOverride(const QString &text);
    ~TodayOverride();
    TodayOverride(const TodayOverride &) = delete;
    TodayOverride &operator=(const TodayOverride &) = delete;
    bool valid() const { return m_valid; }

private:
    std::unique_ptr<FixedClock> m_clock;
    bool m_valid = true;
};
// Takes the lock of the data directory dir as the program does while it
// runs (refusing a directory another holds, or one that cannot take the lock
// file) and runs work(lock) with dir as the current directory, put back
// afterwards. Returns work's exit code, or 1 when the lock was refused.
int withLockedDirectory(const QString &dir, const std::function<int(DataLock &)> &work);

// Creates dir when needed and writes the empty tables into it. Refuses a
// directory that already holds any data file. Returns 0 or an exit code.
int initDataDirectory(const QString &dir);

int runInit(const QStringList &args);
int runPrint(const QStringList &args);
int runDemo(const QStringList &args);
int runCheck(const QStringList &args);
int runReindex(const QStringList &args);
int runPack(const QStringList &args);
int runBackup(const QStringList &args);
int runRestore(const QStringList &args);
int runUpgrade(const QStringList &args);
int runSendMail(const QStringList &args);
int runMailSetup(const QStringList &args);
int runReport(const QStringList &args);
int runMerge(const QStringList &args);
int runBuyers(const QStringList &args);
int runProfile(const QStringList &args);
int runImportCommand(const QStringList &args);
int runImportFormatCommand(const QStringList &args);
int runLabels(const QStringList &args);
int runImportDirs(const QStringList &args);
int runWebOrder(const QStringList &args);
int runCardExport(const QStringList &args);

} // namespace tlv::tool
