// tlvtool print DIR invoice|bill|packing-list NUMBER... -o FILE.pdf and
// tlvtool print DIR statements [--from D] [--to D] [--customer N]... -o FILE.pdf:
// the pages the program's Print puts on paper, written to a PDF file with
// the letterhead, logo and settings of the directory.
#include "Tool.h"
#include "data/Database.h"
#include "data/InvoiceMemory.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/InvoiceDocs.h"
#include "reports/RptUtil.h"
#include "reports/Statements.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

namespace tlv::tool {

namespace {

enum class Kind { Invoice, Bill, PackingList, Statements };

} // namespace

int runPrint(const QStringList &args)
{
    QStringList positional;
    QString output, fromText, toText;
    QList<int> customers;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool takesValue = a == QLatin1String("-o") || a == QLatin1String("--output") ||
                                a == QLatin1String("--from") || a == QLatin1String("--to") ||
                                a == QLatin1String("--customer");
        if (takesValue && i + 1 >= args.size())
            return usageError(QStringLiteral("%1 needs a value").arg(a));
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            output = args[++i];
        } else if (a == QLatin1String("--from")) {
            fromText = args[++i];
        } else if (a == QLatin1String("--to")) {
            toText = args[++i];
        } else if (a == QLatin1String("--customer")) {
            bool ok = false;
            const int n = args[++i].toInt(&ok);
            if (!ok || n <= 0)
                return usageError(QStringLiteral("--customer: '%1' is not a customer number").arg(args[i]));
            customers << n;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return usageError(QStringLiteral("unknown option '%1'").arg(a));
        } else {
            positional << a;
        }
    }
    if (positional.size() < 2)
        return usageError(QStringLiteral("print needs DIR and what to print"));
    if (output.isEmpty())
        return usageError(QStringLiteral("print needs -o FILE.pdf"));
    const QString what = positional[1];
    Kind kind;
    if (what == QLatin1String("invoice"))
        kind = Kind::Invoice;
    else if (what == QLatin1String("bill"))
        kind = Kind::Bill;
    else if (what == QLatin1String("packing-list"))
        kind = Kind::PackingList;
    else if (what == QLatin1String("statements"))
        kind = Kind::Statements;
    else
        return usageError(
            QStringLiteral("print: '%1' is not invoice, bill, packing-list or statements").arg(what));
    if (kind == Kind::Statements && positional.size() > 2)
        return usageError(QStringLiteral("print statements takes --customer N instead of numbers"));
    if (kind != Kind::Statements && positional.size() < 3)
        return usageError(QStringLiteral("print needs at least one invoice number"));
    if (kind != Kind::Statements && (!fromText.isEmpty() || !toText.isEmpty() || !customers.isEmpty()))
        return usageError(QStringLiteral("--from, --to and --customer are for statements"));
    // The span of statements: the current month unless given.
    const QDate today = clock().today();
    QDate from(today.year(), today.month(), 1);
    QDate to = from.addMonths(1).addDays(-1);
    for (auto [text, date] : {std::pair{fromText, &from}, std::pair{toText, &to}}) {
        if (text.isEmpty())
            continue;
        *date = argumentDate(text);
        if (!date->isValid())
            return usageError(QStringLiteral("'%1' is not a date (yyyy-mm-dd)").arg(text));
    }
    if (to < from)
        return fail(QStringLiteral("Ending Date must be greater than or equal to Starting Date."));
    QList<int> numbers;
    for (const QString &text : positional.mid(2)) {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok || n <= 0 || n > 999999)
            return usageError(QStringLiteral("print: '%1' is not an invoice number").arg(text));
        numbers << n;
    }
    if (!QFileInfo(positional[0]).isDir())
        return fail(QStringLiteral("%1: no such directory").arg(positional[0]));

    const QString outputPath = QFileInfo(output).absoluteFilePath();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(positional[0]);
    struct Restore
    {
        QString dir;
        ~Restore()
        {
            QDir::setCurrent(dir);
            setPrinter(nullptr);
            resetReportFont();
            report().endReport();
        }
    } restore{previous};

    PdfPrinter pdf(outputPath, localePaperSize(QLocale()), 300);
    setPrinter(&pdf);
    TableScope scope;
    loadSettings();
    setReportFont(settingsReportFont(QGuiApplication::font()));
    Db &d = db();
    for (Table *t :
         {static_cast<Table *>(&d.cust5), static_cast<Table *>(&d.groups), static_cast<Table *>(&d.inv6),
          static_cast<Table *>(&d.itm5), static_cast<Table *>(&d.pmt), static_cast<Table *>(&d.prod5)})
        t->open();
    if (kind == Kind::Statements) {
        setUpStatementDocument();
        if (!appendStatementsDated(from, to, customers))
            return fail(QStringLiteral("no statements: no customer has an open invoice dated %1 to %2")
                            .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate)));
    } else if (kind == Kind::PackingList) {
        setUpPackingList();
    } else {
        setUpInvoiceDocument();
    }
    for (const int number : numbers) {
        const long record = invoiceRecordOf(number);
        if (record == 0 || !loadInvoice(record))
            return fail(QStringLiteral("there is no invoice %1 in %2").arg(number).arg(positional[0]));
        if (kind == Kind::PackingList)
            appendPackingList();
        else
            appendInvoice(kind == Kind::Invoice, false);
    }
    switch (printReport(report(), pdf)) {
    case PrintStatus::Printed:
        return 0;
    case PrintStatus::Cancelled:
    case PrintStatus::Failed:
        break;
    }
    return fail(QStringLiteral("Unable to save to: ") + outputPath);
}

} // namespace tlv::tool
