#pragma once
// The selected printer, behind a seam: reports and labels draw on whatever
// printer() gives them; tests and machines without a printer get PDF files.
#include <QPageLayout>
#include <QPageSize>
#include <QPoint>
#include <QSize>
#include <QString>
#include <memory>

class QLocale;
class QPainter;
class QPdfWriter;

namespace tlv {

class Printer
{
public:
    virtual ~Printer() = default;

    // The printer's name as the main window shows it.
    virtual QString name() const = 0;
    virtual bool landscape() const = 0;
    virtual void setLandscape(bool on) = 0;

    // Starts a document; returns the painter to draw the first page with, or
    // null when the user cancelled or the output could not be opened.
    virtual QPainter *beginDoc(const QString &title) = 0;
    virtual bool newPage() = 0;
    // Ends the document; false when the output could not be written.
    virtual bool endDoc() = 0;

    // Device metrics of the selected printer.
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    // The printable area in device pixels.
    virtual QSize pageSizePixels() const = 0;
    // Where the printable area starts, from the sheet's top-left corner, in device pixels.
    virtual QPoint printableOffset() const = 0;
    // The sheet in its orientation, with the unprintable edges as margins.
    virtual QPageLayout pageLayout() const = 0;
};

// The paper printers take where nothing else says: Letter in the United
// States, Canada and the other countries that use it, A4 everywhere else.
QPageSize localePaperSize(const QLocale &locale);

// Prints to a PDF file: what tests use, and what the program falls back to
// when no printer is installed.
class PdfPrinter : public Printer
{
public:
    explicit PdfPrinter(QString fileName = {}, QPageSize pageSize = QPageSize(QPageSize::Letter),
                        int resolution = 300);
    // The sheet, orientation and unprintable edges of another printer.
    PdfPrinter(QString fileName, const QPageLayout &layout, int resolution);
    ~PdfPrinter() override;

    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }
    int pagesPrinted() const { return m_pages; }

    QString name() const override;
    bool landscape() const override;
    void setLandscape(bool on) override;
    QPainter *beginDoc(const QString &title) override;
    bool newPage() override;
    bool endDoc() override;
    int dpiX() const override { return m_resolution; }
    int dpiY() const override { return m_resolution; }
    QSize pageSizePixels() const override;
    QPoint printableOffset() const override;
    QPageLayout pageLayout() const override { return m_layout; }

private:
    QString m_fileName;
    QPageLayout m_layout;
    int m_resolution;
    int m_pages = 0;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
};

Printer &printer();
// Installs a printer (null restores a PDF printer with no file). The caller keeps ownership.
void setPrinter(Printer *p);

} // namespace tlv
