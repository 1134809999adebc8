#pragma once
// What the four paged pick lists (TPickCust, TPickProd, TPickInv, TPickPur)
// share: a grid of a heading and ten rows, the scroll bar beside it, the seek
// field and the Select / New / Cancel buttons. The paging itself is
// PagedList (PickList.h); each list adds its table, columns and side display.
#include "picklists/PickList.h"

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTableView;
class QTableWidget;

namespace tlv {

// The width of a grid column in the grid's font: its units of `unit` pixels,
// widened until its heading and each of its widest texts fit between the
// cell's margins, so that nothing the column shows is cut.
int fittedColumnWidth(const QTableView &grid, const PickColumn &column, int unit);

class TPickGrid : public QDialog
{
    Q_OBJECT
public:
    ~TPickGrid() override;

    // Enables "New" (the run operations set it before each showing).
    void setNewAllowed(bool allowed);
    // Cancel, Escape and the close box: nothing chosen (selected record -1).
    void reject() override;

    // For tests and the run operations.
    const PagedList &pager() const { return m_pager; }
    QTableWidget *grid() const { return m_grid; }
    QScrollBar *scrollBar() const { return m_scroll; }
    // The record number of the selected row; 0 when no record row is selected.
    long selectedRecNo() const;

public slots:
    void FormShow();
    void BtnSelectClick();
    void BtnNewClick();
    void BtnCancelClick();
    void StringGrid1DblClick(int row, int column);
    void StringGrid1Click();
    void StringGrid1SelectCell(int row, int column);
    void StringGrid1KeyUp();
    void ScrollBar1Scroll(int action);
    void ScrollBar1Released();
    void Edit1Change();

protected:
    TPickGrid(PickTable table, QWidget *parent);

    // Builds the controls; the seek field and the side display (with their
    // labels) are made by the list. Call from the list's constructor.
    void build(QLineEdit *seekField, const QString &seekLabel, QLineEdit *sideField, const QString &sideLabel,
               const QString &selectCaption, const QString &newCaption);

    // What each list adds.
    virtual GridLayout layout() const = 0;
    virtual void selectOrder() = 0;                    // its tag on its table
    virtual PickRow row(long recNo, bool deleted) = 0; // the current record, read into the buffer
    virtual QString seekKey(const QString &typed) const = 0;
    virtual QString sideText(long recNo); // the side display for a record; null: keep
    // After a fill without the target on screen: row 1 (customers, invoices)
    // or the row selected before (products, purchases).
    virtual bool keepsSelection() const { return false; }

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // Fills the grid from the window offset.
    void fill();
    void moveWindow(long newOffset);
    void showSide(int gridRow);
    void setUpGrid();

    PickTable m_table;
    QLineEdit *m_seek = nullptr;
    QLineEdit *m_side = nullptr;
    QTableWidget *m_grid = nullptr;
    QScrollBar *m_scroll = nullptr;
    QPushButton *m_select = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_cancel = nullptr;

private:
    std::unique_ptr<TableSource> m_source;
    PagedList m_pager;
    std::vector<bool> m_rightAligned; // per column: numbers stand right
    int m_preferRow = 0;              // row to select after a fill that shows no target
    bool m_filling = false;
    bool m_damageTold = false; // the unreadable index was reported in this showing
};

} // namespace tlv
