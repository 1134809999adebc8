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

GridLayout customerLayout(bool byName)
{
    GridLayout l{"Select Customer", 'B', 67, 16, {}};
    if (byName)
        l.columns = {{"Last", 20}, {"First", 13}, {"Note", 34}, {"RecNo", 10}};
    else
        l.columns = {{"EMail", 34}, {"Last", 20}, {"First", 13}, {"RecNo", 10}};
    return l;
}

GridLayout productLayout()
{
    return {"PickProd", 'M', 45, 10, {{"Product ID", 10}, {"Description", 27}, {"Price", 8}, {"RecNo", 10}}};
}

GridLayout invoiceLayout()
{
    return {"Select Invoice",
            'M',
            47,
            10,
            {{"Invoice", 7}, {"Date", 10}, {"Credit Card / Note", 30}, {"RecNo", 10}}};
}

GridLayout purchaseLayout()
{
    return {"PickPur",
            'B',
            40,
            10,
            {{"Product ID", 10}, {"Date", 8}, {"Quantity", 10}, {"Total Cost", 12}, {"RecNo", 10}}};
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
        cells[2] = QStringLiteral("< DELETED >");
    return makeRow(recNo, cells);
}

PickRow productRow(const ProductRecord &p, long recNo, bool deleted)
{
    QStringList cells;
    cells << trimmedRight(p.PrID) << trimmedRight(p.PDesc)
          << (deleted ? QStringLiteral("<DELETED>") : numberToFixed(p.UPrice, 8, 2));
    return makeRow(recNo, cells);
}

PickRow invoiceRow(const InvoiceRecord &i, long recNo, bool deleted)
{
    QStringList cells;
    cells << paddedNumber(i.IvNo, 6) << dateToShort(i.IDate)
          << (deleted ? QStringLiteral("< DELETED >") : trimmedRight(i.IMemo));
    return makeRow(recNo, cells);
}

PickRow purchaseRow(const PurchaseRecord &p, long recNo, bool deleted)
{
    QStringList cells;
    cells << trimmedRight(p.PURProd) << dateToShort(p.PURDate) << numberToFixed(p.PURQty, 10, 2)
          << (deleted ? QStringLiteral("<DELETED>") : numberToFixed(p.PURCost, 12, 2));
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

PickRow TableSource::readRow()
{
    return m_row(m_table.recNo(), m_table.isDeleted());
}

// ---- Paging ----------------------------------------------------------------------------

bool PagedList::start(long callerRecord)
{
    m_lastSeek.clear();
    m_anchorRec = 0;
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
    const long estimate = static_cast<long>(static_cast<double>(count) * fraction);
    // Count towards the nearer end of the order; every record stands in it,
    // so the records before are the count less those after, less one.
    long before;
    if (estimate <= count / 2)
        before = countBeyond(-1, estimate);
    else
        before = count - 1 - countBeyond(+1, count - 1 - estimate);
    m_anchorRec = m_target;
    m_anchorOffset = before;
    return std::min(m_max, before);
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
    const long fromTop = m_window;
    const long fromBottom = count - 1 - m_window;
    const long fromAnchor = m_anchorRec > 0 ? std::abs(m_window - m_anchorOffset) : LONG_MAX;
    int rc = -1;
    if (fromAnchor < std::min(fromTop, fromBottom) && s.go(m_anchorRec) == 0) {
        rc = fromAnchor > 0 ? s.skip(m_window - m_anchorOffset) : 0;
    } else if (fromBottom < fromTop) {
        rc = s.bottom();
        if (rc == 0 && fromBottom > 0)
            rc = s.skip(-fromBottom);
    }
    if (rc != 0) {
        rc = s.top();
        if (rc == 0 && fromTop > 0)
            rc = s.skip(fromTop);
    }
    for (int r = 0; rc == 0 && r < pageRows; ++r) {
        PickRow row = s.readRow();
        if (m_target > 0 && row.recNo == m_target)
            page.targetRow = r;
        page.rows.push_back(std::move(row));
        if (r + 1 < pageRows)
            rc = s.skip(1);
    }
    m_anchorRec = page.rows.empty() ? 0 : page.rows.front().recNo;
    m_anchorOffset = m_window;
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
