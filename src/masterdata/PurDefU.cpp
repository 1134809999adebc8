#include "masterdata/PurDefU.h"

#include "data/Database.h"
#include "data/TableScope.h"
#include "masterdata/ProdDefU.h"
#include "masterdata/Purchases.h"
#include "picklists/PickProdU.h"
#include "picklists/PickPurU.h"
#include "platform/Ui.h"
#include "widgets/DateEdit.h"
#include "widgets/EnterAsTab.h"
#include "widgets/FormKitU.h"
#include "widgets/MoneyEdit.h"
#include "widgets/StoredText.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

namespace {
// "New" was pressed in the pick list during the current run.
bool newPurchaseOpened = false;
constexpr int helpContext = 450;
} // namespace

TPurDef::TPurDef(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PurDef"));
    setWindowTitle(QStringLiteral("Inventory Purchase Definition"));

    m_product = namedButton("BtnProduct", QStringLiteral("Product"));
    connect(m_product, &QPushButton::clicked, this, &TPurDef::BtnProductClick);
    m_productId = new QLineEdit;
    m_productId->setObjectName(QStringLiteral("Edit1"));
    m_productId->setMaxLength(10);
    m_productId->setReadOnly(true);
    m_productId->setFocusPolicy(Qt::NoFocus);
    m_date = new DateEdit;
    m_date->setObjectName(QStringLiteral("DateTimePicker1"));
    enterMovesFocus(m_date);
    m_quantity = namedMoneyEdit("MaskEdit2", 7, 2);
    m_cost = namedMoneyEdit("MaskEdit3", 9, 2);

    auto *fields = new QGridLayout;
    fields->addWidget(m_product, 0, 0);
    fields->addWidget(m_productId, 0, 1);
    fields->addWidget(captionFor(QStringLiteral("Date Acquired"), m_date), 1, 0);
    fields->addWidget(m_date, 1, 1);
    fields->addWidget(captionFor(QStringLiteral("Quantity"), m_quantity), 2, 0);
    fields->addWidget(m_quantity, 2, 1);
    fields->addWidget(captionFor(QStringLiteral("Total Cost"), m_cost), 3, 0);
    fields->addWidget(m_cost, 3, 1);
    fields->setColumnStretch(2, 1);

    m_save = namedButton("BtnSave", QStringLiteral("Save"), this, &TPurDef::BtnSaveClick);
    m_save->setDefault(true);
    m_delete = namedButton("BtnDelete", QStringLiteral("Delete"), this, &TPurDef::BtnDeleteClick);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TPurDef::BtnCancelClick);
    auto *buttons = buttonRow({m_save, m_delete, m_cancel});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    QWidget *order[] = {m_product, m_date, m_quantity, m_cost, m_save, m_delete, m_cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    helpOnF1(this, helpContext);
    guardStoredText(this);
}

void TPurDef::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPurDef::FormShow()
{
    m_chosenProduct = 0;
    auto &pur = db().pur5;
    const int current = db().selected.purchase;
    if (current > 0) {
        m_delete->setEnabled(true);
        pur.go(current);
        pur.read();
        m_loaded = pur.buf;
    } else {
        m_delete->setEnabled(false);
        m_loaded = newPurchase();
    }
    m_productId->setText(m_loaded.PURProd.trimmed());
    m_date->setDate(m_loaded.PURDate);
    m_quantity->setValue(m_loaded.PURQty);
    m_cost->setValue(m_loaded.PURCost);
    m_product->setFocus();
}

void TPurDef::BtnProductClick()
{
    auto &prod = db().prod5;
    // The list starts on the first product.
    int &selected = db().selected.product;
    selected = prod.top() == 0 ? int(prod.recNo()) : 0;
    if (!runPickProd(true))
        return;
    if (prod.go(selected) != 0)
        return;
    prod.read();
    m_chosenProduct = selected;
    m_productId->setText(prod.buf.PrID.trimmed());
}

void TPurDef::BtnSaveClick()
{
    if (!m_date->confirmDate())
        return;
    PurchaseEntry e;
    e.productId = m_productId->text();
    e.date = m_date->date();
    e.quantity = m_quantity->value();
    e.cost = m_cost->value();

    long recNo = db().selected.purchase;
    const PurchaseSave result = savePurchase(recNo, m_loaded, e, m_chosenProduct);
    if (result != PurchaseSave::Saved) {
        ui().information(messageOf(result));
        if (result == PurchaseSave::NoProduct)
            m_product->setFocus();
        return;
    }
    db().selected.purchase = int(recNo);
    accept();
}

void TPurDef::BtnDeleteClick()
{
    const int current = db().selected.purchase;
    if (current <= 0)
        return;
    deletePurchase(current);
    accept();
}

void TPurDef::BtnCancelClick()
{
    reject();
}

bool editPurchase(QWidget *parent)
{
    TPurDef window(editorParent(parent));
    return window.exec() == QDialog::Accepted;
}

void installPurchaseEditor()
{
    setNewRecordEditor(PickTable::Purchase, [] {
        newPurchaseOpened = true;
        editPurchase();
    });
}

void runPurchaseCommand(QWidget *parent)
{
    installProductEditor();
    installPurchaseEditor();
    TableScope scope(packList::purchases);
    auto &pur = db().pur5;
    pur.open();
    db().prod5.open();
    int &selected = db().selected.purchase;
    selected = pur.top() == 0 ? int(pur.recNo()) : 0;
    pickAndEdit([] { return runPickPur(true); }, [parent] { editPurchase(parent); }, newPurchaseOpened);
}

} // namespace tlv
