#include "shell/MainU.h"

#include "data/Backup.h"
#include "data/Database.h"
#include "data/FileMaint.h"
#include "data/ProgramEnd.h"
#include "data/Settings.h"
#include "platform/Help.h"
#include "platform/Printer.h"
#include "platform/Ui.h"
#include "reports/ReportU.h"
#include "reports/RptUtil.h"
#include "shell/AboutU.h"
#include "shell/Chooser.h"
#include "shell/InstanceLock.h"
#include "widgets/EnterAsTab.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

void tlvInitShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace tlv {

void setUpApplication()
{
    tlvInitShellResources();
    // No display name: Qt would add it to every window's caption, and the
    // captions are the windows' own ("Invoice", "Payment"; the main window
    // says the program's name and version itself).
    QApplication::setApplicationName(QStringLiteral("Tarlvin"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarlvin.svg")));
    // The main window's buttons too, not only those of the editing windows.
    enterPressesFocusedButtons();
}

namespace {

// The "Report Generation" page: a picture stretched over the whole page, with
// the chooser grid on its right half.
class ReportPage : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, width(), height());
        g.setColorAt(0.0, QColor(0xe8, 0xf0, 0xf8));
        g.setColorAt(1.0, QColor(0xc4, 0xd6, 0xea));
        p.fillRect(rect(), g);
        const QIcon icon(QStringLiteral(":/icons/tarlvin.svg"));
        const int side = std::min(width() / 4, height() / 2);
        if (side > 16) {
            p.setOpacity(0.35);
            icon.paint(&p, QRect(width() / 4 - side / 2, height() / 2 - side / 2, side, side));
        }
    }
};

} // namespace

// ---- Progress panel -----------------------------------------------------

ProgressPanel::ProgressPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ProgressPanel"));
    setFixedWidth(110);
}

void ProgressPanel::setPercent(int percent)
{
    m_percent = std::clamp(percent, 0, 100);
    repaint();
}

void ProgressPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int bottom = height() - 1;
    if (m_percent > 0)
        p.fillRect(QRect(QPoint(5, 3), QPoint(5 + m_percent - 1, bottom - 1)), QColor(0, 0, 255));
    else
        p.fillRect(QRect(QPoint(5, 3), QPoint(104, bottom - 1)), QColor(192, 192, 192));
}

// ---- Main window --------------------------------------------------------

TMain::TMain(QWidget *parent) : QMainWindow(parent)
{
    tlvInitShellResources();
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Tarlvin Invoicing & Inventory"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarlvin.svg")));

    // Menu
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction *exitAction = file->addAction(QStringLiteral("E&xit"));
    exitAction->setObjectName(QStringLiteral("Exit1"));
    connect(exitAction, &QAction::triggered, this, &TMain::Exit1Click);
    QMenu *helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu->setObjectName(QStringLiteral("Help1"));
    QAction *about = helpMenu->addAction(QStringLiteral("About TLVN"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, &TMain::About1Click);
    helpMenu->addSeparator();
    QAction *contents = helpMenu->addAction(QStringLiteral("Help &Contents"));
    contents->setObjectName(QStringLiteral("Contents1"));
    connect(contents, &QAction::triggered, this, &TMain::Contents1Click);

    // Pages
    m_pages = new QTabWidget;
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(pageWithHelp(buildInvoicesPage(), QStringLiteral("Invoices"), 300),
                    QStringLiteral("Invoices"));
    m_pages->addTab(pageWithHelp(buildCustomersPage(), QStringLiteral("Customers"), 400),
                    QStringLiteral("Customers and Products"));
    m_pages->addTab(pageWithHelp(buildReportsPage(), QStringLiteral("Reports"), 500),
                    QStringLiteral("Report Generation"));
    m_pages->addTab(pageWithHelp(buildPreferencesPage(), QStringLiteral("Preferences"), 600),
                    QStringLiteral("Preferences"));
    m_pages->addTab(pageWithHelp(buildMaintenancePage(), QStringLiteral("Maintenance"), 700),
                    QStringLiteral("File Maintenance"));
    setCentralWidget(m_pages);

    // Status bar: panel 0 the progress bar, panel 1 the caption.
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    m_progressPanel = new ProgressPanel;
    m_caption = new QLabel;
    m_caption->setObjectName(QStringLiteral("StatusCaption"));
    bar->addWidget(m_progressPanel);
    bar->addWidget(m_caption, 1);

    m_about = new TAboutForm(this);
    m_about->setVersion(versionText());

    installCommands();

    connect(qApp, &QApplication::focusChanged, this, &TMain::focusChanged);

    resize(720, 460);
    fillChooser(1);
}

