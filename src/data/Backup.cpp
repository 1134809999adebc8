#include "data/Backup.h"

#include "data/Database.h"
#include "data/FileMaint.h"
#include "data/xbase/FileIo.h"
#include "platform/Progress.h"
#include "platform/Ui.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tlv {

namespace {

constexpr BackupFile copyOrder[] = {
    {"CUST5.dbf", 20}, {"CUST5.dbt", 30},  {"GROUPS.dbf", 35}, {"INV6.dbf", 45},
    {"INV6.dbt", 55},  {"ITM5.dbf", 70},   {"LABELS.dbf", 75}, {"PMT.dbf", 85},
    {"Pur5.dbf", 95},  {"Prod5.dbf", 100}, {"Prod5.dbt", 0},
};

// Suffixes of the files a copy works with beside its target.
const QString partSuffix = QStringLiteral(".part"); // a backup copy being written
const QString newSuffix = QStringLiteral(".new");   // a restored file waiting for its rename
const QString undoSuffix = QStringLiteral(".undo"); // a data file kept while a restore renames
const QString undoMarker = QStringLiteral("RESTORE.UNDO");

RemovableCheck g_removable = nullptr;

QString withSeparator(const QString &dir)
{
    QString d = dir.trimmed();
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}

// dir/name whatever the case of the name's letters; "" when absent.
QString locate(const QString &dir, const QString &name)
{
    return QString::fromStdString(
        xbase::locateNoCase(QFile::encodeName(dir).toStdString(), QFile::encodeName(name).toStdString()));
}

std::string native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

struct Copied
{
    bool ok = false;
    int error = 0; // errno of the failure
    QByteArray sum;
    qint64 size = 0;
};

// Writes the bytes of source to target (created or truncated) and syncs them;
// every write goes through the engine's fault plan. A failure removes target.
Copied writeCopy(const QString &source, const QString &target)
{
    Copied c;
    const int in = ::open(native(source).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        c.error = errno;
        return c;
    }
    struct stat st;
    const mode_t mode = fstat(in, &st) == 0 ? (st.st_mode & 0777) | 0600 : 0644;
    const int out = ::open(native(target).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (out < 0) {
        c.error = errno;
        ::close(in);
        return c;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> buf(1 << 16);
    uint64_t off = 0;
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            c.error = errno;
            ok = false;
            break;
        }
        if (n == 0)
            break;
        errno = 0;
        if (!xbase::writeFully(out, buf.data(), size_t(n), off)) {
            c.error = errno ? errno : EIO;
            ok = false;
            break;
        }
        hash.addData(QByteArrayView(buf.data(), n));
        off += uint64_t(n);
    }
    if (ok && !xbase::syncFd(out)) {
        c.error = errno ? errno : EIO;
        ok = false;
    }
    if (::close(out) != 0 && ok) {
        c.error = errno;
        ok = false;
    }
    ::close(in);
    if (!ok) {
        xbase::removeFile(native(target));
        return c;
    }
    c.ok = true;
    c.sum = hash.result().toHex();
    c.size = qint64(off);
    return c;
}

// Renames through the fault plan; errno tells why it failed.
bool renameInto(const QString &from, const QString &to)
{
    errno = 0;
    if (xbase::renameFile(native(from), native(to)))
        return true;
    if (errno == 0)
        errno = EIO;
    return false;
}

bool chosen(const QString &text)
{
    return ui().message(BoxKind::Information, text, Buttons::OkCancel) == Answer::Ok;
}

// ---- The list of sums ------------------------------------------------------

struct Sum
{
    qint64 size;
    QByteArray sha;
};
using Manifest = std::map<QString, Sum>; // by lower-case file name

// Writes the list beside the copies, through a temporary name.
bool writeManifest(const QString &other, const std::vector<std::pair<QString, Copied>> &copied)
{
    QByteArray text = "Tarlvin Invoicing & Inventory backup\n";
#ifdef TLV_VERSION
    text += "version " TLV_VERSION "\n";
#endif
    text += "written " + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + "\n";
    for (const auto &[name, c] : copied)
        text += c.sum + ' ' + QByteArray::number(c.size) + ' ' + name.toLatin1() + '\n';
    const QString target = other + manifestFileName();
    const QString part = target + partSuffix;
    const int fd = ::open(native(part).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = xbase::writeFully(fd, text.constData(), size_t(text.size()), 0) && xbase::syncFd(fd);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || !renameInto(part, target)) {
        xbase::removeFile(native(part));
        return false;
    }
    xbase::syncDirectory(native(other));
    return true;
}

// The list in dir: nullopt when there is none, an empty list when it cannot
// be read as one.
std::optional<Manifest> readManifest(const QString &dir)
{
    const QString path = locate(dir, manifestFileName());
    if (path.isEmpty())
        return std::nullopt;
    Manifest m;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return m;
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.isEmpty() || !lines.first().startsWith("Tarlvin Invoicing & Inventory backup"))
        return m;
    for (const QByteArray &line : lines.mid(1)) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3 || parts[0].size() != 64)
            continue;
        bool ok = false;
        const qint64 size = parts[1].toLongLong(&ok);
        if (ok)
            m[QString::fromLatin1(parts[2]).toLower()] = Sum{size, parts[0].toLower()};
    }
    return m;
}

