#include "DataFixture.h"
#include "data/FileMaint.h"
#include "data/ProgramEnd.h"
#include "data/Settings.h"
#include "support/Recorders.h"
#include "support/ScriptedUi.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <map>

using namespace tlv;
using namespace tlv::test;

namespace {

class Maintenance : public DataDirTest
{
protected:
    // A few records in every business table, and one label stock.
    void fill()
    {
        Db &d = db();
        d.cust5.open();
        for (int i = 1; i <= 5; ++i) {
            ASSERT_TRUE(d.cust5.appendBlank());
            d.cust5.buf = CustomerRecord{};
            d.cust5.buf.cuno = i;
            d.cust5.buf.last = QStringLiteral("Last%1").arg(6 - i);
            d.cust5.buf.zip = QStringLiteral("%1").arg(90000 + i);
            d.cust5.buf.note = QStringLiteral("note %1").arg(i);
            d.cust5.write();
        }
        d.groups.open();
        ASSERT_TRUE(d.groups.appendBlank());
        d.groups.buf = GroupRecord{};
        d.groups.buf.nGroup = 1;
        d.groups.buf.cGroup = QStringLiteral("Retail");
        d.groups.write();
        d.prod5.open();
        ASSERT_TRUE(d.prod5.appendBlank());
        d.prod5.buf = ProductRecord{};
        d.prod5.buf.PrID = QStringLiteral("SEED");
        d.prod5.write();
        d.pur5.open();
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(d.pur5.appendBlank());
            d.pur5.buf = PurchaseRecord{};
            d.pur5.buf.PURProd = QStringLiteral("SEED");
            d.pur5.buf.PURDate = QDate(2026, 1, 1 + i);
            d.pur5.write();
        }
        d.labels.open();
        ASSERT_TRUE(d.labels.appendBlank());
        d.labels.buf = LabelRecord{};
        d.labels.buf.Name = QStringLiteral("Avery 5160");
        d.labels.write();
        d.closeAll();
    }

    // Every file of the directory with a hash of its bytes.
    std::map<QString, QByteArray> snapshot() const
    {
        std::map<QString, QByteArray> files;
        for (const QString &f : QDir(m_dir.path()).entryList(QDir::Files)) {
            QFile file(m_dir.file(f));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            files[f] = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
        }
        return files;
    }

    long records(TableId id)
    {
        Table &t = db().table(id);
        t.open();
        const long n = t.recCount();
        db().closeAll();
        return n;
    }

    // The record numbers a tag lists, in its order.
    QList<long> tagOrder(TableId id, const char *tag)
    {
        Table &t = db().table(id);
        t.open();
        t.useTag(tag);
        QList<long> order;
        for (int rc = t.top(); rc == 0; rc = t.skip())
            order << t.recNo();
        db().closeAll();
        return order;
    }
};

} // namespace

TEST_F(Maintenance, QuietRebuildRedoesOnlyTheGroupWithAMissingFile)
{
    fill();
    const auto before = snapshot();
    ASSERT_TRUE(QFile::remove(m_dir.file("czip.ntx")) || QFile::remove(m_dir.file("CZip.ntx")));
    RecordingProgress progressSeen;
    const QStringList rebuilt = rebuildIndexes(true);
    EXPECT_EQ(rebuilt, QStringList{"CUST5"});
    EXPECT_TRUE(progressSeen.events.isEmpty()) << "a quiet rebuild shows no status";
    const auto after = snapshot();
    ASSERT_EQ(before.size(), after.size()) << "the missing tag file is back";
    for (const auto &[name, hash] : after) {
        static const QStringList customerIndexFiles = {"cname.ntx", "ccno.ntx",   "czip.ntx",
                                                       "ccomp.ntx", "cemail.ntx", "cust5.cgp"};
        const bool customerFile = customerIndexFiles.contains(name.toLower());
        if (!customerFile) {
            EXPECT_EQ(before.at(name), hash) << name.toStdString() << " should not have been touched";
        }
    }
    // The rebuilt tag works.
    EXPECT_EQ(tagOrder(TableId::CUST5, "CZip"), QList<long>({1, 2, 3, 4, 5}));
    EXPECT_EQ(tagOrder(TableId::CUST5, "cname"), QList<long>({5, 4, 3, 2, 1}));
    // Nothing missing: nothing rebuilt.
    EXPECT_TRUE(rebuildIndexes(true).isEmpty());
    // A tag with a sound header and a broken page is rebuilt as quietly.
    QFile tag(m_dir.file("ccno.ntx"));
    if (!tag.exists())
        tag.setFileName(m_dir.file("CCNO.ntx"));
    ASSERT_TRUE(tag.open(QIODevice::ReadWrite));
    tag.seek(1024);
    tag.write(QByteArray(4, '\xff'));
    tag.close();
    EXPECT_EQ(rebuildIndexes(true), QStringList{"CUST5"});
    EXPECT_TRUE(rebuildIndexes(true).isEmpty());
}

TEST_F(Maintenance, FullRebuildShowsItsProgress)
{
    fill();
    RecordingProgress progressSeen;
    const QStringList rebuilt = rebuildIndexes(false);
    EXPECT_EQ(rebuilt, QStringList({"CUST5", "GROUPS", "Prod5", "Pur5", "INV6", "ITM5", "PMT", "LABELS"}));
    EXPECT_EQ(progressSeen.events,
              QList<QString>({"status:Rebuilding Indexes", "progress:5", "progress:25", "progress:30",
                              "progress:35", "progress:40", "progress:60", "progress:80", "progress:100",
                              "progress:100", "progress:100", "status:"}));
    EXPECT_EQ(tagOrder(TableId::Pur5, "Pur"), QList<long>({1, 2, 3}));
}

