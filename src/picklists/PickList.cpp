#include "picklists/PickList.h"

#include "data/Helpers.h"
#include "platform/Ui.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

namespace tlv {

// ---- Running a pick list ------------------------------------------------------------

namespace {

std::array<NewRecordEditor, 6> &editors()
{
    static std::array<NewRecordEditor, 6> hooks;
    return hooks;
}

size_t slot(PickTable table)
{
    return static_cast<size_t>(table);
}

} // namespace

int &selectedRecord(PickTable table)
{
    SelectedRecords &s = db().selected;
    switch (table) {
    case PickTable::Customer:
        return s.customer;
    case PickTable::Group:
        return s.group;
    case PickTable::Product:
        return s.product;
    case PickTable::Invoice:
        return s.invoice;
    case PickTable::Purchase:
        return s.purchase;
    case PickTable::LabelStock:
        break;
    }
    return s.labelStock;
}

Table &pickTable(PickTable table)
{
    switch (table) {
    case PickTable::Customer:
        return db().cust5;
    case PickTable::Group:
        return db().groups;
    case PickTable::Product:
        return db().prod5;
    case PickTable::Invoice:
        return db().inv6;
    case PickTable::Purchase:
        return db().pur5;
    case PickTable::LabelStock:
        break;
    }
    return db().labels;
}

QString emptyTableMessage(PickTable table)
{
    switch (table) {
    case PickTable::Customer:
        return QStringLiteral("Customer Database is Empty");
    case PickTable::Group:
        return QStringLiteral("Group Database is Empty");
    case PickTable::Product:
        return QStringLiteral("Product Database is Empty");
    case PickTable::Invoice:
        return QStringLiteral("Invoice Database is Empty");
    case PickTable::Purchase:
        return QStringLiteral("Purchase Database is Empty");
    case PickTable::LabelStock:
        break;
    }
    return QStringLiteral("Label Database is Empty");
}

void setNewRecordEditor(PickTable table, NewRecordEditor editor)
{
    editors()[slot(table)] = std::move(editor);
}

bool hasNewRecordEditor(PickTable table)
{
    return bool(editors()[slot(table)]);
}

bool runPickList(PickTable table, bool allowNew, const std::function<void(bool allowNew)> &showList,
                 bool *created)
{
    if (created)
        *created = false;
    Table &t = pickTable(table);
    if (table == PickTable::Customer && t.isOpen())
        t.useTag(tag::cname);
    int &selected = selectedRecord(table);
    if (t.recCount() == 0) {
        if (!allowNew) {
            ui().information(emptyTableMessage(table));
            selected = -1;
            return false;
        }
        selected = 0;
    }

    showList(allowNew);

    if (selected == 0 && allowNew) {
        // Copy the hook: the editor may register hooks itself.
        const NewRecordEditor editor = editors()[slot(table)];
        if (editor)
            editor();
        // Only a saved record counts as created: an editor that was
        // cancelled leaves 0 or -1, and -1 is no record.
        if (created)
            *created = selected > 0;
    }
    return selected > 0;
}

// ---- The grid lists: layout and rows --------------------------------------------------

namespace {

const QString customerDeleted = QStringLiteral("< DELETED >"); // customers and invoices
const QString recordDeleted = QStringLiteral("<DELETED>");     // products and purchases

// Every digit of the text replaced by each digit in turn.
QStringList everyDigit(const QString &text)
{
    QStringList out;
    for (char d = '0'; d <= '9'; ++d) {
        QString t = text;
        for (QChar &c : t)
            if (c.isDigit())
                c = QLatin1Char(d);
        out << t;
    }
    return out;
}

const FieldDef &fieldOf(TableId table, const char *name)
{
    const TableDef &t = tableDef(table);
    return t.fields[size_t(fieldIndex(t, name))];
}

// A number field's integer digits: its width less the sign, the point and the decimals.
int integerDigitsOf(TableId table, const char *name)
{
    const FieldDef &f = fieldOf(table, name);
    return f.len - f.dec - 2;
}

// The record number: any int ("%d").
QStringList widestRecNo()
{
    return widestDigits(int(QString::number(INT_MAX).size()));
}

PickColumn recNoColumn()
{
    return {"RecNo", 10, true, widestRecNo()};
}

} // namespace

QStringList widestDates()
{
    QStringList out;
    for (int month = 1; month <= 12; ++month)
        out << everyDigit(dateToShort(QDate(2000, month, 28)));
    return out;
}

QStringList widestNumbers(int integerDigits, int decimals)
{
    QString digits(integerDigits, QLatin1Char('9'));
    if (decimals > 0)
        digits += QLatin1Char('.') + QString(decimals, QLatin1Char('9'));
    // Through the formatting helper for the user's separator.
    return everyDigit(numberToFixed(-digits.toDouble(), 0, decimals));
}

QStringList widestDigits(int count)
{
    return everyDigit(QString(count, QLatin1Char('9')));
}

QStringList widestKeys(int length)
{
    QStringList out = widestDigits(length);
    for (char c = 'A'; c <= 'Z'; ++c)
        out << QString(length, QLatin1Char(c));
    return out;
}

GridLayout customerLayout(bool byName)
{
    GridLayout l{"Select Customer", 'B', 67, 16, {}};
    // The third column carries the deleted mark.
    if (byName)
        l.columns = {{"Last", 20}, {"First", 13}, {"Note", 34, false, {customerDeleted}}, recNoColumn()};
    else
        l.columns = {{"EMail", 34}, {"Last", 20}, {"First", 13, false, {customerDeleted}}, recNoColumn()};
    return l;
}

GridLayout productLayout()
{
    const int priceDigits = integerDigitsOf(TableId::Prod5, fld::UPrice);
    return {"PickProd",
            'M',
            45,
            10,
            {{"Product ID", 10, false, widestKeys(fieldOf(TableId::Prod5, fld::PrID).len)},
             {"Description", 27},
             {"Price", 8, true, widestNumbers(priceDigits, 2) << recordDeleted},
             recNoColumn()}};
}

GridLayout invoiceLayout()
{
    return {"Select Invoice",
            'M',
            47,
            10,
            {{"Invoice", 7, true, widestDigits(fieldOf(TableId::INV6, fld::IvNo).len)},
             {"Date", 10, false, widestDates()},
             {"Credit Card / Note", 30, false, {customerDeleted}},
             recNoColumn()}};
}

GridLayout purchaseLayout()
{
    return {"PickPur",
            'B',
            40,
            10,
            {{"Product ID", 10, false, widestKeys(fieldOf(TableId::Pur5, fld::PURProd).len)},
             {"Date", 8, false, widestDates()},
             {"Quantity", 10, true, widestNumbers(integerDigitsOf(TableId::Pur5, fld::PURQty), 2)},
             {"Total Cost", 12, true,
              widestNumbers(integerDigitsOf(TableId::Pur5, fld::PURCost), 2) << recordDeleted},
             recNoColumn()}};
}

namespace {

QString trimmedRight(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).isSpace())
        --n;
    return s.left(n);
}

