#pragma once
// The one report document of the program, its cell markup, the page engine
// that a generator drives while it appends rows, and everything that turns
// the document into output: the painter routine shared by the screen, the
// printer and PDF files, the plain and tab-delimited text, and e-mail text.
//
// A row is N strings. Cells 0 to N-2 hold markup: a code letter, mostly
// followed by a two-character column number and text:
//   L cc text   text starting at column cc
//   R cc text   text ending at column cc
//   C cc text   text centred on column cc
//   V cc        a vertical rule one row high at column cc
//   H ss ee     a horizontal rule along the row's top from column ss to ee
//   EJECT       a page break
//   I a cc file a picture, a = L, C or R, sized by the flag cell
// Cell N-1 is the row's flag cell: "B" anywhere draws the row bold, "U"
// anywhere rules the row's bottom edge across the report, "S" + height +
// width (inches, 5 characters each) sizes a picture on paper.
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QImage;
class QPainter;
class QPaintDevice;

namespace tlv {

class Printer;

class ReportDocument
{
public:
    int width = 0;     // W, the report's width in character columns (at most 99)
    int cellCount = 0; // N, the cells of every row; the last is the flag cell
    int linesPerPage = 60;
    int pageNumber = 0; // 0 before the first page heading
    int lineCount = -1; // rows appended since the current page began
    QStringList titles;
    QString subtitle;            // printed under the titles; no report sets it
    QStringList columnCodes;     // N-1 markup prefixes, e.g. "L00", "R47", "V08"
    QList<QStringList> headings; // rows of N cells copied under the titles of each page
    QList<QStringList> rows;

    int lastRow() const { return int(rows.size()) - 1; }

    // Begin report: width and cellCount are set. Computes the lines per page
    // and starts an empty document with one empty heading row.
    void beginReport();
    // Appends a row of empty cells.
    void newRow();
    // Makes room for `needed` lines: begins a new page (page heading, titles,
    // subtitle and, when asked, the column headings) when this is the first
    // page check of the report or the lines would not fit. True when a page
    // was begun.
    bool pageCheck(int needed, bool withHeadings);
    // End report: discards the rows, titles, column codes and headings.
    void endReport();
    // Forgets everything, counters included (tests).
    void reset();

    void putCell(int row, int cell, const QString &text);
    QString cell(int row, int cell) const;
    QString flags(int row) const { return cell(row, cellCount - 1); }
    void setFlags(int row, const QString &flags) { putCell(row, cellCount - 1, flags); }