TMain::~TMain()
{
    // Children going away move the focus; this window no longer listens.
    disconnect(qApp, nullptr, this, nullptr);
    if (&progress() == this)
        setProgress(nullptr);
}

QString TMain::versionText() const
{
#ifdef TLV_VERSION
    return QStringLiteral(TLV_VERSION);
#else
    return QString();
#endif
}

QPushButton *TMain::commandButton(const QString &name, const QString &caption, const QString &hint, int icon)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    // Every command's icon at one size, so that the captions line up: one the
    // style offers only smaller is stretched to it.
    const QSize size(24, 24);
    QIcon glyph = style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon));
    if (glyph.actualSize(size) != size)
        glyph =
            QIcon(glyph.pixmap(QSize(128, 128)).scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    b->setIcon(glyph);
    b->setIconSize(size);
    b->setMinimumSize(190, 44);
    b->setStyleSheet(QStringLiteral("text-align: left; padding-left: 10px;"));
    // Commands come alive as their windows are built; until then they are
    // shown but cannot be pressed.
    b->setEnabled(false);
    return b;
}

QWidget *TMain::pageWithHelp(QWidget *content, const QString &name, int helpContext)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet") + name);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(content, 1);
    auto *row = new QHBoxLayout;
    row->addStretch();
    auto *helpButton = new QPushButton(QStringLiteral("&Help"));
    helpButton->setObjectName(QStringLiteral("BtnHelp") + name);
    connect(helpButton, &QPushButton::clicked, this, [helpContext] { help().showTopic(helpContext); });
    row->addWidget(helpButton);
    layout->addLayout(row);
    return page;
}

QWidget *TMain::buildInvoicesPage()
{
    auto *w = new QWidget;
    auto *grid = new QGridLayout(w);
    grid->setSpacing(14);
    grid->addWidget(commandButton(QStringLiteral("BtnInvoice"), QStringLiteral("Invoices"),
                                  QStringLiteral("Create and Edit Invoices"),
                                  QStyle::SP_FileDialogDetailedView),
                    0, 0);
    grid->addWidget(commandButton(QStringLiteral("BtnPrintInv"), QStringLiteral("Print Invoices"),
                                  QStringLiteral("Print Invoices by date"),
                                  QStyle::SP_FileDialogContentsView),
                    1, 0);
    grid->addWidget(commandButton(QStringLiteral("BtnInvLab"), QStringLiteral("Invoice Labels"),
                                  QStringLiteral("Print Invoice Mailing Labels by Date"),
                                  QStyle::SP_FileDialogListView),
                    2, 0);
    grid->addWidget(commandButton(QStringLiteral("BtnEMail"), QStringLiteral("EMail Invoices"),
                                  QStringLiteral("EMail Invoices by Invoice Date"), QStyle::SP_ArrowRight),
                    0, 1);
    grid->addWidget(commandButton(QStringLiteral("BtnPackList"), QStringLiteral("Packing List"),
                                  QStringLiteral("Print Packing List by Invoice Date"), QStyle::SP_FileIcon),
                    1, 1);
    grid->addWidget(commandButton(QStringLiteral("BtnPrintBatch"), QStringLiteral("Print Batch Labels"),
                                  QString(), QStyle::SP_FileDialogListView),
                    2, 1);
    grid->setRowStretch(3, 1);
    return w;
}

