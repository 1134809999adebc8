#include "picklists/PickGridU.h"
#include "data/xbase/xbase.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace tlv {

int fittedColumnWidth(const QTableView &grid, const PickColumn &column, int unit)
{
    // A cell's text keeps the style's focus-frame margin and a pixel on either
    // side, and the grid line takes a pixel of the column.
    const QStyle *style = grid.style();
    const int cellMargins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1) +
                            (grid.showGrid() ? 1 : 0);
    const QFontMetricsF cell(grid.font());
    int width = column.units * unit;
    for (const QString &text : column.widest)
        width = std::max(width, int(std::ceil(cell.horizontalAdvance(text))) + cellMargins);
    const QHeaderView *header = grid.horizontalHeader();
    const int headingMargins = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QFontMetricsF heading(header->font());
    return std::max(width, int(std::ceil(heading.horizontalAdvance(QString::fromLatin1(column.caption)))) +
                               headingMargins);
}

TPickGrid::TPickGrid(PickTable table, QWidget *parent) : QDialog(parent), m_table(table) {}

TPickGrid::~TPickGrid() = default;

void TPickGrid::build(QLineEdit *seekField, const QString &seekLabel, QLineEdit *sideField,
                      const QString &sideLabel, const QString &selectCaption, const QString &newCaption)
{
    const GridLayout l = layout();
    setWindowTitle(QString::fromLatin1(l.caption));

    m_seek = seekField;
    auto *seekRow = new QHBoxLayout;
    auto *seekCaption = new QLabel(seekLabel);
    seekCaption->setBuddy(m_seek);
    seekRow->addWidget(seekCaption);
    seekRow->addWidget(m_seek);
    seekRow->addStretch(1);
    connect(m_seek, &QLineEdit::textChanged, this, &TPickGrid::Edit1Change);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_grid->setWordWrap(false);
    m_grid->setTabKeyNavigation(false);
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TPickGrid::StringGrid1DblClick);
    connect(m_grid, &QTableWidget::cellClicked, this, [this] { StringGrid1Click(); });
    connect(m_grid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { StringGrid1SelectCell(row, column); });

    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setObjectName(QStringLiteral("ScrollBar1"));
    // Positions are percentages of the maximum offset.
    m_scroll->setRange(0, 100);
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(10);
    // Dragging the thumb changes nothing until it is released.
    m_scroll->setTracking(false);
    connect(m_scroll, &QScrollBar::actionTriggered, this, &TPickGrid::ScrollBar1Scroll);
    connect(m_scroll, &QScrollBar::sliderReleased, this, &TPickGrid::ScrollBar1Released);

    auto *gridRow = new QHBoxLayout;
    gridRow->setSpacing(0);
    gridRow->addWidget(m_grid);
    gridRow->addWidget(m_scroll);
    gridRow->addStretch(1);

    m_side = sideField;
    QHBoxLayout *sideRow = nullptr;
    if (m_side) {
        m_side->setReadOnly(true);
        m_side->setFocusPolicy(Qt::NoFocus);
        sideRow = new QHBoxLayout;
        auto *sideCaption = new QLabel(sideLabel);
        sideRow->addWidget(sideCaption);
        sideRow->addWidget(m_side, 1);
    }

    m_select = new QPushButton(selectCaption);
    m_select->setObjectName(QStringLiteral("BtnSelect"));
    m_select->setDefault(true);
    m_new = new QPushButton(newCaption);
    m_new->setObjectName(QStringLiteral("BtnNew"));
    m_new->setAutoDefault(false);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("BtnCancel"));
    m_cancel->setAutoDefault(false);
    connect(m_select, &QPushButton::clicked, this, &TPickGrid::BtnSelectClick);
    connect(m_new, &QPushButton::clicked, this, &TPickGrid::BtnNewClick);
    connect(m_cancel, &QPushButton::clicked, this, &TPickGrid::BtnCancelClick);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_select);
    buttons->addWidget(m_new);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);

    auto *main = new QVBoxLayout(this);
    // The window reaches past the scroll bar by the list's widening.
    const QMargins m = main->contentsMargins();
    main->setContentsMargins(m.left(), m.top(), l.widening, m.bottom());
    main->addLayout(seekRow);
    main->addLayout(gridRow);
    if (sideRow)
        main->addLayout(sideRow);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setUpGrid();
}

