// tlvtool labels DIR BATCH: a label batch printed into a PDF file without a
// window, through the same layout and batches the program prints with. The
// stock, the starting label, the span and the groups or customers come from
// the arguments instead of the dialogs.
#include "Tool.h"
#include "data/Database.h"
#include "data/Helpers.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "labels/LabelGen.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/RptUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLocale>
#include <cstdio>
#include <memory>

namespace tlv::tool {

namespace {

struct BatchName
{
    const char *name;
    int kind; // 0: the alignment test
};

const BatchName batchNames[] = {
    {"customers", 1}, {"invoices", 2},   {"past-due", 3},  {"statements", 4},
    {"groups", 5},    {"batch-file", 6}, {"alignment", 0},
};

QString knownBatches()
{
    QStringList names;
    for (const BatchName &b : batchNames)
        names << QLatin1String(b.name);
    return names.join(QStringLiteral(", "));
}

// The report font of the settings, on the application's font.
} // namespace

int runLabels(const QStringList &args)
{
    const QStringList options = {"--stock", "--column", "--row",       "--from", "--to",
                                 "--today", "--groups", "--customers", "-o"};
    QStringList positional;
    QHash<QString, QString> values;
    if (const int rc = splitArguments(args, options, positional, values); rc != 0)
        return rc;
    if (positional.size() != 2 || !values.contains(QStringLiteral("-o")))
        return usageError(QStringLiteral("labels needs DIR, BATCH and -o FILE.pdf"));
    const BatchName *batch = nullptr;
    for (const BatchName &b : batchNames)
        if (positional[1] == QLatin1String(b.name))
            batch = &b;
    if (!batch)
        return usageError(
            QStringLiteral("unknown batch '%1' (known: %2)").arg(positional[1], knownBatches()));
    if (!QFileInfo(positional[0]).isDir())
        return fail(QStringLiteral("%1: no such directory").arg(positional[0]));

    auto number = [&](const char *option, int fallback, int &into) {
        into = fallback;
        if (!values.contains(QLatin1String(option)))
            return true;
        bool ok = false;
        into = values[QLatin1String(option)].toInt(&ok);
        return ok && into >= 1;
    };
    int column = 1, row = 1;
    if (!number("--column", 1, column) || !number("--row", 1, row))
        return usageError(QStringLiteral("--column and --row take a number from 1"));

    const TodayOverride today(values.value(QStringLiteral("--today")));
    if (!today.valid())
        return usageError(QStringLiteral("--today: not a date (yyyy-mm-dd)"));

    // The span: today to today unless given, as the program asks it.
    LabelRequest request;
    request.startDate = request.endDate = clock().today();
    for (auto [option, date] :
         {std::pair{"--from", &request.startDate}, std::pair{"--to", &request.endDate}}) {
        if (!values.contains(QLatin1String(option)))
            continue;
        *date = argumentDate(values[QLatin1String(option)]);
        if (!date->isValid())
            return usageError(QStringLiteral("%1: not a date (yyyy-mm-dd)").arg(QLatin1String(option)));
    }
    if (request.endDate < request.startDate)
        return fail(QStringLiteral("Ending Date must be greater than or equal to Starting Date."));

    QList<int> customers;
    for (auto [option, list] :
         {std::pair{"--groups", &request.groups}, std::pair{"--customers", &customers}}) {
        for (const QString &n :
             values.value(QLatin1String(option)).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            *list << n.trimmed().toInt(&ok);
            if (!ok)
                return usageError(
                    QStringLiteral("%1 takes numbers separated by commas").arg(QLatin1String(option)));
        }
    }
    if (batch->kind == 5 && request.groups.isEmpty())
        return usageError(QStringLiteral("the groups batch needs --groups N,N,..."));
    if (batch->kind == 1 && customers.isEmpty())
        return usageError(QStringLiteral("the customers batch needs --customers N,N,..."));

    const QString outputPath = QFileInfo(values[QStringLiteral("-o")]).absoluteFilePath();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(positional[0]);
    struct DirectoryReset
    {
        QString dir;
        ~DirectoryReset() { QDir::setCurrent(dir); }
    } directoryReset{previous};

    if (batch->kind == 6 && !QFileInfo::exists(QLatin1String(batchLabelFile)))
        return fail(QStringLiteral("Unable to save to: ") + QLatin1String(batchLabelFile));

    LabelOutcome outcome;
    {
        TableScope scope;
        loadSettings();
        auto &labels = db().labels;
        labels.open();
        if (labels.recCount() == 0)
            return fail(QLatin1String(noLabelStockMessage));
        LabelRecord stock;
        const QString name = values.value(QStringLiteral("--stock"), settings().LabID);
        labelStockNamed(name, stock);
        if (values.contains(QStringLiteral("--stock")) && stock.Name.trimmed() != name.trimmed())
            return fail(QStringLiteral("no label stock named '%1'").arg(name));
        labels.close();
        column = std::min(column, std::max(stock.NAcross, 1));

        // The customers given by number, one label each in the order given.
        int next = 0;
        auto &cust = db().cust5;
        request.nextPick = [&]() -> long {
            while (next < customers.size()) {
                cust.useTag(tag::CCNO);
                const int wanted = customers[next++];
                if (cust.seek(paddedNumber(wanted, 6)) == 0)
                    return cust.recNo();
                std::fprintf(stderr, "tlvtool: no customer %d\n", wanted);
            }
            return 0;
        };
        PdfPrinter pdf(outputPath, localePaperSize(QLocale()), 300);
        outcome = batch->kind == 0
                      ? printAlignmentTest(stock, settingsReportFont(QGuiApplication::font()), pdf)
                      : printLabels(static_cast<LabelBatch>(batch->kind), request, stock, column, row,
                                    settingsReportFont(QGuiApplication::font()), pdf);
    }
    switch (outcome) {
    case LabelOutcome::Printed:
        return 0;
    case LabelOutcome::NothingPrinted:
        std::fprintf(stderr, "tlvtool: the batch chose no customer; nothing was written\n");
        return 0;
    case LabelOutcome::FileError:
        return 1;
    case LabelOutcome::Cancelled:
    case LabelOutcome::Failed:
        break;
    }
    return fail(QStringLiteral("Unable to save to: ") + outputPath);
}

} // namespace tlv::tool
