#pragma once
// How the pick lists work, without their windows: the run protocol every
// command uses to let the user choose a record, the paging of the four grid
// lists (customers, products, invoices, purchases), which show ten records at
// a time and never load a table, and the plain lists of groups and label
// stocks. The windows are TPickCust, TPickProd, TPickInv, TPickPur,
// TPickGroup and TPickLab (Pick*U.h).
//
// Choosing a record (the table is open; the list starts on the selected
// record of its table, db().selected.<table>):
//
//     db().selected.product = startRecNo;          // 0 or unknown: first row
//     bool created = false;
//     if (runPickProd(/*allowNew=*/true, &created)) {
//         const int recNo = db().selected.product; // chosen, or just created
//         ...
//     }
//
// After a run the selected record tells what happened: greater than 0 the
// record chosen (or created through "New"), 0 "New" pressed but nothing
// saved, -1 cancelled (also when the window was closed without a button).
//
// "New": the run opens the table's editor through a hook that the editor's
// module registers once, before the first run:
//
//     setNewRecordEditor(PickTable::Product, [] { prodDef().exec(); });
//
// The editor finds 0 in the selected record (a new record wanted) and leaves
// the record number it saved there; it leaves 0 (or -1) when nothing was
// saved. The run reports `created` when the editor left a record number, and
// returns true when that number is positive: a caller looping "pick, then
// edit" skips its own editor when `created` is set.
#include "data/Database.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>
#include <vector>