// ---- Backup --------------------------------------------------------------

// Copies one data file into the backup directory, asking for another disk
// when the target is full and for the protection to be removed when it is
// write-protected.
bool backupOne(const QString &other, const QString &name, std::vector<std::pair<QString, Copied>> &copied)
{
    const QString source = locate(QStringLiteral("."), name);
    if (source.isEmpty()) {
        ui().information(QStringLiteral("Unable to find ") + QDir::current().filePath(name) +
                         QStringLiteral("\nFunction Aborted"));
        return false;
    }
    const QString target = other + name;
    const QString part = target + partSuffix;
    for (;;) {
        Copied c = writeCopy(source, part);
        int error = c.error;
        if (c.ok) {
            if (renameInto(part, target)) {
                xbase::syncDirectory(native(other));
                // A copy of an older backup under another case of the name goes.
                const QString older = locate(other, name);
                if (!older.isEmpty() && QFileInfo(older).fileName() != name)
                    xbase::removeFile(native(older));
                copied.emplace_back(name, c);
                return true;
            }
            error = errno;
            xbase::removeFile(native(part));
        }
        if (error == ENOSPC || error == EDQUOT) {
            if (!chosen(QStringLiteral("Disk Full. Insert another disk.") + name))
                return false;
            // The disk put in may hold the list of an older backup.
            if (const QString stale = locate(other, manifestFileName()); !stale.isEmpty())
                xbase::removeFile(native(stale));
        } else if (error == EROFS || error == EACCES || error == EPERM) {
            if (!chosen(QStringLiteral("Disk is Write Protected")))
                return false;
        } else {
            return false; // any other failure ends the backup rather than trying without end
        }
    }
}

bool backupAll(const QString &other)
{
    // A stale list must never vouch for a backup that ends part way.
    if (const QString old = locate(other, manifestFileName()); !old.isEmpty())
        xbase::removeFile(native(old));
    std::vector<std::pair<QString, Copied>> copied;
    for (const BackupFile &f : copyOrder) {
        if (!backupOne(other, QString::fromLatin1(f.name), copied))
            return false;
        if (f.progress > 0)
            progress().showProgress(f.progress);
    }
    return writeManifest(other, copied);
}

// ---- Restore -------------------------------------------------------------

enum class RestoreResult { Done, Failed, Damaged };

struct Staged
{
    QString name;
    QString live; // the data file it replaces, or where it goes
    bool hadLive = false;
};

void removeStaged(const std::vector<Staged> &staged, bool undoToo)
{
    for (const Staged &s : staged) {
        xbase::removeFile(native(s.name + newSuffix));
        if (undoToo)
            xbase::removeFile(native(s.live + undoSuffix));
    }
}

// Keeps a data file under another name while the restore renames: a second
// link to it costs nothing whatever its size (the rename that follows leaves
// the old file to this name alone); a copy where links cannot be made.
bool keepAside(const QString &live, const QString &kept)
{
    xbase::removeFile(native(kept));
    if (::link(native(live).c_str(), native(kept).c_str()) == 0)
        return true;
    return writeCopy(live, kept).ok;
}

