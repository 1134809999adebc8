#include "platform/qt/QtHelp.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>

namespace tlv {

namespace {

class HelpWindow : public QTextBrowser
{
public:
    HelpWindow()
    {
        setObjectName(QStringLiteral("HelpWindow"));
        setWindowTitle(QStringLiteral("Tarlvin Help"));
        setSearchPaths({QStringLiteral(":/help")});
        resize(640, 560);
    }

    // Makes the window belong to `owner` (none: a window of its own), which
    // it follows when it closes.
    void belongTo(QWidget *owner)
    {
        if (parentWidget() == owner)
            return;
        if (parentWidget())
            parentWidget()->removeEventFilter(this);
        setParent(owner, Qt::Window);
        if (owner)
            owner->installEventFilter(this);
    }

    void showPage(const QString &page)
    {
        if (QFile::exists(QStringLiteral(":/help/") + page))
            setSource(QUrl(QStringLiteral("qrc:/help/") + page));
        else
            setHtml(QStringLiteral("<p>No help pages are installed.</p>"));
    }

    void centreOn(const QWidget *explained)
    {
        // The frame is known only once the window has been shown: until then
        // it is taken to be that of the window explained.
        const auto frameOf = [](const QWidget *w) {
            const QRect f = w->frameGeometry(), g = w->geometry();
            return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                            f.bottom() - g.bottom());
        };
        const QMargins frame = frameOf(this).isNull() ? frameOf(explained) : frameOf(this);
        QRect r(QPoint(), size());
        r.moveCenter(explained->geometry().center());
        r = r.marginsAdded(frame);
        if (const QScreen *screen = explained->screen()) {
            const QRect room = screen->availableGeometry();
            r.moveLeft(std::max(room.left(), std::min(r.left(), room.right() + 1 - r.width())));
            r.moveTop(std::max(room.top(), std::min(r.top(), room.bottom() + 1 - r.height())));
        }
        move(r.topLeft());
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QTextBrowser::keyPressEvent(event);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Hide)
            close();
        return QTextBrowser::eventFilter(watched, event);
    }
};

} // namespace

QtHelp::~QtHelp()
{
    delete m_window;
}

void QtHelp::showTopic(int context)
{
    const QString page = QStringLiteral("%1.html").arg(context);
    open(QFile::exists(QStringLiteral(":/help/") + page) ? page : QStringLiteral("index.html"));
}

void QtHelp::showContents()
{
    open(QStringLiteral("index.html"));
}

void QtHelp::open(const QString &page)
{
    // A modal window blocks every window but its own: help asked for from
    // one must belong to it to be usable.
    QWidget *owner = QApplication::activeModalWidget();
    QWidget *explained = QApplication::activeWindow();
    if (!explained || explained == m_window)
        explained = owner;
    if (!m_window)
        m_window = new HelpWindow;
    auto *window = static_cast<HelpWindow *>(m_window.data());
    const bool newOwner = window->parentWidget() != owner;
    window->belongTo(owner);
    window->showPage(page);
    if (explained && (newOwner || !window->isVisible()))
        window->centreOn(explained);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace tlv
