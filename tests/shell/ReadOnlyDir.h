#pragma once
// A directory this process may read but not write, for the guard's lifetime.
// Root writes anywhere whatever the permissions say, so a test run as root
// takes the effective user id of "nobody" meanwhile.
#include <QFile>
#include <QString>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace tlv::test {

class ReadOnlyDir
{
public:
    explicit ReadOnlyDir(const QString &dir) : m_dir(dir), m_mode(QFile::permissions(dir))
    {
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                       QFile::ReadOther | QFile::ExeOther);
        if (geteuid() == 0)
            m_droppedRoot = seteuid(65534) == 0;
    }
    ~ReadOnlyDir()
    {
        if (m_droppedRoot && seteuid(0) != 0)
            std::abort(); // the rest of the run would work without its rights
        QFile::setPermissions(m_dir, m_mode);
    }
    ReadOnlyDir(const ReadOnlyDir &) = delete;
    ReadOnlyDir &operator=(const ReadOnlyDir &) = delete;

    // False on a file system that ignores the permissions.
    bool writeProtected() const
    {
        return faccessat(AT_FDCWD, QFile::encodeName(m_dir).constData(), W_OK, AT_EACCESS) != 0;
    }

private:
    QString m_dir;
    QFile::Permissions m_mode;
    bool m_droppedRoot = false;
};

} // namespace tlv::test