PickRow makeRow(long recNo, QStringList cells)
{
    cells << QString::number(recNo);
    return {recNo, std::move(cells)};
}

} // namespace

PickRow customerRow(const CustomerRecord &c, long recNo, bool deleted, bool byName)
{
    QStringList cells;
    if (byName)
        cells << trimmedRight(c.last) << trimmedRight(c.first) << trimmedRight(c.note);
    else
        cells << trimmedRight(c.email) << trimmedRight(c.last) << trimmedRight(c.first);
    if (deleted)
        cells[2] = customerDeleted;
    return makeRow(recNo, cells);
}

PickRow productRow(const ProductRecord &p, long recNo, bool deleted)
{
    QStringList cells;
    cells << trimmedRight(p.PrID) << trimmedRight(p.PDesc)
          << (deleted ? recordDeleted : numberToFixed(p.UPrice, 8, 2));
    return makeRow(recNo, cells);
}

PickRow invoiceRow(const InvoiceRecord &i, long recNo, bool deleted)
{
    QStringList cells;
    cells << paddedNumber(i.IvNo, 6) << dateToShort(i.IDate)
          << (deleted ? customerDeleted : trimmedRight(i.IMemo));
    return makeRow(recNo, cells);
}

PickRow purchaseRow(const PurchaseRecord &p, long recNo, bool deleted)
{
    QStringList cells;
    cells << trimmedRight(p.PURProd) << dateToShort(p.PURDate) << numberToFixed(p.PURQty, 10, 2)
          << (deleted ? recordDeleted : numberToFixed(p.PURCost, 12, 2));
    return makeRow(recNo, cells);
}

