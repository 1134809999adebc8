#include "data/Upgrade.h"

#include "data/Backup.h"
#include "data/Database.h"
#include "data/FileMaint.h"
#include "data/xbase/FileIo.h"
#include "platform/Progress.h"
#include "platform/Ui.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <initializer_list>

namespace tlv {

namespace {

// dir/name whatever the case of the name's letters; "" when absent.
QString locate(const QString &dir, const QString &name)
{
    return QString::fromStdString(
        xbase::locateNoCase(QFile::encodeName(dir).toStdString(), QFile::encodeName(name).toStdString()));
}

bool sameDirectory(const QString &chosen)
{
    const QString a = QFileInfo(chosen.trimmed()).canonicalFilePath();
    return !a.isEmpty() && a == QDir::current().canonicalPath();
}

struct CopiedFile
{
    const char *name;
    int progress;
};

constexpr const char *version1Required[] = {"cust5.dbf",  "Groups.dbf", "inv5.dbf", "itm5.dbf",
                                            "labels.dbf", "pmt.dbf",    "pur5.dbf", "Prod5.dbf"};
constexpr const char *norvathRequired[] = {"cust2.dbf",  "Groups.dbf", "inv.dbf",  "itm4.dbf",
                                           "labels.dbf", "pmt.dbf",    "Prod4.dbf"};
constexpr CopiedFile version1Copies[] = {
    {"Cust5.dbf", 10}, {"Cust5.dbt", 15}, {"Groups.dbf", 20}, {"Itm5.dbf", 25}, {"labels.dbf", 30},
    {"Pmt.dbf", 35},   {"Prod5.dbf", 40}, {"Prod5.dbt", 45},  {"Pur5.dbf", 50},
};
constexpr CopiedFile norvathCopies[] = {{"groups.dbf", 10}, {"labels.dbf", 15}, {"Pmt.dbf", 20}};

template <size_t N> bool allPresent(const QString &dir, const char *const (&names)[N])
{
    for (const char *name : names)
        if (locate(dir, QString::fromLatin1(name)).isEmpty())
            return false;
    return true;
}

// Each old file over the data directory's file of the same name (whatever
// the case of either name), with its progress.
template <size_t N> bool copyOver(const QString &dir, const CopiedFile (&files)[N])
{
    for (const CopiedFile &f : files) {
        const QString name = QString::fromLatin1(f.name);
        const QString source = locate(dir, name);
        if (source.isEmpty())
            return false;
        const QString live = locate(QStringLiteral("."), name);
        if (!copyFileSafely(source, live.isEmpty() ? name : live))
            return false;
        progress().showProgress(f.progress);
    }
    return true;
}

// An old table opened without its index group, read by field name.
class OldTable
{
public:
    OldTable(const QString &dir, const char *stem)
    {
        CODE4 *c4 = db().session();
        db().takeErrorCode();
        const int previous = code4autoOpen(c4, 0);
        const QString path = locate(dir, QString::fromLatin1(stem) + QStringLiteral(".dbf"));
        if (!path.isEmpty())
            m_data = d4open(c4, QFile::encodeName(path.left(path.size() - 4)).constData());
        code4autoOpen(c4, previous);
        if (db().takeErrorCode() < 0 && m_data) {
            d4close(m_data);
            m_data = nullptr;
        }
    }
    ~OldTable() { close(); }
    OldTable(const OldTable &) = delete;
    OldTable &operator=(const OldTable &) = delete;

    // Every field the conversion reads must be there; false otherwise.
    bool usable(std::initializer_list<const char *> names)
    {
        if (!m_data)
            return false;
        for (const char *n : names)
            if (!d4field(m_data, n)) {
                db().takeErrorCode();
                return false;
            }
        return true;
    }
    void close()
    {
        if (m_data)
            d4close(m_data);
        m_data = nullptr;
    }
    DATA4 *data() const { return m_data; }
    long count() const { return d4recCountDo(m_data); }

