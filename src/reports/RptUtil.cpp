#include "reports/RptUtil.h"

#include "data/Helpers.h"
#include "data/Settings.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <optional>

namespace tlv {

namespace {

ReportDocument document;
std::optional<QFont> chosenFont;

QString padded2(int n)
{
    return paddedNumber(n, 2);
}

} // namespace

ReportDocument &report()
{
    return document;
}

// ---- The document and the page engine ------------------------------------------------

void ReportDocument::beginReport()
{
    linesPerPage = tlv::linesPerPage();
    pageNumber = 0;
    lineCount = -1;
    titles.clear();
    subtitle.clear();
    columnCodes = QStringList(std::max(cellCount - 1, 0), QString());
    headings = {QStringList(std::max(cellCount, 0), QString())};
    rows.clear();
}

void ReportDocument::newRow()
{
    rows.append(QStringList(std::max(cellCount, 0), QString()));
    ++lineCount;
}

bool ReportDocument::pageCheck(int needed, bool withHeadings)
{
    if (pageNumber != 0 && needed <= linesPerPage)
        return false;
    ++pageNumber;
    if (pageNumber > 1) {
        // Close the table at the foot of the page, then break.
        if (withHeadings && lastRow() >= 0)
            setFlags(lastRow(), QStringLiteral("U"));
        newRow();
        putCell(lastRow(), 0, QStringLiteral("EJECT"));
    }
    lineCount = 0;
    newRow();
    putCell(lastRow(), 0, QStringLiteral("L00Page ") + QString::number(pageNumber));
    putCell(lastRow(), 1, QStringLiteral("R") + padded2(width) + dateToShort(clock().today()));
    newRow();
    for (const QString &title : std::as_const(titles)) {
        newRow();
        putCell(lastRow(), 0, QStringLiteral("C") + padded2(width / 2) + title);
        setFlags(lastRow(), QStringLiteral("B"));
    }
    newRow();
    newRow();
    putCell(lastRow(), 0, QStringLiteral("L00") + subtitle);
    setFlags(lastRow(), QStringLiteral("B"));
    if (withHeadings) {
        newRow();
        for (const QStringList &heading : std::as_const(headings)) {
            newRow();
            for (int i = 0; i < cellCount && i < heading.size(); ++i)
                putCell(lastRow(), i, heading[i]);
        }
    }
    return true;
}

void ReportDocument::endReport()
{
    rows.clear();
    titles.clear();
    columnCodes.clear();
    headings.clear();
}

void ReportDocument::reset()
{
    *this = ReportDocument{};
}

void ReportDocument::putCell(int row, int cell, const QString &text)
{
    if (row < 0 || row >= rows.size() || cell < 0 || cell >= rows[row].size())
        return;
    rows[row][cell] = text;
}

QString ReportDocument::cell(int row, int cell) const
{
    if (row < 0 || row >= rows.size() || cell < 0 || cell >= rows[row].size())
        return QString();
    return rows[row][cell];
}

void ReportDocument::putColumn(int cell, const QString &text)
{
    putCell(lastRow(), cell, columnCodes.value(cell) + text);
}

void ReportDocument::setColumnHeadings(const QStringList &texts)
{
    QStringList above(cellCount, QString());
    QStringList names(cellCount, QString());
    above[cellCount - 1] = QStringLiteral("U");
    for (int i = 0; i < cellCount - 1; ++i) {
        const QString code = columnCodes.value(i);
        names[i] = code.startsWith(QLatin1Char('V')) ? code : code + texts.value(i);
    }
    names[cellCount - 1] = QStringLiteral("U");
    headings = {above, names};
}

// ---- Report font ----------------------------------------------------------------------

QFont reportFont()
{
    return chosenFont ? *chosenFont : QGuiApplication::font();
}

void setReportFont(const QFont &font)
{
    chosenFont = font;
}

QFont settingsReportFont(const QFont &base)
{
    QFont font = base;
    const QString name = settings().FontName.trimmed();
    if (!name.isEmpty())
        font.setFamily(name);
    if (settings().FontSize > 0)
        font.setPointSize(settings().FontSize);
    return font;
}

void resetReportFont()
{
    chosenFont.reset();
}

// ---- Cell markup ----------------------------------------------------------------------

QChar cellCode(const QString &cell)
{
    return cell.isEmpty() ? QChar() : cell.at(0);
}

int cellColumn(const QString &cell)
{
    return cell.mid(1, 2).trimmed().toInt();
}

QString cellText(const QString &cell)
{
    return cell.mid(3);
}

int ruleEndColumn(const QString &cell)
{
    return cell.mid(3, 2).trimmed().toInt();
}

PictureCell pictureCell(const QString &cell)
{
    PictureCell p;
    p.align = cell.size() > 1 ? cell.at(1) : QChar();
    p.column = cell.mid(2, 2).trimmed().toInt();
    p.fileName = cell.mid(4, 60).trimmed();
    return p;
}

namespace {
// Sizes are written with the user's decimal separator; read either.
double readInches(const QString &text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t.toDouble();
}
} // namespace

PictureSize pictureSize(const QString &flags)
{
    PictureSize s;
    if (!flags.startsWith(QLatin1Char('S')))
        return s;
    s.heightInches = readInches(flags.mid(1, 5));
    s.widthInches = readInches(flags.mid(6, 5));
    return s;
}

QString pictureFlags(double heightInches, double widthInches)
{
    return QStringLiteral("S") + numberToFixed(heightInches, 5, 2) + numberToFixed(widthInches, 5, 2);
}

// ---- Text output ------------------------------------------------------------------------

QString rowText(const ReportDocument &doc, int row, bool tabbed)
{
    QString line;
    for (int i = 0; i < doc.cellCount - 1; ++i) {
        const QString cell = doc.cell(row, i);
        const QChar code = cellCode(cell);
        if (code != QLatin1Char('L') && code != QLatin1Char('R') && code != QLatin1Char('C'))
            continue;
        const QString text = cellText(cell);
        if (tabbed) {
            if (!line.isEmpty())
                line += QLatin1Char('\t');
            line += text;
            continue;
        }
        const int column = cellColumn(cell);
        int target = column;
        if (code == QLatin1Char('R'))
            target = column - int(text.size());
        else if (code == QLatin1Char('C'))
            target = column - int(text.size()) / 2;
        if (line.size() < target)
            line += QString(target - line.size(), QLatin1Char(' '));
        line += text;
    }
    return line;
}

QString documentText(const ReportDocument &doc, bool tabbed)
{
    QString text;
    for (int r = 0; r < doc.rows.size(); ++r)
        text += rowText(doc, r, tabbed) + QStringLiteral("\r\n");
    return text;
}

QString emailText(const ReportDocument &doc, bool tabbed)
{
    QString text;
    for (int r = 0; r < doc.rows.size(); ++r) {
        text += rowText(doc, r, tabbed) + QStringLiteral("\r\n");
        if (doc.flags(r) == QLatin1String("U"))
            text += QString(doc.width + 1, QLatin1Char('-')) + QStringLiteral("\r\n");
    }
    return text;
}

SaveStatus writeReportText(const ReportDocument &doc, const QString &fileName, bool tabbed, QString *error)
{
    // The old file is replaced only once the new one is complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return SaveStatus::NotCreated;
    }
    const QByteArray bytes = documentText(doc, tabbed).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return SaveStatus::WriteFailed;
    }
    return SaveStatus::Saved;
}

