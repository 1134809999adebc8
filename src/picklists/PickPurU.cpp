#include "picklists/PickPurU.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

namespace tlv {

TPickPur::TPickPur(QWidget *parent) : TPickGrid(PickTable::Purchase, parent)
{
    setObjectName(QStringLiteral("PickPur"));
    auto *seek = new QLineEdit;
    seek->setObjectName(QStringLiteral("Edit1"));
    build(seek, QStringLiteral("Seek:"), nullptr, QString(), QStringLiteral("Edit Selected"),
          QStringLiteral("Add New Purchase"));
    m_select->setToolTip(QStringLiteral("Edit Selected Purchase Record"));
    m_new->setToolTip(QStringLiteral("Add a New Purchase Record"));
}

GridLayout TPickPur::layout() const
{
    return purchaseLayout();
}

void TPickPur::selectOrder()
{
    db().pur5.useTag(tag::Pur);
}

PickRow TPickPur::row(long recNo, bool deleted)
{
    db().pur5.read();
    return purchaseRow(db().pur5.buf, recNo, deleted);
}

QString TPickPur::seekKey(const QString &typed) const
{
    return seekText(typed);
}

TPickPur &pickPur()
{
    return onlyWindow<TPickPur>();
}

bool runPickPur(bool allowNew, bool *created)
{
    return runPickWindow<TPickPur>(PickTable::Purchase, allowNew, created);
}

} // namespace tlv
