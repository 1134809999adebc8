#include "labels/LabelGen.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "data/Money.h"
#include "platform/Printer.h"
#include "platform/Progress.h"
#include "platform/Ui.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <functional>

namespace tlv {

int pointsToPixels(double points, int dpi)
{
    return static_cast<int>(points * dpi / 72);
}

int rowsPerPageOf(int pageHeight, int top, int bottom, int labelHeight, int vGap)
{
    const int room = pageHeight - top - bottom;
    const int pitch = labelHeight + vGap;
    if (pitch <= 0)
        return 0;
    int rows = room / pitch;
    // The gap is only needed between rows: one more label may fit in the
    // last gap's place.
    if (room >= pitch * rows + labelHeight)
        ++rows;
    return std::max(rows, 0);
}

LabelMetrics labelMetrics(const LabelRecord &stock, int dpiX, int dpiY, QPoint offset, QSize physical,
                          QSize printable)
{
    LabelMetrics m;
    m.top = pointsToPixels(stock.TopM, dpiY);
    m.bottom = pointsToPixels(stock.BottomM, dpiY);
    m.height = pointsToPixels(stock.Height, dpiY);
    m.vGap = pointsToPixels(stock.VGap, dpiY);
    m.left = pointsToPixels(stock.LeftM, dpiX);
    m.right = pointsToPixels(stock.RightM, dpiX);
    m.width = pointsToPixels(stock.Width, dpiX);
    m.hGap = pointsToPixels(stock.HGap, dpiX);

    // The stock measures its margins from the sheet's edges; the printer
    // draws from the printable area's corner.
    const int offX = offset.x(), offY = offset.y();
    const int edgeBottom = physical.height() - offY - printable.height();
    const int edgeRight = physical.width() - offX - printable.width();
    m.top = m.top < offY ? 0 : m.top - offY;
    m.left = m.left < offX ? 0 : m.left - offX;
    m.bottom = m.bottom < edgeBottom ? 0 : m.bottom - edgeBottom;
    m.right = m.right < edgeRight ? 0 : m.right - edgeRight;
    m.rowsPerPage = rowsPerPageOf(printable.height(), m.top, m.bottom, m.height, m.vGap);
    return m;
}

QFont fitLabelFont(QFont font, const QPaintDevice *device, int labelWidth, int labelHeight)
{
    auto points = [&] { return font.pointSizeF() > 0 ? font.pointSizeF() : 0.0; };
    if (font.pointSizeF() <= 0) {
        // A font given in pixels: measure it in points on this device.
        const QFontInfo info(font);
        font.setPointSizeF(info.pointSizeF());
    }
    auto shrink = [&](const std::function<bool()> &tooBig) {
        while (tooBig() && points() - 1 >= smallestLabelPoints)
            font.setPointSizeF(points() - 1);
    };
    shrink([&] {
        return labelWidth < 5 * QFontMetrics(font, device).horizontalAdvance(QStringLiteral("Abcde"));
    });
    shrink([&] { return labelHeight < linesPerLabel * QFontMetrics(font, device).height(); });
    return font;
}

// ---- The row buffer and the print job ----------------------------------------------

LabelSheet::LabelSheet(const LabelRecord &stock, int startColumn, int startRow, const QFont &font,
                       Printer &printer)
    : m_stock(stock), m_across(std::max(stock.NAcross, 1)), m_column(std::clamp(startColumn, 1, m_across)),
      m_row(std::max(startRow, 1)), m_font(font), m_printer(printer)
{
    for (int i = 0; i < m_across; ++i)
        m_buffer << QStringList(linesPerLabel);
}

LabelSheet::~LabelSheet()
{
    if (m_ready && m_painter)
        m_printer.endDoc();
}

bool LabelSheet::addLabel(const QStringList &lines)
{
    QStringList &label = m_buffer[m_column - 1];
    for (int i = 0; i < linesPerLabel; ++i)
        label[i] = lines.value(i);
    m_added = true;
    if (m_column < m_across) {
        ++m_column;
        m_pending = true;
        return true;
    }
    printRow();
    for (QStringList &l : m_buffer)
        l = QStringList(linesPerLabel);
    m_column = 1;
    ++m_row;
    m_pending = false;
    return false;
}

bool LabelSheet::prepare()
{
    m_painter = m_printer.beginDoc(QStringLiteral("Labels"));
    if (!m_painter) {
        m_stopped = true;
        return false;
    }
    m_page = 1;
    const int dpiX = m_printer.dpiX(), dpiY = m_printer.dpiY();
    const QPageLayout layout = m_printer.pageLayout();
    m_metrics = labelMetrics(m_stock, dpiX, dpiY, m_printer.printableOffset(),
                             layout.fullRectPixels(dpiX).size(), m_printer.pageSizePixels());
    m_sheetHeight = layout.fullRectPixels(dpiY).height();
    m_pageHeight = m_printer.pageSizePixels().height();
    m_font = fitLabelFont(m_font, m_painter->device(), m_metrics.width, m_metrics.height);
    m_painter->setFont(m_font);
    m_painter->setPen(QPen(Qt::black, std::max(1, dpiY / 150)));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->setBackgroundMode(Qt::TransparentMode);
    m_ready = true;
    return true;
}

void LabelSheet::printRow()
{
    if (m_stopped || (!m_ready && !prepare()))
        return;
    if (!m_stock.Continuous && m_row > m_metrics.rowsPerPage) {
        m_pagesOk = m_printer.newPage() && m_pagesOk;
        ++m_page;
        m_row = 1;
    }
    const QFontMetrics fm(m_font, m_painter->device());
    const int lineHeight = fm.height();
    int y = (m_row - 1) * (m_metrics.height + m_metrics.vGap) + m_metrics.top;
    if (m_stock.Continuous && m_sheetHeight > 0) {
        // A pin-feed form runs on past what the printer counts as a page:
        // the rows keep their pitch across the fold, on the printer's next
        // page, instead of being drawn off its end and lost.
        while (y - (m_page - 1) * m_sheetHeight >= m_pageHeight) {
            m_pagesOk = m_printer.newPage() && m_pagesOk;
            ++m_page;
        }
        y -= (m_page - 1) * m_sheetHeight;
    }
    for (int line = 0; line < linesPerLabel; ++line) {
        for (int j = 0; j < m_across; ++j) {
            const QString text = m_buffer[j][line];
            if (text.isEmpty())
                continue;
            const int x = j * (m_metrics.width + m_metrics.hGap) + m_metrics.left;
            m_painter->drawText(QPoint(x, y + fm.ascent()), text);
            m_placed.append({m_page, x, y, text});
        }
        y += lineHeight;
    }
}

bool LabelSheet::finish()
{
    if (m_pending)
        printRow();
    m_pending = false;
    if (!m_added || !m_ready)
        return !m_stopped;
    m_ready = false;
    m_painter = nullptr;
    return m_printer.endDoc() && m_pagesOk;
}

bool LabelSheet::printOutlines()
{
    if (!prepare())
        return false;
    const LabelMetrics &m = m_metrics;
    const QFontMetrics fm(m_font, m_painter->device());
    // A continuous form has no page length of its own: one page of it.
    const int rows = std::max(m.rowsPerPage, 1);
    int number = 0;
    for (int r = 0; r < rows; ++r) {
        const int y = r * (m.height + m.vGap) + m.top;
        for (int j = 0; j < m_across; ++j) {
            const int x = j * (m.width + m.hGap) + m.left;
            m_painter->drawRect(QRect(x, y, m.width, m.height));
            const QString text = QString::number(++number);
            m_painter->drawText(QPoint(x + (m.width - fm.horizontalAdvance(text)) / 2,
                                       y + (m.height - fm.height()) / 2 + fm.ascent()),
                                text);
            m_placed.append({m_page, x, y, text});
        }
    }
    m_ready = false;
    m_painter = nullptr;
    return m_printer.endDoc();
}

// ---- The batches -------------------------------------------------------------------

bool labelStockDefined()
{
    auto &labels = db().labels;
    if (labels.recCount() > 0)
        return true;
    ui().information(QLatin1String(noLabelStockMessage));
    return false;
}

bool labelStockNamed(const QString &name, LabelRecord &stock)
{
    auto &labels = db().labels;
    labels.useTag(tag::Labels);
    if (labels.top() != 0)
        return false;
    labels.read();
    stock = labels.buf;
    for (int r = 0; r == 0; r = labels.skip()) {
        labels.read();
        if (labels.buf.Name.trimmed() == name.trimmed()) {
            stock = labels.buf;
            break;
        }
    }
    return true;
}

namespace {

// Finds customer `number` by tag CCNO and reads it; a customer marked
// deleted gets no label.
bool findCustomer(int number)
{
    auto &cust = db().cust5;
    cust.useTag(tag::CCNO);
    for (int r = cust.seek(paddedNumber(number, 6)); r == 0 && !cust.eof(); r = cust.skip()) {
        cust.read();
        if (cust.buf.cuno != number)
            return false;
        if (!cust.isDeleted())
            return true;
    }
    return false;
}

bool dueNotZero(const InvoiceRecord &inv)
{
    return !Hundredths::of(inv.Due).isZero();
}

class Batch
{
public:
    Batch(LabelSheet &sheet) : m_sheet(sheet) {}
    // The current customer's label; false once the printer has stopped.
    bool label()
    {
        m_sheet.addLabel(buildAddressBlock(db().cust5.buf));
        return !m_sheet.stopped();
    }

private:
    LabelSheet &m_sheet;
};

struct StatusCaption
{
    explicit StatusCaption(const char *caption) { progress().showStatus(QLatin1String(caption)); }
    ~StatusCaption()
    {
        progress().showProgress(100);
        progress().showStatus(QString());
    }
};

bool selectedCustomers(Batch &batch, const LabelRequest &request)
{
    auto &cust = db().cust5;
    while (request.nextPick) {
        const long recNo = request.nextPick();
        if (recNo <= 0)
            break;
        if (cust.go(recNo) != 0 || cust.isDeleted())
            continue;
        cust.read();
        if (!batch.label())
            break;
    }
    return true;
}

bool invoicesDated(Batch &batch, const LabelRequest &request, bool pastDue)
{
    StatusCaption caption(pastDue ? "Processing Billing Labels" : "Processing Invoice Labels");
    auto &inv = db().inv6;
    inv.useTag(tag::InvD);
    const QDate start = request.startDate, end = request.endDate;
    const long days = start.daysTo(end) + 1;
    const long records = inv.recCount();
    long read = 0;
    // The invoices before the span are passed over by the date tag.
    for (int r = inv.seek(dateToText(start)); r != r4eof && !inv.eof(); r = inv.skip()) {
        inv.read();
        if (inv.buf.IDate.isValid() && inv.buf.IDate > end)
            break;
        ++read;
        progress().showProgress(pastDue ? percentOf(read, records)
                                        : (days > 0 ? int(start.daysTo(inv.buf.IDate) * 100 / days) : 0));
        if (inv.isDeleted() || !inv.buf.IDate.isValid() || inv.buf.IDate < start)
            continue;
        if (pastDue && !dueNotZero(inv.buf))
            continue;
        if (findCustomer(inv.buf.CuNo) && !batch.label())
            break;
    }
    return true;
}

// Every customer not marked deleted, in postal-code order, read into the
// buffer with the progress shown, until `label` returns false.
void eachCustomerByZip(const std::function<bool()> &label)
{
    auto &cust = db().cust5;
    cust.useTag(tag::CZip);
    const long records = cust.recCount();
    long done = 0;
    for (int r = cust.top(); r == 0 && !cust.eof(); r = cust.skip()) {
        progress().showProgress(percentOf(++done, records));
        if (cust.isDeleted())
            continue;
        cust.read();
        if (!label())
            break;
    }
}

bool balanceDueStatements(Batch &batch, const LabelRequest &request)
{
    StatusCaption caption("Processing Statement Labels");
    auto &inv = db().inv6;
    inv.useTag(tag::InvC);
    eachCustomerByZip([&] {
        const int number = db().cust5.buf.cuno;
        bool owes = false;
        for (int s = inv.seek(paddedNumber(number, 6)); s == 0 && !inv.eof() && !owes; s = inv.skip()) {
            inv.read();
            if (inv.buf.CuNo != number)
                break;
            owes = !inv.isDeleted() && inv.buf.IDate.isValid() && inv.buf.IDate >= request.startDate &&
                   inv.buf.IDate <= request.endDate && dueNotZero(inv.buf);
        }
        return !owes || batch.label();
    });
    return true;
}

bool customerGroups(Batch &batch, const LabelRequest &request)
{
    StatusCaption caption("Processing Customers");
    eachCustomerByZip([&] { return !request.groups.contains(db().cust5.buf.ngroup) || batch.label(); });
    return true;
}

bool batchFile(Batch &batch)
{
    QFile file(QString::fromLatin1(batchLabelFile));
    if (!file.open(QIODevice::ReadOnly)) {
        ui().information(
            QStringLiteral("Unable to read %1: %2").arg(QLatin1String(batchLabelFile), file.errorString()));
        return false;
    }
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (file.error() != QFileDevice::NoError) {
            ui().information(QStringLiteral("Unable to read %1: %2")
                                 .arg(QLatin1String(batchLabelFile), file.errorString()));
            return false;
        }
        bool ok = false;
        const int number = QString::fromLatin1(line).trimmed().toInt(&ok);
        if (ok && findCustomer(number) && !batch.label())
            break;
    }
    return true;
}

} // namespace

