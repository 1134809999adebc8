#include "labels/LabPrintU.h"

#include "data/Database.h"
#include "data/Settings.h"
#include "labels/LabelGen.h"
#include "platform/Printer.h"
#include "platform/Ui.h"
#include "widgets/FormKitU.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tlv {

TUpDown::TUpDown(const char *name, Qt::Orientation orientation, QWidget *parent)
    : QWidget(parent), m_back(new QToolButton), m_forward(new QToolButton)
{
    setObjectName(QLatin1String(name));
    const bool across = orientation == Qt::Horizontal;
    m_back->setArrowType(across ? Qt::LeftArrow : Qt::UpArrow);
    m_forward->setArrowType(across ? Qt::RightArrow : Qt::DownArrow);
    QBoxLayout *layout = across ? static_cast<QBoxLayout *>(new QHBoxLayout(this))
                                : static_cast<QBoxLayout *>(new QVBoxLayout(this));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *b : {m_back, m_forward}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        if (!across)
            b->setFixedHeight(11);
        layout->addWidget(b);
    }
    connect(m_back, &QToolButton::clicked, this, [this] { emit stepped(-1); });
    connect(m_forward, &QToolButton::clicked, this, [this] { emit stepped(1); });
}

TLabPrint::TLabPrint(QWidget *parent) : QDialog(parent), labelFont(QGuiApplication::font())
{
    setObjectName(QStringLiteral("LabPrint"));
    setWindowTitle(QStringLiteral("Print Labels"));

    m_stocks = new QComboBox;
    m_stocks->setObjectName(QStringLiteral("ComboBox1"));
    m_stocks->setMinimumContentsLength(30);
    connect(m_stocks, &QComboBox::activated, this, &TLabPrint::ComboBox1Change);

    m_column = namedEdit("MaskEdit1", 1);
    m_column->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]?")), m_column));
    m_row = namedEdit("MaskEdit2", 2);
    m_row->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), m_row));
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    m_column->setFixedWidth(digit * 3 + 12);
    m_row->setFixedWidth(digit * 4 + 12);
    connect(m_column, &QLineEdit::editingFinished, this, &TLabPrint::MaskEdit1Exit);
    connect(m_row, &QLineEdit::editingFinished, this, &TLabPrint::MaskEdit2Exit);
    m_columnArrows = new TUpDown("UpDown1", Qt::Horizontal);
    m_rowArrows = new TUpDown("UpDown2", Qt::Vertical);
    connect(m_columnArrows, &TUpDown::stepped, this, &TLabPrint::UpDown1Click);
    connect(m_rowArrows, &TUpDown::stepped, this, &TLabPrint::UpDown2Click);

    auto *grid = new QGridLayout;
    grid->addWidget(captionFor(QStringLiteral("Label Stock:"), m_stocks), 0, 0);
    grid->addWidget(m_stocks, 0, 1, 1, 5);
    grid->addWidget(captionFor(QStringLiteral("Starting Column:"), m_column), 1, 0);
    auto *columnBox = new QHBoxLayout;
    columnBox->setSpacing(0);
    columnBox->addWidget(m_column);
    columnBox->addWidget(m_columnArrows);
    grid->addLayout(columnBox, 1, 1);
    grid->addWidget(captionFor(QStringLiteral("Row:"), m_row), 1, 2, Qt::AlignRight);
    auto *rowBox = new QHBoxLayout;
    rowBox->setSpacing(0);
    rowBox->addWidget(m_row);
    rowBox->addWidget(m_rowArrows);
    grid->addLayout(rowBox, 1, 3);
    grid->setColumnStretch(5, 1);

    m_ok = namedButton("BtnOK", QStringLiteral("OK"), this, &TLabPrint::BtnOKClick);
    m_ok->setDefault(true);
    m_cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TLabPrint::BtnCancelClick);
    m_align = namedButton("BtnAlign", QStringLiteral("Alignment Test"), this, &TLabPrint::BtnAlignClick);
    m_align->setToolTip(QStringLiteral("Print one sheet of numbered label outlines to check the stock"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_align);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    setTabOrder(m_stocks, m_column);
    setTabOrder(m_column, m_row);
    setTabOrder(m_row, m_ok);
    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_align);
}