    // Cell `cell` of the last row becomes its column code followed by the text.
    void putColumn(int cell, const QString &text);
    // The usual two heading rows: an empty one flagged "U" (a rule above the
    // headings) and one holding each column code followed by its heading
    // (a rule position its bare code), flagged "U".
    void setColumnHeadings(const QStringList &texts);
};

// The report document; there is one at a time.
ReportDocument &report();

// ---- Report font ------------------------------------------------------------------

// The font of every report and printout. Until the main window sets it from
// the settings, the application's font.
QFont reportFont();
void setReportFont(const QFont &font);
// `base` with the family and size the settings name (FontName, FontSize)
// where they are set: the report font a data directory asks for.
QFont settingsReportFont(const QFont &base);
void resetReportFont();

// ---- Cell markup --------------------------------------------------------------------

// The code letter; a null character for an empty cell.
QChar cellCode(const QString &cell);
// The column at positions 2-3 (a leading blank allowed).
int cellColumn(const QString &cell);
// The text of an L, R or C cell: position 4 onwards.
QString cellText(const QString &cell);
// The end column of an H cell (positions 4-5).
int ruleEndColumn(const QString &cell);
// A picture cell: alignment letter, column and file name.
struct PictureCell
{
    QChar align;
    int column = 0;
    QString fileName;
};
PictureCell pictureCell(const QString &cell);
// The printed size of a picture from its row's flag cell ("S" + height + width);
// zero when the flag cell holds none.
struct PictureSize
{
    double heightInches = 0;
    double widthInches = 0;
};
PictureSize pictureSize(const QString &flags);
// The flag cell of a picture row.
QString pictureFlags(double heightInches, double widthInches);

// ---- Text output --------------------------------------------------------------------

// The text line of one row: its L, R and C cells in cell order, placed by
// column and alignment (plain) or joined by tabs (tab-delimited).
QString rowText(const ReportDocument &doc, int row, bool tabbed);
// Every row's line, each ended by CR LF: what a text export writes.
QString documentText(const ReportDocument &doc, bool tabbed);
// The body of an e-mail: every row's line ended by CR LF, and after a row
// whose flag cell is exactly "U" a line of W + 1 hyphens for its rule.
QString emailText(const ReportDocument &doc, bool tabbed);

// Writes the document's text to a file, replacing it only when the whole
// text was written. On failure, the reason is in *error.
enum class SaveStatus { Saved, NotCreated, WriteFailed };
SaveStatus writeReportText(const ReportDocument &doc, const QString &fileName, bool tabbed, QString *error);

// The export commands of the viewer: asks for a file name ("Export Report"),
// keeps the current directory, writes the file, and reports a failure in a
// message box. False when nothing was written.
bool exportReportText(bool tabbed);

// ---- Geometry and painting ----------------------------------------------------------

// Smallest font sizes, in points, when a report is shrunk to fit.
inline constexpr double smallestScreenPoints = 8;
inline constexpr double smallestPrinterPoints = 4;

// Where the columns of a report of width W fall on a device.
struct ReportGeometry
{
    int charWidth = 0;      // cw, the advance of "B"
    int lineHeight = 0;     // lh, the font's line height
    int availableWidth = 0; // window width less the scroll bar, or the page width
    int margin = 0;         // centres the report: Trunc(available / 2 - W * cw / 2)
    int width = 0;          // W
    int x(int column) const { return margin + column * charWidth; }
    int rightEnd() const { return margin + width * charWidth; }
};

// A font's point size, also for a font given in pixels.
double pointSizeOf(const QFont &font);
// The font shrunk one point at a time while W columns do not fit the width
// and the font is larger than `smallestPoints`.
QFont fitReportFont(QFont font, const QPaintDevice *device, int reportWidth, int availableWidth,
                    double smallestPoints);
ReportGeometry measureReport(const QFont &font, const QPaintDevice *device, int reportWidth,
                             int availableWidth);

// Draws rows of a document. The screen marks page breaks with a dotted line
// and shows pictures at their own size; the printer begins a new page at a
// page break and stretches pictures to the size in the flag cell.
class RowPainter
{
public:
    enum class Surface { Screen, Printer };
    RowPainter(QPainter &painter, const ReportDocument &doc, const QFont &font,
               const ReportGeometry &geometry, Surface surface);

    // Printer only: starts the next page and returns the y of its first row's top.
    std::function<int()> pageBreak;
    int dpiX = 96, dpiY = 96;

    // Draws the row whose top is y and advances y past it.
    void paintRow(int row, int &y);

private:
    void drawPicture(const QString &cell, const QString &flags, int y);

    QPainter &m_painter;
    const ReportDocument &m_doc;
    QFont m_regular, m_bold;
    ReportGeometry m_geometry;
    Surface m_surface;
};

// Whether the system has a printer: the platform names its PDF fallback
// "PDF file" when none is installed.
bool printerInstalled();
// Something to measure fonts on at the printer's resolution before a print job exists.
QImage measuringDevice(int dpiX, int dpiY);
// Lines per page on the printer with the report font: Trunc(page height / lh) - 6;
// 60 when no printer is installed.
int linesPerPage();

// Prints the document. Cancelled when the printer gave no page to draw on
// (the user cancelled the PDF file name), Failed when the output could not be written.
enum class PrintStatus { Printed, Cancelled, Failed };
PrintStatus printReport(const ReportDocument &doc, Printer &printer);

// Writes what printing on the current printer would put on paper into a PDF
// file the user names: the same sheet and orientation, printable area,
// resolution and page breaks.
// Reports a file that cannot be written; false when nothing was written.
bool exportReportPdf();

} // namespace tlv
