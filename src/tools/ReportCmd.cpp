// tlvtool report NAME DIR: the text export of a report, written without a
// window through the same generator and the same text rendering the viewer's
// export uses.
#include "Tool.h"
#include "data/Helpers.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "platform/Clock.h"
#include "reports/RptGen.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <tuple>

namespace tlv::tool {

namespace {

QString reportNames()
{
    QStringList names;
    for (const ReportCommand &c : reportCommands())
        names << QLatin1String(c.name);
    return names.join(QStringLiteral(", "));
}

} // namespace

int runReport(const QStringList &args)
{
    QStringList positional;
    QString from, to, today, output;
    bool tabbed = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](QString &into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (a == QLatin1String("--tab")) {
            tabbed = true;
        } else if (a == QLatin1String("--from")) {
            if (!value(from))
                return usageError(QStringLiteral("--from needs a date"));
        } else if (a == QLatin1String("--to")) {
            if (!value(to))
                return usageError(QStringLiteral("--to needs a date"));
        } else if (a == QLatin1String("--today")) {
            if (!value(today))
                return usageError(QStringLiteral("--today needs a date"));
        } else if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (!value(output))
                return usageError(QStringLiteral("-o needs a file name"));
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return usageError(QStringLiteral("unknown option '%1'").arg(a));
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2)
        return usageError(QStringLiteral("report needs NAME and DIR"));
    if (output.isEmpty())
        return usageError(QStringLiteral("report needs -o FILE"));
    const ReportCommand *command = findReportCommand(positional[0]);
    if (!command)
        return usageError(
            QStringLiteral("unknown report '%1' (known: %2)").arg(positional[0], reportNames()));

    const TodayOverride fixedToday(today);
    if (!fixedToday.valid())
        return usageError(QStringLiteral("--today: '%1' is not a date (yyyy-mm-dd)").arg(today));

    // The span: the current month unless given.
    resetSelection();
    defaultMonth();
    for (auto [text, date, option] :
         {std::tuple{from, &selection().startDate, "--from"}, std::tuple{to, &selection().endDate, "--to"}}) {
        if (text.isEmpty())
            continue;
        const QDate d = argumentDate(text);
        if (!d.isValid())
            return usageError(
                QStringLiteral("%1: '%2' is not a date (yyyy-mm-dd)").arg(QLatin1String(option), text));
        *date = d;
    }
    if (command->question == ReportQuestion::MonthSpan &&
        !spanInOrder(selection().startDate, selection().endDate))
        return fail(QString::fromLatin1(spanOrderMessage()));
    // A single date (inventory as of a date) is --to, today when not given.
    if (command->question == ReportQuestion::AsOfDate)
        selection().startDate = to.isEmpty() ? clock().today() : selection().endDate;
    selection().cancelled = false;

    // The output is named from where tlvtool was started; the tables are
    // worked on in their own directory, as the program does.
    const QString outputPath = QFileInfo(output).absoluteFilePath();
    if (!QFileInfo(positional[1]).isDir())
        return fail(QStringLiteral("%1: no such directory").arg(positional[1]));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(positional[1]);
    struct DirectoryReset
    {
        QString dir;
        ~DirectoryReset() { QDir::setCurrent(dir); }
    } directoryReset{previous};

    bool rows = false;
    {
        TableScope scope;
        // The charge-line labels, rates and switches the reports print by.
        loadSettings();
        openReportTables(*command);
        rows = command->generate();
    }
    QString error;
    const SaveStatus status = writeReportText(report(), outputPath, tabbed, &error);
    report().endReport();
    if (status == SaveStatus::NotCreated)
        return fail(QStringLiteral("Unable to save to: ") + outputPath);
    if (status == SaveStatus::WriteFailed)
        return fail(error);
    if (!rows)
        std::fprintf(stderr, "tlvtool: the report has no rows\n");
    return 0;
}

} // namespace tlv::tool
