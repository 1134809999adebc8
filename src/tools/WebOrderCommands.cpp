// The web order commands of tlvtool, through the code of the invoice editor's
// IMPORT and Export and of the Import Directories window:
//   tlvtool import-dirs DIR [--info PATH] [--order PATH]
//   tlvtool weborder DIR NAME [--group N] [--again]
//   tlvtool card-export DIR INVOICE [--append]
#include "Tool.h"
#include "data/DataLock.h"
#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "import/ImportDirs.h"
#include "invoicing/CardBatch.h"
#include "invoicing/InvoiceCalc.h"
#include "invoicing/InvoiceEditor.h"
#include "invoicing/InvoiceStore.h"
#include "invoicing/WebOrder.h"
#include "platform/Clock.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFileInfo>

namespace tlv::tool {

namespace {

// The console's boxes, with the question of the command answered as its
// option says (Yes with the option, No without).
class AnsweringUi : public Ui
{
public:
    AnsweringUi(bool yes) : m_console(ui()), m_yes(yes) { setUi(this); }
    ~AnsweringUi() override { setUi(nullptr); }
    Answer message(BoxKind kind, const QString &text, Buttons buttons, const QString &caption) override
    {
        m_console.message(kind, text, Buttons::Ok, caption);
        if (buttons == Buttons::YesNo)
            return m_yes ? Answer::Yes : Answer::No;
        return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
    }
    std::optional<QString> inputBox(const QString &c, const QString &p, const QString &i) override
    {
        return m_console.inputBox(c, p, i);
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString chooseDirectory(const QString &, const QString &) override { return {}; }
    std::optional<QFont> chooseFont(const QFont &) override { return std::nullopt; }
    bool printerSetup() override { return false; }

private:
    Ui &m_console;
    bool m_yes;
};

// Runs work in dir, holding the directory's lock.
template <typename F> int inDirectory(const QString &dir, F work)
{
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("%1: no such directory").arg(dir));
    return withLockedDirectory(dir, [&](DataLock &) { return work(); });
}

// Splits the arguments into positional ones and the options named (each
// with a value when `valued` says so); false on an unknown option.
bool parseArgs(const QStringList &args, const QStringList &valued, const QStringList &flags,
               QStringList &positional, QMap<QString, QString> &options)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (valued.contains(a) && i + 1 < args.size())
            options[a] = args[++i];
        else if (flags.contains(a))
            options[a] = QStringLiteral("yes");
        else if (a.startsWith(QLatin1Char('-')))
            return false;
        else
            positional << a;
    }
    return true;
}

void openInvoiceTables()
{
    Db &d = db();
    for (Table *t : {(Table *)&d.cust5, (Table *)&d.groups, (Table *)&d.inv6, (Table *)&d.itm5,
                     (Table *)&d.pmt, (Table *)&d.prod5})
        t->open();
}

} // namespace

int runImportDirs(const QStringList &args)
{
    QStringList positional;
    QMap<QString, QString> o;
    if (!parseArgs(args, {QStringLiteral("--info"), QStringLiteral("--order")}, {}, positional, o) ||
        positional.size() != 1)
        return usageError(QStringLiteral("import-dirs needs DIR and at most --info PATH and --order PATH"));
    return inDirectory(positional[0], [&] {
        TableScope scope;
        ImportDirs dirs = loadImportDirs();
        if (o.isEmpty()) {
            printLine(QStringLiteral("InfoDir: ") + dirs.info);
            printLine(QStringLiteral("OrderDir: ") + dirs.order);
            return 0;
        }
        dirs.info = o.value(QStringLiteral("--info"), dirs.info);
        dirs.order = o.value(QStringLiteral("--order"), dirs.order);
        storeImportDirs(dirs);
        return 0;
    });
}

int runWebOrder(const QStringList &args)
{
    QStringList positional;
    QMap<QString, QString> o;
    if (!parseArgs(args, {QStringLiteral("--group")}, {QStringLiteral("--again")}, positional, o) ||
        positional.size() != 2)
        return usageError(QStringLiteral("weborder needs DIR and NAME, and takes --group N and --again"));
    bool ok = true;
    const int group =
        o.contains(QStringLiteral("--group")) ? o.value(QStringLiteral("--group")).toInt(&ok) : 0;
    if (!ok || group < 0)
        return usageError(QStringLiteral("--group: not a group number"));
    // Only a name: the files are looked for in the two import directories.
    const QString name = QFileInfo(positional[1]).fileName();
    return inDirectory(positional[0], [&] {
        AnsweringUi answers(o.contains(QStringLiteral("--again")));
        TableScope scope(packList::invoices);
        loadSettings();
        openInvoiceTables();
        Db &d = db();
        invoiceMemory().reset();
        d.selected.invoice = 0;
        const std::optional<WebOrder> order = readWebOrder(loadImportDirs(), name);
        if (!order)
            return 1;
        takeWebOrder(*order, clock().today());
        CustomerRecord &c = d.cust5.buf;
        bool multiple = false;
        long recNo = matchOrderCustomer(c, &multiple);
        if (multiple)
            ui().warning(QStringLiteral("Multiple Matches on Name / Zip"));
        if (recNo == 0) {
            if (group == 0 || !lookUpGroup(group))
                return fail(QStringLiteral("%1 %2 is a new customer: name an existing group with --group N")
                                .arg(c.first.trimmed(), c.last.trimmed()));
            CustomerRecord fresh = c;
            recNo = addOrderCustomer(fresh, group);
            if (recNo == 0)
                return fail(QStringLiteral("the customer could not be added"));
        }
        if (!takeCustomer(int(recNo)))
            return fail(QStringLiteral("the customer could not be read"));
        const SaveResult saved = saveInvoice(d.cust5.buf.note);
        if (saved.outcome != SaveOutcome::Saved)
            return 1;
        rememberImportedOrder(name);
        printLine(QStringLiteral("invoice %1 for customer %2").arg(d.inv6.buf.IvNo).arg(d.inv6.buf.CuNo));
        return 0;
    });
}

int runCardExport(const QStringList &args)
{
    QStringList positional;
    QMap<QString, QString> o;
    if (!parseArgs(args, {}, {QStringLiteral("--append")}, positional, o) || positional.size() != 2)
        return usageError(QStringLiteral("card-export needs DIR and INVOICE, and takes --append"));
    bool ok = false;
    const int number = positional[1].toInt(&ok);
    if (!ok || number <= 0)
        return usageError(QStringLiteral("INVOICE: not an invoice number"));
    return inDirectory(positional[0], [&] {
        AnsweringUi answers(o.contains(QStringLiteral("--append")));
        TableScope scope;
        loadSettings();
        openInvoiceTables();
        Db &d = db();
        d.inv6.useTag(tag::Inv);
        if (d.inv6.seek(paddedNumber(number, 6)) != 0)
            return fail(QStringLiteral("no invoice %1").arg(number));
        invoiceMemory().reset();
        if (!loadInvoice(d.inv6.recNo()))
            return fail(QStringLiteral("invoice %1 could not be read").arg(number));
        InvoiceMemory &m = invoiceMemory();
        // The total as the editor shows it for the stored invoice.
        InvoiceCalc calc(d.inv6.buf, m.items, m.payments);
        calc.setRates(ChargeRates::of(settings()));
        calc.invoiceOpened();
        const QString total = numberToFixed(calc.total(), 10, 2);
        return exportCardRecord(d.inv6.buf.IMemo.trimmed(), total) ? 0 : 1;
    });
}

} // namespace tlv::tool