TLabPrint::~TLabPrint()
{
    // Closing the window takes the focus from an edit; its editingFinished
    // must not reach a window that is already half destroyed.
    m_column->disconnect(this);
    m_row->disconnect(this);
}

void TLabPrint::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

int TLabPrint::startColumn() const
{
    return std::max(m_column->text().trimmed().toInt(), 1);
}

int TLabPrint::startRow() const
{
    return std::max(m_row->text().trimmed().toInt(), 1);
}

int TLabPrint::across() const
{
    // A stock with no labels across still admits the first column.
    return std::max(stock.NAcross, 1);
}

void TLabPrint::FormShow()
{
    m_stocks->clear();
    m_records.clear();
    auto &labels = db().labels;
    labels.useTag(tag::Labels);
    const QString wanted = settings().LabID.trimmed();
    // The stock named in the settings, else the first.
    int selected = -1;
    for (int r = labels.top(); r == 0 && !labels.eof(); r = labels.skip()) {
        labels.read();
        const QString name = labels.buf.Name.trimmed();
        if (selected < 0 && name == wanted)
            selected = int(m_records.size());
        m_stocks->addItem(name);
        m_records << labels.recNo();
    }
    m_stocks->setCurrentIndex(m_records.isEmpty() ? -1 : std::max(selected, 0));
    m_column->setText(QStringLiteral("1"));
    m_row->setText(QStringLiteral("1"));
    cancelled = true;
    loadSelected();
    m_column->setFocus();
}

bool TLabPrint::loadSelected()
{
    const int position = m_stocks->currentIndex();
    if (position < 0 || position >= m_records.size())
        return false;
    auto &labels = db().labels;
    if (labels.go(m_records[position]) != 0)
        return false;
    labels.read();
    stock = labels.buf;
    return true;
}

void TLabPrint::ComboBox1Change()
{
    // The starting column must lie on the stock now chosen.
    if (loadSelected())
        MaskEdit1Exit();
}

void TLabPrint::UpDown1Click(int step)
{
    const int value = m_column->text().trimmed().toInt();
    if (step > 0 && value < across())
        m_column->setText(QString::number(value + 1));
    else if (step < 0 && value > 1)
        m_column->setText(QString::number(value - 1));
}

void TLabPrint::UpDown2Click(int step)
{
    const int value = m_row->text().trimmed().toInt();
    // The row field holds two digits.
    if (step > 0 && value < 99)
        m_row->setText(QString::number(value + 1));
    else if (step < 0 && value > 1)
        m_row->setText(QString::number(value - 1));
}

void TLabPrint::MaskEdit1Exit()
{
    const QString text = m_column->text().trimmed();
    const int value = text.isEmpty() ? 1 : text.toInt();
    m_column->setText(QString::number(std::clamp(value, 1, across())));
}

void TLabPrint::MaskEdit2Exit()
{
    const QString text = m_row->text().trimmed();
    const int value = text.isEmpty() ? 1 : text.toInt();
    m_row->setText(QString::number(std::max(value, 1)));
}

void TLabPrint::BtnOKClick()
{
    MaskEdit2Exit();
    if (loadSelected()) {
        MaskEdit1Exit();
        if (stock.Name.trimmed() != settings().LabID.trimmed()) {
            settings().LabID = stock.Name.trimmed();
            saveSettings();
        }
        cancelled = false;
    }
    if (cancelled)
        reject();
    else
        accept();
}

void TLabPrint::BtnCancelClick()
{
    cancelled = true;
    reject();
}

void TLabPrint::BtnAlignClick()
{
    if (!loadSelected())
        return;
    if (printAlignmentTest(stock, labelFont, printer()) == LabelOutcome::Failed)
        ui().information(QStringLiteral("Unable to print the labels."));
}

} // namespace tlv
