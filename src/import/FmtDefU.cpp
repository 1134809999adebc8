#include "import/FmtDefU.h"

#include "data/Database.h"
#include "platform/Help.h"
#include "platform/Ui.h"
#include "widgets/FormKitU.h"
#include "widgets/StoredText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tlv {

namespace {
int helpContextOf(ImportKind kind)
{
    return kind == ImportKind::Customers ? 425 : 445;
}

QLineEdit *numberEdit(const QString &name, int length)
{
    QLineEdit *e = namedEdit(name.toLatin1().constData(), length);
    e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (length + 2) + 12);
    return e;
}
} // namespace

TFmtDef::TFmtDef(long &current, ImportKind kind, QWidget *parent)
    : QDialog(parent), m_current(current), m_kind(kind)
{
    setObjectName(QStringLiteral("FmtDef"));
    setWindowTitle(QStringLiteral("Import Format Definition"));

    m_name = namedEdit("Edit1", 30);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(captionFor(QStringLiteral("Format Name"), m_name));
    nameRow->addWidget(m_name, 1);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    const auto heading = [](const QString &text) {
        auto *l = new QLabel(QStringLiteral("<b>%1</b>").arg(text));
        return l;
    };
    grid->addWidget(heading(QStringLiteral("Field")), 0, 0);
    grid->addWidget(heading(QStringLiteral("Number")), 0, 1);
    m_rightHeadings[0] = heading(QStringLiteral("Field"));
    m_rightHeadings[1] = heading(QStringLiteral("Number"));
    grid->addWidget(m_rightHeadings[0], 0, 3);
    grid->addWidget(m_rightHeadings[1], 0, 4);
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(5, 1); // the columns stay together when the right one is hidden
    for (int i = 0; i < 13; ++i) {
        m_slot[i] = numberEdit(QStringLiteral("Edit%1").arg(i + 2), 2);
        connect(m_slot[i], &QLineEdit::editingFinished, this, &TFmtDef::EditNumberExit);
        m_slotCaption[i] = captionFor(slotCaption(ImportKind::Customers, i + 1), m_slot[i]);
        const bool left = i < 7;
        const int row = 1 + (left ? i : i - 7);
        grid->addWidget(m_slotCaption[i], row, left ? 0 : 3);
        grid->addWidget(m_slot[i], row, left ? 1 : 4);
    }

    m_delimiter = numberEdit(QStringLiteral("Edit15"), 3);
    m_least = numberEdit(QStringLiteral("Edit16"), 2);
    connect(m_delimiter, &QLineEdit::editingFinished, this, &TFmtDef::EditNumberExit);
    connect(m_least, &QLineEdit::editingFinished, this, &TFmtDef::EditNumberExit);
    auto *bottom = new QGridLayout;
    bottom->addWidget(captionFor(QStringLiteral("ASCII Value of Delimiter"), m_delimiter), 0, 0);
    bottom->addWidget(m_delimiter, 0, 1);
    bottom->addWidget(new QLabel(QStringLiteral("9 = Tab")), 0, 2);
    bottom->addWidget(new QLabel(QStringLiteral("44 = Comma")), 0, 3);
    bottom->addWidget(captionFor(QStringLiteral("Total Fields/Record"), m_least), 1, 0);
    bottom->addWidget(m_least, 1, 1);
    bottom->setColumnStretch(4, 1);

    auto *save = namedButton("BtnSave", QStringLiteral("Save"), this, &TFmtDef::BtnSaveClick);
    auto *cancel = namedButton("BtnCancel", QStringLiteral("Cancel"), this, &TFmtDef::BtnCancelClick);
    auto *helpButton = namedButton("BtnHelp", QStringLiteral("Help"), this, &TFmtDef::BtnHelpClick);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addSpacing(8);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(bottom);
    layout->addStretch(1);
    layout->addLayout(buttonRow({save, cancel, helpButton}));

    auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, &TFmtDef::BtnHelpClick);
    guardStoredText(this);
}

TFmtDef::~TFmtDef()
{
    // Closing the window takes the focus from an edit; its editingFinished
    // must not reach a window that is already half destroyed.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->disconnect(this);
}

void TFmtDef::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFmtDef::FormShow()
{
    ImportFormatRecord f = newFormat(m_kind);
    if (m_current > 0 && loadFormat(m_current)) {
        f = db().importF.buf;
        if (f.FmtType == int(ImportKind::Customers) || f.FmtType == int(ImportKind::Products))
            m_kind = ImportKind(f.FmtType);
    } else {
        m_current = 0;
    }
    db().importF.buf = f;
    m_name->setText(f.FmtName.trimmed());
    const int shown = slotCount(m_kind);
    for (int i = 0; i < 13; ++i) {
        m_slot[i]->setText(QString::number(slotColumn(f, i + 1)));
        m_slot[i]->setVisible(i < shown);
        m_slotCaption[i]->setVisible(i < shown);
        if (i < shown)
            m_slotCaption[i]->setText(slotCaption(m_kind, i + 1));
    }
    for (QLabel *h : m_rightHeadings)
        h->setVisible(m_kind == ImportKind::Customers);
    m_delimiter->setText(QString::number(f.DELIM));
    m_least->setText(QString::number(f.nFields));
    m_name->setFocus();
    adjustSize();
}

void TFmtDef::EditNumberExit()
{
    if (auto *e = qobject_cast<QLineEdit *>(sender()))
        e->setText(formatNumberText(e->text()));
}

void TFmtDef::BtnSaveClick()
{
    ImportFormatRecord f = db().importF.buf;
    f.FmtType = int(m_kind);
    f.FmtName = m_name->text();
    for (int i = 0; i < 13; ++i)
        f.number(i + 1) = formatNumberOf(m_slot[i]->text());
    f.DELIM = formatNumberOf(m_delimiter->text());
    f.nFields = formatNumberOf(m_least->text());
    long recNo = m_current;
    const FormatSave result = saveFormat(recNo, f);
    if (result != FormatSave::Saved) {
        ui().information(messageOf(result));
        return;
    }
    m_current = recNo;
    accept();
}

void TFmtDef::BtnCancelClick()
{
    reject();
}

void TFmtDef::BtnHelpClick()
{
    help().showTopic(helpContextOf(m_kind));
}

bool editFormat(long &current, ImportKind kind, QWidget *parent)
{
    TFmtDef window(current, kind, parent);
    return window.exec() == QDialog::Accepted;
}

} // namespace tlv
