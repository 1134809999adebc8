#pragma once
// The program ends at once when a table cannot be opened. Library code never
// exits by itself: it calls endProgram(), which runs the handler the program's
// main installed (close the session and exit) and, when no handler ends the
// process, throws ProgramEnded. Tests and tlvtool catch that exception.
#include <QString>
#include <exception>
#include <functional>

namespace tlv {

class ProgramEnded : public std::exception
{
public:
    explicit ProgramEnded(QString reason) : m_reason(std::move(reason)), m_what(m_reason.toLocal8Bit()) {}
    const QString &reason() const { return m_reason; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_reason;
    QByteArray m_what;
};

// Installs what ending the program means (null: throw ProgramEnded). The
// handler is given the reason; when it returns, ProgramEnded is thrown.
void setProgramEndHandler(std::function<void(const QString &reason)> handler);

[[noreturn]] void endProgram(const QString &reason);

} // namespace tlv
