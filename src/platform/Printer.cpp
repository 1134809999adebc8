#include "platform/Printer.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace tlv {

namespace {
// Printers leave an unprintable edge; a PDF page has none, but reports are
// laid out to the same rules on both, so the PDF keeps a quarter inch too.
constexpr double edgeInches = 0.25;
} // namespace

PdfPrinter::PdfPrinter(QString fileName, QPageSize pageSize, int resolution)
    : m_fileName(std::move(fileName)), m_pageSize(std::move(pageSize)), m_resolution(resolution)
{}

PdfPrinter::~PdfPrinter()
{
    if (m_painter)
        endDoc();
}

QString PdfPrinter::name() const
{
    return m_fileName.isEmpty() ? QStringLiteral("PDF file") : QFileInfo(m_fileName).fileName();
}

QPainter *PdfPrinter::beginDoc(const QString &title)
{
    if (m_painter || m_fileName.isEmpty())
        return nullptr;
    m_writer = std::make_unique<QPdfWriter>(m_fileName);
    m_writer->setResolution(m_resolution);
    m_writer->setTitle(title);
    m_writer->setCreator(QStringLiteral("Tarlvin Invoicing & Inventory"));
    const QMarginsF margins(edgeInches * 72, edgeInches * 72, edgeInches * 72, edgeInches * 72);
    m_writer->setPageLayout(QPageLayout(m_pageSize,
                                        m_landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                                        QPageLayout::Point));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_writer.get())) {
        m_painter.reset();
        m_writer.reset();
        return nullptr;
    }
    m_pages = 1;
    return m_painter.get();
}

bool PdfPrinter::newPage()
{
    if (!m_writer || !m_writer->newPage())
        return false;
    ++m_pages;
    return true;
}

bool PdfPrinter::endDoc()
{
    if (!m_painter)
        return false;
    const bool ok = m_painter->end();
    m_painter.reset();
    m_writer.reset();
    return ok && QFileInfo(m_fileName).size() > 0;
}

QSize PdfPrinter::pageSizePixels() const
{
    const QSizeF inches = m_pageSize.size(QPageSize::Inch);
    double w = inches.width() - 2 * edgeInches, h = inches.height() - 2 * edgeInches;
    if (m_landscape)
        std::swap(w, h);
    return QSize(static_cast<int>(w * m_resolution), static_cast<int>(h * m_resolution));
}

QPoint PdfPrinter::printableOffset() const
{
    const int edge = static_cast<int>(edgeInches * m_resolution);
    return QPoint(edge, edge);
}

namespace {
PdfPrinter fallbackPrinter;
Printer *current = &fallbackPrinter;
} // namespace

Printer &printer()
{
    return *current;
}

void setPrinter(Printer *p)
{
    current = p ? p : &fallbackPrinter;
}

} // namespace tlv