QString seekText(const QString &typed)
{
    return keyUpper(typed.trimmed());
}

QString invoiceSeekText(const QString &typed)
{
    return typed.trimmed().rightJustified(6, QLatin1Char(' '));
}

// ---- The table behind a grid list -----------------------------------------------------

int PickSource::goToPosition(double fraction)
{
    const long n = count();
    int rc = top();
    const long at = static_cast<long>(std::clamp(fraction, 0.0, 1.0) * static_cast<double>(n - 1) + 0.5);
    if (rc == 0 && at > 0)
        rc = skip(at);
    return rc;
}

TableSource::TableSource(Table &table, std::function<PickRow(long, bool)> row)
    : m_table(table), m_row(std::move(row))
{}

long TableSource::count()
{
    return m_table.recCount();
}

int TableSource::top()
{
    return m_table.top();
}

int TableSource::bottom()
{
    return m_table.bottom();
}

int TableSource::go(long recNo)
{
    return m_table.go(recNo);
}

int TableSource::skip(long n)
{
    return m_table.skip(n);
}

int TableSource::seek(const QString &text)
{
    return m_table.seek(text);
}

long TableSource::recNo()
{
    return m_table.recNo();
}

double TableSource::position()
{
    return m_table.isOpen() ? d4position2(m_table.data()) : 0.0;
}

int TableSource::goToPosition(double fraction)
{
    return m_table.isOpen() ? d4positionSet2(m_table.data(), fraction) : r4eof;
}

PickRow TableSource::readRow()
{
    return m_row(m_table.recNo(), m_table.isDeleted());
}

// ---- Paging ----------------------------------------------------------------------------

bool PagedList::start(long callerRecord)
{
    m_lastSeek.clear();
    m_anchorRec = 0;
    m_anchorExact = true;
    const long count = m_source->count();
    if (count > pageRows) {
        m_max = count - pageRows;
        m_target = callerRecord;
        m_window = locate();
        return true;
    }
    m_max = 0;
    m_window = 0;
    m_target = 0;
    return false;
}

long PagedList::locate()
{
    PickSource &s = *m_source;
    m_anchorExact = true;
    // A record that is not in the table (a stale number) counts as none.
    if (m_target <= 0 || s.go(m_target) != 0) {
        s.top();
        m_target = s.recNo();
        m_anchorRec = m_target;
        m_anchorOffset = 0;
        return 0;
    }
    const long count = s.count();
    const double fraction = std::clamp(s.position(), 0.0, 1.0);
    const long estimate = std::min(count - 1, static_cast<long>(static_cast<double>(count) * fraction));
    const long nearer = std::min(estimate, count - 1 - estimate);
    m_anchorRec = m_target;
    if (hasEstimatedZone(count) && nearer + count / 32 + 16 > exactReach) {
        // Too far from both ends to count: the estimate, outside the reach
        // of the ends, where every offset is exact.
        m_anchorOffset = std::clamp(estimate, exactReach + 1, count - 2 - exactReach);
        m_anchorExact = false;
        return std::min(m_max, m_anchorOffset);
    }
    // Count towards the nearer end of the order; every record stands in it,
    // so the records before are the count less those after, less one.
    long before;
    if (estimate <= count / 2)
        before = countBeyond(-1, estimate);
    else
        before = count - 1 - countBeyond(+1, count - 1 - estimate);
    m_anchorOffset = before;
    return std::min(m_max, before);
}