namespace tlv {

enum class PickTable { Customer, Group, Product, Invoice, Purchase, LabelStock };

// ---- Running a pick list ------------------------------------------------------------

// The table's selected record in db().selected.
int &selectedRecord(PickTable table);
// The open table behind the list.
Table &pickTable(PickTable table);
// The refusal shown for an empty table when New is not allowed
// ("Customer Database is Empty", ...).
QString emptyTableMessage(PickTable table);

// The table's editor for "New": shown modally with the selected record at 0;
// it leaves the saved record's number there. Null removes the hook.
using NewRecordEditor = std::function<void()>;
void setNewRecordEditor(PickTable table, NewRecordEditor editor);
bool hasNewRecordEditor(PickTable table);

// The run protocol shared by the six lists: refuses an empty table when New
// is not allowed (message, selected record -1, false), otherwise shows the
// list through `showList` (which enables its New button by the flag and runs
// the window modally), opens the editor when New was pressed, and returns
// whether a record was chosen or created. `created` (may be null) tells that
// the editor saved a new record: for groups and label stocks a positive
// number, for the other tables any non-zero one.
bool runPickList(PickTable table, bool allowNew, const std::function<void(bool allowNew)> &showList,
                 bool *created = nullptr);

// ---- The grid lists: layout and rows --------------------------------------------------

struct PickColumn
{
    const char *caption;
    int units;           // in widths of the list's unit letter
    bool number = false; // right-aligned: amounts, quantities, invoice and record numbers
    // The widest texts the column can hold (the longest key or number, a date
    // with a four-digit year, the deleted mark). The window makes the column
    // wider than its units when one of them would not fit its font.
    QStringList widest = {};
};

struct GridLayout
{
    const char *caption;             // window caption
    char unitLetter;                 // 'B' or 'M': the letter whose width in the window font is one unit
    int gridUnits;                   // visible width of the grid: every column but the record number
    int widening;                    // pixels right of the scroll bar
    std::vector<PickColumn> columns; // the last one is "RecNo"
};

// byName: the customer sort preference (settings().ByCust).
GridLayout customerLayout(bool byName);
GridLayout productLayout();
GridLayout invoiceLayout();
GridLayout purchaseLayout();

// Stand-ins for the widest texts of a column, whatever the font: each comes
// once for every digit (and a key once for every letter and digit), so that
// the widest of them is as wide as anything the column shows.
// Dates in the user's short date format: four-digit years, every month.
QStringList widestDates();
// Numbers with a sign, the integer digits and decimals given and the user's
// decimal separator (amounts and quantities).
QStringList widestNumbers(int integerDigits, int decimals);
// Numbers of `count` digits without a sign (invoice and record numbers).
QStringList widestDigits(int count);
// Keys of `length` characters (product IDs).
QStringList widestKeys(int length);

// One row of a grid list: the record number and the cell texts; the last
// cell is the record number ("%d").
struct PickRow
{
    long recNo = 0;
    QStringList cells;
};

PickRow customerRow(const CustomerRecord &c, long recNo, bool deleted, bool byName);
PickRow productRow(const ProductRecord &p, long recNo, bool deleted);
PickRow invoiceRow(const InvoiceRecord &i, long recNo, bool deleted);
PickRow purchaseRow(const PurchaseRecord &p, long recNo, bool deleted);

// The texts sought for the seek fields: upper-cased and trimmed as the keys
// are built; the invoice number trimmed and padded with blanks on the left to
// its six characters.
QString seekText(const QString &typed);
QString invoiceSeekText(const QString &typed);

// The order the grid list walks; the program's one is a table with the
// list's tag selected.
class PickSource
{
public:
    virtual ~PickSource() = default;
    virtual long count() = 0; // records in the order, marked-deleted ones included
    // Positioning with the engine's results: 0 on a record.
    virtual int top() = 0;
    virtual int bottom() = 0;
    virtual int go(long recNo) = 0;
    virtual int skip(long n) = 0;
    // d4seek: 0 a key begins with the text, r4after on the next greater key,
    // anything else: no such key.
    virtual int seek(const QString &text) = 0;
    virtual long recNo() = 0;
    virtual double position() = 0; // 0-1 place of the current record in the order
    virtual PickRow readRow() = 0; // reads the current record
    // Goes to a record at about that place (0-1) in the order: 0 on a
    // record. The table's is the engine's estimate, found in steps of one
    // index page; this one walks from the first record to the exact place.
    virtual int goToPosition(double fraction);
};

// A table in its selected order; rows are built by `row` after the record
// has been read into the table's buffer.
class TableSource : public PickSource
{
public:
    TableSource(Table &table, std::function<PickRow(long recNo, bool deleted)> row);
    long count() override;
    int top() override;
    int bottom() override;
    int go(long recNo) override;
    int skip(long n) override;
    int seek(const QString &text) override;
    long recNo() override;
    double position() override;
    PickRow readRow() override;
    int goToPosition(double fraction) override;

private:
    Table &m_table;
    std::function<PickRow(long, bool)> m_row;
};

// ---- The grid lists: paging -------------------------------------------------------------

// The window onto the order: W records come before the first row shown, at
// most M = count - 10. The target is the record to select at the next fill
// (0 none). A fill reads at most ten records whatever the table's size, and
// reaches its first row by skipping from the nearest place it knows: the
// first or last record, or the record it last placed (the first row of the
// last fill, the target of the last locate).
//
// No action walks more than about exactReach records. Within exactReach of
// either end W is exact. Further in, a place no known record is near is
// reached through the engine's estimate (goToPosition), and a target's W is
// the engine's estimate of its place: the scroll bar is then approximate,
// while the rows are always the records that follow each other in the order,
// and paging from them moves by exactly ten. A window that pages from such a
// place into the reach of an end learns its exact W there, or stays just
// outside the reach when the estimate was short by more than the reach.
class PagedList
{
public:
    static constexpr int pageRows = 10;
    static constexpr long exactReach = 65536;

    PagedList() = default;
    explicit PagedList(PickSource &source) : m_source(&source) {}
    void setSource(PickSource &source) { m_source = &source; }

    // A showing starts: the last seek text is forgotten. With more than ten
    // records M = count - 10 and the window is placed on the caller's record
    // (the target); true then. With ten or fewer W = M = 0, no target, false.
    bool start(long callerRecord);

