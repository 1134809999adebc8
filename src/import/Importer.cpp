#include "import/Importer.h"

#include "data/Cp1252.h"
#include "data/Database.h"
#include "import/LineSplit.h"
#include "masterdata/Customers.h"
#include "masterdata/Products.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

namespace tlv {

namespace {

// The customer slots of a format, in FldN order.
enum CustomerSlot {
    Title = 1,
    First,
    Last,
    Addr1,
    Addr2,
    City,
    State,
    Country,
    Zip,
    Phone,
    Fax,
    EMail,
    Note
};
// The product slots.
enum ProductSlot { Id = 1, Desc1, Desc2, Price };

bool hasHighBytes(const QByteArray &bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) > 127)
            return true;
    return false;
}

// The value of a slot on a line: empty when the slot is not mapped or the line
// has no such column.
QString columnOf(const QStringList &fields, const ImportFormatRecord &f, int slot)
{
    const int column = slotColumn(f, slot);
    return column >= 1 && column <= fields.size() ? fields.at(column - 1) : QString();
}

// Text as a field of the table will hold it: characters outside
// Windows-1252 as '?', cut to the most the field is given. What changes is
// noted for the line's verdict.
class Storing
{
public:
    explicit Storing(TableId table) : m_def(tableDef(table)) {}

    QString operator()(const QString &text, const char *field, const QString &caption)
    {
        QString stored = text;
        // A NUL byte would end the text for many readers of the table.
        if (!isCp1252(text) || text.contains(QChar(0))) {
            stored.clear();
            for (qsizetype i = 0; i < text.size(); ++i) {
                const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
                const QString ch = text.mid(i, n);
                i += n - 1;
                if (ch != QString(QChar(0)) && isCp1252(ch)) {
                    stored += ch;
                    continue;
                }
                stored += QLatin1Char('?');
                const QString shown = ch == QString(QChar(0)) ? QStringLiteral("NUL") : ch;
                if (!m_odd.contains(shown))
                    m_odd << shown;
            }
        }
        const FieldDef &fd = m_def.fields[fieldIndex(m_def, field)];
        const int width = std::min(fd.len, assignLimit(m_def, fd));
        if (fd.type == 'C' && stored.size() > width) {
            notes << QStringLiteral("%1 cut to %2 characters").arg(caption).arg(width);
            stored.truncate(width);
        }
        return stored;
    }

    // Ends a line; true when the line held characters stored as '?'.
    bool endLine()
    {
        if (m_odd.isEmpty())
            return false;
        notes.prepend(QStringLiteral("characters the tables cannot hold, stored as ?: ") +
                      m_odd.join(QLatin1Char(' ')));
        m_odd.clear();
        return true;
    }

    QStringList notes;

private:
    const TableDef &m_def;
    QStringList m_odd;
};

QString stripped(const QString &text)
{
    return keyUpper(text.trimmed());
}

QString customerName(const QString &last, const QString &first)
{
    const QString l = last.trimmed(), f = first.trimmed();
    return f.isEmpty() ? l : l + QStringLiteral(", ") + f;
}

