#include "picklists/PickCustU.h"

#include "data/Settings.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace tlv {

TPickCust::TPickCust(QWidget *parent) : TPickGrid(PickTable::Customer, parent)
{
    setObjectName(QStringLiteral("PickCust"));
    auto *seek = new QLineEdit;
    seek->setObjectName(QStringLiteral("Edit1"));
    auto *group = new QLineEdit;
    group->setObjectName(QStringLiteral("Edit2"));
    build(seek, QStringLiteral("Seek:"), group, QStringLiteral("Group:"), QStringLiteral("Select"),
          QStringLiteral("New"));
}

GridLayout TPickCust::layout() const
{
    return customerLayout(settings().ByCust);
}

void TPickCust::selectOrder()
{
    db().cust5.useTag(settings().ByCust ? tag::cname : tag::cEMail);
}

PickRow TPickCust::row(long recNo, bool deleted)
{
    db().cust5.read();
    return customerRow(db().cust5.buf, recNo, deleted, settings().ByCust);
}

QString TPickCust::seekKey(const QString &typed) const
{
    return seekText(typed);
}

QString TPickCust::sideText(long recNo)
{
    auto &cust = db().cust5;
    auto &groups = db().groups;
    if (!groups.isOpen() || cust.go(recNo) != 0)
        return QString();
    cust.read();
    // The lookup works in group-number order; whoever opened the groups
    // keeps the order they chose.
    const QString order = groups.selectedTag();
    const bool found = lookUpGroup(cust.buf.ngroup);
    groups.selectTag(order.toLatin1().constData());
    // A customer without a (known) group shows none, not the last one shown.
    return found ? groups.buf.cGroup.trimmed() : QStringLiteral("");
}

TPickCust &pickCust()
{
    return onlyWindow<TPickCust>();
}

bool runPickCust(bool allowNew, bool *created)
{
    return runPickWindow<TPickCust>(PickTable::Customer, allowNew, created);
}

} // namespace tlv
