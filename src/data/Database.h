#pragma once
// The session with the xBase engine, the open tables with their field
// handles, and one record buffer per table. Every read and write of the data
// files goes through here; text is converted between Windows-1252 bytes and
// QString here and nowhere else.
#include "data/Catalogue.h"
#include "data/Records.h"
#include "data/xbase/xbase.h"

#include <QDate>
#include <QString>
#include <span>
#include <vector>

namespace tlv {

// ---- Field values ---------------------------------------------------------------
// The conversions every read and write uses.
namespace fieldio {
QString readText(FIELD4 *f); // untrimmed, blank-padded to the field width
QString readMemo(FIELD4 *f);
int readInt(FIELD4 *f);
double readDouble(FIELD4 *f);
QDate readDate(FIELD4 *f); // a blank or short field is no date
bool readBool(FIELD4 *f);  // true only when the engine says so

void writeText(FIELD4 *f, const QString &value, int limit); // at most `limit` characters
void writeMemo(FIELD4 *f, const QString &value);            // without trailing blanks
void writeInt(FIELD4 *f, int value);
void writeDouble(FIELD4 *f, double value);
void writeDate(FIELD4 *f, const QDate &value); // "yyyymmdd", blank for no date
void writeBool(FIELD4 *f, bool value);         // "T" or "F"
} // namespace fieldio

// Copies between a record buffer and the current record of a table whose
// field handles are given in binding order.
template <class R> void readRecord(R &r, std::span<FIELD4 *const> fields, const TableDef &def);
template <class R> void writeRecord(const R &r, std::span<FIELD4 *const> fields, const TableDef &def);

// ---- Tables -----------------------------------------------------------------------

class Table
{
public:
    explicit Table(TableId id) : m_def(&tableDef(id)) {}
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    const TableDef &def() const { return *m_def; }
    DATA4 *data() const { return m_data; }
    bool isOpen() const { return m_data != nullptr; }

    // Opens the table in the current directory: with its index group, its
    // default tag selected, or without index group (TLV2, ImportF, ImpDirs);
    // then positions on the first record and looks up the fields. When the
    // table or its default tag cannot be opened, shows the open-failure
    // message and ends the program. Opening an open table starts again.
    bool open();
    // Closes this table alone; closing writes a changed record and makes the
    // table's files durable.
    void close();

    // Positioning; each returns the engine's result (0 = on a record) and
    // keeps it as the session's last result.
    int top();
    int bottom();
    int go(long recNo);
    int seek(const QString &key); // key text as the tag builds it
    int skip(long n = 1);
    long recNo() const;
    long recCount() const; // marked-deleted records included
    bool eof() const;

    // Selects a tag by name (without regard to case); false, with the order
    // unchanged, when the table has no such tag.
    bool selectTag(const char *name);
    // Selects a tag the program cannot work without: a missing one is a
    // damaged index group and ends the program like a failed open, naming
    // the tag's file.
    void useTag(const char *name);
    // The selected tag's name; "" in record order.
    QString selectedTag() const;

    bool appendBlank(); // false when the engine refuses
    void markDeleted();
    void recall();
    bool isDeleted() const;
    int flush();
    // Removes the marked records and rebuilds the tags (the engine writes the
    // new table beside the old one); 0, or the engine's negative result.
    int pack();

    // Field handle by binding position, or by name (null when absent).
    FIELD4 *field(int index) const;
    FIELD4 *field(const char *name) const;
    std::span<FIELD4 *const> fields() const { return m_fields; }

protected:
    friend class Db;
    const TableDef *m_def;
    DATA4 *m_data = nullptr;
    std::vector<FIELD4 *> m_fields;
};

// A table with its record buffer.
template <class R> class BufferedTable : public Table
{
public:
    BufferedTable() : Table(R::table) {}

    R buf;

    // Current record -> buffer.
    void read() { readRecord(buf, fields(), def()); }
    // Buffer -> current record, then a flush for the tables that flush on
    // every write (all but INV6, TLV2, ImportF and ImpDirs).
    // 0, or the engine's negative result when the flush failed.
    int write()
    {
        writeRecord(buf, fields(), def());
        return def().flushOnWrite ? flush() : 0;
    }
    void clear() { buf = R{}; }
};

// The record each pick list starts on and returns: greater than 0 a record
// number chosen, 0 "New", -1 cancelled. Editing windows take it as their
// current record, 0 meaning a new record.
struct SelectedRecords
{
    int customer = 0;
    int group = 0;
    int product = 0;
    int invoice = 0;
    int purchase = 0;
    int labelStock = 0;
};

// The session and everything that hangs on it.
class Db
{
public:
    Db();
    Db(const Db &) = delete;
    Db &operator=(const Db &) = delete;
    ~Db();

