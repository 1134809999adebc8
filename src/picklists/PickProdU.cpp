#include "picklists/PickProdU.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace tlv {

TPickProd::TPickProd(QWidget *parent) : TPickGrid(PickTable::Product, parent)
{
    setObjectName(QStringLiteral("PickProd"));
    auto *seek = new QLineEdit;
    seek->setObjectName(QStringLiteral("Edit1"));
    build(seek, QStringLiteral("Seek:"), nullptr, QString(), QStringLiteral("Select"), QStringLiteral("New"));
}

GridLayout TPickProd::layout() const
{
    return productLayout();
}

void TPickProd::selectOrder()
{
    db().prod5.useTag(tag::Prod);
}

PickRow TPickProd::row(long recNo, bool deleted)
{
    db().prod5.read();
    return productRow(db().prod5.buf, recNo, deleted);
}

QString TPickProd::seekKey(const QString &typed) const
{
    return seekText(typed);
}

TPickProd &pickProd()
{
    return onlyWindow<TPickProd>();
}

bool runPickProd(bool allowNew, bool *created)
{
    return runPickWindow<TPickProd>(PickTable::Product, allowNew, created);
}

} // namespace tlv
