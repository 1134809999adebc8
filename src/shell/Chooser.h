#pragma once
// The report chooser of the "Report Generation" page: eight lists of report
// entries, and where the grid that shows one of them goes on the page.
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tlv {

struct ChooserList
{
    int type;         // 1-8, also the speed button's number
    QString button;   // the speed button's caption
    QString heading;  // row 0 of the grid
    QStringList entries; // rows 1 onward
};

// The eight lists in button order.
const QList<ChooserList> &chooserLists();
// The list of a type; null outside 1-8.
const ChooserList *chooserList(int type);

// The grid's rectangle on a page of the given size: one row per line plus the
// heading, each defaultRowHeight + 1 pixels, plus 3; 7 pixels per character of
// the longest line; centred at three quarters of the page's width and at half
// its height. Arithmetic truncates toward zero.
QRect chooserGeometry(const ChooserList &list, int defaultRowHeight, QSize page);

// The entry a double-click on a grid row runs: 0 for the heading row and for
// rows beyond the list, else the row number.
int chooserEntryForRow(const ChooserList &list, int row);

} // namespace tlv