// The first customer in name order whose last name, first name and postal
// code, trimmed and upper-cased, are the given ones; 0 when none. The name
// tag is sought with the last name as written (and, when that differs,
// trimmed); within the run of that last name only the places where the first
// name can match are visited: the first names with leading blanks, then the
// first name itself.
long findCustomer(const QString &last, const QString &first, const QString &zip)
{
    auto &cust = db().cust5;
    FIELD4 *fLast = cust.field(fld::last);
    FIELD4 *fFirst = cust.field(fld::first);
    FIELD4 *fZip = cust.field(fld::zip);
    const TableDef &def = tableDef(TableId::CUST5);
    const int lastWidth = def.fields[fieldIndex(def, fld::last)].len;
    const QString wantLast = stripped(last), wantFirst = stripped(first), wantZip = stripped(zip);

    // Walks on from the current record while the last name stays the one
    // wanted and `more` holds for the stored first name.
    auto walk = [&](const std::function<bool(const QString &)> &more) -> long {
        while (!cust.eof()) {
            if (stripped(fieldio::readText(fLast)) != wantLast)
                return 0;
            const QString storedFirst = fieldio::readText(fFirst);
            if (!more(storedFirst))
                return 0;
            if (stripped(storedFirst) == wantFirst && stripped(fieldio::readText(fZip)) == wantZip)
                return cust.recNo();
            if (cust.skip(1) != 0)
                return 0;
        }
        return 0;
    };

    QStringList lastKeys{keyUpper(last)};
    if (last.trimmed() != last)
        lastKeys << keyUpper(last.trimmed());
    for (const QString &lastKey : lastKeys) {
        if (lastKey.size() > lastWidth)
            continue;
        const QString run = lastKey.leftJustified(lastWidth, QLatin1Char(' '));
        // First names that begin with blanks sort first in the run.
        if (cust.seek(run) == 0) {
            const long r = walk([](const QString &f) { return f.isEmpty() || f.at(0).isSpace(); });
            if (r)
                return r;
        }
        if (wantFirst.isEmpty())
            continue; // a blank first name was met above
        if (cust.seek(run + wantFirst) == 0) {
            const long r = walk([&](const QString &f) { return stripped(f) == wantFirst; });
            if (r)
                return r;
        }
    }
    return 0;
}

// Closes the table at the end when the import opened it.
struct OpenedHere
{
    Table &table;
    bool opened = false;
    explicit OpenedHere(Table &t) : table(t)
    {
        if (!table.isOpen()) {
            table.open();
            opened = true;
        }
    }
    ~OpenedHere()
    {
        if (opened)
            table.close();
    }
};

void stopped(ImportResult &r, ImportResult::Status status, int line)
{
    r.status = status;
    r.stoppedAtLine = line;
    r.failure = status == ImportResult::Status::WriteFailed ? writeFailureLine() : QString();
}

// Appends a record; one appended but not written holds nothing yet and is
// marked deleted (packed when the window closes), so that no blank record is
// left behind. False when the disk refused it.
template <typename Table, typename Record> bool appendWhole(Table &table, const Record &record)
{
    if (!table.appendBlank())
        return false;
    table.buf = record;
    if (table.write() == 0)
        return true;
    table.markDeleted();
    table.flush();
    db().packNeeded = true;
    return false;
}

// A line with fewer fields than the format names is skipped (and told in a
// preview); true when it was.
bool skippedAsShort(const QStringList &fields, const ImportFormatRecord &f, const ImportOptions &o,
                    LineVerdict &v, ImportResult &result)
{
    if (fields.size() >= f.nFields)
        return false;
    v.what = LineVerdict::TooFewFields;
    v.reason = QStringLiteral("%1 fields, the format needs %2").arg(fields.size()).arg(f.nFields);
    ++result.skipped;
    if (o.preview)
        result.verdicts << v;
    return true;
}

// A line taken in: text the table could not hold is counted, and a preview
// keeps the line's verdict.
void lineDone(ImportResult &result, bool odd, const ImportOptions &o, const LineVerdict &v)
{
    if (odd)
        ++result.unstorableLines;
    if (o.preview)
        result.verdicts << v;
}

// The end of an import: the status line emptied and the table back in the
// order it was in.
template <typename Table> void importEnded(Table &table, const QString &order, const ImportOptions &o)
{
    if (o.status)
        o.status(QString());
    table.selectTag(order.isEmpty() ? nullptr : order.toLatin1().constData());
}

