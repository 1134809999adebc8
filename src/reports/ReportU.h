#pragma once
// The report viewer: shows the report document in a maximised window and
// prints or exports it from its menu.
#include "reports/RptUtil.h"

#include <QDialog>
#include <QFont>

class QAction;
class QFrame;
class QMenu;
class QMenuBar;
class QScrollBar;

namespace tlv {

class TReportF;

// The white surface the rows are drawn on; everything left of the scroll bar.
class ReportArea : public QWidget
{
public:
    explicit ReportArea(TReportF *viewer);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    TReportF *m_viewer;
};

class TReportF : public QDialog
{
    Q_OBJECT
public:
    explicit TReportF(QWidget *parent = nullptr);

    // Screen metrics while shown.
    QFont screenFont() const { return m_font; }
    const ReportGeometry &geometry() const { return m_geometry; }
    int visibleRows() const { return m_visibleRows; }
    int firstRow() const { return m_firstRow; }

    // Measures the report for the window's present size: shrinks the font
    // until the report fits (not below 8 points), centres it, counts the
    // visible rows and sets the scroll bar's range.
    void measureScreen();
    // Draws the visible rows.
    void FormPaint(QPainter &painter);

public slots:
    void FormShow();
    void ScrollBar1Change(int position);
    void mExitClick();
    void mPrintClick();
    void AsciiText1Click();
    void TabDelimited1Click();
    void ExportPdf1Click();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class ReportArea;
    QMenuBar *m_menu = nullptr;
    QFrame *m_bevel = nullptr;
    ReportArea *m_area = nullptr;
    QScrollBar *m_scrollBar = nullptr;
    QFont m_font;
    ReportGeometry m_geometry;
    int m_visibleRows = 0;
    int m_firstRow = 0;
};

// Shows the viewer modally when the report document holds any row, then ends
// the report whatever happened: what every report command does after its
// generator has run.
void showReport(QWidget *parent = nullptr);

// Runs a report command of the main window by its name (see reportCommands()):
// opens its tables, asks for its selection, runs its generator, shows the
// viewer, ends the report and closes all tables.
void runReport(const QString &name, QWidget *parent = nullptr);

} // namespace tlv