QWidget *TMain::buildCustomersPage()
{
    auto *w = new QWidget;
    auto *grid = new QGridLayout(w);
    grid->setSpacing(14);
    grid->addWidget(commandButton(QStringLiteral("BitBtnCust"), QStringLiteral("Customers"),
                                  QStringLiteral("Add and Modify Customers"), QStyle::SP_DirHomeIcon),
                    0, 0);
    grid->addWidget(commandButton(QStringLiteral("BitBtnProd"), QStringLiteral("Products && Services"),
                                  QStringLiteral("Define Products and Services you Sell"),
                                  QStyle::SP_FileDialogInfoView),
                    1, 0);
    grid->addWidget(commandButton(QStringLiteral("BitBtnInven"), QStringLiteral("Inventory Purchases"),
                                  QStringLiteral("Purchase Inventory"), QStyle::SP_FileDialogNewFolder),
                    2, 0);
    grid->addWidget(commandButton(QStringLiteral("BitBtn14"), QStringLiteral("Customer Groups"),
                                  QStringLiteral("Define Customer Groups"), QStyle::SP_DirIcon),
                    3, 0);
    grid->addWidget(commandButton(QStringLiteral("BitBtn15"), QStringLiteral("Product Listing"), QString(),
                                  QStyle::SP_FileDialogContentsView),
                    0, 1);
    grid->addWidget(commandButton(QStringLiteral("BitBtn16"), QStringLiteral("Purchase Report"), QString(),
                                  QStyle::SP_FileDialogContentsView),
                    1, 1);
    grid->addWidget(commandButton(QStringLiteral("BitBtn6"), QStringLiteral("Import Customers"), QString(),
                                  QStyle::SP_ArrowDown),
                    2, 1);
    grid->addWidget(commandButton(QStringLiteral("BitBtn7"), QStringLiteral("Import Products"), QString(),
                                  QStyle::SP_ArrowDown),
                    3, 1);
    grid->setRowStretch(4, 1);
    return w;
}

QWidget *TMain::buildReportsPage()
{
    m_reportPage = new ReportPage;
    m_reportPage->setObjectName(QStringLiteral("ReportPage"));
    m_reportPage->installEventFilter(this);
    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    m_speedButtons = new QButtonGroup(this);
    m_speedButtons->setExclusive(true);
    for (const ChooserList &list : chooserLists()) {
        auto *b = new QToolButton;
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(list.type));
        b->setText(list.button);
        b->setCheckable(true);
        b->setMinimumWidth(150);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_speedButtons->addButton(b, list.type);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    connect(m_speedButtons, &QButtonGroup::idClicked, this, &TMain::SpeedButtonClick);

    auto *layout = new QHBoxLayout(m_reportPage);
    layout->addLayout(buttons);
    layout->addStretch();

    // The grid is placed by hand (see placeChooser), not by the layout.
    m_grid = new QTableWidget(m_reportPage);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setColumnCount(1);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setFrameShape(QFrame::NoFrame);
    m_grid->setShowGrid(true);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TMain::StringGrid1DblClick);
    return m_reportPage;
}

