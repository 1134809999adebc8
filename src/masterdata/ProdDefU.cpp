#include "masterdata/ProdDefU.h"

#include "data/Database.h"
#include "data/TableScope.h"
#include "masterdata/Products.h"
#include "picklists/PickProdU.h"
#include "platform/Help.h"
#include "platform/Ui.h"
#include "widgets/FormKitU.h"
#include "widgets/MoneyEdit.h"
#include "widgets/StoredText.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

namespace {
// "New" was pressed in the pick list during the current run.
bool newProductOpened = false;
constexpr int helpContext = 430;
} // namespace

TProdDef::TProdDef(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProdDef"));
    setWindowTitle(QStringLiteral("Product Definition"));

    m_id = namedEdit("Edit1", 10);
    m_description = namedEdit("Edit2", 27);
    m_secondLine = namedEdit("Edit3", 27);
    m_price = namedMoneyEdit("MaskEdit1", 5, 2);
    // Captioned from the tax definition when the window opens.
    m_tax1 = new QCheckBox(QStringLiteral("Sales Tax"));
    m_tax1->setObjectName(QStringLiteral("CheckBox1"));
    m_tax2 = new QCheckBox(QStringLiteral("Shipping"));
    m_tax2->setObjectName(QStringLiteral("CheckBox2"));
    m_licence = namedEdit("Edit4", 10);
    m_inventory = new QCheckBox(QStringLiteral("Inventory Item"));
    m_inventory->setObjectName(QStringLiteral("CheckBox3"));
    m_reorder = namedMoneyEdit("MaskEdit2", 6, 2);
    m_text = new QPlainTextEdit;
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setTabChangesFocus(true);
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('M'));
    m_id->setMinimumWidth(charWidth * 10);
    m_description->setMinimumWidth(charWidth * 22);

    auto *fields = new QGridLayout;
    fields->addWidget(captionFor(QStringLiteral("Product ID"), m_id), 0, 0);
    fields->addWidget(m_id, 0, 1, Qt::AlignLeft);
    fields->addWidget(captionFor(QStringLiteral("Unit Price"), m_price), 0, 2, Qt::AlignRight);
    fields->addWidget(m_price, 0, 3);
    fields->addWidget(captionFor(QStringLiteral("Description"), m_description), 1, 0);
    fields->addWidget(m_description, 1, 1);
    fields->addWidget(m_tax1, 1, 3);
    fields->addWidget(m_secondLine, 2, 1);
    fields->addWidget(m_tax2, 2, 3);
    fields->addWidget(captionFor(QStringLiteral("License Code:"), m_licence), 3, 0);
    fields->addWidget(m_licence, 3, 1, Qt::AlignLeft);
    fields->addWidget(m_inventory, 3, 3);
    fields->addWidget(captionFor(QStringLiteral("Reorder Level:"), m_reorder), 4, 2, Qt::AlignRight);
    fields->addWidget(m_reorder, 4, 3);
    fields->setColumnStretch(1, 1);

    m_save = namedButton("BtnSave", QStringLiteral("Save"), this, &TProdDef::BtnSaveClick);
    m_save->setDefault(true);
    m_delete = namedButton("BtnDelete", QStringLiteral("Delete"), this, &TProdDef::BtnDeleteClick);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TProdDef::BtnCancelClick);
    m_help = namedButton("BtnHelp", QStringLiteral("Help"), this, &TProdDef::BtnHelpClick);
    auto *buttons = buttonRow({m_save, m_delete, m_cancel, m_help});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(4);
    layout->addWidget(captionFor(QStringLiteral("Product Text (Printed at the Bottom of Invoices)"), m_text));
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);

    QWidget *order[] = {m_id,        m_description, m_price, m_secondLine, m_tax1,   m_tax2,   m_licence,
                        m_inventory, m_reorder,     m_text,  m_save,       m_delete, m_cancel, m_help};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    helpOnF1(this, helpContext);
    resize(600, 420);
    guardStoredText(this);
}

void TProdDef::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TProdDef::FormShow()
{
    auto &prod = db().prod5;
    int &current = db().selected.product;
    if (current > 0) {
        m_delete->setEnabled(true);
        prod.go(current);
        prod.read();
    } else {
        prod.clear();
        current = -1;
        m_delete->setEnabled(false);
    }
    m_loaded = prod.buf;

    m_tax1->setText(taxCaption1());
    m_tax2->setText(taxCaption2());

    const ProductEntry e = productEntryOf(m_loaded);
    m_id->setText(e.id);
    m_description->setText(e.description);
    m_secondLine->setText(e.secondLine);
    m_price->setValue(e.price);
    m_tax1->setChecked(e.tax1);
    m_tax2->setChecked(e.tax2);
    m_licence->setText(e.licence);
    m_inventory->setChecked(e.inventory);
    m_reorder->setValue(e.reorder);
    m_text->setPlainText(e.text);
    m_id->setFocus();
}

void TProdDef::BtnSaveClick()
{
    ProductEntry e;
    e.id = m_id->text();
    e.description = m_description->text();
    e.secondLine = m_secondLine->text();
    e.price = m_price->value();
    e.tax1 = m_tax1->isChecked();
    e.tax2 = m_tax2->isChecked();
    e.licence = m_licence->text();
    e.inventory = m_inventory->isChecked();
    e.reorder = m_reorder->value();
    e.text = m_text->toPlainText();

    long recNo = db().selected.product;
    const ProductSave result = saveProduct(recNo, m_loaded, e);
    if (result != ProductSave::Saved) {
        ui().information(messageOf(result));
        if (result == ProductSave::BlankId || result == ProductSave::DuplicateId)
            m_id->setFocus();
        return;
    }
    db().selected.product = int(recNo);
    accept();
}

void TProdDef::BtnDeleteClick()
{
    const int current = db().selected.product;
    if (current <= 0)
        return;
    deleteProduct(current);
    accept();
}

void TProdDef::BtnCancelClick()
{
    reject();
}

void TProdDef::BtnHelpClick()
{
    help().showTopic(helpContext);
}

bool editProduct(QWidget *parent)
{
    TProdDef window(editorParent(parent));
    return window.exec() == QDialog::Accepted;
}

void installProductEditor()
{
    setNewRecordEditor(PickTable::Product, [] {
        newProductOpened = true;
        editProduct();
    });
}

void runProductCommand(QWidget *parent)
{
    installProductEditor();
    TableScope scope(packList::products);
    auto &prod = db().prod5;
    prod.open();
    int &selected = db().selected.product;
    selected = prod.top() == 0 ? int(prod.recNo()) : 0;
    pickAndEdit([] { return runPickProd(true); }, [parent] { editProduct(parent); }, newProductOpened);
}

} // namespace tlv