ImportResult importCustomers(const ImportFormatRecord &f, const ImportLines &in, const ImportOptions &o)
{
    ImportResult result;
    auto &cust = db().cust5;
    OpenedHere scope(cust);
    const QString order = cust.selectedTag();
    cust.useTag(tag::cname);
    CustomerNumberSearch numbers;
    // In a preview nothing is written: customers added by earlier lines are
    // remembered here instead, by their name and postal code.
    QHash<QString, int> previewAdded;
    for (qsizetype i = 0; i < in.lines.size(); ++i) {
        const int lineNo = in.numbers.at(i);
        const QStringList fields = importFields(in.lines.at(i), f.DELIM);
        LineVerdict v;
        v.line = lineNo;
        if (skippedAsShort(fields, f, o, v, result))
            continue;
        Storing store(TableId::CUST5);
        CustomerRecord c;
        c.ngroup = o.group;
        c.title = store(columnOf(fields, f, Title), fld::title, slotCaption(ImportKind::Customers, Title));
        c.first = store(columnOf(fields, f, First), fld::first, slotCaption(ImportKind::Customers, First));
        c.last = store(columnOf(fields, f, Last), fld::last, slotCaption(ImportKind::Customers, Last));
        c.zip = store(columnOf(fields, f, Zip), fld::zip, slotCaption(ImportKind::Customers, Zip));
        c.phone = store(columnOf(fields, f, Phone), fld::phone, slotCaption(ImportKind::Customers, Phone));
        c.fax = store(columnOf(fields, f, Fax), fld::fax, slotCaption(ImportKind::Customers, Fax));
        c.email = store(columnOf(fields, f, EMail), fld::email, slotCaption(ImportKind::Customers, EMail));
        const QString note = columnOf(fields, f, Note);
        QString slotText[4] = {columnOf(fields, f, Addr1).trimmed(), columnOf(fields, f, Addr2).trimmed(),
                               columnOf(fields, f, City).trimmed(), columnOf(fields, f, Country).trimmed()};
        const QString state = columnOf(fields, f, State).trimmed();
        if (slotText[2].isEmpty())
            slotText[2] = state;
        else if (!state.isEmpty())
            slotText[2] += QStringLiteral(", ") + state;
        if (o.status)
            o.status(QStringLiteral("Importing: ") + c.first.trimmed() + QLatin1Char(' ') + c.last.trimmed());
        // The address lines close up: the non-empty ones first, in order.
        QStringList lines;
        for (const QString &s : slotText)
            if (!s.isEmpty())
                lines << s;
        while (lines.size() < 4)
            lines << QString();
        const char *addrFields[] = {fld::addr1, fld::addr2, fld::addr3, fld::addr4};
        QString *addr[] = {&c.addr1, &c.addr2, &c.addr3, &c.addr4};
        for (int a = 0; a < 4; ++a)
            *addr[a] = store(lines.at(a), addrFields[a], QStringLiteral("Address line %1").arg(a + 1));

        const QString previewKey =
            stripped(c.last) + QChar(0x1f) + stripped(c.first) + QChar(0x1f) + stripped(c.zip);
        const long recNo = findCustomer(c.last, c.first, c.zip);
        const bool addedAbove = recNo == 0 && o.preview && previewAdded.contains(previewKey);
        int matchedNumber = 0;
        if (recNo > 0) {
            cust.go(recNo);
            cust.read();
            const CustomerRecord &old = cust.buf;
            matchedNumber = old.cuno;
            c.cuno = old.cuno;
            c.ngroup = old.ngroup;
            c.title = old.title;
            c.first = old.first;
            c.last = old.last;
            c.comments = old.comments.trimmed();
            c.note = old.note.trimmed() + QStringLiteral(": ") + note.trimmed();
        } else if (addedAbove) {
            matchedNumber = previewAdded.value(previewKey);
        } else {
            c.note = note;
        }
        c.note = store(c.note, fld::note, slotCaption(ImportKind::Customers, Note));
        const bool odd = store.endLine();
        v.notes = store.notes;

        if (recNo > 0 || addedAbove) {
            v.what = LineVerdict::Updated;
            v.who = QStringLiteral("customer %1, %2").arg(matchedNumber).arg(customerName(c.last, c.first));
            if (!o.preview) {
                cust.buf = c;
                if (cust.write() != 0) {
                    stopped(result, ImportResult::Status::WriteFailed, lineNo);
                    break;
                }
            }
            ++result.updated;
        } else {
            c.cuno = numbers.result();
            if (c.cuno > maxCustomerNumber) {
                stopped(result, ImportResult::Status::NumbersUsedUp, lineNo);
                break;
            }
            v.what = LineVerdict::Added;
            v.who = QStringLiteral("customer %1, %2").arg(c.cuno).arg(customerName(c.last, c.first));
            if (o.preview) {
                previewAdded.insert(previewKey, c.cuno);
            } else {
                if (!appendWhole(cust, c)) {
                    stopped(result, ImportResult::Status::WriteFailed, lineNo);
                    break;
                }
            }
            numbers.taken(c.cuno);
            ++result.added;
        }
        lineDone(result, odd, o, v);
    }
    importEnded(cust, order, o);
    return result;
}

