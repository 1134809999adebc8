#pragma once
// A disk that fills up: while a FileSizeLimit lives, no file may grow beyond
// the given size; a write at or past it fails (EFBIG) as on a full disk,
// without the signal that would end the process.
#include <QFileInfo>
#include <QString>
#include <csignal>
#include <sys/resource.h>

namespace tlv::test {

class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    static qint64 sizeOf(const QString &file) { return QFileInfo(file).size(); }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace tlv::test