// Puts the kept files back in place of the ones renamed so far (the first
// count). False when a file could not be put back (the marker stays).
bool rollBack(const std::vector<Staged> &staged, size_t count)
{
    bool ok = true;
    for (size_t i = 0; i < count && i < staged.size(); ++i) {
        const Staged &s = staged[i];
        if (s.hadLive)
            ok = renameInto(s.live + undoSuffix, s.live) && ok;
        else
            xbase::removeFile(native(s.live));
    }
    xbase::syncDirectory(".");
    return ok;
}

// Copies the backup's files in under temporary names, checks them against the
// list of sums, keeps the current files aside and renames the new ones into
// place.
RestoreResult restoreAll(const QString &other)
{
    const std::optional<Manifest> manifest = readManifest(other);
    auto damaged = [&](const QString &file) {
        ui().information(
            QStringLiteral("The backup in %1 is damaged: %2 does not match the sums written "
                           "with it in %3.\nNothing was restored.")
                .arg(QDir::toNativeSeparators(QDir::cleanPath(other)), file, manifestFileName()));
        return RestoreResult::Damaged;
    };
    if (manifest && manifest->empty())
        return damaged(manifestFileName());

    std::vector<Staged> staged;
    const bool removable = onRemovableMedium(other);
    for (const BackupFile &f : copyOrder) {
        const QString name = QString::fromLatin1(f.name);
        QString source = locate(other, name);
        while (source.isEmpty()) {
            if (!removable) {
                ui().information(QStringLiteral("Unable to find ") + other + name +
                                 QStringLiteral("\nFunction Aborted"));
                removeStaged(staged, false);
                return RestoreResult::Failed;
            }
            if (!chosen(QStringLiteral("Insert disk containing ") + name)) {
                removeStaged(staged, false);
                return RestoreResult::Failed;
            }
            source = locate(other, name);
        }
        const QString live = locate(QStringLiteral("."), name);
        staged.push_back({name, live.isEmpty() ? name : QFileInfo(live).fileName(), !live.isEmpty()});
        const Copied c = writeCopy(source, name + newSuffix);
        if (!c.ok) {
            removeStaged(staged, false);
            return RestoreResult::Failed;
        }
        if (manifest) {
            const auto it = manifest->find(name.toLower());
            if (it == manifest->end() || it->second.size != c.size || it->second.sha != c.sum) {
                removeStaged(staged, false);
                return damaged(name);
            }
        }
        if (f.progress > 0)
            progress().showProgress(f.progress);
    }

    // Every file has arrived: keep the current ones aside, then rename.
    QByteArray marker;
    for (const Staged &s : staged) {
        if (s.hadLive && !keepAside(s.live, s.live + undoSuffix)) {
            removeStaged(staged, true);
            return RestoreResult::Failed;
        }
        marker += (s.hadLive ? "kept " : "new ") + QFile::encodeName(s.live) + '\n';
    }
    xbase::syncDirectory("."); // the kept files are there before the marker says so
    {
        const QString part = undoMarker + partSuffix;
        const int fd = ::open(native(part).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written = fd >= 0 && xbase::writeFully(fd, marker.constData(), size_t(marker.size()), 0) &&
                             xbase::syncFd(fd);
        if (fd >= 0)
            ::close(fd);
        if (!written || !renameInto(part, undoMarker)) {
            xbase::removeFile(native(part));
            removeStaged(staged, true);
            return RestoreResult::Failed;
        }
        xbase::syncDirectory(".");
    }
    for (size_t i = 0; i < staged.size(); ++i) {
        if (!renameInto(staged[i].name + newSuffix, staged[i].live)) {
            if (rollBack(staged, i)) {
                xbase::removeFile(native(undoMarker));
                removeStaged(staged, true);
            }
            return RestoreResult::Failed;
        }
    }
    xbase::syncDirectory(".");
    xbase::removeFile(native(undoMarker));
    xbase::syncDirectory(".");
    removeStaged(staged, true);
    return RestoreResult::Done;
}

bool sameDirectory(const QString &chosen)
{
    const QString a = QFileInfo(chosen.trimmed()).canonicalFilePath();
    return !a.isEmpty() && a == QDir::current().canonicalPath();
}

} // namespace

std::span<const BackupFile> backupFiles()
{
    return copyOrder;
}

QString manifestFileName()
{
    return QStringLiteral("TLVBACKUP.txt");
}

