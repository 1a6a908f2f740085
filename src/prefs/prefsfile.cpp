#include "prefsfile.h"

#include "dateservice.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

QString PrefsFile::defaultPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // Without a configuration folder there is nowhere to keep anything; an empty path makes
    // load and save do nothing rather than write "/Tallyfox Prefs".
    if (folder.isEmpty())
        return {};
    return folder + u"/Tallyfox Prefs"_s;
}

namespace {

// A dangling link still occupies its name: copying onto it would fail.
bool nameTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Mode and owner of the regular file at path, for the file that takes its place or copies it.
std::optional<struct stat> regularFileStatus(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return status;
}

// Renames by name alone, so that a pipe or device is never opened, and never over something
// that took the new name in the meantime.
bool moveWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
        == 0)
        return true;
    // Some file systems do not know the flag.
    if (errno != EINVAL)
        return false;
    return !nameTaken(to) && ::rename(source.constData(), target.constData()) == 0;
}

// Hands the bytes to put a piece at a time; false when they could not all be had or put.
using Pieces = std::function<bool(const std::function<bool(std::string_view)> &put)>;

// Writes what fill hands over to path through a temporary file renamed into place, so that a
// failure leaves whatever was at path as it was. The file gets the mode and owner of like when
// given, else it is readable by its owner only: the umask's choice would do for most files, but
// the list of what someone worked on is nobody else's business.
bool writeAtomically(
    const QString &path, const Pieces &fill, const std::optional<struct stat> &like)
{
    QSaveFile file(path);
    // Unbuffered: commit() flushes a buffer without looking at the result, so on a full disk a
    // file of less than a buffer would be committed cut short. Written at once, every byte that
    // does not reach the disk is seen below.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    mode_t mode = S_IRUSR | S_IWUSR;
    if (like) {
        // The temporary file is new, and so belongs to whoever saves: root saving a user's file
        // would take it away from them. Only root may give a file away; for anyone else the
        // file stays their own, which is no reason to give up the save. The owner goes first,
        // since a change of owner clears the set-user-ID and set-group-ID bits.
        [[maybe_unused]] const int given = ::fchown(file.handle(), like->st_uid, like->st_gid);
        mode = like->st_mode & 07777;
    }
    if (::fchmod(file.handle(), mode) != 0)
        return false;
    bool written = true;
    const auto put = [&file, &written](std::string_view piece) {
        const auto size = static_cast<qint64>(piece.size());
        written = file.write(piece.data(), size) == size;
        return written;
    };
    // An unfinished temporary file goes with `file`.
    return fill(put) && written && file.commit();
}

bool writeAtomically(
    const QString &path, std::string_view bytes, const std::optional<struct stat> &like)
{
    return writeAtomically(
        path, [bytes](const auto &put) { return put(bytes); }, like);
}

// A piece at a time: a file that was not read whole may be larger than memory.
bool copyRegularFile(const QString &from, const QString &to)
{
    const std::optional<struct stat> status = regularFileStatus(from);
    const std::string source = QFile::encodeName(from).toStdString();
    return status
        && writeAtomically(
            to, [&source](const auto &put) { return readRegularFile(source, put); }, status);
}

} // namespace

PrefsFile::PrefsFile()
    : m_path(defaultPath())
{
}

PrefsFile::PrefsFile(QString path)
    : m_path(std::move(path))
{
}

bool PrefsFile::load()
{
    m_keep = Keep::Nothing;
    if (m_path.isEmpty())
        return false;
    const QFileInfo info(m_path);
    // A missing file is the first run; a folder in its place is nothing a save could replace.
    if (!info.exists() || info.isDir())
        return false;

    bool leftUnread = false;
    if (!GlobalsModule::extractDirectives(QFile::encodeName(m_path).toStdString(), &leftUnread)) {
        m_keep = Keep::MoveAside;
        return false;
    }
    if (leftUnread)
        m_keep = Keep::Copy;
    return true;
}

void PrefsFile::markNotReadWhole()
{
    if (m_keep == Keep::Nothing)
        m_keep = Keep::Copy;
}

bool PrefsFile::save(std::string_view bytes)
{
    if (m_path.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;

    // What was not read is kept before anything replaces it. A file gone since loading (moved
    // away by its owner, say) leaves nothing to keep.
    QString movedTo;
    if (m_keep != Keep::Nothing && nameTaken(m_path)) {
        const QString keptAt = unreadCopyPath();
        if (m_keep == Keep::Copy) {
            // A copy, never a move: should the save then fail, or the program die before it is
            // done, the next start must still find the file where it looks for it.
            if (!copyRegularFile(m_path, keptAt))
                return false;
            m_keep = Keep::Nothing;
        } else {
            // Nothing of it could be read, so it cannot be copied; its own name is all we may
            // touch.
            if (!moveWithoutReplacing(m_path, keptAt))
                return false;
            movedTo = keptAt;
        }
    }

    if (!writeAtomically(m_path, bytes, regularFileStatus(m_path))) {
        // Back where the next start looks, so that it meets the same file and this tries again.
        if (!movedTo.isEmpty())
            moveWithoutReplacing(movedTo, m_path);
        return false;
    }
    m_keep = Keep::Nothing;
    return true;
}

QString PrefsFile::unreadCopyPath() const
{
    // No colons: they are awkward in file names on some systems and in some file managers.
    const QString stamp
        = QDateTime::fromSecsSinceEpoch(Clock::current().now()).toString(u"yyyy-MM-dd hh-mm-ss"_s);
    const QString stem = m_path + u" (unread "_s + stamp;
    QString candidate = stem + u')';
    for (int n = 2; nameTaken(candidate); ++n)
        candidate = stem + u' ' + QString::number(n) + u')';
    return candidate;
}