QWidget *TMain::buildPreferencesPage()
{
    auto *w = new QWidget;
    auto *grid = new QGridLayout(w);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);

    auto *font = commandButton(QStringLiteral("BtnFont"), QStringLiteral("Report Font"),
                               QStringLiteral("Select a Font for printing reports"),
                               QStyle::SP_FileDialogDetailedView);
    m_fontText = new QLineEdit;
    m_fontText->setObjectName(QStringLiteral("Edit1"));
    m_fontText->setReadOnly(true);
    font->setEnabled(true);
    connect(font, &QPushButton::clicked, this, &TMain::BtnFontClick);
    grid->addWidget(font, 0, 0);
    grid->addWidget(m_fontText, 0, 1);

    auto *printerButton =
        commandButton(QStringLiteral("BtnPSetup"), QStringLiteral("Printer Setup"),
                      QStringLiteral("Select a printer for reports"), QStyle::SP_FileDialogContentsView);
    printerButton->setEnabled(true);
    connect(printerButton, &QPushButton::clicked, this, &TMain::BtnPSetupClick);
    m_printerText = new QLineEdit;
    m_printerText->setObjectName(QStringLiteral("Edit2"));
    m_printerText->setReadOnly(true);
    grid->addWidget(printerButton, 1, 0);
    grid->addWidget(m_printerText, 1, 1);

    auto *sortBox = new QGroupBox(QStringLiteral(" Display - Sort Customers "));
    sortBox->setObjectName(QStringLiteral("GroupBox1"));
    sortBox->setToolTip(QStringLiteral("Select how customers are displayed in pick lists"));
    auto *sortLayout = new QVBoxLayout(sortBox);
    auto *byName = new QRadioButton(QStringLiteral("By Name"));
    byName->setObjectName(QStringLiteral("RadioButton1"));
    auto *byMail = new QRadioButton(QStringLiteral("By EMail Address"));
    byMail->setObjectName(QStringLiteral("RadioButton2"));
    byName->setChecked(true);
    sortLayout->addWidget(byName);
    sortLayout->addWidget(byMail);
    m_sortBox = sortBox;

    auto *methodBox = new QGroupBox(QStringLiteral(" Inventory Method "));
    methodBox->setObjectName(QStringLiteral("GroupBox2"));
    methodBox->setToolTip(QStringLiteral("Select Inventory Method"));
    auto *methodLayout = new QVBoxLayout(methodBox);
    auto *fifo = new QRadioButton(QStringLiteral("First in - First out"));
    fifo->setObjectName(QStringLiteral("RadioButton3"));
    auto *lifo = new QRadioButton(QStringLiteral("Last in - First out"));
    lifo->setObjectName(QStringLiteral("RadioButton4"));
    fifo->setChecked(true);
    methodLayout->addWidget(fifo);
    methodLayout->addWidget(lifo);
    m_methodBox = methodBox;

    grid->addWidget(sortBox, 2, 0);
    grid->addWidget(methodBox, 2, 1);

    auto *more = new QGridLayout;
    more->setSpacing(10);
    more->addWidget(commandButton(QStringLiteral("BtnStationary"), QStringLiteral("Stationery"),
                                  QStringLiteral("Set up custom stationary"), QStyle::SP_FileIcon),
                    0, 0);
    more->addWidget(commandButton(QStringLiteral("BtnSTax"), QStringLiteral("Sales Tax"),
                                  QStringLiteral("Set up sales tax rates"), QStyle::SP_FileDialogInfoView),
                    0, 1);
    more->addWidget(commandButton(QStringLiteral("BtnLabForms"), QStringLiteral("Label Forms"),
                                  QStringLiteral("Define Address Label Stock"),
                                  QStyle::SP_FileDialogListView),
                    1, 0);
    more->addWidget(commandButton(QStringLiteral("BtnDirectories"), QStringLiteral("Import Dir's"), QString(),
                                  QStyle::SP_DialogOpenButton),
                    1, 1);
    more->addWidget(commandButton(QStringLiteral("BtnEMailSetup"), QStringLiteral("EMail Setup"), QString(),
                                  QStyle::SP_ArrowRight),
                    2, 0);
    grid->addLayout(more, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    return w;
}

