#include "picklists/PickNamesU.h"

#include "platform/Ui.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

namespace {
constexpr int seekLength = 20;
}

TPickNames::TPickNames(const char *name, QSize size, bool withSeek, QWidget *parent) : QDialog(parent)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(QLatin1String(name));

    auto *main = new QVBoxLayout(this);
    if (withSeek) {
        m_seek = new QLineEdit;
        m_seek->setObjectName(QStringLiteral("Edit1"));
        m_seek->setMaxLength(seekLength);
        auto *seekCaption = new QLabel(QStringLiteral("Seek:"));
        seekCaption->setBuddy(m_seek);
        auto *seekRow = new QHBoxLayout;
        seekRow->addWidget(seekCaption);
        seekRow->addWidget(m_seek, 1);
        main->addLayout(seekRow);
    }

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
    main->addWidget(m_list, 1);

    // Enter chooses the current row; the other buttons need a click.
    auto *buttons = new QHBoxLayout;
    const struct
    {
        const char *name;
        const char *caption;
        QPushButton **button;
        void (TPickNames::*click)();
    } row[] = {{"BtnSelect", "Select", &m_select, &TPickNames::BtnSelectClick},
               {"BtnNew", "New", &m_new, &TPickNames::BtnNewClick},
               {"BtnCancel", "Cancel", &m_cancel, &TPickNames::BtnCancelClick}};
    for (const auto &b : row) {
        *b.button = new QPushButton(QLatin1String(b.caption));
        (*b.button)->setObjectName(QLatin1String(b.name));
        (*b.button)->setAutoDefault(false);
        connect(*b.button, &QPushButton::clicked, this, b.click);
        buttons->addWidget(*b.button);
    }
    m_select->setDefault(true);
    main->addLayout(buttons);
    resize(size);
}

void TPickNames::setNewAllowed(bool allowed)
{
    m_new->setEnabled(allowed);
}

void TPickNames::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPickNames::FormShow()
{
    if (m_seek) {
        const QSignalBlocker quiet(m_seek);
        m_seek->clear();
    }
    m_list->clear();
    m_shown = true;
    const NameList names = loadNames();
    m_list->addItems(names.items);
    if (names.selectIndex >= 0)
        m_list->setCurrentRow(names.selectIndex);
    if (m_seek)
        m_seek->setFocus();
    else
        m_list->setFocus();
}

void TPickNames::BtnSelectClick()
{
    const int index = m_list->currentRow();
    if (index < 0 || m_list->selectedItems().isEmpty()) {
        ui().information(QStringLiteral("Item Not Selected"));
        return;
    }
    selectedRecord() = int(recordAt(index));
    accept();
}

void TPickNames::BtnNewClick()
{
    selectedRecord() = 0;
    accept();
}

void TPickNames::BtnCancelClick()
{
    reject();
}

void TPickNames::reject()
{
    // Cancel, Escape and the window's close box all mean: nothing chosen.
    selectedRecord() = -1;
    QDialog::reject();
}

void TPickNames::ListBox1DblClick()
{
    BtnSelectClick();
}

void TPickNames::done(int result)
{
    if (m_shown) {
        m_shown = false;
        closing();
    }
    QDialog::done(result);
}

bool TPickNames::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BtnSelectClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tlv