void TPickGrid::setUpGrid()
{
    const GridLayout l = layout();
    setWindowTitle(QString::fromLatin1(l.caption));
    const QFontMetrics fm(font());
    const int u = fm.horizontalAdvance(QLatin1Char(l.unitLetter));
    m_grid->setColumnCount(int(l.columns.size()));
    QStringList captions;
    for (const PickColumn &c : l.columns)
        captions << QString::fromLatin1(c.caption);
    m_grid->setHorizontalHeaderLabels(captions);
    // Every column but the record number is in sight.
    int visibleWidth = 0;
    m_rightAligned.clear();
    for (int i = 0; i < int(l.columns.size()); ++i) {
        const PickColumn &c = l.columns[size_t(i)];
        const int width = fittedColumnWidth(*m_grid, c, u);
        m_grid->setColumnWidth(i, width);
        if (i + 1 < int(l.columns.size()))
            visibleWidth += width;
        m_rightAligned.push_back(c.number);
    }

    // A heading row and ten record rows, plus a pixel per row.
    const int rowHeight = fm.height() + 6;
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_grid->horizontalHeader()->setFixedHeight(rowHeight);
    const int frame = 2 * m_grid->frameWidth();
    const int clientHeight = 11 * rowHeight + 11;
    const int height = clientHeight + frame + m_grid->horizontalScrollBar()->sizeHint().height();
    m_grid->setFixedSize(std::max(l.gridUnits * u, visibleWidth) + frame, height);
    m_scroll->setFixedHeight(height);
}

void TPickGrid::setNewAllowed(bool allowed)
{
    m_new->setEnabled(allowed);
}

long TPickGrid::selectedRecNo() const
{
    const int row = m_grid->currentRow();
    if (row < 0 || row >= m_grid->rowCount() || !m_grid->isEnabled())
        return 0;
    const QTableWidgetItem *item = m_grid->item(row, m_grid->columnCount() - 1);
    return item ? item->text().toLong() : 0;
}

void TPickGrid::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPickGrid::FormShow()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setUpGrid();
    m_scroll->setValue(0);
    m_scroll->setVisible(true);
    {
        const QSignalBlocker quiet(m_seek);
        m_seek->clear();
    }
    if (m_side)
        m_side->clear();

    Table &t = pickTable(m_table);
    selectOrder();
    m_source =
        std::make_unique<TableSource>(t, [this](long recNo, bool deleted) { return row(recNo, deleted); });
    m_pager.setSource(*m_source);
    m_preferRow = 0;

    db().takeErrorCode(); // what the engine reports from here on is this list's
    m_damageTold = false;
    int &selected = selectedRecord(m_table);
    if (m_pager.start(selected)) {
        selected = -1; // closing without a button cancels
    } else {
        m_scroll->setVisible(false);
    }

    {
        const QSignalBlocker quiet(m_grid);
        m_grid->clearContents();
        m_grid->setRowCount(0);
    }
    if (t.recCount() > 0) {
        m_select->setEnabled(true);
        m_grid->setEnabled(true);
        m_grid->setRowCount(PagedList::pageRows);
        m_grid->setCurrentCell(0, 0);
        fill();
        m_seek->setFocus();
    } else {
        m_select->setEnabled(false);
        m_grid->setEnabled(false);
    }
    m_grid->horizontalScrollBar()->setValue(0);
    QApplication::restoreOverrideCursor();
}

