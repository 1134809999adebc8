// tlvtool buyers and tlvtool profile: the product buyers report and the
// customer profile, the product, groups or customers given as arguments
// instead of being picked, written as the viewer's plain text export by the
// same generators the report chooser runs.
#include "Tool.h"
#include "data/Database.h"
#include "data/Helpers.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "platform/Clock.h"
#include "reports/CustomerReports.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace tlv::tool {

namespace {

std::optional<QList<int>> numbers(const QString &text)
{
    QList<int> out;
    for (const QString &n : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        out << n.trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return out;
}

// Parses "DIR" and "--name value" options (those listed in `options`), sets
// the clock and the span, opens the tables in DIR, runs `generate` and writes
// the text to -o. `generate` returns an error text, empty when it ran.
int runCustomerReport(const QStringList &args, const QStringList &options, std::span<const TableId> tables,
                      const std::function<QString(const QHash<QString, QString> &)> &generate)
{
    QStringList positional;
    QHash<QString, QString> values;
    if (const int rc = splitArguments(args, options, positional, values); rc != 0)
        return rc;
    if (positional.size() != 1 || !values.contains(QStringLiteral("-o")))
        return usageError(QStringLiteral("needs DIR and -o FILE"));
    if (!QFileInfo(positional[0]).isDir())
        return fail(QStringLiteral("%1: no such directory").arg(positional[0]));

    const TodayOverride today(values.value(QStringLiteral("--today")));
    if (!today.valid())
        return usageError(QStringLiteral("--today: not a date (yyyy-mm-dd)"));
    resetSelection();
    defaultMonth();
    for (auto [option, date] :
         {std::pair{"--from", &selection().startDate}, std::pair{"--to", &selection().endDate}}) {
        if (!values.contains(QLatin1String(option)))
            continue;
        *date = argumentDate(values[QLatin1String(option)]);
        if (!date->isValid())
            return usageError(QStringLiteral("%1: not a date (yyyy-mm-dd)").arg(QLatin1String(option)));
    }
    if (!spanInOrder(selection().startDate, selection().endDate))
        return fail(QString::fromLatin1(spanOrderMessage()));
    selection().cancelled = false;

    const QString outputPath = QFileInfo(values[QStringLiteral("-o")]).absoluteFilePath();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(positional[0]);
    struct DirectoryReset
    {
        QString dir;
        ~DirectoryReset() { QDir::setCurrent(dir); }
    } directoryReset{previous};

    QString refusal;
    {
        TableScope scope;
        loadSettings();
        for (TableId id : tables)
            db().table(id).open();
        refusal = generate(values);
    }
    if (!refusal.isEmpty()) {
        report().endReport();
        return fail(refusal);
    }
    QString error;
    const SaveStatus status = writeReportText(report(), outputPath, false, &error);
    const bool rows = report().lastRow() >= 0;
    report().endReport();
    if (status == SaveStatus::NotCreated)
        return fail(QStringLiteral("Unable to save to: ") + outputPath);
    if (status == SaveStatus::WriteFailed)
        return fail(error);
    if (!rows)
        std::fprintf(stderr, "tlvtool: the report has no rows\n");
    return 0;
}

const TableId customerTables[] = {TableId::CUST5, TableId::GROUPS, TableId::INV6, TableId::ITM5,
                                  TableId::Prod5};

} // namespace

int runBuyers(const QStringList &args)
{
    return runCustomerReport(args, {"--product", "--from", "--to", "--today", "-o"}, customerTables,
                             [](const auto &values) {
                                 const QString id = values.value(QStringLiteral("--product")).trimmed();
                                 if (id.isEmpty())
                                     return QStringLiteral("buyers needs --product ID");
                                 auto &prod = db().prod5;
                                 prod.useTag(tag::Prod);
                                 // The key is the identifier upper-cased; a longer identifier
                                 // starting with the same letters is not the one asked for.
                                 if (prod.seek(keyUpper(id)) != 0 || prod.isDeleted())
                                     return QStringLiteral("no product %1").arg(id);
                                 prod.read();
                                 if (prod.buf.PrID.trimmed().toUpper() != id.toUpper())
                                     return QStringLiteral("no product %1").arg(id);
                                 productBuyers(prod.recNo());
                                 return QString();
                             });
}

int runProfile(const QStringList &args)
{
    return runCustomerReport(
        args, {"--groups", "--customers", "--today", "-o"}, customerTables, [](const auto &values) {
            const bool byGroups = values.contains(QStringLiteral("--groups"));
            if (byGroups == values.contains(QStringLiteral("--customers")))
                return QStringLiteral("profile needs either --groups N,... or --customers N,...");
            const auto list =
                numbers(values.value(byGroups ? QStringLiteral("--groups") : QStringLiteral("--customers")));
            if (!list)
                return QStringLiteral("not a list of numbers");
            beginProfile();
            if (byGroups) {
                selection().chosenGroups = *list;
                profileOfChosenGroups();
                return QString();
            }
            auto &cust = db().cust5;
            for (int number : *list) {
                cust.useTag(tag::CCNO);
                if (cust.seek(paddedNumber(number, 6)) != 0 || cust.isDeleted())
                    return QStringLiteral("no customer %1").arg(number);
                profileBlock(cust.recNo());
            }
            return QString();
        });
}

} // namespace tlv::tool