    // The current record's fields, converted as the current fields of the
    // same kind are.
    QString text(const char *name) const
    {
        FIELD4 *f = d4field(m_data, name);
        return f4type(f) == 'M' ? fieldio::readMemo(f) : fieldio::readText(f);
    }
    int integer(const char *name) const { return fieldio::readInt(d4field(m_data, name)); }
    double number(const char *name) const { return fieldio::readDouble(d4field(m_data, name)); }
    QDate date(const char *name) const { return fieldio::readDate(d4field(m_data, name)); }
    bool flag(const char *name) const { return fieldio::readBool(d4field(m_data, name)); }

private:
    DATA4 *m_data = nullptr;
};

// Opens a current table and removes all its records, compacting its memo
// file where it has one. False when the table cannot be emptied.
bool openEmptied(Table &t)
{
    t.open(); // a table that cannot be opened ends the program
    const long count = t.recCount();
    if (count > 0 && d4zap(t.data(), 1, count) < 0)
        return false;
    if (hasMemo(t.def()) && d4memoCompress(t.data()) < 0)
        return false;
    return true;
}

// Walks the old table from its first record, appending one current record
// for each record still in use and showing base + done * span / count.
template <class R, class Fill>
bool convertTable(OldTable &old, BufferedTable<R> &target, int base, int span, Fill fill)
{
    const long count = old.count();
    long done = 0;
    for (int rc = d4top(old.data()); rc == 0; rc = d4skip(old.data(), 1)) {
        ++done;
        // A record the old program had marked deleted would go at its next
        // pack; the upgrade ends with one, so it is not carried over.
        if (!d4deleted(old.data())) {
            if (!target.appendBlank())
                return false;
            target.buf = R{};
            fill(target.buf);
            if (target.write() < 0)
                return false;
        }
        if (count > 0)
            progress().showProgress(base + int(done * span / count));
    }
    return db().takeErrorCode() >= 0;
}

void readInvoice(const OldTable &old, InvoiceRecord &r, bool withDept)
{
    r.IvNo = old.integer("IvNo");
    r.CuNo = old.integer("CuNo");
    r.IDate = old.date("IDate");
    r.IMemo = old.text("IMemo");
    if (withDept)
        r.Dept = old.text("Dept");
    r.REM = old.text("REM").trimmed();
    r.Ship = old.number("Ship");
    r.Tax = old.number("Tax");
    r.Due = old.number("Due");
    r.Discount = 0;
}

bool convertInvoices(const QString &dir, const char *stem, bool withDept, int base, int span)
{
    OldTable old(dir, stem);
    if (withDept ? !old.usable({"IvNo", "CuNo", "IDate", "IMemo", "Dept", "REM", "Ship", "Tax", "Due"})
                 : !old.usable({"IvNo", "CuNo", "IDate", "IMemo", "REM", "Ship", "Tax", "Due"}))
        return false;
    Db &d = db();
    if (!openEmptied(d.inv6))
        return false;
    const bool ok =
        convertTable(old, d.inv6, base, span, [&](InvoiceRecord &r) { readInvoice(old, r, withDept); });
    old.close();
    d.closeAll();
    return ok;
}

bool version1Conversion(const QString &dir)
{
    if (!sameDirectory(dir)) {
        if (!copyOver(dir, version1Copies))
            return false;
        code4accessMode(db().session(), 1);
    }
    if (!convertInvoices(dir, "inv5", true, 50, 50))
        return false;
    rebuildIndexes(false);
    return true;
}

bool norvathProducts(const QString &dir)
{
    OldTable old(dir, "prod4");
    if (!old.usable({"Prid", "RCode", "PDesc", "UPrice", "LTax1", "LTax2", "IComm", "PMemo"}))
        return false;
    Db &d = db();
    if (!openEmptied(d.prod5))
        return false;
    const bool ok = convertTable(old, d.prod5, 20, 5, [&](ProductRecord &r) {
        r.PrID = old.text("Prid");
        r.RCode = old.text("RCode");
        r.PDesc = old.text("PDesc");
        r.UPrice = old.number("UPrice");
        r.LTax1 = old.flag("LTax1");
        r.LTax2 = old.flag("LTax2");
        r.IComm = old.text("IComm");
        r.PMemo = old.text("PMemo");
        r.lInven = false;
        r.REORDER = 0;
        r.ONHAND = 0;
        r.lBuild = false;
    });
    old.close();
    d.closeAll();
    return ok;
}

bool norvathCustomers(const QString &dir)
{
    OldTable old(dir, "cust2");
    if (!old.usable({"CuNo", "NGroup", "Title", "First", "Last", "Addr1", "Addr2", "Addr3", "Addr4", "Zip",
                     "Comments", "Note"}))
        return false;
    Db &d = db();
    if (!openEmptied(d.cust5))
        return false;
    const bool ok = convertTable(old, d.cust5, 25, 25, [&](CustomerRecord &r) {
        r.cuno = old.integer("CuNo");
        r.ngroup = old.integer("NGroup");
        r.title = old.text("Title");
        r.first = old.text("First");
        r.last = old.text("Last");
        r.addr1 = old.text("Addr1");
        r.addr2 = old.text("Addr2");
        r.addr3 = old.text("Addr3");
        r.addr4 = old.text("Addr4");
        r.zip = old.text("Zip");
        r.comments = old.text("Comments");
        r.note = old.text("Note");
        // phone, fax and email stay empty: the old program had none.
    });
    old.close();
    d.closeAll();
    return ok;
}

bool norvathItems(const QString &dir)
{
    OldTable old(dir, "itm4");
    if (!old.usable({"IvNo", "Prid", "IComm", "Qty", "UPR", "LTax1", "LTax2"}))
        return false;
    Db &d = db();
    if (!openEmptied(d.itm5))
        return false;
    const bool ok = convertTable(old, d.itm5, 75, 25, [&](ItemRecord &r) {
        r.IvNo = old.integer("IvNo");
        r.PrID = old.text("Prid");
        r.IComm = old.text("IComm");
        r.Qty = old.number("Qty");
        r.UPR = old.number("UPR");
        r.LTax1 = old.flag("LTax1");
        r.LTax2 = old.flag("LTax2");
        r.lBuild = false;
        r.BackOrder = 0;
    });
    old.close();
    d.closeAll();
    return ok;
}

// Each line item takes the description of the product whose "Prod" key is
// its upper-cased product identifier; an item whose product is gone keeps an
// empty one.
void transferDescriptions()
{
    Db &d = db();
    d.prod5.open();
    d.itm5.open();
    progress().showStatus(QStringLiteral("Transferring Item Descriptions"));
    d.prod5.useTag(tag::Prod);
    TAG4 *prodTag = d4tagSelected(d.prod5.data());
    const int keyLen = prodTag ? t4keyLen(prodTag) : 10;
    d4tagSelect(d.itm5.data(), nullptr); // record order: writing never moves the walk
    const long count = d.itm5.recCount();
    long done = 0;
    for (int rc = d.itm5.top(); rc == 0; rc = d.itm5.skip()) {
        ++done;
        d.itm5.read();
        const QString id = d.itm5.buf.PrID.trimmed();
        if (!id.isEmpty() && d.prod5.seek(keyUpper(id).leftJustified(keyLen, QLatin1Char(' '), true)) == 0) {
            d.prod5.read();
            d.itm5.buf.PDesc = d.prod5.buf.PDesc;
            d.itm5.write();
        }
        if (count > 0)
            progress().showProgress(int(done * 100 / count));
    }
    d.closeAll();
}

bool norvathConversion(const QString &dir)
{
    if (!copyOver(dir, norvathCopies))
        return false;
    code4accessMode(db().session(), 1);
    if (!norvathProducts(dir) || !norvathCustomers(dir) || !convertInvoices(dir, "inv", false, 50, 25) ||
        !norvathItems(dir))
        return false;
    rebuildIndexes(false);
    transferDescriptions();
    return true;
}

// The data directory copied, with its list of sums, into a new folder beside
// it named after the directory and the time; "" when that failed.
QString backupBeforeUpgrade()
{
    QDir here = QDir::current();
    const QString name = here.dirName();
    if (!here.cdUp())
        return {};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = here.filePath(name + QStringLiteral("-before-upgrade-") + stamp);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = here.filePath(name + QStringLiteral("-before-upgrade-") + stamp + QLatin1Char('-') +
                               QString::number(n));
    if (!here.mkpath(target))
        return {};
    if (!copyAllFiles(CopyDirection::ToBackup, target))
        return {};
    return target;
}

bool confirmed(const QString &text)
{
    return ui().message(BoxKind::Warning, text, Buttons::OkCancel) == Answer::Ok;
}

} // namespace

UpgradeSource upgradeSourceOf(const QString &dir)
{
    return locate(dir, QStringLiteral("Inv5.dbf")).isEmpty() ? UpgradeSource::Norvath
                                                             : UpgradeSource::Version1;
}

QString upgradePreset()
{
    struct Candidate
    {
        const char *dir;
        const char *file;
    };
    static constexpr Candidate candidates[] = {
        {"kst_brelt", "Inv5.dbf"}, {"kst_vex", "Prod4.dbf"}, {"kst", "Prod4.dbf"}};
    const QString bases[] = {QStorageInfo(QDir::current()).rootPath(), QDir::homePath()};
    for (const Candidate &c : candidates)
        for (const QString &base : bases) {
            const QString dir = QDir(base).filePath(QString::fromLatin1(c.dir));
            if (!locate(dir, QString::fromLatin1(c.file)).isEmpty())
                return dir;
        }
    return {};
}

UpgradeOutcome upgradeFrom(const QString &chosen, bool askFirst, void (*busy)(bool))
{
    auto working = [busy](bool on) {
        if (busy)
            busy(on);
    };
    const QString dir = chosen.trimmed();
    const UpgradeSource source = upgradeSourceOf(dir);
    UpgradeOutcome outcome;
    Db &d = db();
    d.closeAll();
    CODE4 *c4 = d.session();

    const bool present = source == UpgradeSource::Version1 ? allPresent(dir, version1Required)
                                                           : allPresent(dir, norvathRequired);
    if (!present) {
        ui().information(QStringLiteral("Data files not found in ") + chosen);
        outcome.result = UpgradeResult::NotFound;
    } else if (askFirst &&
               !confirmed(
                   source == UpgradeSource::Version1
                       ? QStringLiteral("Convert/Upgrade data from Tarlvin Invoicing & Inventory version "
                                        "1.xx\nWarning: All previously entered data will be overwritten")
                       : QStringLiteral("Warning: All previously entered data will be overwritten"))) {
        outcome.result = UpgradeResult::Cancelled;
    } else {
        working(true);
        outcome.backupDir = backupBeforeUpgrade();
        progress().showStatus(QString());
        working(false);
        if (outcome.backupDir.isEmpty()) {
            ui().information(QStringLiteral("The data files could not be backed up beside the data directory "
                                            "before the upgrade.\nNothing was converted."));
            outcome.result = UpgradeResult::NotBackedUp;
        } else {
            const QString where = QDir::toNativeSeparators(outcome.backupDir);
            ui().information(QStringLiteral("The data as it is before the upgrade was backed up to ") +
                             where);
            working(true);
            progress().showStatus(QStringLiteral("Converting Data Files"));
            progress().showProgress(5);
            const bool ok =
                source == UpgradeSource::Version1 ? version1Conversion(dir) : norvathConversion(dir);
            d.closeAll();
            progress().showStatus(QString());
            outcome.result = ok ? UpgradeResult::Converted : UpgradeResult::Failed;
            if (!ok) {
                rebuildIndexes(false);
                progress().showStatus(QString());
            }
            working(false);
            if (!ok)
                ui().information(QStringLiteral("Unable to convert all data files") +
                                 QStringLiteral("\nThe data as it was before the upgrade is in ") + where +
                                 QStringLiteral("; \"Restore\" from there brings it back."));
        }
    }
    code4autoOpen(c4, 1);
    code4accessMode(c4, 0);
    // What the pick lists start on belonged to the data that was there.
    if (outcome.result == UpgradeResult::Converted || outcome.result == UpgradeResult::Failed)
        d.selected = SelectedRecords{};
    working(true);
    packAll();
    working(false);
    return outcome;
}

} // namespace tlv
