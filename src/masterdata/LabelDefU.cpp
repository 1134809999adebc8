#include "masterdata/LabelDefU.h"

#include "data/Database.h"
#include "data/TableScope.h"
#include "masterdata/LabelStock.h"
#include "picklists/PickLabU.h"
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
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

namespace {
// "New" was pressed in the pick list during the current run.
bool newLabelStockOpened = false;
constexpr int helpContext = 620;

struct Dimension
{
    const char *control;
    const char *caption;
    double LabelRecord::*member;
};

// In the window's order: four rows of two.
const Dimension dimensions[TLabelDef::dimensionCount] = {
    {"MaskEdit1", "Top Margin", &LabelRecord::TopM},
    {"MaskEdit2", "Left Margin", &LabelRecord::LeftM},
    {"MaskEdit3", "Bottom Margin", &LabelRecord::BottomM},
    {"MaskEdit4", "Right Margin", &LabelRecord::RightM},
    {"MaskEdit5", "Width", &LabelRecord::Width},
    {"MaskEdit6", "Height", &LabelRecord::Height},
    {"MaskEdit7", "Horizontal Gap", &LabelRecord::HGap},
    {"MaskEdit8", "Vertical Gap", &LabelRecord::VGap},
};
} // namespace

TLabelDef::TLabelDef(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LabelDef"));
    setWindowTitle(QStringLiteral("Label Definition"));

    m_name = namedEdit("Edit1", 40);
    auto *note = new QLabel(QStringLiteral(
        "Label Dimensions are defined in printer points where each printer point is 1/72 of an inch."));
    note->setObjectName(QStringLiteral("Label2"));
    note->setWordWrap(true);

    auto *grid = new QGridLayout;
    for (int i = 0; i < dimensionCount; ++i) {
        m_dimension[i] = namedMoneyEdit(dimensions[i].control, 4, 3, false);
        const int row = i / 2;
        const int column = (i % 2) * 2;
        grid->addWidget(captionFor(QLatin1String(dimensions[i].caption), m_dimension[i]), row, column);
        grid->addWidget(m_dimension[i], row, column + 1);
    }
    m_across = namedEdit("MaskEdit9", 1);
    m_across->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]?")), m_across));
    m_across->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 4 + 12);
    connect(m_across, &QLineEdit::editingFinished, this, &TLabelDef::MaskEdit9Exit);
    m_continuous = new QCheckBox(QStringLiteral("Continuous Pin Feed"));
    m_continuous->setObjectName(QStringLiteral("CheckBox1"));
    grid->addWidget(captionFor(QStringLiteral("No. Labels Across"), m_across), 4, 0);
    grid->addWidget(m_across, 4, 1);
    grid->addWidget(m_continuous, 4, 2, 1, 2);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(captionFor(QStringLiteral("Label Name"), m_name));
    nameRow->addWidget(m_name, 1);

    m_save = namedButton("BtnSave", QStringLiteral("Save"), this, &TLabelDef::BtnSaveClick);
    m_save->setDefault(true);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TLabelDef::BtnCancelClick);
    auto *buttons = buttonRow({m_save, m_cancel});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(note);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    QWidget *previous = m_name;
    for (MoneyEdit *d : m_dimension) {
        setTabOrder(previous, d);
        previous = d;
    }
    setTabOrder(previous, m_across);
    setTabOrder(m_across, m_continuous);
    setTabOrder(m_continuous, m_save);
    setTabOrder(m_save, m_cancel);
    helpOnF1(this, helpContext);
    guardStoredText(this);
}

TLabelDef::~TLabelDef()
{
    // Closing the window takes the focus from an edit; its editingFinished
    // must not reach a window that is already half destroyed.
    m_across->disconnect(this);
}

void TLabelDef::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TLabelDef::FormShow()
{
    auto &labels = db().labels;
    const int current = db().selected.labelStock;
    LabelRecord r;
    if (current > 0) {
        labels.go(current);
        labels.read();
        r = labels.buf;
    } else {
        r = newLabelStock();
    }
    m_name->setText(r.Name.trimmed());
    for (int i = 0; i < dimensionCount; ++i)
        m_dimension[i]->setValue(r.*dimensions[i].member);
    m_across->setText(QString::number(r.NAcross));
    m_continuous->setChecked(r.Continuous);
    m_name->setFocus();
}

void TLabelDef::MaskEdit9Exit()
{
    // A stock has at least the one label across that a blank field stands for.
    if (m_across->text().trimmed().isEmpty())
        m_across->setText(QString::number(labelsAcrossOf(QString())));
}

void TLabelDef::BtnSaveClick()
{
    LabelRecord r;
    r.Name = m_name->text();
    for (int i = 0; i < dimensionCount; ++i)
        r.*dimensions[i].member = m_dimension[i]->value();
    r.NAcross = labelsAcrossOf(m_across->text());
    r.Continuous = m_continuous->isChecked();

    long recNo = db().selected.labelStock;
    const LabelSave result = saveLabelStock(recNo, r);
    if (result != LabelSave::Saved) {
        ui().information(messageOf(result));
        if (result == LabelSave::NoName)
            m_name->setFocus();
        return;
    }
    db().selected.labelStock = int(recNo);
    accept();
}

void TLabelDef::BtnCancelClick()
{
    reject();
}

bool editLabelStock(QWidget *parent)
{
    TLabelDef window(editorParent(parent));
    return window.exec() == QDialog::Accepted;
}

void installLabelStockEditor()
{
    setNewRecordEditor(PickTable::LabelStock, [] {
        newLabelStockOpened = true;
        editLabelStock();
    });
}

void runLabelFormsCommand(QWidget *parent)
{
    installLabelStockEditor();
    TableScope scope;
    auto &labels = db().labels;
    labels.open();
    int &selected = db().selected.labelStock;
    selected = labels.top() == 0 ? int(labels.recNo()) : 0;
    pickAndEdit([] { return runPickLab(true); }, [parent] { editLabelStock(parent); }, newLabelStockOpened);
}

} // namespace tlv