LabelOutcome printLabels(LabelBatch kind, const LabelRequest &request, const LabelRecord &stock,
                         int startColumn, int startRow, const QFont &font, Printer &printer)
{
    Db &d = db();
    d.cust5.open();
    if (kind == LabelBatch::InvoicesDated || kind == LabelBatch::PastDueBilling ||
        kind == LabelBatch::BalanceDueStatements)
        d.inv6.open();
    LabelSheet sheet(stock, startColumn, startRow, font, printer);
    Batch batch(sheet);
    bool read = true;
    switch (kind) {
    case LabelBatch::SelectedCustomers:
        read = selectedCustomers(batch, request);
        break;
    case LabelBatch::InvoicesDated:
        read = invoicesDated(batch, request, false);
        break;
    case LabelBatch::PastDueBilling:
        read = invoicesDated(batch, request, true);
        break;
    case LabelBatch::BalanceDueStatements:
        read = balanceDueStatements(batch, request);
        break;
    case LabelBatch::CustomerGroups:
        read = customerGroups(batch, request);
        break;
    case LabelBatch::BatchFile:
        read = batchFile(batch);
        break;
    }
    const bool written = sheet.finish();
    if (sheet.stopped())
        return LabelOutcome::Cancelled;
    if (!written)
        return LabelOutcome::Failed;
    if (!read)
        return sheet.labelsAdded() ? LabelOutcome::Printed : LabelOutcome::FileError;
    return sheet.labelsAdded() ? LabelOutcome::Printed : LabelOutcome::NothingPrinted;
}

LabelOutcome printAlignmentTest(const LabelRecord &stock, const QFont &font, Printer &printer)
{
    LabelSheet sheet(stock, 1, 1, font, printer);
    const bool written = sheet.printOutlines();
    if (sheet.stopped())
        return LabelOutcome::Cancelled;
    return written ? LabelOutcome::Printed : LabelOutcome::Failed;
}

} // namespace tlv