TEST_F(Maintenance, PackAllRemovesMarkedRecordsAndTheirKeys)
{
    fill();
    Db &d = db();
    d.pur5.open();
    d.pur5.go(2);
    d.pur5.markDeleted();
    d.pur5.flush();
    d.closeAll();
    d.packNeeded = true;
    EXPECT_EQ(tagOrder(TableId::Pur5, "Pur"), QList<long>({1, 2, 3})) << "a deleted record keeps its key";

    RecordingProgress progressSeen;
    packAll();
    EXPECT_FALSE(d.packNeeded);
    EXPECT_EQ(records(TableId::Pur5), 2);
    EXPECT_EQ(tagOrder(TableId::Pur5, "Pur"), QList<long>({1, 2}));
    d.pur5.open();
    d.pur5.go(2);
    d.pur5.read();
    EXPECT_EQ(d.pur5.buf.PURDate, QDate(2026, 1, 3));
    d.closeAll();
    EXPECT_EQ(progressSeen.events, QList<QString>({"status:Packing Data Files", "progress:10", "progress:30",
                                                   "progress:35", "progress:50", "progress:70", "progress:75",
                                                   "progress:85", "progress:100", "status:"}));
}

TEST_F(Maintenance, PackingTablesWithoutMarkedRecordsChangesNoRecord)
{
    fill();
    const auto before = snapshot();
    packAll();
    const auto after = snapshot();
    for (const auto &[name, hash] : before)
        if (name.endsWith(".dbf", Qt::CaseInsensitive) || name.endsWith(".dbt", Qt::CaseInsensitive)) {
            EXPECT_EQ(after.at(name), hash) << name.toStdString();
        }
    EXPECT_EQ(tagOrder(TableId::CUST5, "cname"), QList<long>({5, 4, 3, 2, 1}));
}

TEST_F(Maintenance, EraseKeepsLabelsSettingsAndFormats)
{
    fill();
    loadSettings();
    const QString company = settings().Company;
    const auto before = snapshot();
    ScriptedUi ui;
    ui.expect(Answer::Ok, "WARNING: You are about to erase all of your existing data.");
    RecordingProgress progressSeen;
    EXPECT_TRUE(eraseData());
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_EQ(ui.boxes()[0].kind, BoxKind::Warning);
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::OkCancel);
    for (TableId id : {TableId::CUST5, TableId::GROUPS, TableId::INV6, TableId::ITM5, TableId::PMT,
                       TableId::Prod5, TableId::Pur5})
        EXPECT_EQ(records(id), 0) << tableDef(id).stem;
    EXPECT_EQ(records(TableId::LABELS), 1);
    const auto after = snapshot();
    for (const char *kept : {"LABELS.dbf", "TLV2.dbf", "ImportF.dbf", "ImpDirs.dbf"})
        EXPECT_EQ(after.at(kept), before.at(kept)) << kept;
    loadSettings();
    EXPECT_EQ(settings().Company, company);
    EXPECT_EQ(progressSeen.events,
              QList<QString>({"status:Erasing Data Files", "progress:5", "progress:15", "progress:30",
                              "progress:40", "progress:50", "progress:60", "progress:70", "progress:85",
                              "progress:90", "progress:95", "progress:100", "status:"}));
    // The emptied tables still open and take new records.
    db().cust5.open();
    EXPECT_TRUE(db().cust5.appendBlank());
    db().closeAll();
}

TEST_F(Maintenance, CancelledEraseChangesNothing)
{
    fill();
    const auto before = snapshot();
    ScriptedUi ui;
    ui.expect(Answer::Cancel, "WARNING");
    RecordingProgress progressSeen;
    EXPECT_FALSE(eraseData());
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(progressSeen.events.isEmpty());
}

TEST_F(Maintenance, SettingsSaveRewritesTheWholeRecordUnchanged)
{
    loadSettings();
    settings().Company = QStringLiteral("Kestrel Garden Supply");
    settings().Addr1 = QStringLiteral("12 Mill Lane");
    settings().MailHost = QStringLiteral("  mail.example.com  ");
    saveSettings();
    resetSettings();
    loadSettings();
    EXPECT_EQ(settings().Company.trimmed(), "Kestrel Garden Supply");
    EXPECT_EQ(settings().MailHost, "mail.example.com") << "mail fields are trimmed";
    const bool byName = settings().ByCust;
    settings().ByCust = !byName;
    saveSettings();
    resetSettings();
    loadSettings();
    EXPECT_EQ(settings().ByCust, !byName);
    EXPECT_EQ(settings().Company.trimmed(), "Kestrel Garden Supply");
    EXPECT_EQ(settings().Addr1.trimmed(), "12 Mill Lane");
}

TEST_F(Maintenance, MailIsSetUpOnlyWithHostAndAddress)
{
    resetSettings();
    settings().MailHost = QStringLiteral("   ");
    settings().MailAddr = QStringLiteral("shop@example.com");
    EXPECT_FALSE(mailConfigured());
    settings().MailHost = QStringLiteral("mail.example.com");
    EXPECT_TRUE(mailConfigured());
    settings().MailAddr.clear();
    EXPECT_FALSE(mailConfigured());
}

TEST_F(Maintenance, MissingSettingsTableEndsTheProgram)
{
    ASSERT_TRUE(QFile::remove(m_dir.file("TLV2.dbf")));
    ScriptedUi ui;
    ui.expect(Answer::Ok, "Unable to open file TLV2.DBF");
    EXPECT_THROW(loadSettings(), ProgramEnded);
}