bool copyAllFiles(CopyDirection direction, const QString &otherDir)
{
    const QString other = withSeparator(otherDir);
    progress().showStatus(QStringLiteral("Copying Data Files"));
    progress().showProgress(10);
    if (direction == CopyDirection::ToBackup)
        return backupAll(other);
    return restoreAll(other) == RestoreResult::Done;
}

bool copyFileSafely(const QString &source, const QString &target)
{
    const QString part = target + partSuffix;
    if (!writeCopy(source, part).ok)
        return false;
    if (!renameInto(part, target)) {
        xbase::removeFile(native(part));
        return false;
    }
    xbase::syncDirectory(native(QFileInfo(target).absolutePath()));
    return true;
}

bool backupTo(const QString &chosen)
{
    if (sameDirectory(chosen)) {
        ui().information(QStringLiteral("Backup must be to a different drive and/or directory"));
        return false;
    }
    const bool ok = copyAllFiles(CopyDirection::ToBackup, chosen);
    if (!ok)
        ui().information(QStringLiteral("Backup Failed . . Check that disk is not write protected"));
    progress().showStatus(QString());
    return ok;
}

bool restoreFrom(const QString &chosen)
{
    if (sameDirectory(chosen)) {
        ui().information(QStringLiteral("Restore must be from a different drive and/or directory"));
        return false;
    }
    Db &d = db();
    d.closeAll();
    recoverInterruptedRestore(QStringLiteral("."));
    const QString other = withSeparator(chosen);
    progress().showStatus(QStringLiteral("Copying Data Files"));
    progress().showProgress(10);
    const RestoreResult result = restoreAll(other);
    if (result == RestoreResult::Failed)
        ui().information(QStringLiteral("Restore Failed . . Check that your disk is not full."));
    progress().showStatus(QString());
    // The records the pick lists start on belong to the data that was there.
    d.selected = SelectedRecords{};
    rebuildIndexes(false);
    return result == RestoreResult::Done;
}

bool recoverInterruptedRestore(const QString &dir)
{
    const QString base = withSeparator(dir);
    bool rolledBack = false;
    QFile marker(base + undoMarker);
    if (marker.exists() && marker.open(QIODevice::ReadOnly)) {
        bool ok = true;
        for (const QByteArray &line : marker.readAll().split('\n')) {
            const int space = line.indexOf(' ');
            if (space < 0)
                continue;
            const QString live = QFile::decodeName(line.mid(space + 1));
            const QString undo = base + live + undoSuffix;
            if (line.startsWith("kept ")) {
                // The kept copy is whole (the marker is written after it), so
                // it goes back whether or not its file had been replaced yet.
                if (QFileInfo::exists(undo))
                    ok = renameInto(undo, base + live) && ok;
            } else {
                xbase::removeFile(native(base + live));
            }
        }
        marker.close();
        xbase::syncDirectory(native(base));
        if (!ok)
            return true; // the marker stays for another attempt
        xbase::removeFile(native(base + undoMarker));
        rolledBack = true;
    }
    xbase::removeFile(native(base + undoMarker + partSuffix));
    for (const BackupFile &f : copyOrder) {
        const QString name = base + QString::fromLatin1(f.name);
        for (const QString &suffix : {partSuffix, newSuffix, undoSuffix})
            xbase::removeFile(native(name + suffix));
    }
    xbase::syncDirectory(native(base));
    return rolledBack;
}

bool onRemovableMedium(const QString &dir)
{
    if (g_removable)
        return g_removable(dir);
    const QStorageInfo volume(dir);
    if (!volume.isValid())
        return false;
    const QString root = volume.rootPath();
    if (root.startsWith(QStringLiteral("/media/")) || root.startsWith(QStringLiteral("/run/media/")))
        return true;
    const QString device = QFileInfo(QFile::decodeName(volume.device())).canonicalFilePath();
    if (!device.startsWith(QStringLiteral("/dev/")))
        return false;
    QString sys = QStringLiteral("/sys/class/block/") + QFileInfo(device).fileName();
    if (QFileInfo::exists(sys + QStringLiteral("/partition")))
        sys += QStringLiteral("/..");
    QFile flag(sys + QStringLiteral("/removable"));
    return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

void setRemovableCheck(RemovableCheck check)
{
    g_removable = check;
}

} // namespace tlv