bool PagedList::hasEstimatedZone(long count) const
{
    return count > 2 * (exactReach + 1) + 2 * pageRows;
}

long PagedList::countUpTo(int direction, long limit)
{
    PickSource &s = *m_source;
    const long from = s.recNo();
    long counted = 0;
    long reached = from;
    for (long step = 4096; step >= 1; step /= 8) {
        while (counted <= limit && s.skip(direction * step) == 0) {
            counted += step;
            reached = s.recNo();
        }
        s.go(reached);
        if (counted > limit)
            break;
    }
    if (reached != from)
        s.go(from);
    return counted > limit ? -1 : counted;
}

long PagedList::countBeyond(int direction, long estimate)
{
    PickSource &s = *m_source;
    const long count = s.count();
    // The first jump: the estimate less its likely error. The engine's
    // position assumes evenly filled index pages and is off by up to a few
    // hundredths of the table; a jump that still passes the end of the order
    // is lowered and tried again from the target.
    long jump = std::max(0L, estimate - count / 32 - 16);
    while (jump > 0 && s.skip(direction * jump) != 0) {
        s.go(m_target);
        jump = jump < 16 ? 0 : jump / 2;
    }
    // The rest in ever shorter skips: a skip that passes the end of the order
    // leaves no trace of how far it got, so go back to the last record
    // reached and go on with a shorter one. Long skips walk the index alone;
    // only where a skip ends is a record read.
    long counted = jump;
    long reached = s.recNo();
    for (long step = 4096; step >= 1; step /= 8) {
        while (s.skip(direction * step) == 0) {
            counted += step;
            reached = s.recNo();
        }
        s.go(reached);
    }
    return counted;
}

PagedList::Page PagedList::fill()
{
    PickSource &s = *m_source;
    m_window = std::clamp(m_window, 0L, m_max);
    Page page;
    // Every record stands in the order, so the W-th from the first is the
    // (count - 1 - W)-th from the last; a known record may be nearer still.
    const long count = s.count();
    auto fromAnEnd = [&] {
        const long fromTop = m_window;
        const long fromBottom = count - 1 - m_window;
        int rc = -1;
        if (fromBottom < fromTop) {
            rc = s.bottom();
            if (rc == 0 && fromBottom > 0)
                rc = s.skip(-fromBottom);
        }
        if (rc != 0) {
            rc = s.top();
            if (rc == 0 && fromTop > 0)
                rc = s.skip(fromTop);
        }
        return rc;
    };
    const long fromTop = m_window;
    const long fromBottom = count - 1 - m_window;
    const long fromAnchor = m_anchorRec > 0 ? std::abs(m_window - m_anchorOffset) : LONG_MAX;
    const long nearest = std::min({fromTop, fromBottom, fromAnchor});
    bool exact = true;
    int rc = -1;
    if (nearest > exactReach && hasEstimatedZone(count)) {
        // Nothing known is near: the engine's estimate of the place.
        rc = s.goToPosition(static_cast<double>(m_window) / static_cast<double>(count - 1));
        exact = false;
    } else if (fromAnchor < std::min(fromTop, fromBottom) && s.go(m_anchorRec) == 0) {
        rc = fromAnchor > 0 ? s.skip(m_window - m_anchorOffset) : 0;
        exact = m_anchorExact;
        if (rc != 0 && !exact) {
            // The anchor's estimated place was off and the skip passed an
            // end: the window goes to that end.
            m_window = m_window > m_anchorOffset ? m_max : 0;
            exact = true;
        }
    }
    if (rc != 0) {
        exact = true;
        rc = fromAnEnd();
    }
    if (rc == 0 && !exact && hasEstimatedZone(count)) {
        // Within the reach of an end the offset must be exact: count it, or
        // learn that the estimate was short and stay just outside the reach.
        const bool nearTop = m_window <= exactReach;
        const bool nearBottom = m_window >= count - 1 - exactReach;
        if (nearTop || nearBottom) {
            const long beyond = countUpTo(nearTop ? -1 : +1, exactReach);
            if (beyond < 0) {
                m_window = nearTop ? exactReach + 1 : count - 2 - exactReach;
            } else {
                m_window = nearTop ? beyond : count - 1 - beyond;
                exact = true;
                if (m_window > m_max) {
                    m_window = m_max;
                    rc = fromAnEnd();
                }
            }
        }
    }
    const long wanted = std::min<long>(pageRows, count);
    for (int pass = 0; pass < 2; ++pass) {
        for (int r = 0; rc == 0 && r < pageRows; ++r) {
            PickRow row = s.readRow();
            if (m_target > 0 && row.recNo == m_target)
                page.targetRow = r;
            page.rows.push_back(std::move(row));
            if (r + 1 < pageRows)
                rc = s.skip(1);
        }
        if (exact || static_cast<long>(page.rows.size()) >= wanted)
            break;
        // An estimated place within the last page: the last page instead.
        page.rows.clear();
        page.targetRow = -1;
        m_window = m_max;
        exact = true;
        rc = fromAnEnd();
    }
    m_anchorRec = page.rows.empty() ? 0 : page.rows.front().recNo;
    m_anchorOffset = m_window;
    m_anchorExact = exact;
    m_target = 0;
    page.scrollPosition = scrollPosition();
    return page;
}

