#pragma once
// The main window: five pages of commands, a menu and the status bar that
// carries the progress display.
#include "platform/Progress.h"

#include <QMainWindow>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace tlv {

class DataLock;
class TAboutForm;

// What the program sets on the application object before its first window:
// its name, its icon and the keyboard rules every window follows.
void setUpApplication();

// Panel 0 of the status bar: the progress bar, drawn by hand.
class ProgressPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget *parent = nullptr);
    int percent() const { return m_percent; }
    void setPercent(int percent);
    QSize sizeHint() const override { return QSize(110, 20); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_percent = 0;
};

class TMain : public QMainWindow, public Progress
{
    Q_OBJECT
public:
    explicit TMain(QWidget *parent = nullptr);
    ~TMain() override;

    // The progress display.
    void showStatus(const QString &caption) override;
    void showProgress(int percent) override;

    // Runs a command's code with the hourglass shown.
    using Command = std::function<void()>;
    // What a chooser entry runs; entries without one are shown greyed.
    void setChooserAction(int type, int row, Command action);

    int chooserType() const { return m_chooserType; }
    TAboutForm *aboutForm() const { return m_about; }
    QString versionText() const;

    // The start-up sequence: the About window, the data-file check, the
    // claim on the data directory, the engine session, the quiet re-index
    // (a full one after a run that did not end properly), the settings and
    // the preferences. False when the data files are missing or the
    // directory cannot be claimed (the program then ends).
    bool startUp();
    // Whether showing the window runs the start-up (tests call it themselves).
    void setStartUpOnShow(bool on) { m_startUpOnShow = on; }
    // How long the About window stays up at the least while starting (ms).
    void setAboutPause(int ms) { m_aboutPause = ms; }
    // The ten tables the start-up check asks for, in its order.
    static QStringList startupFiles();
    // The first of them missing from the directory; "" when all are there.
    static QString firstMissingFile(const QString &dir);

public slots:
    void FormShow();
    void SpeedButtonClick(int type);
    void StringGrid1DblClick(int row, int column);
    void BtnPSetupClick();
    void About1Click();
    void Contents1Click();
    void Exit1Click();
    void BtnFontClick();
    void GroupBox1Exit();
    void GroupBox2Exit();
    void BitBtn11Click();
    void BitBtn12Click();
    void BitBtn13Click();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildInvoicesPage();
    QWidget *buildCustomersPage();
    QWidget *buildReportsPage();
    QWidget *buildPreferencesPage();
    QWidget *buildMaintenancePage();
    QPushButton *commandButton(const QString &name, const QString &caption, const QString &hint, int icon);
    // Connects the command buttons and chooser entries to the windows and
    // reports that carry them out (CommandsU.cpp).
    void installCommands();
    // Enables the named button and runs the command when it is pressed.
    void setCommand(const char *button, Command command);
    QWidget *pageWithHelp(QWidget *content, const QString &name, int helpContext);
    void fillChooser(int type);
    void placeChooser();
    void showPrinter();
    void showReportFont();
    void focusChanged(QWidget *old, QWidget *now);
    // Saves the preferences whose buttons differ from the settings.
    void keepPreferences();
    // Runs a command with the hourglass shown.
    void busy(const std::function<void()> &work);

    QTabWidget *m_pages = nullptr;
    QWidget *m_reportPage = nullptr;
    QTableWidget *m_grid = nullptr;
    QButtonGroup *m_speedButtons = nullptr;
    ProgressPanel *m_progressPanel = nullptr;
    QLabel *m_caption = nullptr;
    QLineEdit *m_fontText = nullptr;
    QLineEdit *m_printerText = nullptr;
    TAboutForm *m_about = nullptr;
    QGroupBox *m_sortBox = nullptr;
    QGroupBox *m_methodBox = nullptr;
    int m_chooserType = 1;
    int m_aboutPause = 1728; // 2e-5 of a day
    bool m_shown = false;
    bool m_started = false;
    bool m_startUpOnShow = true;
    std::unique_ptr<DataLock> m_lock; // held from the start-up to the close
    std::map<std::pair<int, int>, Command> m_chooserActions;
};

} // namespace tlv
