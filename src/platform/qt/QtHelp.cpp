#include "platform/qt/QtHelp.h"

#include <QFile>
#include <QTextBrowser>

namespace tlv {

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
    if (!m_window) {
        m_window = new QTextBrowser;
        m_window->setObjectName(QStringLiteral("HelpWindow"));
        m_window->setWindowTitle(QStringLiteral("Tarlvin Help"));
        m_window->setSearchPaths({QStringLiteral(":/help")});
        m_window->resize(640, 560);
    }
    if (QFile::exists(QStringLiteral(":/help/") + page))
        m_window->setSource(QUrl(QStringLiteral("qrc:/help/") + page));
    else
        m_window->setHtml(QStringLiteral("<p>No help pages are installed.</p>"));
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace tlv
