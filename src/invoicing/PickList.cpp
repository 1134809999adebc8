#include "invoicing/PickList.h"

#include "data/Helpers.h"
#include "platform/Ui.h"

#include <algorithm>
#include <array>

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
        return 0;
    }
    const double fraction = std::clamp(s.position(), 0.0, 1.0);
    long i = static_cast<long>(static_cast<double>(s.count()) * fraction);
    // The estimate may overshoot: skipping back that far then passes the
    // beginning, and the estimate is lowered until a skip lands on a record.
    while (s.skip(-i) != 0) {
        s.go(m_target);
        i = i < 16 ? 0 : i - 15;
    }
    // From there one record at a time to the beginning; the failing attempt
    // counts too, so i ends one above the number of records before the target.
    do {
        ++i;
    } while (s.skip(-1) == 0);
    return std::min(m_max, i - 1);
}

PagedList::Page PagedList::fill()
{
    PickSource &s = *m_source;
    m_window = std::clamp(m_window, 0L, m_max);
    Page page;
    // Every record stands in the order, so the W-th from the first is the
    // (count - 1 - W)-th from the last: walk from the nearer end.
    const long count = s.count();
    const long fromEnd = count - 1 - m_window;
    int rc;
    if (fromEnd < m_window) {
        rc = s.bottom();
        if (rc == 0 && fromEnd > 0)
            rc = s.skip(-fromEnd);
    } else {
        rc = s.top();
        if (rc == 0 && m_window > 0)
            rc = s.skip(m_window);
    }
    for (int r = 0; rc == 0 && r < pageRows; ++r) {
        PickRow row = s.readRow();
        if (m_target > 0 && row.recNo == m_target)
            page.targetRow = r;
        page.rows.push_back(std::move(row));
        if (r + 1 < pageRows)
            rc = s.skip(1);
    }
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
