#pragma once
// The main window: five pages of commands, a menu and the status bar that
// carries the progress display.
#include "platform/Progress.h"

#include <QMainWindow>
#include <QWidget>
#include <functional>
#include <map>

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

class TAboutForm;

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

public slots:
    void FormShow();
    void SpeedButtonClick(int type);
    void StringGrid1DblClick(int row, int column);
    void BtnPSetupClick();
    void About1Click();
    void Contents1Click();
    void Exit1Click();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildInvoicesPage();
    QWidget *buildCustomersPage();
    QWidget *buildReportsPage();
    QWidget *buildPreferencesPage();
    QWidget *buildMaintenancePage();
    QPushButton *commandButton(const QString &name, const QString &caption, const QString &hint, int icon);
    QWidget *pageWithHelp(QWidget *content, const QString &name, int helpContext);
    void fillChooser(int type);
    void placeChooser();
    void showPrinter();

    QTabWidget *m_pages = nullptr;
    QWidget *m_reportPage = nullptr;
    QTableWidget *m_grid = nullptr;
    QButtonGroup *m_speedButtons = nullptr;
    ProgressPanel *m_progressPanel = nullptr;
    QLabel *m_caption = nullptr;
    QLineEdit *m_fontText = nullptr;
    QLineEdit *m_printerText = nullptr;
    TAboutForm *m_about = nullptr;
    int m_chooserType = 1;
    bool m_shown = false;
    std::map<std::pair<int, int>, Command> m_chooserActions;
};

} // namespace tlv
