#include "masterdata/TaxDefU.h"

#include "data/Settings.h"
#include "masterdata/TaxSettings.h"
#include "widgets/FormKitU.h"
#include "widgets/MoneyEdit.h"
#include "widgets/StoredText.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

namespace {
constexpr int helpContext = 630;

void choose(QButtonGroup *group, int index)
{
    // An exclusive group never lets go of its last checked button by itself.
    group->setExclusive(false);
    const auto buttons = group->buttons();
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->setChecked(i == index);
    group->setExclusive(true);
}

int chosen(const QButtonGroup *group)
{
    const auto buttons = group->buttons();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return i;
    return -1;
}
} // namespace

TTaxDef::TTaxDef(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TaxDef"));
    setWindowTitle(QStringLiteral("Tax Definition"));

    m_label1 = namedEdit("Edit1");
    m_label2 = namedEdit("Edit2");
    m_rate1 = namedMoneyEdit("MaskEdit1", 2, 2);
    m_rate2 = namedMoneyEdit("MaskEdit2", 2, 2);

    auto *table = new QGridLayout;
    table->addWidget(new QLabel(QStringLiteral("Line Label")), 0, 1);
    table->addWidget(new QLabel(QStringLiteral("Percentage")), 0, 2);
    table->addWidget(captionFor(QStringLiteral("Computed 1"), m_label1), 1, 0);
    table->addWidget(m_label1, 1, 1);
    table->addWidget(m_rate1, 1, 2);
    table->addWidget(captionFor(QStringLiteral("Computed 2"), m_label2), 2, 0);
    table->addWidget(m_label2, 2, 1);
    table->addWidget(m_rate2, 2, 2);
    table->setColumnStretch(1, 1);

    QGroupBox *group1 = radioGroup(
        "RadioGroup1", QStringLiteral("Tax 2 charged on Tax 1"),
        {QStringLiteral("No"), QStringLiteral("Yes"), QStringLiteral("When Tax on Items")}, m_shipTax);
    QGroupBox *group2 =
        radioGroup("RadioGroup2", QStringLiteral(" Round Computed Tax "),
                   {QStringLiteral("Normal"), QStringLiteral("Up"), QStringLiteral("Down")}, m_taxRound);
    auto *groups = new QHBoxLayout;
    groups->addWidget(group1);
    groups->addWidget(group2);

    m_save = namedButton("BtnSave", QStringLiteral("Save"), this, &TTaxDef::BtnSaveClick);
    m_save->setDefault(true);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TTaxDef::BtnCancelClick);
    auto *buttons = buttonRow({m_save, m_cancel});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(table);
    layout->addSpacing(6);
    layout->addLayout(groups);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    setTabOrder(m_label1, m_rate1);
    setTabOrder(m_rate1, m_label2);
    setTabOrder(m_label2, m_rate2);
    helpOnF1(this, helpContext);
    guardStoredText(this);
}

QGroupBox *TTaxDef::radioGroup(const char *name, const QString &caption, const QStringList &items,
                               QButtonGroup *&group)
{
    auto *box = new QGroupBox(caption);
    box->setObjectName(QLatin1String(name));
    group = new QButtonGroup(box);
    auto *column = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i]);
        b->setObjectName(QLatin1String(name) + QStringLiteral("Item%1").arg(i));
        group->addButton(b, i);
        column->addWidget(b);
    }
    return box;
}

void TTaxDef::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TTaxDef::FormShow()
{
    const TaxDefinition t = taxDefinition(settings());
    m_label1->setText(t.label1);
    m_label2->setText(t.label2);
    m_rate1->setValue(t.rate1);
    m_rate2->setValue(t.rate2);
    choose(m_shipTax, choiceIndexOfCode(t.shipTax, m_shipTax->buttons().size()));
    choose(m_taxRound, choiceIndexOfCode(t.taxRound, m_taxRound->buttons().size()));
    m_label1->setFocus();
}

int TTaxDef::shipTaxIndex() const
{
    return chosen(m_shipTax);
}

int TTaxDef::taxRoundIndex() const
{
    return chosen(m_taxRound);
}

void TTaxDef::BtnSaveClick()
{
    TaxDefinition t;
    t.label1 = m_label1->text();
    t.label2 = m_label2->text();
    t.rate1 = m_rate1->value();
    t.rate2 = m_rate2->value();
    t.shipTax = codeOfChoiceIndex(shipTaxIndex());
    t.taxRound = codeOfChoiceIndex(taxRoundIndex());
    saveTaxDefinition(t);
    accept();
}

void TTaxDef::BtnCancelClick()
{
    reject();
}

void runTaxDefinition(QWidget *parent)
{
    TTaxDef window(parent);
    window.exec();
}

} // namespace tlv
