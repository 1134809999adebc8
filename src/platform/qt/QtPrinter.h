#pragma once
#include "platform/Printer.h"

#include <QPrinter>

class QWidget;

namespace tlv {

// The system's selected printer. When the machine has no printer installed,
// a document goes to a PDF file that the user names when printing starts, on
// the paper of the user's locale (until the page set-up chooses another).
class QtPrinter : public Printer
{
public:
    QtPrinter();
    ~QtPrinter() override;

    bool hasPrinter() const;
    // The printer set-up dialog; false when cancelled.
    bool setupDialog(QWidget *parent);

    QString name() const override;
    bool landscape() const override;
    void setLandscape(bool on) override;
    QPainter *beginDoc(const QString &title) override;
    bool newPage() override;
    bool endDoc() override;
    int dpiX() const override;
    int dpiY() const override;
    QSize pageSizePixels() const override;
    QPoint printableOffset() const override;
    QPageLayout pageLayout() const override;

private:
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
};

} // namespace tlv
