#include "reports/ReportU.h"

#include "data/TableScope.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "platform/Ui.h"
#include "reports/DateSpanU.h"
#include "reports/RptGen.h"
#include "reports/Selection.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace tlv {

// ---- Report area ------------------------------------------------------------------------

ReportArea::ReportArea(TReportF *viewer) : QWidget(viewer), m_viewer(viewer)
{
    setObjectName(QStringLiteral("ReportArea"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ReportArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_viewer->FormPaint(painter);
}

void ReportArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_viewer->isVisible())
        m_viewer->measureScreen();
}

void ReportArea::wheelEvent(QWheelEvent *event)
{
    QScrollBar *bar = m_viewer->m_scrollBar;
    const int steps = event->angleDelta().y() / 40; // three rows per notch
    if (bar->isEnabled() && steps != 0)
        bar->setValue(bar->value() - steps);
    event->accept();
}

// ---- Viewer -------------------------------------------------------------------------------

TReportF::TReportF(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReportF"));
    setWindowTitle(QStringLiteral("Report"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    m_menu = new QMenuBar(this);
    m_menu->setObjectName(QStringLiteral("MainMenu1"));
    QAction *exitAction = m_menu->addAction(QStringLiteral("E&xit"));
    exitAction->setObjectName(QStringLiteral("mExit"));
    connect(exitAction, &QAction::triggered, this, &TReportF::mExitClick);
    QAction *printAction = m_menu->addAction(QStringLiteral("Print"));
    printAction->setObjectName(QStringLiteral("mPrint"));
    connect(printAction, &QAction::triggered, this, &TReportF::mPrintClick);
    QMenu *exportMenu = m_menu->addMenu(QStringLiteral("&Export"));
    exportMenu->setObjectName(QStringLiteral("mExport"));
    QAction *ascii = exportMenu->addAction(QStringLiteral("Ascii &Text"));
    ascii->setObjectName(QStringLiteral("AsciiText1"));
    connect(ascii, &QAction::triggered, this, &TReportF::AsciiText1Click);
    QAction *tabbed = exportMenu->addAction(QStringLiteral("Tab &Delimited"));
    tabbed->setObjectName(QStringLiteral("TabDelimited1"));
    connect(tabbed, &QAction::triggered, this, &TReportF::TabDelimited1Click);
    QAction *pdf = exportMenu->addAction(QStringLiteral("Export &PDF"));
    pdf->setObjectName(QStringLiteral("ExportPdf1"));
    connect(pdf, &QAction::triggered, this, &TReportF::ExportPdf1Click);

    m_bevel = new QFrame;
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setFrameShape(QFrame::HLine);
    m_bevel->setFrameShadow(QFrame::Sunken);
    m_bevel->setFixedHeight(1);

    m_area = new ReportArea(this);
    m_scrollBar = new QScrollBar(Qt::Vertical);
    m_scrollBar->setObjectName(QStringLiteral("ScrollBar1"));
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &TReportF::ScrollBar1Change);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(m_area, 1);
    body->addWidget(m_scrollBar);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menu);
    layout->addWidget(m_bevel);
    layout->addLayout(body, 1);
    resize(800, 600);
}

void TReportF::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TReportF::FormShow()
{
    // Without a window manager to maximise it, take the screen's size anyway.
    if (QScreen *s = screen(); s && !(windowState() & Qt::WindowMaximized))
        setGeometry(s->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    m_firstRow = 0;
    m_scrollBar->setValue(0);
    measureScreen();
}

void TReportF::measureScreen()
{
    const ReportDocument &doc = report();
    const int available = m_area->width(); // the client width less the scroll bar
    m_font = fitReportFont(reportFont(), m_area, doc.width, available, smallestScreenPoints);
    m_area->setFont(m_font);
    m_geometry = measureReport(m_font, m_area, doc.width, available);
    m_visibleRows = m_geometry.lineHeight > 0 ? m_area->height() / m_geometry.lineHeight : 0;

    const int rows = int(doc.rows.size());
    const QSignalBlocker block(m_scrollBar);
    if (m_visibleRows < rows) {
        m_scrollBar->setEnabled(true);
        m_scrollBar->setRange(0, rows - m_visibleRows);
        m_scrollBar->setPageStep(std::max(m_visibleRows - 1, 1));
        m_scrollBar->setSingleStep(1);
    } else {
        m_scrollBar->setRange(0, 0);
        m_scrollBar->setEnabled(false);
    }
    m_firstRow = m_scrollBar->value();
    m_area->update();
}

void TReportF::FormPaint(QPainter &painter)
{
    const ReportDocument &doc = report();
    painter.fillRect(QRect(0, 0, m_geometry.availableWidth, m_area->height()), Qt::white);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    RowPainter rows(painter, doc, m_font, m_geometry, RowPainter::Surface::Screen);
    const int last = std::min(m_firstRow + m_visibleRows - 1, doc.lastRow());
    int y = 0;
    for (int r = m_firstRow; r <= last; ++r)
        rows.paintRow(r, y);
}

void TReportF::ScrollBar1Change(int position)
{
    m_firstRow = position;
    m_area->update();
}

void TReportF::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Down:
        m_scrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return;
    case Qt::Key_Up:
        m_scrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return;
    case Qt::Key_PageDown:
        m_scrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        return;
    case Qt::Key_PageUp:
        m_scrollBar->triggerAction(QAbstractSlider::SliderPageStepSub);
        return;
    case Qt::Key_Home:
        m_scrollBar->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    case Qt::Key_End:
        m_scrollBar->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TReportF::mExitClick()
{
    accept();
}

void TReportF::mPrintClick()
{
    if (printReport(report(), printer()) == PrintStatus::Failed)
        ui().information(QStringLiteral("Unable to print the report."));
}

void TReportF::AsciiText1Click()
{
    exportReportText(false);
}

void TReportF::TabDelimited1Click()
{
    exportReportText(true);
}

void TReportF::ExportPdf1Click()
{
    exportReportPdf();
}

void showReport(QWidget *parent)
{
    if (report().lastRow() >= 0) {
        TReportF viewer(parent ? parent : QApplication::activeWindow());
        viewer.exec();
    }
    report().endReport();
}

void runReport(const QString &name, QWidget *parent)
{
    const ReportCommand *command = findReportCommand(name);
    if (!command)
        return;
    TableScope scope;
    openReportTables(*command);
    if (command->question == ReportQuestion::MonthSpan) {
        defaultMonth();
        if (!askDateSpan(parent))
            return;
    } else if (command->question == ReportQuestion::AsOfDate) {
        selection().startDate = clock().today();
        if (!askSingleDate(QStringLiteral("Inventory as Of:"), parent))
            return;
    }
    command->generate();
    showReport(parent);
}

} // namespace tlv
