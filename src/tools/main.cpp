// tlvtool, the command-line companion of the program: it works on a data
// directory given in its arguments and reads no settings of its own.
#include "Tool.h"
#include "data/DataLock.h"
#include "data/Database.h"
#include "data/ProgramEnd.h"
#include "platform/Clock.h"
#include "platform/DesktopLocale.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tlv::tool {

namespace {

const Command commandTable[] = {
    {"init", "DIR", "create DIR when needed and write the empty tables a new business starts with", runInit},
    {"demo", "DIR", "like init, then fill the tables with a small sample business", runDemo},
    {"print",
     "DIR invoice|bill|packing-list NUMBER... -o FILE.pdf | DIR statements [--from DATE] [--to DATE] "
     "[--customer N]... -o FILE.pdf",
     "write the invoices (or bills, or packing lists) of the numbers given, or the account statements of "
     "the customers with open invoices in the span, to a PDF file, as Print puts them on paper",
     runPrint},
    {"report", "NAME DIR [--from DATE] [--to DATE] [--tab] [--today DATE] -o FILE",
     "write a report's plain (or --tab: tab-delimited) text export; NAME names the report (an unknown name "
     "lists them all)",
     runReport},
    {"merge", "DIR [--groups N,N,...] -o FILE",
     "write the mail-merge file of the customers of the groups (all when none are given); a FILE ending in "
     ".csv gets CSV",
     runMerge},
    {"buyers", "DIR --product ID [--from DATE] [--to DATE] [--today DATE] -o FILE",
     "write the text of the buyers of a product report (the current month unless given)", runBuyers},
    {"profile", "DIR (--groups N,N,... | --customers N,N,...) [--today DATE] -o FILE",
     "write the text of the customer profile of the customers of the groups, or of the customers given",
     runProfile},
    {"labels",
     "DIR BATCH [--stock NAME] [--column C] [--row R] [--from DATE] [--to DATE] [--today DATE] "
     "[--groups N,N,...] [--customers N,N,...] -o FILE.pdf",
     "print a label batch into a PDF file (BATCH: customers, invoices, past-due, statements, groups, "
     "batch-file, or alignment for numbered outlines of one sheet)",
     runLabels},
    {"import", "DIR customers|products FILE --format NAME [--group N] [--preview]",
     "import customers (into group N) or products from a delimited text file with the import format NAME; "
     "--preview writes nothing and tells what each line would do",
     runImportCommand},
    {"import-format", "DIR customers|products NAME --columns N,N,... [--delimiter CODE] [--least N]",
     "save the import format NAME: the column of each field in the format window's order (0: not imported), "
     "the separator's character code (44) and the least number of columns of a line (0)",
     runImportFormatCommand},
    {"import-dirs", "DIR [--info PATH] [--order PATH]",
     "print the two web order directories of DIR, or store them (the program's \"Import Dir's\")",
     runImportDirs},
    {"weborder", "DIR NAME [--group N] [--again]",
     "make the web order NAME of the import directories a new invoice, its new customer in group N; "
     "--again imports an order imported before (the invoice editor's \"IMPORT\", then \"Save\")",
     runWebOrder},
    {"card-export", "DIR INVOICE [--append]",
     "write the card payment of the invoice to Batchin.dat in DIR, appended with --append, otherwise "
     "anew (the invoice editor's \"Export\")",
     runCardExport},
    {"check", "DIR", "verify every table and index of DIR; prints one line per problem and a count",
     runCheck},
    {"reindex", "DIR", "rebuild every index file of DIR (the program's \"Re-Index Data\")", runReindex},
    {"pack", "DIR", "remove deleted records for good (the program's \"Pack Data\")", runPack},
    {"backup", "DIR TARGET",
     "copy the data files of DIR into TARGET with a list of their sums (the program's \"Backup\")",
     runBackup},
    {"restore", "DIR SOURCE",
     "replace the data files of DIR by the backup in SOURCE, checked against its sums, and rebuild the "
     "indexes (the program's \"Restore\")",
     runRestore},
    {"upgrade", "DIR OLD_DIR",
     "replace the data of DIR by the data of an earlier version in OLD_DIR (Inv5 of version 1, or the "
     "tables of Norvath 4-5), after a backup of DIR beside it (the program's \"Upgrade Data\")",
     runUpgrade},
    {"mailsetup",
     "DIR [--host H] [--id TEXT] [--from ADDRESS] [--name TEXT] [--reply ADDRESS] [--port N] "
     "[--security none|starttls|ssl] [--user NAME] [--password-stdin] [--attach-pdf yes|no]",
     "store the mail settings of DIR, as the program's \"EMail Setup\" does; without options print them "
     "(never the password)",
     runMailSetup},
    {"sendmail", "DIR --to ADDRESS [--to ADDRESS ...] [--subject TEXT] [--port N] [--cafile FILE]",
     "send standard input as one message with the mail settings of DIR; --cafile trusts the certificate "
     "authority of FILE (PEM) for a secure connection",
     runSendMail},
};

void printHelp()
{
    QString text = QStringLiteral("Usage: tlvtool COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const Command &c : commands())
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(QLatin1String(c.name), QLatin1String(c.arguments), QLatin1String(c.summary));
    text += QStringLiteral("\nOptions:\n  --help    show this text\n");
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

} // namespace

std::span<const Command> commands()
{
    return commandTable;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "tlvtool: %s\n", message.toLocal8Bit().constData());
    return 1;
}

int failInUse(const QString &dir)
{
    return fail(QStringLiteral("%1 is in use: the program or another tlvtool is working on it; "
                               "try again when it has finished")
                    .arg(dir));
}

int usageError(const QString &message)
{
    std::fprintf(stderr, "tlvtool: %s\nTry 'tlvtool --help'.\n", message.toLocal8Bit().constData());
    return 2;
}

int splitArguments(const QStringList &args, const QStringList &options, QStringList &positional,
                   QHash<QString, QString> &values)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            if (!options.contains(a) || i + 1 >= args.size())
                return usageError(QStringLiteral("unknown or incomplete option '%1'").arg(a));
            values[a] = args[++i];
        } else {
            positional << a;
        }
    }
    return 0;
}