bool exportReportText(bool tabbed)
{
    const QString filter =
        tabbed ? QStringLiteral("Delimited files (*.asc)") : QStringLiteral("Text files (*.txt)");
    const QString extension = tabbed ? QStringLiteral("asc") : QStringLiteral("txt");
    // The dialog may wander off to another directory; the program works in its own.
    const QString current = QDir::currentPath();
    QString fileName = ui().saveFileName(QStringLiteral("Export Report"), QString(), filter);
    QDir::setCurrent(current);
    if (fileName.isEmpty())
        return false;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QLatin1Char('.') + extension;
    QString error;
    switch (writeReportText(report(), fileName, tabbed, &error)) {
    case SaveStatus::Saved:
        return true;
    case SaveStatus::NotCreated:
        ui().information(QStringLiteral("Unable to save to: ") + fileName);
        return false;
    case SaveStatus::WriteFailed:
        ui().information(error);
        return false;
    }
    return false;
}

// ---- Geometry and painting ------------------------------------------------------------------

double pointSizeOf(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

QFont fitReportFont(QFont font, const QPaintDevice *device, int reportWidth, int availableWidth,
                    double smallestPoints)
{
    if (font.pointSizeF() <= 0)
        font.setPointSizeF(pointSizeOf(font));
    int cw = QFontMetrics(font, device).horizontalAdvance(QLatin1Char('B'));
    while (availableWidth < reportWidth * cw && font.pointSizeF() > smallestPoints) {
        font.setPointSizeF(std::max(font.pointSizeF() - 1, smallestPoints));
        cw = QFontMetrics(font, device).horizontalAdvance(QLatin1Char('B'));
    }
    return font;
}

ReportGeometry measureReport(const QFont &font, const QPaintDevice *device, int reportWidth,
                             int availableWidth)
{
    const QFontMetrics fm(font, device);
    ReportGeometry g;
    g.charWidth = fm.horizontalAdvance(QLatin1Char('B'));
    g.lineHeight = fm.height();
    g.availableWidth = availableWidth;
    g.width = reportWidth;
    g.margin = static_cast<int>(availableWidth / 2.0 - reportWidth * g.charWidth / 2.0);
    return g;
}

RowPainter::RowPainter(QPainter &painter, const ReportDocument &doc, const QFont &font,
                       const ReportGeometry &geometry, Surface surface)
    : m_painter(painter), m_doc(doc), m_regular(font), m_bold(font), m_geometry(geometry), m_surface(surface)
{
    m_bold.setBold(true);
}

void RowPainter::paintRow(int row, int &y)
{
    const QString flags = m_doc.flags(row);
    m_painter.setFont(flags.contains(QLatin1Char('B')) ? m_bold : m_regular);
    const QFontMetrics fm = m_painter.fontMetrics();
    const ReportGeometry &g = m_geometry;
    const int lh = g.lineHeight;
    for (int i = 0; i < m_doc.cellCount - 1; ++i) {
        const QString cell = m_doc.cell(row, i);
        if (cell.isEmpty())
            continue;
        const QChar code = cell.at(0);
        if (code == QLatin1Char('E')) {
            if (m_surface == Surface::Screen) {
                m_painter.save();
                m_painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
                m_painter.drawLine(0, y + lh / 2, g.availableWidth - 1, y + lh / 2);
                m_painter.restore();
            } else if (pageBreak) {
                // The row's own advance brings y back to the first row's top.
                y = pageBreak() - lh;
            }
        } else if (code == QLatin1Char('L') || code == QLatin1Char('R') || code == QLatin1Char('C')) {
            const QString text = cellText(cell);
            if (text.isEmpty())
                continue;
            int x = g.x(cellColumn(cell));
            if (code == QLatin1Char('R'))
                x -= fm.horizontalAdvance(text);
            else if (code == QLatin1Char('C'))
                x -= fm.horizontalAdvance(text) / 2;
            m_painter.drawText(QPoint(x, y + fm.ascent()), text);
        } else if (code == QLatin1Char('V')) {
            const int x = g.x(cellColumn(cell));
            m_painter.drawLine(x, y, x, y + lh);
        } else if (code == QLatin1Char('H')) {
            m_painter.drawLine(g.x(cellColumn(cell)), y, g.x(ruleEndColumn(cell)), y);
        } else if (code == QLatin1Char('I')) {
            drawPicture(cell, flags, y);
        }
    }
    y += lh;
    if (flags.contains(QLatin1Char('U')))
        m_painter.drawLine(g.margin, y, g.rightEnd(), y);
}

void RowPainter::drawPicture(const QString &cell, const QString &flags, int y)
{
    const PictureCell pic = pictureCell(cell);
    QImage image;
    // A picture that cannot be read is left out; the rest of the page still prints.
    if (pic.fileName.isEmpty() || !image.load(pic.fileName))
        return;
    const int x = m_geometry.x(pic.column);
    if (m_surface == Surface::Screen) {
        // A sized picture takes as many of the screen's rows and columns as
        // it takes of the printer's, so it fills the room the rows below it
        // leave on paper; without a size it shows at its own.
        const PictureSize size = pictureSize(flags);
        Printer &p = printer();
        const QImage device = measuringDevice(p.dpiX(), p.dpiY());
        const QFontMetrics paper(reportFont(), &device);
        const int paperLine = paper.height(), paperColumn = paper.horizontalAdvance(QLatin1Char('B'));
        if (size.widthInches > 0 && size.heightInches > 0 && paperLine > 0 && paperColumn > 0) {
            const int w = static_cast<int>(size.widthInches * p.dpiX() / paperColumn * m_geometry.charWidth);
            const int h = static_cast<int>(size.heightInches * p.dpiY() / paperLine * m_geometry.lineHeight);
            const int left = pic.align == QLatin1Char('C')   ? x - w / 2
                             : pic.align == QLatin1Char('R') ? x - w
                                                             : x;
            if (w > 0 && h > 0)
                m_painter.drawImage(QRect(left, y, w, h), image);
            return;
        }
        int left = x;
        if (pic.align == QLatin1Char('C'))
            left = x - image.width() / 2;
        else if (pic.align == QLatin1Char('R'))
            left = x - image.width();
        m_painter.drawImage(QPoint(left, y), image);
        return;
    }
    const PictureSize size = pictureSize(flags);
    const int w = static_cast<int>(size.widthInches * dpiX);
    const int h = static_cast<int>(size.heightInches * dpiY);
    if (w <= 0 || h <= 0)
        return;
    int left = x;
    if (pic.align == QLatin1Char('C'))
        left = x - static_cast<int>(size.widthInches * dpiX / 2);
    else if (pic.align == QLatin1Char('R'))
        left = x - w;
    m_painter.drawImage(QRect(left, y, w, h), image);
}

bool printerInstalled()
{
    return printer().name() != QLatin1String("PDF file");
}

QImage measuringDevice(int dpiX, int dpiY)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpiX / 0.0254));
    image.setDotsPerMeterY(qRound(dpiY / 0.0254));
    return image;
}

