#include "platform/Printer.h"

#include <QFileInfo>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace tlv {

namespace {
// Printers leave an unprintable edge; a PDF page has none, but reports are
// laid out to the same rules on both, so the PDF keeps a quarter inch too.
constexpr double edgeInches = 0.25;
} // namespace

QPageSize localePaperSize(const QLocale &locale)
{
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::PuertoRico:
    case QLocale::Mexico:
    case QLocale::Guatemala:
    case QLocale::ElSalvador:
    case QLocale::Nicaragua:
    case QLocale::CostaRica:
    case QLocale::Panama:
    case QLocale::DominicanRepublic:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::Chile:
    case QLocale::Philippines:
        return QPageSize(QPageSize::Letter);
    default:
        break;
    }
    return QPageSize(locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                             : QPageSize::A4);
}

PdfPrinter::PdfPrinter(QString fileName, QPageSize pageSize, int resolution)
    : PdfPrinter(std::move(fileName),
                 QPageLayout(pageSize, QPageLayout::Portrait,
                             QMarginsF(edgeInches * 72, edgeInches * 72, edgeInches * 72, edgeInches * 72),
                             QPageLayout::Point),
                 resolution)
{}

PdfPrinter::PdfPrinter(QString fileName, const QPageLayout &layout, int resolution)
    : m_fileName(std::move(fileName)), m_layout(layout), m_resolution(resolution)
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
    m_writer->setPageLayout(m_layout);
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

bool PdfPrinter::landscape() const
{
    return m_layout.orientation() == QPageLayout::Landscape;
}

void PdfPrinter::setLandscape(bool on)
{
    m_layout.setOrientation(on ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QSize PdfPrinter::pageSizePixels() const
{
    return m_layout.paintRectPixels(m_resolution).size();
}

QPoint PdfPrinter::printableOffset() const
{
    return m_layout.paintRectPixels(m_resolution).topLeft();
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
