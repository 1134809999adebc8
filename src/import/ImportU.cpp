#include "import/ImportU.h"

#include "data/Database.h"
#include "data/TableScope.h"
#include "import/FmtDefU.h"
#include "masterdata/GroupDefU.h"
#include "picklists/PickGroupU.h"
#include "platform/Help.h"
#include "platform/Ui.h"
#include "widgets/FormKitU.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

namespace tlv {

TImport::TImport(ImportKind kind, QWidget *parent) : QDialog(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("Import"));
    setWindowTitle(QStringLiteral("Import"));

    m_formats = new QComboBox;
    m_formats->setObjectName(QStringLiteral("ComboBox1"));
    m_formats->setMinimumContentsLength(30);
    connect(m_formats, &QComboBox::activated, this, &TImport::ComboBox1Change);
    auto *add = namedButton("BtnAdd", QStringLiteral("Add"), this, &TImport::BtnAddClick);
    auto *edit = namedButton("BtnEdit", QStringLiteral("Edit"), this, &TImport::BtnEditClick);
    auto *formatBox = new QGroupBox(QStringLiteral("Import Format"));
    auto *formatRow = new QHBoxLayout(formatBox);
    formatRow->addWidget(m_formats, 1);
    formatRow->addWidget(add);
    formatRow->addWidget(edit);

    m_file = namedEdit("Edit1");
    m_file->setMinimumWidth(m_file->fontMetrics().horizontalAdvance(QLatin1Char('n')) * 40);
    auto *browse = namedButton("BtnBrowse", QStringLiteral("Browse"), this, &TImport::BtnBrowseClick);
    auto *fileBox = new QGroupBox(QStringLiteral("Import from File"));
    auto *fileRow = new QHBoxLayout(fileBox);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);

    auto *import = namedButton("BtnImport", QStringLiteral("Import"), this, &TImport::BtnImportClick);
    auto *preview = namedButton("BtnPreview", QStringLiteral("Preview"), this, &TImport::BtnPreviewClick);
    auto *exitButton = namedButton("BtnExit", QStringLiteral("Exit"), this, &TImport::BtnExitClick);
    auto *helpButton = namedButton("BtnHelp", QStringLiteral("Help"), this, &TImport::BtnHelpClick);

    m_status = new QStatusBar;
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(formatBox);
    layout->addWidget(fileBox);
    layout->addStretch(1);
    layout->addLayout(buttonRow({import, preview, exitButton, helpButton}));
    layout->addWidget(m_status);

    auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, &TImport::BtnHelpClick);
}

void TImport::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TImport::FormShow()
{
    db().importF.open();
    m_current = 0;
    fillFormats();
}

void TImport::fillFormats()
{
    m_formats->clear();
    m_formatRecNos.clear();
    int position = 0;
    for (const FormatListEntry &e : formatsOf(m_kind)) {
        if (m_current == 0)
            m_current = e.recNo;
        if (e.recNo == m_current)
            position = int(m_formatRecNos.size());
        m_formats->addItem(e.name);
        m_formatRecNos << e.recNo;
    }
    m_noFormats = m_formatRecNos.isEmpty();
    if (m_noFormats) {
        m_formats->addItem(QStringLiteral("Click Add to create a format"));
        m_formats->setCurrentIndex(0);
        return;
    }
    m_formats->setCurrentIndex(position);
    loadFormat(m_current);
}

void TImport::ComboBox1Change(int index)
{
    if (m_noFormats || index < 0 || index >= m_formatRecNos.size())
        return;
    m_current = m_formatRecNos.at(index);
    loadFormat(m_current);
}

void TImport::BtnAddClick()
{
    const long remembered = m_current;
    m_current = 0;
    if (!editFormat(m_current, m_kind, this))
        m_current = remembered;
    fillFormats();
}

void TImport::BtnEditClick()
{
    // Without a format of this kind, Edit starts a new one, as Add does.
    if (m_noFormats)
        m_current = 0;
    editFormat(m_current, m_kind, this);
    fillFormats();
}

void TImport::BtnBrowseClick()
{
    const QString current = QDir::currentPath();
    const QString name =
        ui().openFileName(QStringLiteral("Import from File"), m_file->text().trimmed(), QStringLiteral("*"));
    if (!name.isEmpty())
        m_file->setText(name);
    m_fileName = m_file->text();
    QDir::setCurrent(current);
}

bool TImport::mayImport()
{
    const QString refusal = importRefusal(!m_noFormats && m_current > 0, m_file->text());
    if (!refusal.isEmpty()) {
        ui().plain(refusal);
        return false;
    }
    return true;
}

ImportResult TImport::run(const ImportOptions &given)
{
    ImportOptions options = given;
    // The status line names each record; the window is drawn a few times a
    // second, not for every line.
    QElapsedTimer shown;
    shown.start();
    options.status = [this, &shown](const QString &text) {
        m_status->showMessage(text);
        if (text.isEmpty() || shown.elapsed() >= 100) {
            shown.restart();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    };
    m_fileName = m_file->text().trimmed();
    loadFormat(m_current);
    const ImportFormatRecord format = db().importF.buf;
    setEnabled(false);
    const ImportResult result = importFile(format, m_fileName, options);
    setEnabled(true);
    return result;
}

void TImport::BtnImportClick()
{
    if (!mayImport())
        return;
    ImportOptions options;
    if (m_kind == ImportKind::Customers) {
        auto &groups = db().groups;
        groups.open();
        const bool chosen = runPickGroup(/*allowNew=*/true);
        if (chosen && groups.go(db().selected.group) == 0) {
            groups.read();
            options.group = groups.buf.nGroup;
        }
        groups.close();
        if (!chosen)
            return;
    }
    const ImportResult result = run(options);
    ui().plain(messageOf(result, m_kind));
}

void TImport::BtnPreviewClick()
{
    if (!mayImport())
        return;
    ImportOptions options;
    options.preview = true;
    const ImportResult result = run(options);
    QStringList lines;
    lines.reserve(result.verdicts.size() + 2);
    for (const LineVerdict &v : result.verdicts)
        lines << verdictText(v, true);
    lines << QString() << messageOf(result, m_kind, true);
    TImportPreview window(lines.join(QLatin1Char('\n')), this);
    window.exec();
}

void TImport::BtnExitClick()
{
    accept();
}

void TImport::BtnHelpClick()
{
    help().showTopic(m_kind == ImportKind::Customers ? 425 : 445);
}

TImportPreview::TImportPreview(const QString &text, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportPreview"));
    setWindowTitle(QStringLiteral("Import Preview"));
    auto *list = new QPlainTextEdit;
    list->setObjectName(QStringLiteral("Memo1"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(text);
    auto *close = namedButton("BtnClose", QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list, 1);
    layout->addLayout(buttonRow({close}));
    resize(640, 420);
}

void runImport(ImportKind kind, QWidget *parent)
{
    installGroupEditor();
    // A record that could not be written is marked deleted and goes with the
    // pack at the end.
    TableScope scope(kind == ImportKind::Customers ? packList::customers : packList::products);
    TImport window(kind, parent);
    window.exec();
}

} // namespace tlv
