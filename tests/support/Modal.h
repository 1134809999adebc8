#pragma once
// Driving flows that nest modal windows (a pick list opens an editor, which
// opens another pick list) without hanging a test.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace tlv::test {

// Polls for the first active modal widget of type T and runs the action on it
// once. Register it before the click that opens the modal window. If no such
// window appears within the time given, the test fails.
class ModalAction : public QObject
{
public:
    ModalAction(const QMetaObject &type, std::function<void(QWidget *)> action, int timeoutMs);
    ~ModalAction() override;
    bool done() const { return m_done; }

private:
    void poll();
    const QMetaObject &m_type;
    std::function<void(QWidget *)> m_action;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    QElapsedTimer m_seen;
    int m_timeoutMs;
    bool m_done = false;
    bool m_running = false;
};

// Register an action on the next modal window of type T.
template <typename T> ModalAction *onModal(std::function<void(T *)> action, int timeoutMs = 5000)
{
    return new ModalAction(
        T::staticMetaObject, [action](QWidget *w) { action(static_cast<T *>(w)); }, timeoutMs);
}

// Rejects every modal window still open after the deadline, repeatedly, so a
// forgotten or unexpected window ends the test as a failure instead of a hang.
class ModalWatchdog : public QObject
{
public:
    explicit ModalWatchdog(int deadlineMs = 20000);
    ~ModalWatchdog() override;
    bool fired() const { return m_fired; }

private:
    QTimer m_timer;
    bool m_fired = false;
};

} // namespace tlv::test
