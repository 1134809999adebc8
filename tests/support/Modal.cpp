#include "support/Modal.h"

#include <QMetaObject>
#include <QWidget>
#include <gtest/gtest.h>

namespace tlv::test {

ModalAction::ModalAction(const QMetaObject &type, std::function<void(QWidget *)> action, int timeoutMs)
    : m_type(type), m_action(std::move(action)), m_timeoutMs(timeoutMs)
{
    m_elapsed.start();
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &ModalAction::poll);
    m_timer.start();
}

ModalAction::~ModalAction()
{
    if (!m_done)
        ADD_FAILURE() << "no modal " << m_type.className() << " appeared";
}

void ModalAction::poll()
{
    if (m_done || m_running)
        return;
    QWidget *w = QApplication::activeModalWidget();
    if (w && w->isVisible() && w->inherits(m_type.className())) {
        // Typing and Tab only behave as for a user once the window has the
        // focus; on a loaded machine activation can lag the showing, so wait
        // for it a little while before acting anyway.
        if (QApplication::activeWindow() != w) {
            if (!m_seen.isValid())
                m_seen.start();
            if (m_seen.elapsed() < 2000) {
                w->activateWindow();
                return;
            }
        }
        m_running = true;
        m_timer.stop();
        m_done = true;
        m_action(w);
        m_running = false;
        deleteLater();
        return;
    }
    if (m_elapsed.elapsed() > m_timeoutMs) {
        m_timer.stop();
        ADD_FAILURE() << "timed out waiting for a modal " << m_type.className();
        m_done = true;
        deleteLater();
    }
}

ModalWatchdog::ModalWatchdog(int deadlineMs)
{
    m_timer.setSingleShot(false);
    m_timer.setInterval(deadlineMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.setInterval(200);
        while (QWidget *w = QApplication::activeModalWidget()) {
            m_fired = true;
            ADD_FAILURE() << "modal window " << w->metaObject()->className() << " \""
                          << w->windowTitle().toStdString() << "\" was still open at the deadline";
            if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
            else
                w->close();
            QCoreApplication::processEvents();
            if (QApplication::activeModalWidget() == w)
                break;
        }
    });
    m_timer.start();
}

ModalWatchdog::~ModalWatchdog()
{
    m_timer.stop();
}

} // namespace tlv::test
