#pragma once
// The group pick list (caption "PickGroup"): every group by name in a list
// box, with a seek field that selects the first name at or after the typed
// text. The group table's order is restored when the window closes.
//
// Usage (GROUPS open):
//
//     db().selected.group = startRecNo;
//     bool created = false;
//     if (runPickGroup(/*allowNew=*/true, &created))
//         use(db().selected.group);
//
// "New" opens the group window through the hook set with
// setNewRecordEditor(PickTable::Group, ...) (see PickList.h).
#include "picklists/PickNamesU.h"

namespace tlv {

class TPickGroup : public TPickNames
{
    Q_OBJECT
public:
    explicit TPickGroup(QWidget *parent = nullptr);

public slots:
    void Edit1Change();

protected:
    int &selectedRecord() override;
    NameList loadNames() override;
    long recordAt(int index) override;
    void closing() override;

private:
    QStringList m_upper;     // the names upper-cased, while shown
    QString m_previousOrder; // the group table's order before showing
};

TPickGroup &pickGroup();

// Runs the group pick list; true when a group was chosen or created, the
// record number in db().selected.group. "Group Database is Empty" refuses an
// empty table when New is not allowed.
bool runPickGroup(bool allowNew, bool *created = nullptr);

} // namespace tlv