void TPickGrid::fill()
{
    m_filling = true;
    const int previousRow = m_grid->currentRow();
    const PagedList::Page page = m_pager.fill();
    // A damaged index page ends the walk early: the list would look short or
    // empty with nothing said, so the user is told once and how to repair.
    if (db().takeErrorCode() < 0 && !m_damageTold) {
        m_damageTold = true;
        ui().information(QStringLiteral("The list may be incomplete: its index file %1.ntx cannot be read.\n")
                             .arg(pickTable(m_table).selectedTag()) +
                         engineReason(e4index));
    }
    const int columns = m_grid->columnCount();
    {
        const QSignalBlocker quiet(m_grid);
        for (int r = 0; r < PagedList::pageRows; ++r) {
            const bool hasRecord = r < int(page.rows.size());
            for (int c = 0; c < columns; ++c) {
                QString text;
                if (hasRecord && c < page.rows[size_t(r)].cells.size())
                    text = page.rows[size_t(r)].cells.at(c);
                auto *item = new QTableWidgetItem(text);
                if (size_t(c) < m_rightAligned.size() && m_rightAligned[size_t(c)])
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                // Rows without a record cannot be selected.
                item->setFlags(hasRecord ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
                m_grid->setItem(r, c, item);
            }
        }
    }
    int row = page.targetRow;
    if (row < 0)
        row = keepsSelection() && previousRow >= 0 ? previousRow : m_preferRow;
    row = std::clamp(row, 0, std::max(0, int(page.rows.size()) - 1));
    const int column = std::max(0, m_grid->currentColumn());
    m_grid->setCurrentCell(row, column);
    m_grid->selectRow(row);
    m_preferRow = 0;
    {
        const QSignalBlocker quiet(m_scroll);
        m_scroll->setSliderPosition(page.scrollPosition);
        m_scroll->setValue(page.scrollPosition);
    }
    m_filling = false;
    showSide(row);
}

void TPickGrid::moveWindow(long newOffset)
{
    if (m_pager.moveTo(newOffset))
        fill();
    m_preferRow = 0;
}

QString TPickGrid::sideText(long)
{
    return QString();
}

void TPickGrid::showSide(int gridRow)
{
    if (!m_side || gridRow < 0 || gridRow >= m_grid->rowCount())
        return;
    const QTableWidgetItem *item = m_grid->item(gridRow, m_grid->columnCount() - 1);
    const long recNo = item ? item->text().toLong() : 0;
    if (recNo <= 0)
        return;
    const QString text = sideText(recNo);
    if (!text.isNull())
        m_side->setText(text);
}

// ---- Choosing ---------------------------------------------------------------------------

void TPickGrid::BtnSelectClick()
{
    const long recNo = selectedRecNo();
    if (recNo <= 0)
        return;
    selectedRecord(m_table) = int(recNo);
    accept();
}

void TPickGrid::BtnNewClick()
{
    selectedRecord(m_table) = 0;
    accept();
}

void TPickGrid::BtnCancelClick()
{
    reject();
}

void TPickGrid::reject()
{
    // Cancel, Escape and the window's close box all mean: nothing chosen.
    selectedRecord(m_table) = -1;
    QDialog::reject();
}

void TPickGrid::StringGrid1DblClick(int row, int)
{
    if (row >= 0 && row == m_grid->currentRow())
        BtnSelectClick();
}

void TPickGrid::StringGrid1Click()
{
    // Clicking a cell of a column cut off at the right scrolls the grid
    // sideways; put it back on its first column once the click is done.
    m_grid->horizontalScrollBar()->setValue(0);
    QTimer::singleShot(0, m_grid, [grid = m_grid] { grid->horizontalScrollBar()->setValue(0); });
}

void TPickGrid::StringGrid1SelectCell(int row, int)
{
    if (!m_filling)
        showSide(row);
}

void TPickGrid::StringGrid1KeyUp()
{
    showSide(m_grid->currentRow());
}

// ---- Moving the window ----------------------------------------------------------------

void TPickGrid::ScrollBar1Scroll(int action)
{
    const long w = m_pager.window();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        moveWindow(w - 1);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        moveWindow(w + 1);
        break;
    case QAbstractSlider::SliderPageStepSub:
        moveWindow(w - PagedList::pageRows);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        moveWindow(w + PagedList::pageRows);
        break;
    case QAbstractSlider::SliderToMinimum:
        moveWindow(0);
        break;
    case QAbstractSlider::SliderToMaximum:
        moveWindow(m_pager.maxOffset());
        break;
    case QAbstractSlider::SliderMove:
        if (m_scroll->isSliderDown())
            return; // dragging: wait for the release
        // The wheel over the scroll bar moves by its lines.
        moveWindow(w + (m_scroll->sliderPosition() - m_scroll->value()));
        break;
    default:
        return;
    }
    // The scroll bar shows where the fill put the window, not where the
    // action would have moved the thumb.
    m_scroll->setSliderPosition(m_pager.scrollPosition());
}

void TPickGrid::ScrollBar1Released()
{
    moveWindow(m_pager.offsetAt(m_scroll->sliderPosition()));
    const QSignalBlocker quiet(m_scroll);
    m_scroll->setSliderPosition(m_pager.scrollPosition());
    m_scroll->setValue(m_pager.scrollPosition());
}

bool TPickGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const long w = m_pager.window();
        const int row = m_grid->currentRow();
        switch (key->key()) {
        case Qt::Key_PageUp:
            moveWindow(w - PagedList::pageRows);
            return true;
        case Qt::Key_PageDown:
            moveWindow(w + PagedList::pageRows);
            return true;
        case Qt::Key_Home:
            moveWindow(0);
            return true;
        case Qt::Key_End:
            moveWindow(m_pager.maxOffset());
            return true;
        case Qt::Key_Down:
            if (row == PagedList::pageRows - 1) {
                // The selection stays on the last row, now on the next record.
                m_preferRow = row;
                moveWindow(w + 1);
                return true;
            }
            break;
        case Qt::Key_Up:
            if (row == 0) {
                moveWindow(w - 1);
                return true;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            BtnSelectClick();
            return true;
        default:
            break;
        }
    } else if (watched == m_grid && event->type() == QEvent::KeyRelease) {
        StringGrid1KeyUp();
    } else if (watched == m_grid->viewport() && event->type() == QEvent::Wheel) {
        // The grid itself never scrolls up or down: the wheel moves the window.
        auto *wheel = static_cast<QWheelEvent *>(event);
        const int steps = wheel->angleDelta().y() / 120;
        if (steps != 0 && m_grid->isEnabled())
            moveWindow(m_pager.window() - 3L * steps);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPickGrid::Edit1Change()
{
    if (!m_source || !m_grid->isEnabled())
        return;
    if (m_pager.seek(seekKey(m_seek->text())))
        fill();
}

} // namespace tlv
