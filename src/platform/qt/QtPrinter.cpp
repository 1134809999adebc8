#include "platform/qt/QtPrinter.h"

#include "platform/Ui.h"

#include <QLocale>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>

namespace tlv {

QtPrinter::QtPrinter() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    if (!hasPrinter()) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setPageSize(localePaperSize(QLocale()));
    }
}

QtPrinter::~QtPrinter()
{
    if (m_painter)
        m_painter->end();
}

bool QtPrinter::hasPrinter() const
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool QtPrinter::setupDialog(QWidget *parent)
{
    if (!hasPrinter()) {
        QPageSetupDialog dialog(m_printer.get(), parent);
        return dialog.exec() == QDialog::Accepted;
    }
    QPrintDialog dialog(m_printer.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    return dialog.exec() == QDialog::Accepted;
}

QString QtPrinter::name() const
{
    if (!hasPrinter())
        return QStringLiteral("PDF file");
    const QString n = m_printer->printerName();
    return n.isEmpty() ? QPrinterInfo::defaultPrinterName() : n;
}

bool QtPrinter::landscape() const
{
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape;
}

void QtPrinter::setLandscape(bool on)
{
    m_printer->setPageOrientation(on ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QPainter *QtPrinter::beginDoc(const QString &title)
{
    if (m_painter)
        return nullptr;
    if (!hasPrinter()) {
        const QString file =
            ui().saveFileName(QStringLiteral("Print to PDF File"), title + QStringLiteral(".pdf"),
                              QStringLiteral("PDF files (*.pdf)"));
        if (file.isEmpty())
            return nullptr;
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(file);
    }
    m_printer->setDocName(title);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_painter.reset();
        return nullptr;
    }
    return m_painter.get();
}

bool QtPrinter::newPage()
{
    return m_painter && m_printer->newPage();
}

bool QtPrinter::endDoc()
{
    if (!m_painter)
        return false;
    const bool ok = m_painter->end();
    m_painter.reset();
    return ok;
}

int QtPrinter::dpiX() const
{
    return m_printer->logicalDpiX();
}
int QtPrinter::dpiY() const
{
    return m_printer->logicalDpiY();
}

QSize QtPrinter::pageSizePixels() const
{
    return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).size();
}

QPoint QtPrinter::printableOffset() const
{
    return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).topLeft();
}

QPageLayout QtPrinter::pageLayout() const
{
    return m_printer->pageLayout();
}

} // namespace tlv
