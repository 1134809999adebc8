#pragma once
// The report chooser of the "Report Generation" page: eight lists of report
// entries, and where the grid that shows one of them goes on the page.
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

namespace tlv {

struct ChooserList
{
    int type;            // 1-8, also the speed button's number
    QString button;      // the speed button's caption
    QString heading;     // row 0 of the grid
    QStringList entries; // rows 1 onward
};

// The eight lists in button order.
const QList<ChooserList> &chooserLists();
// The list of a type; null outside 1-8.
const ChooserList *chooserList(int type);

// The grid's rectangle on a page of the given size: one row of rowHeight
// pixels per line (the heading and the entries), as wide as the widest line
// needs (lineWidth tells what a line needs; the heading is shown in its own
// font), centred at three quarters of the page's width and at half its
// height. Arithmetic truncates toward zero.
QRect chooserGeometry(const ChooserList &list, int rowHeight, QSize page,
                      const std::function<int(const QString &line, bool heading)> &lineWidth);

// The entry a double-click on a grid row runs: 0 for the heading row and for
// rows beyond the list, else the row number.
int chooserEntryForRow(const ChooserList &list, int row);

} // namespace tlv