QWidget *TMain::buildMaintenancePage()
{
    auto *w = new QWidget;
    auto *grid = new QGridLayout(w);
    grid->setSpacing(14);
    grid->addWidget(commandButton(QStringLiteral("BitBtn8"), QStringLiteral("Backup"), QString(),
                                  QStyle::SP_DialogSaveButton),
                    0, 0);
    grid->addWidget(commandButton(QStringLiteral("BitBtn9"), QStringLiteral("Restore"), QString(),
                                  QStyle::SP_DialogOpenButton),
                    1, 0);
    grid->addWidget(commandButton(QStringLiteral("BitBtn10"), QStringLiteral("Upgrade Data"), QString(),
                                  QStyle::SP_ArrowUp),
                    2, 0);
    QPushButton *reindex = commandButton(QStringLiteral("BitBtn11"), QStringLiteral("Re-Index Data"),
                                         QString(), QStyle::SP_BrowserReload);
    QPushButton *pack = commandButton(QStringLiteral("BitBtn12"), QStringLiteral("Pack Data"), QString(),
                                      QStyle::SP_DialogResetButton);
    QPushButton *erase = commandButton(QStringLiteral("BitBtn13"), QStringLiteral("Erase Data Files"),
                                       QString(), QStyle::SP_TrashIcon);
    for (QPushButton *b : {reindex, pack, erase})
        b->setEnabled(true);
    connect(reindex, &QPushButton::clicked, this, &TMain::BitBtn11Click);
    connect(pack, &QPushButton::clicked, this, &TMain::BitBtn12Click);
    connect(erase, &QPushButton::clicked, this, &TMain::BitBtn13Click);
    grid->addWidget(reindex, 0, 1);
    grid->addWidget(pack, 1, 1);
    grid->addWidget(erase, 2, 1);
    grid->setRowStretch(3, 1);
    return w;
}

// ---- Progress display ---------------------------------------------------

void TMain::showStatus(const QString &caption)
{
    m_caption->setText(caption);
    m_progressPanel->setPercent(0);
    repaint();
}

void TMain::showProgress(int percent)
{
    m_progressPanel->setPercent(percent);
}

// ---- Report chooser -----------------------------------------------------

void TMain::setChooserAction(int type, int row, Command action)
{
    m_chooserActions[{type, row}] = std::move(action);
    if (type == m_chooserType)
        fillChooser(type);
}

void TMain::SpeedButtonClick(int type)
{
    fillChooser(type);
}

void TMain::fillChooser(int type)
{
    const ChooserList *list = chooserList(type);
    if (!list)
        return;
    m_chooserType = type;
    if (QAbstractButton *b = m_speedButtons->button(type))
        b->setChecked(true);
    m_grid->clearContents();
    m_grid->setRowCount(static_cast<int>(list->entries.size()) + 1);
    auto *heading = new QTableWidgetItem(list->heading);
    heading->setFlags(Qt::ItemIsEnabled);
    QFont bold = m_grid->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setBackground(palette().button());
    m_grid->setItem(0, 0, heading);
    for (int i = 0; i < list->entries.size(); ++i) {
        auto *item = new QTableWidgetItem(list->entries[i]);
        const auto action = m_chooserActions.find({type, i + 1});
        if (action == m_chooserActions.end() || !action->second)
            item->setFlags(Qt::NoItemFlags); // not available in this version yet
        m_grid->setItem(i + 1, 0, item);
    }
    placeChooser();
}

void TMain::placeChooser()
{
    const ChooserList *list = chooserList(m_chooserType);
    if (!list || !m_reportPage)
        return;
    // Lines as wide and as high as their text in the font in use (the heading
    // bold), with the room an item view leaves around a cell's text, the grid
    // line and a character of air.
    QFont headingFont = m_grid->font();
    headingFont.setBold(true);
    const QFontMetrics entry(m_grid->font()), heading(headingFont);
    const int around =
        2 * (m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 1) + 1;
    const int rowHeight = std::max(entry.height(), heading.height()) * 7 / 4;
    const QRect r =
        chooserGeometry(*list, rowHeight, m_reportPage->size(), [&](const QString &line, bool head) {
            const QFontMetrics &fm = head ? heading : entry;
            return fm.horizontalAdvance(line) + around + fm.averageCharWidth();
        });
    m_grid->setGeometry(r);
    m_grid->setColumnWidth(0, r.width());
    for (int i = 0; i < m_grid->rowCount(); ++i)
        m_grid->setRowHeight(i, rowHeight);
}

void TMain::StringGrid1DblClick(int row, int)
{
    const ChooserList *list = chooserList(m_chooserType);
    if (!list)
        return;
    const int entry = chooserEntryForRow(*list, row);
    if (entry == 0)
        return;
    auto it = m_chooserActions.find({m_chooserType, entry});
    if (it != m_chooserActions.end() && it->second)
        it->second();
}