ImportResult importProducts(const ImportFormatRecord &f, const ImportLines &in, const ImportOptions &o)
{
    ImportResult result;
    auto &prod = db().prod5;
    OpenedHere scope(prod);
    const QString order = prod.selectedTag();
    prod.useTag(tag::Prod);
    FIELD4 *prId = prod.field(fld::PrID);
    QSet<QString> previewAdded; // IDs added by earlier lines of a preview
    for (qsizetype i = 0; i < in.lines.size(); ++i) {
        const int lineNo = in.numbers.at(i);
        const QStringList fields = importFields(in.lines.at(i), f.DELIM);
        LineVerdict v;
        v.line = lineNo;
        if (skippedAsShort(fields, f, o, v, result))
            continue;
        Storing store(TableId::Prod5);
        ProductRecord p;
        p.PrID = store(columnOf(fields, f, Id).trimmed(), fld::PrID, slotCaption(ImportKind::Products, Id));
        p.PDesc = store(columnOf(fields, f, Desc1), fld::PDesc, slotCaption(ImportKind::Products, Desc1));
        p.IComm = store(columnOf(fields, f, Desc2), fld::IComm, slotCaption(ImportKind::Products, Desc2));
        bool number = false;
        const double price = columnOf(fields, f, Price).trimmed().toDouble(&number);
        p.UPrice = number ? price : 0;
        p.PrID = p.PrID.trimmed(); // a cut may leave blanks at the end
        if (p.PrID.isEmpty()) {
            v.what = LineVerdict::EmptyId;
            v.reason = QStringLiteral("no product ID");
            ++result.skipped;
            if (o.preview)
                result.verdicts << v;
            continue;
        }
        if (o.status)
            o.status(QStringLiteral("Importing Product ID: ") + p.PrID);
        const QString upper = keyUpper(p.PrID);
        long recNo = 0;
        if (prod.seek(productIdKey(upper)) == 0 && stripped(fieldio::readText(prId)) == upper)
            recNo = prod.recNo();
        const bool odd = store.endLine();
        v.notes = store.notes;
        v.who = p.PrID;
        if (recNo > 0 || (o.preview && previewAdded.contains(upper))) {
            v.what = LineVerdict::Updated;
            if (!o.preview) {
                prod.go(recNo);
                prod.read();
                const ProductRecord &old = prod.buf;
                p.RCode = old.RCode;
                p.PMemo = old.PMemo;
                p.LTax1 = old.LTax1;
                p.LTax2 = old.LTax2;
                p.lInven = old.lInven;
                p.REORDER = old.REORDER;
                p.ONHAND = old.ONHAND;
                prod.buf = p;
                if (prod.write() != 0) {
                    stopped(result, ImportResult::Status::WriteFailed, lineNo);
                    break;
                }
            }
            ++result.updated;
        } else {
            v.what = LineVerdict::Added;
            if (o.preview) {
                previewAdded.insert(upper);
            } else {
                if (!appendWhole(prod, p)) {
                    stopped(result, ImportResult::Status::WriteFailed, lineNo);
                    break;
                }
            }
            ++result.added;
        }
        lineDone(result, odd, o, v);
    }
    importEnded(prod, order, o);
    return result;
}

} // namespace