    // The one engine session, created on first use with read buffering on for
    // all files and write buffering for exclusively opened files only.
    CODE4 *session();
    bool hasSession() const { return m_session != nullptr; }
    // Closes every table and ends the session.
    void endSession();
    // The session's error code, cleared by reading it.
    int takeErrorCode();

    // Closes every open table (one engine call).
    void closeAll();

    Table &table(TableId id);

    BufferedTable<SettingsRecord> tlv2;
    BufferedTable<CustomerRecord> cust5;
    BufferedTable<GroupRecord> groups;
    BufferedTable<InvoiceRecord> inv6;
    BufferedTable<ItemRecord> itm5;
    BufferedTable<LabelRecord> labels;
    BufferedTable<PaymentRecord> pmt;
    BufferedTable<ProductRecord> prod5;
    BufferedTable<PurchaseRecord> pur5;
    BufferedTable<ImportFormatRecord> importF;
    BufferedTable<ImportDirsRecord> impDirs;

    int lastResult = 0;       // of the latest positioning call
    int lastWriteResult = 0;  // of the latest append or flush
    bool packNeeded = false;  // a master-data window deleted a record
    SelectedRecords selected; // module-wide selected records

    // Ends the session and clears every buffer, flag and selection (tests).
    void reset();

private:
    CODE4 *m_session = nullptr;
};

Db &db();

// Shows "Unable to open file <name>", on a second line the words for the
// engine's error code (what can be done about it), then "Program will now
// terminate.", and ends the program.
[[noreturn]] void openFailure(const QString &fileName, int code);

// ---- Operations on the tables -----------------------------------------------------

// Upper case as the engine's Upper() builds keys: ASCII letters only, so that a
// sought text matches the stored key byte for byte.
QString keyUpper(const QString &text);

// The lowest positive customer number no record uses (marked-deleted records
// included); 1 for an empty table. CUST5 must be open; its tag is kept and it
// is left on its first record.
int nextCustomerNumber();

// Finds the group with this number (GROUPS open) and reads it into the group
// buffer; when there is none, the buffer holds group 0 with an empty name.
bool lookUpGroup(int number);

// ---- Template definitions -----------------------------------------------------------

template <class R> void readRecord(R &r, std::span<FIELD4 *const> fields, const TableDef &def)
{
    const auto bindings = R::bindings();
    for (size_t i = 0; i < bindings.size() && i < fields.size(); ++i) {
        FIELD4 *f = fields[i];
        if (!f)
            continue;
        const bool memo = def.fields[i].type == 'M';
        std::visit(
            [&](auto member) {
                auto &value = r.*member;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, QString>)
                    value = memo ? fieldio::readMemo(f) : fieldio::readText(f);
                else if constexpr (std::is_same_v<T, int>)
                    value = fieldio::readInt(f);
                else if constexpr (std::is_same_v<T, double>)
                    value = fieldio::readDouble(f);
                else if constexpr (std::is_same_v<T, QDate>)
                    value = fieldio::readDate(f);
                else
                    value = fieldio::readBool(f);
            },
            bindings[i].member);
    }
}

template <class R> void writeRecord(const R &r, std::span<FIELD4 *const> fields, const TableDef &def)
{
    const auto bindings = R::bindings();
    for (size_t i = 0; i < bindings.size() && i < fields.size(); ++i) {
        FIELD4 *f = fields[i];
        if (!f)
            continue;
        const FieldDef &fd = def.fields[i];
        std::visit(
            [&](auto member) {
                const auto &value = r.*member;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, QString>) {
                    if (fd.type == 'M')
                        fieldio::writeMemo(f, value);
                    else
                        fieldio::writeText(f, value, assignLimit(def, fd));
                } else if constexpr (std::is_same_v<T, int>) {
                    fieldio::writeInt(f, value);
                } else if constexpr (std::is_same_v<T, double>) {
                    fieldio::writeDouble(f, value);
                } else if constexpr (std::is_same_v<T, QDate>) {
                    fieldio::writeDate(f, value);
                } else {
                    fieldio::writeBool(f, value);
                }
            },
            bindings[i].member);
    }
}

// Words for an engine error code, for the second line of a message: what a
// person can do about it, not the number.
QString engineReason(int code);
// The reason the latest append or flush failed, on a line of its own (it
// follows a message's first line), or "" when it succeeded.
QString writeFailureLine();

} // namespace tlv