bool TMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_reportPage && event->type() == QEvent::Resize)
        placeChooser();
    return QMainWindow::eventFilter(watched, event);
}

// ---- Preferences ----------------------------------------------------------

void TMain::showPrinter()
{
    const Printer &p = printer();
    m_printerText->setText(p.name() +
                           (p.landscape() ? QStringLiteral("-Landscape") : QStringLiteral("-Portrait")));
}

void TMain::BtnPSetupClick()
{
    ui().printerSetup();
    showPrinter();
}

// ---- Menu -----------------------------------------------------------------

void TMain::About1Click()
{
    m_about->setStarting(false);
    m_about->exec();
}

void TMain::Contents1Click()
{
    help().showContents();
}

void TMain::Exit1Click()
{
    close();
}

// ---- Start-up ---------------------------------------------------------------

void TMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    placeChooser();
}

void TMain::FormShow()
{
    setProgress(this);
    showPrinter();
    fillChooser(1);
    if (!m_startUpOnShow)
        return;
    // Start-up runs once the window is on the screen.
    QTimer::singleShot(0, this, [this] {
        if (!startUp())
            endProgram(QStringLiteral("Start-up stopped"));
    });
}

QStringList TMain::startupFiles()
{
    return {QStringLiteral("TLV2.dbf"),   QStringLiteral("CUST5.dbf"), QStringLiteral("GROUPS.dbf"),
            QStringLiteral("INV6.dbf"),   QStringLiteral("ITM5.dbf"),  QStringLiteral("LABELS.dbf"),
            QStringLiteral("PMT.dbf"),    QStringLiteral("Prod5.dbf"), QStringLiteral("Pur5.dbf"),
            QStringLiteral("ImportF.dbf")};
}

QString TMain::firstMissingFile(const QString &dir)
{
    const QStringList present = QDir(dir).entryList(QDir::Files);
    for (const QString &wanted : startupFiles()) {
        bool found = false;
        for (const QString &f : present)
            found = found || f.compare(wanted, Qt::CaseInsensitive) == 0;
        if (!found)
            return wanted;
    }
    return QString();
}

bool TMain::startUp()
{
    const QString version = versionText();
    m_about->setVersion(version);
    m_about->setStarting(true);
    m_about->show();
    m_about->raise();
    m_about->repaint();
    QElapsedTimer shown;
    shown.start();

    if (!firstMissingFile(QDir::currentPath()).isEmpty()) {
        m_about->hide();
        ui().information(
            QStringLiteral("Database files not found in startup directory\n"
                           "Program must be started from the directory containing the data files."));
        return false;
    }
    // Only a directory that holds the data is claimed, so a start from the
    // wrong one leaves no lock file behind.
    auto lock = std::make_unique<InstanceLock>(QDir::currentPath());
    if (!lock->acquired()) {
        const QString dir = QDir::toNativeSeparators(QDir::currentPath());
        m_about->hide();
        ui().information(
            lock->status() == InstanceLock::Status::InUse
                ? QStringLiteral("Tarlvin Invoicing & Inventory is already running on the data in\n%1\n"
                                 "or a tlvtool command is working on it.\n"
                                 "Only one of them may work on the same data at a time.")
                      .arg(dir)
                : QStringLiteral(
                      "Unable to write to the data directory\n%1\n"
                      "The program must be able to write to the directory containing the data files.")
                      .arg(dir));
        return false;
    }
    m_lock = std::move(lock);
    // A restore cut short while renaming its files into place: the files it
    // kept aside go back, so the data is the one before the restore.
    const bool restoreUndone = recoverInterruptedRestore(QDir::currentPath());
    if (restoreUndone)
        ui().information(QStringLiteral("The last restore did not finish.\n"
                                        "The data files as they were before it have been put back."));
    Db &d = db();
    d.session();
    // After a run that was cut short an index may have missed the last
    // changes of its table: all of them are built again.
    rebuildIndexes(!m_lock->previousRunInterrupted() && !restoreUndone);
    loadSettings();
    setWindowTitle(QStringLiteral("Tarlvin Invoicing & Inventory ") + version);
    d.packNeeded = false;

    setReportFont(settingsReportFont(font()));
    showReportFont();
    showPrinter();

    findChild<QRadioButton *>(QStringLiteral("RadioButton1"))->setChecked(settings().ByCust);
    findChild<QRadioButton *>(QStringLiteral("RadioButton2"))->setChecked(!settings().ByCust);
    findChild<QRadioButton *>(QStringLiteral("RadioButton3"))->setChecked(settings().fifo);
    findChild<QRadioButton *>(QStringLiteral("RadioButton4"))->setChecked(!settings().fifo);
    fillChooser(1);

    // Leave the About window up long enough to be read.
    const qint64 left = m_aboutPause - shown.elapsed();
    if (left > 0) {
        QEventLoop wait;
        QTimer::singleShot(static_cast<int>(left), &wait, &QEventLoop::quit);
        wait.exec();
    }
    m_about->hide();
    m_about->setStarting(false);
    m_started = true;
    activateWindow();
    raise();
    return true;
}

