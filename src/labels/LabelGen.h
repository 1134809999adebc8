#pragma once
// Customer address labels printed straight on the printer: the geometry of a
// label stock turned into device pixels, the row buffer that fills a row of
// labels across the sheet before it is printed, and the six batches that
// choose the customers. Everything here runs without a window; the dialogs
// that ask for the stock, the span and the groups hand their answers in.
#include "data/Records.h"

#include <QDate>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QPaintDevice;
class QPainter;

namespace tlv {

class Printer;

inline constexpr int linesPerLabel = 5;
// The label font is never shrunk below this, however small the label.
inline constexpr int smallestLabelPoints = 4;
inline constexpr const char *noLabelStockMessage =
    "Label Stock has not been defined. Choose Setup - Labels to define label stock.";
// The batch label file in the data directory: one customer number a line,
// right-aligned in six characters.
inline constexpr const char *batchLabelFile = "BatchLab.dat";

// Printer points (1/72 inch) to device pixels, truncated.
int pointsToPixels(double points, int dpi);

// A stock's dimensions in device pixels, its margins measured from the
// printable area, and how many rows of labels a page takes.
struct LabelMetrics
{
    int top = 0, left = 0, bottom = 0, right = 0;
    int width = 0, height = 0, hGap = 0, vGap = 0;
    int rowsPerPage = 0;
};

// offset: where the printable area starts on the sheet; physical: the whole
// sheet; printable: the printable area; all in device pixels. A margin that
// falls inside the unprintable edge becomes 0.
LabelMetrics labelMetrics(const LabelRecord &stock, int dpiX, int dpiY, QPoint offset, QSize physical,
                          QSize printable);
// Rows of labels between the margins; the last row needs no gap below it.
int rowsPerPageOf(int pageHeight, int top, int bottom, int labelHeight, int vGap);
// The font made smaller a point at a time until 25 characters ("Abcde" five
// times) fit the label's width and five lines its height, never below
// smallestLabelPoints.
QFont fitLabelFont(QFont font, const QPaintDevice *device, int labelWidth, int labelHeight);

// One label run: the row buffer, the current column and row, and the print
// job, begun with the first row printed.
class LabelSheet
{
public:
    LabelSheet(const LabelRecord &stock, int startColumn, int startRow, const QFont &font, Printer &printer);
    ~LabelSheet();
    LabelSheet(const LabelSheet &) = delete;
    LabelSheet &operator=(const LabelSheet &) = delete;

    // Puts the five address lines into the current column. True when a row
    // is still waiting to be printed.
    bool addLabel(const QStringList &lines);
    // Prints the row buffer at the current row (starting the job, or a new
    // page, as needed).
    void printRow();
    // After the batch: prints a row left partly filled and ends the job.
    // False when the job could not be begun or written.
    bool finish();
    // One page of label outlines with their numbers in place of text, from
    // the first row; the job is ended. False as finish().
    bool printOutlines();

    bool labelsAdded() const { return m_added; }
    // The printer gave no page to draw on (the user cancelled the file name):
    // nothing more is printed.
    bool stopped() const { return m_stopped; }
    int column() const { return m_column; }
    int row() const { return m_row; }
    const LabelMetrics &metrics() const { return m_metrics; }
    const QFont &font() const { return m_font; }

    // Each text written, for checking the layout: the page (from 1) and the
    // top-left corner of its line in the painter's pixels.
    struct Placed
    {
        int page = 0;
        int x = 0, y = 0;
        QString text;
    };
    const QList<Placed> &placed() const { return m_placed; }

private:
    bool prepare();

    LabelRecord m_stock;
    int m_across;
    int m_column;
    int m_row;
    QFont m_font;
    Printer &m_printer;
    QPainter *m_painter = nullptr;
    LabelMetrics m_metrics;
    QList<QStringList> m_buffer; // per column, five lines
    bool m_added = false;
    bool m_pending = false;
    bool m_ready = false;
    bool m_stopped = false;
    bool m_pagesOk = true;
    int m_page = 0;
    int m_sheetHeight = 0; // the whole sheet, unprintable edges included
    int m_pageHeight = 0;  // the printable area
    QList<Placed> m_placed;
};

// The six batches, numbered as the main window and the chooser run them.
enum class LabelBatch {
    SelectedCustomers = 1,
    InvoicesDated = 2,
    PastDueBilling = 3,
    BalanceDueStatements = 4,
    CustomerGroups = 5,
    BatchFile = 6,
};

// What a batch needs besides the tables: the span (kinds 2-4), the chosen
// groups (kind 5) and, for kind 1, the next picked customer's record number
// (0 or less when the picking ends).
struct LabelRequest
{
    QDate startDate, endDate;
    QList<int> groups;
    std::function<long()> nextPick;
};

enum class LabelOutcome {
    Printed,        // labels went to the printer
    NothingPrinted, // the batch chose no customer: no job was begun
    Cancelled,      // the printer gave no page (no file name given)
    Failed,         // the output could not be written
    FileError,      // the batch label file could not be read
};

// Whether LABELS (open) holds a stock; when it does not, shows the message
// above. Leaves the table open.
bool labelStockDefined();

// The stock of LABELS (open) whose name is `name`, the first in name order
// when none is; false when the table is empty.
bool labelStockNamed(const QString &name, LabelRecord &stock);

// Runs a batch over the tables it opens (customers, and invoices for kinds 2
// to 4), in its order, printing one label per chosen customer on `stock`
// from the given column and row. Customers marked deleted get no label, nor
// do invoices marked deleted count. Shows the batch's progress.
LabelOutcome printLabels(LabelBatch kind, const LabelRequest &request, const LabelRecord &stock,
                         int startColumn, int startRow, const QFont &font, Printer &printer);

// One page of label outlines, each with its number, on `stock` from the
// first row: to hold against a real sheet before printing on it.
LabelOutcome printAlignmentTest(const LabelRecord &stock, const QFont &font, Printer &printer);

} // namespace tlv
