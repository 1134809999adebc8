#pragma once
// A temporary directory made the current one for the test's lifetime: the
// program works in its start-up directory.
#include <QDir>
#include <QTemporaryDir>

namespace tlv::test {

class TempDataDir
{
public:
    TempDataDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~TempDataDir() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Copies the files of a fixture folder under tests/data/fixtures into the directory.
    bool copyFixture(const QString &fixture) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

inline bool TempDataDir::copyFixture(const QString &fixture) const
{
    QDir src(QStringLiteral(TLV_SOURCE_DIR "/tests/data/fixtures/") + fixture);
    if (!src.exists())
        return false;
    for (const QString &f : src.entryList(QDir::Files))
        if (!QFile::copy(src.filePath(f), m_dir.filePath(f)))
            return false;
    return true;
}

} // namespace tlv::test