ImportLines importLinesOf(const QByteArray &bytes)
{
    ImportLines out;
    QString text;
    if (hasHighBytes(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(bytes);
        out.utf8 = !utf8.hasError();
    }
    if (!out.utf8)
        text = fromCp1252(bytes);
    int number = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        const QChar c = end ? QChar() : text.at(i);
        if (!end && c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        if (i > start) {
            out.lines << text.mid(start, i - start);
            out.numbers << number;
        }
        // CR LF ends one line.
        if (!end && c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        ++number;
        start = i + 1;
    }
    return out;
}

QStringList importFields(const QString &line, int separator)
{
    const std::u16string_view view(reinterpret_cast<const char16_t *>(line.utf16()), size_t(line.size()));
    QStringList fields;
    for (const std::u16string &f : splitImportLine<char16_t>(view, char16_t(separator)))
        fields << QString::fromUtf16(f.data(), qsizetype(f.size()));
    return fields;
}

QString importRefusal(bool haveFormat, const QString &fileName)
{
    if (!haveFormat)
        return QStringLiteral("Click the Add button to create an import format specification");
    if (fileName.trimmed().isEmpty())
        return QStringLiteral("Click Browse button to select the file you want to import");
    if (!QFileInfo(fileName.trimmed()).isFile())
        return QStringLiteral(
            "Import File NOT Found. Click Browse button to select the file you want to import");
    return {};
}

QString verdictText(const LineVerdict &v, bool preview)
{
    QString text = QStringLiteral("Line %1: ").arg(v.line);
    switch (v.what) {
    case LineVerdict::Added:
        text += (preview ? QStringLiteral("would add ") : QStringLiteral("added ")) + v.who;
        break;
    case LineVerdict::Updated:
        text += (preview ? QStringLiteral("would update ") : QStringLiteral("updated ")) + v.who;
        break;
    case LineVerdict::TooFewFields:
    case LineVerdict::EmptyId:
        text += QStringLiteral("skipped, ") + v.reason;
        break;
    }
    for (const QString &n : v.notes)
        text += QStringLiteral("; ") + n;
    return text;
}

ImportResult importLines(const ImportFormatRecord &format, const ImportLines &lines,
                         const ImportOptions &options)
{
    return format.FmtType == int(ImportKind::Products) ? importProducts(format, lines, options)
                                                       : importCustomers(format, lines, options);
}

ImportResult importFile(const ImportFormatRecord &format, const QString &fileName,
                        const ImportOptions &options)
{
    QFile file(fileName.trimmed());
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        ImportResult r;
        r.status = ImportResult::Status::Unreadable;
        r.failure = QLatin1Char('\n') + file.errorString();
        return r;
    }
    return importLines(format, importLinesOf(bytes), options);
}

QString messageOf(const ImportResult &r, ImportKind kind, bool preview)
{
    if (r.status == ImportResult::Status::Unreadable)
        return QStringLiteral("The import file could not be read; nothing was imported.") + r.failure;
    const QString what =
        kind == ImportKind::Customers ? QStringLiteral("Customers") : QStringLiteral("Products");
    const QString would = preview ? QStringLiteral(" would be") : QString();
    QString text =
        QStringLiteral("%1 %2%3 Added  %4 %2%3 Updated").arg(r.added).arg(what, would).arg(r.updated);
    if (preview)
        text += QStringLiteral("\n%1 lines skipped").arg(r.skipped);
    if (r.unstorableLines > 0)
        text += QStringLiteral("\n%1 lines held characters that cannot be stored; they %2 stored as ?")
                    .arg(r.unstorableLines)
                    .arg(preview ? QStringLiteral("would be") : QStringLiteral("were"));
    if (r.status == ImportResult::Status::WriteFailed)
        text += QStringLiteral("\nThe import stopped at line %1: its record could not be written. "
                               "The lines before it were imported.")
                    .arg(r.stoppedAtLine) +
                r.failure;
    if (r.status == ImportResult::Status::NumbersUsedUp)
        text += QStringLiteral("\nThe import stopped at line %1: all customer numbers up to %2 are in use.")
                    .arg(r.stoppedAtLine)
                    .arg(maxCustomerNumber);
    return text;
}

} // namespace tlv
