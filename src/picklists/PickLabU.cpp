#include "picklists/PickLabU.h"

namespace tlv {

TPickLab::TPickLab(QWidget *parent) : TPickNames("PickLab", QSize(320, 300), /*withSeek=*/false, parent) {}

int &TPickLab::selectedRecord()
{
    return db().selected.labelStock;
}

NameList TPickLab::loadNames()
{
    NameList names = loadLabelNames(db().selected.labelStock);
    // From here on the list answers; a close without a choice leaves -1.
    db().selected.labelStock = -1;
    return names;
}

long TPickLab::recordAt(int index)
{
    return recordAtIndex(db().labels, index);
}

TPickLab &pickLab()
{
    return onlyWindow<TPickLab>();
}

bool runPickLab(bool allowNew, bool *created)
{
    return runPickWindow<TPickLab>(PickTable::LabelStock, allowNew, created);
}

} // namespace tlv