void printLine(const QString &text)
{
    std::printf("%s\n", text.toLocal8Bit().constData());
}

QDate argumentDate(const QString &text)
{
    QDate d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid())
        d = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    return d;
}

TodayOverride::TodayOverride(const QString &text)
{
    if (text.isEmpty())
        return;
    const QDate d = argumentDate(text);
    m_valid = d.isValid();
    if (!m_valid)
        return;
    m_clock = std::make_unique<FixedClock>(d);
    setClock(m_clock.get());
}

TodayOverride::~TodayOverride()
{
    if (m_clock)
        setClock(nullptr);
}

int withLockedDirectory(const QString &dir, const std::function<int(DataLock &)> &work)
{
    // Never alongside the program (or another tlvtool) on the same data.
    DataLock lock(dir);
    if (lock.status() == DataLock::Status::InUse)
        return failInUse(dir);
    if (!lock.acquired())
        return fail(QStringLiteral("%1 is not writable: cannot write its lock file %2")
                        .arg(dir, DataLock::fileName()));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    struct Back
    {
        QString dir;
        ~Back() { QDir::setCurrent(dir); }
    } back{previous};
    return work(lock);
}

} // namespace tlv::tool

namespace {

QtMessageHandler standardMessages = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (standardMessages)
        standardMessages(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    using namespace tlv::tool;
    // Commands that print pages (PDF) need fonts and a painter, never a screen.
    const bool painting =
        argc > 1 && (std::strcmp(argv[1], "print") == 0 || std::strcmp(argv[1], "labels") == 0);
    if (painting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A shell without a session has no runtime directory; the tool never
    // needs one, so Qt's note about it would only be noise on standard error.
    standardMessages = qInstallMessageHandler(quietMessages);
    std::unique_ptr<QCoreApplication> app;
    if (painting)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    // Reports date and number their text as the program does.
    tlv::useDesktopLocale();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printHelp();
        return 0;
    }
    for (const Command &c : commands()) {
        if (name != QLatin1String(c.name))
            continue;
        if (args.contains(QLatin1String("--help"))) {
            printHelp();
            return 0;
        }
        int code = 1;
        try {
            code = c.run(args);
        } catch (const tlv::ProgramEnded &e) {
            // The data layer already said which file it could not open.
            code = fail(e.reason());
        }
        tlv::db().endSession();
        return code;
    }
    return usageError(QStringLiteral("unknown command '%1'").arg(name));
}