bool PagedList::moveTo(long w)
{
    w = std::clamp(w, 0L, m_max);
    if (w == m_window)
        return false;
    m_window = w;
    return true;
}

long PagedList::offsetAt(int percent) const
{
    percent = std::clamp(percent, 0, 100);
    return static_cast<long>(static_cast<long long>(percent) * m_max / 100);
}

int PagedList::scrollPosition() const
{
    if (m_max <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(std::clamp(m_window, 0L, m_max)) * 100 / m_max);
}

bool PagedList::seek(const QString &text)
{
    if (text == m_lastSeek)
        return false;
    m_lastSeek = text;
    PickSource &s = *m_source;
    const int rc = s.seek(text);
    if (rc != 0 && rc != r4after)
        return false; // beyond the last key
    m_target = s.recNo();
    m_window = locate();
    return true;
}

// ---- The plain lists -------------------------------------------------------------------

namespace {

template <class Buffered, class NameOf> NameList loadNames(Buffered &t, long callerRecord, NameOf nameOf)
{
    NameList list;
    int matched = -1;
    for (int rc = t.top(); rc == 0; rc = t.skip(1)) {
        t.read();
        const QString name = trimmedRight(nameOf(t.buf));
        if (t.recNo() == callerRecord && matched < 0)
            matched = int(list.items.size());
        list.items << (t.isDeleted() ? name + QStringLiteral("<DELETED>") : name);
        list.upperNames << keyUpper(name);
    }
    if (!list.items.isEmpty())
        list.selectIndex = matched < 0 ? 0 : matched;
    return list;
}

} // namespace

NameList loadGroupNames(long callerRecord)
{
    return loadNames(db().groups, callerRecord, [](const GroupRecord &g) { return g.cGroup; });
}

NameList loadLabelNames(long callerRecord)
{
    return loadNames(db().labels, callerRecord, [](const LabelRecord &l) { return l.Name; });
}

int seekNameIndex(const QStringList &upperNames, const QString &text)
{
    for (int i = 0; i < upperNames.size(); ++i)
        if (QString::compare(upperNames.at(i).left(text.size()), text, Qt::CaseSensitive) >= 0)
            return i;
    return -1;
}

long recordAtIndex(Table &table, int index)
{
    if (index < 0 || table.top() != 0)
        return 0;
    if (index > 0 && table.skip(index) != 0)
        return 0;
    return table.recNo();
}

} // namespace tlv