void TMain::closeEvent(QCloseEvent *event)
{
    if (m_started) {
        Db &d = db();
        d.closeAll();
        // An error the engine still holds means something went wrong that
        // nobody reported: end without packing, as after any engine failure.
        const int rc = d.hasSession() ? code4errorCode(d.session(), 0) : 0;
        if (rc < 0) {
            ui().information(QStringLiteral("Database engine error %1\nProgram will now terminate.").arg(rc));
            endProgram(QStringLiteral("engine error"));
        }
        // A choice whose box still has the focus has not been saved yet.
        keepPreferences();
        if (d.packNeeded)
            packAll();
        d.endSession();
        m_started = false;
    }
    // The run ended properly: the next start has nothing to repair.
    m_lock.reset();
    // The program ends with this window: help or any other window still open
    // goes with it, so nothing keeps the program running.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
    event->accept();
}

void TMain::busy(const std::function<void()> &work)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore
    {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    work();
}

// ---- Preferences ------------------------------------------------------------

void TMain::showReportFont()
{
    const QFont f = reportFont();
    m_fontText->setText(f.family() + QLatin1Char('@') + QString::number(f.pointSize()));
}

void TMain::BtnFontClick()
{
    if (const auto chosen = ui().chooseFont(reportFont()))
        setReportFont(*chosen);
    const QFont f = reportFont();
    showReportFont();
    // Saved also when the dialog was cancelled: the record is rewritten as it is.
    settings().FontName = f.family();
    settings().FontSize = f.pointSize();
    saveSettings();
}

void TMain::focusChanged(QWidget *old, QWidget *now)
{
    if (!old || !m_started)
        return;
    for (QGroupBox *box : {m_sortBox, m_methodBox}) {
        if (box && box->isAncestorOf(old) && !(now && box->isAncestorOf(now))) {
            if (box == m_sortBox)
                GroupBox1Exit();
            else
                GroupBox2Exit();
        }
    }
}

void TMain::keepPreferences()
{
    if (findChild<QRadioButton *>(QStringLiteral("RadioButton1"))->isChecked() != settings().ByCust)
        GroupBox1Exit();
    if (findChild<QRadioButton *>(QStringLiteral("RadioButton3"))->isChecked() != settings().fifo)
        GroupBox2Exit();
}

void TMain::GroupBox1Exit()
{
    settings().ByCust = findChild<QRadioButton *>(QStringLiteral("RadioButton1"))->isChecked();
    saveSettings();
}

void TMain::GroupBox2Exit()
{
    settings().fifo = findChild<QRadioButton *>(QStringLiteral("RadioButton3"))->isChecked();
    saveSettings();
}

// ---- File maintenance ---------------------------------------------------------

void TMain::BitBtn11Click()
{
    busy([] { rebuildIndexes(false); });
}

void TMain::BitBtn12Click()
{
    busy([] { packAll(); });
}

void TMain::BitBtn13Click()
{
    eraseData();
}

} // namespace tlv