    // The number of records before the target in the order, at most M: the
    // engine's fractional position gives a first estimate, skipping corrects
    // it. The count is exact when the estimate lies within exactReach of an
    // end; the skipping starts from the nearer end of the order and a short
    // way before the estimate, because the estimate may be off by a few
    // hundredths of the table either way (see countBeyond). Further in, the
    // estimate itself, kept out of the exact reach.
    long locate();

    struct Page
    {
        std::vector<PickRow> rows; // up to ten
        int targetRow = -1;        // index into rows of the target; -1 not shown
        int scrollPosition = 0;    // W * 100 / M, 0 when M is 0
    };
    // W clamped into 0..M, then the rows from W on; the target is cleared.
    Page fill();

    // Moving the window: the new offset clamped into 0..M; true when W
    // changed (the list is then filled again).
    bool moveTo(long w);
    bool moveBy(long delta) { return moveTo(m_window + delta); }
    // The offset of a scroll-bar position (0-100).
    long offsetAt(int percent) const;
    int scrollPosition() const;

    // Seeks the order with the prepared text as the leading part of the key
    // when it differs from the last one. True when a record was reached (it
    // becomes the target, the window moves onto it: fill again); false when
    // the text is unchanged or lies beyond the last key.
    bool seek(const QString &text);

    long window() const { return m_window; }
    long maxOffset() const { return m_max; }
    long target() const { return m_target; }
    const QString &lastSeek() const { return m_lastSeek; }
    void setTarget(long recNo) { m_target = recNo; }

private:
    // The records beyond the target (which is current) in one direction:
    // -1 before it, +1 after it.
    long countBeyond(int direction, long estimate);
    // The records before (-1) or after (+1) the current record, counted
    // exactly when there are at most `limit` of them; -1 when there are more.
    // Leaves the source on the record.
    long countUpTo(int direction, long limit);
    // Whether the order is long enough for places beyond the exact reach.
    bool hasEstimatedZone(long count) const;

    PickSource *m_source = nullptr;
    long m_window = 0;
    long m_max = 0;
    long m_target = 0;
    QString m_lastSeek;
    // A record whose place in the order is known (exactly, or as the
    // engine's estimate); 0 none.
    long m_anchorRec = 0;
    long m_anchorOffset = 0;
    bool m_anchorExact = true;
};

// ---- The plain lists: groups and label stocks ----------------------------------------

struct NameList
{
    QStringList items;      // names, with "<DELETED>" after a marked record
    QStringList upperNames; // the names upper-cased, for the group seek
    int selectIndex = -1;   // the caller's record; 0 when it is not listed; -1 when empty
};

// The groups in cGroup order (GROUPS open, cGroup selected) and the label
// stocks in Labels order (LABELS open).
NameList loadGroupNames(long callerRecord);
NameList loadLabelNames(long callerRecord);

// The first name whose leading characters (as many as the text has) are equal
// to or greater than the text; -1 when none.
int seekNameIndex(const QStringList &upperNames, const QString &text);

// The record number of the index-th record from the first of the table's
// order; 0 when there is none.
long recordAtIndex(Table &table, int index);

// The one window of a pick list or editor class, made on first use and
// deleted when the application ends.
template <class Window> Window &onlyWindow()
{
    static Window *window = nullptr;
    if (!window) {
        window = new Window;
        qAddPostRoutine([] {
            delete window;
            window = nullptr;
        });
    }
    return *window;
}

// Runs the one window of a pick list class through the pick-list protocol
// (runPickList): New allowed or not, the window shown modally.
template <class Window> bool runPickWindow(PickTable table, bool allowNew, bool *created)
{
    return runPickList(
        table, allowNew,
        [](bool allow) {
            Window &w = onlyWindow<Window>();
            w.setNewAllowed(allow);
            w.exec();
        },
        created);
}

} // namespace tlv