int linesPerPage()
{
    if (!printerInstalled())
        return 60;
    Printer &p = printer();
    const QImage device = measuringDevice(p.dpiX(), p.dpiY());
    const int lh = QFontMetrics(reportFont(), &device).height();
    if (lh <= 0)
        return 60;
    return p.pageSizePixels().height() / lh - 6;
}

PrintStatus printReport(const ReportDocument &doc, Printer &p)
{
    const QString title = doc.titles.isEmpty() ? QStringLiteral("Report") : doc.titles.first();
    QPainter *painter = p.beginDoc(title);
    if (!painter)
        return PrintStatus::Cancelled;
    const int pageWidth = p.pageSizePixels().width();
    const QFont font =
        fitReportFont(reportFont(), painter->device(), doc.width, pageWidth, smallestPrinterPoints);
    const ReportGeometry g = measureReport(font, painter->device(), doc.width, pageWidth);
    const int top = 3 * g.lineHeight;
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(Qt::black, std::max(1, p.dpiY() / 150)));

    RowPainter rows(*painter, doc, font, g, RowPainter::Surface::Printer);
    rows.dpiX = p.dpiX();
    rows.dpiY = p.dpiY();
    bool pagesOk = true;
    rows.pageBreak = [&]() {
        pagesOk = p.newPage() && pagesOk;
        return top;
    };
    int y = top;
    for (int r = 0; r < doc.rows.size(); ++r)
        rows.paintRow(r, y);
    const bool ended = p.endDoc();
    return ended && pagesOk ? PrintStatus::Printed : PrintStatus::Failed;
}

bool exportReportPdf()
{
    const QString current = QDir::currentPath();
    QString fileName =
        ui().saveFileName(QStringLiteral("Export PDF"), QString(), QStringLiteral("PDF files (*.pdf)"));
    QDir::setCurrent(current);
    if (fileName.isEmpty())
        return false;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");

    // The current printer's sheet in its orientation, with its printable area
    // and resolution, so that fonts, lines per page and page breaks come out
    // as on paper (with no printer installed: the locale's paper, as printing
    // to a PDF file uses).
    const Printer &p = printer();
    PdfPrinter pdf(fileName, p.pageLayout(), std::max(p.dpiX(), 1));
    if (printReport(report(), pdf) != PrintStatus::Printed) {
        ui().information(QStringLiteral("Unable to save to: ") + fileName);
        return false;
    }
    return true;
}

} // namespace tlv
