#include "prefsfile.h"

#include "backups.h"
#include "dateservice.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// A regular file, for the file that takes its place or copies it: its name, mode and owner.
struct Original
{
    QByteArray path;
    struct stat status;
};

std::optional<Original> regularFile(const QString &path)
{
    Original original { QFile::encodeName(path), {} };
    if (::stat(original.path.constData(), &original.status) != 0
        || !S_ISREG(original.status.st_mode))
        return std::nullopt;
    return original;
}

constexpr const char *accessList = "system.posix_acl_access";

// Gives the file open at to the extended attributes of the file at from, its access control list
// among them; false when it has a list that could not be given. Other attributes may be ours to
// read but not to set (security ones, say): the file goes without them.
bool copyAttributes(const QByteArray &from, int to)
{
    // A list the new file took from its folder's default one would grant what the file's own did
    // not.
    if (::fremovexattr(to, accessList) != 0 && errno != ENODATA && errno != ENOTSUP)
        return false;
    std::vector<char> names;
    for (;;) {
        const ssize_t size = ::listxattr(from.constData(), nullptr, 0);
        if (size <= 0)
            return size == 0 || errno == ENOTSUP;
        names.resize(static_cast<std::size_t>(size));
        const ssize_t listed = ::listxattr(from.constData(), names.data(), names.size());
        if (listed >= 0) {
            names.resize(static_cast<std::size_t>(listed));
            break;
        }
        // Some were added since we asked for the size: ask again.
        if (errno != ERANGE)
            return false;
    }
    bool listGiven = true;
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char *name = names.data() + at;
        const bool isList = std::strcmp(name, accessList) == 0;
        const ssize_t size = ::getxattr(from.constData(), name, nullptr, 0);
        value.resize(static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
        const ssize_t got
            = size < 0 ? size : ::getxattr(from.constData(), name, value.data(), value.size());
        if (got < 0 || ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) != 0)
            listGiven = listGiven && !isList;
    }
    return listGiven;
}

// Makes the rename that put the file at path in place last through a power cut. A folder we may
// not open, or cannot sync (some file systems say so with EINVAL), leaves that to the file
// system: the file is in place all the same.
void syncFolderOf(const QString &path)
{
    // A link is written through: the rename happened beside the file it leads to.
    const QString file = QFileInfo(path).canonicalFilePath();
    const QByteArray folder
        = QFile::encodeName(QFileInfo(file.isEmpty() ? path : file).absolutePath());
    const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
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
// failure leaves whatever was at path as it was. The file gets the mode, owner and extended
// attributes of like when given, else it is readable by its owner only: the umask's choice would
// do for most files, but the list of what someone worked on is nobody else's business. written,
// when given, learns what the file is once in place.
bool writeAtomically(const QString &path, const Pieces &fill, const std::optional<Original> &like,
    struct stat *written = nullptr)
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
        [[maybe_unused]] const int given
            = ::fchown(file.handle(), like->status.st_uid, like->status.st_gid);
        mode = like->status.st_mode & 07777;
        // With an access control list, the group bits of the mode are the most that any entry of
        // the list grants: without the list they would all go to the file's group.
        if (!copyAttributes(like->path, file.handle()))
            mode &= ~static_cast<mode_t>(S_IRWXG);
    }
    if (::fchmod(file.handle(), mode) != 0)
        return false;
    bool done = true;
    const auto put = [&file, &done](std::string_view piece) {
        const auto size = static_cast<qint64>(piece.size());
        done = file.write(piece.data(), size) == size;
        return done;
    };
    // An unfinished temporary file goes with `file`.
    if (!fill(put) || !done || (written && ::fstat(file.handle(), written) != 0))
        return false;
    if (!file.commit())
        return false;
    syncFolderOf(path);
    // Some file systems set the time when the file is closed: its stamp is the one it has now.
    struct stat placed = {};
    if (written && ::stat(QFile::encodeName(path).constData(), &placed) == 0
        && placed.st_dev == written->st_dev && placed.st_ino == written->st_ino)
        *written = placed;
    return true;
}

bool writeAtomically(const QString &path, std::string_view bytes,
    const std::optional<Original> &like, struct stat *written)
{
    return writeAtomically(
        path, [bytes](const auto &put) { return put(bytes); }, like, written);
}

// A piece at a time: a file that was not read whole may be larger than memory.
bool copyRegularFile(const QString &from, const QString &to)
{
    const std::optional<Original> original = regularFile(from);
    return original
        && writeAtomically(
            to,
            [&original](
                const auto &put) { return readRegularFile(original->path.toStdString(), put); },
            original);
}

std::chrono::year_month_day dayOf(QDate date)
{
    return { std::chrono::year { date.year() }, std::chrono::month { unsigned(date.month()) },
        std::chrono::day { unsigned(date.day()) } };
}

const QString dayFormat = u"yyyy-MM-dd"_s;

// "<path> (<why> <date time>)", with a number before the ")" when that is taken. No colons: they
// are awkward in file names on some systems and in some file managers.
QString copyName(const QString &path, const QString &why)
{
    const QString stamp
        = QDateTime::fromSecsSinceEpoch(Clock::current().now()).toString(u"yyyy-MM-dd hh-mm-ss"_s);
    const QString stem = path + u" ("_s + why + u' ' + stamp;
    QString candidate = stem + u')';
    for (int n = 2; nameTaken(candidate); ++n)
        candidate = stem + u' ' + QString::number(n) + u')';
    return candidate;
}

// The names of the unsaved copies the user was told about, one a line.
const QString toldName = u"unsaved copies told"_s;

bool isOneOf(int error, std::initializer_list<int> errors)
{
    return std::find(errors.begin(), errors.end(), error) != errors.end();
}

// Why a save to path failed, from what is on disk now and the error the save met. What is on
// disk comes first: the error may be one of a later step, or none at all where Qt itself
// refused (a file it may not write).
SaveFailure failureAt(const QString &path, int error)
{
    using Kind = SaveFailure::Kind;
    if (path.isEmpty())
        return { Kind::Unreachable, error };
    // Whatever step met it, a full disk is the news: what is at the path then may be only what
    // the save moved back.
    if (isOneOf(error, { ENOSPC, EDQUOT, EFBIG }))
        return { Kind::NoRoom, error };
    const QByteArray file = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(file.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return { Kind::NotAFile, error };
    // The nearest folder of the path that is there, or a link that leads nowhere.
    QString folder = QFileInfo(path).absolutePath();
    while (::lstat(QFile::encodeName(folder).constData(), &status) != 0 && folder != u"/")
        folder = QFileInfo(folder).path();
    const QByteArray near = QFile::encodeName(folder);
    if (::stat(near.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return { Kind::Unreachable, error };
    if (::access(file.constData(), F_OK) == 0 && ::access(file.constData(), W_OK) != 0
        && errno != EROFS)
        return { Kind::FileReadOnly, error };
    if (::access(near.constData(), W_OK | X_OK) != 0)
        return { Kind::FolderReadOnly, error };
    struct statvfs space = {};
    if (::statvfs(near.constData(), &space) == 0 && space.f_bavail == 0)
        return { Kind::NoRoom, error };
    if (isOneOf(error, { EACCES, EPERM, EROFS }))
        return { Kind::FolderReadOnly, error };
    if (folder != QFileInfo(path).absolutePath() || isOneOf(error, { ENOENT, ENOTDIR }))
        return { Kind::Unreachable, error };
    return { Kind::Other, error };
}

} // namespace

PrefsFile::PrefsFile()
    : m_path(defaultPath())
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty())
        m_backupFolder = data + u"/tallyfox/backups"_s;
}

PrefsFile::PrefsFile(QString path, QString backupFolder)
    : m_path(std::move(path))
    , m_backupFolder(std::move(backupFolder))
{
}

bool PrefsFile::load()
{
    m_keep = Keep::Nothing;
    if (m_path.isEmpty())
        return false;
    // Before reading: a change between the two then shows at the next save, and is kept.
    m_seen = stampOf(m_path);
    m_looked = true;
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
    m_failure.reset();
    // What the last save met is no news of this one.
    errno = 0;
    if (replace(bytes))
        return true;
    m_failure = failureAt(m_path, errno);
    return false;
}

bool PrefsFile::replace(std::string_view bytes)
{
    if (m_path.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    if (!keepChangedElsewhere())
        return false;

    // What was not read is kept before anything replaces it. A file gone since loading (moved
    // away by its owner, say) leaves nothing to keep.
    QString movedTo;
    if (m_keep != Keep::Nothing && nameTaken(m_path)) {
        const QString keptAt = copyPath(u"unread"_s);
        if (m_keep == Keep::Copy) {
            // A copy, never a move: should the save then fail, or the program die before it is
            // done, the next start must still find the file where it looks for it.
            if (!copyRegularFile(m_path, keptAt))
                return false;
            m_keep = Keep::Nothing;
            m_kept.push_back({ KeptCopy::Why::NotReadWhole, keptAt });
        } else {
            // Nothing of it could be read, so it cannot be copied; its own name is all we may
            // touch.
            if (!moveWithoutReplacing(m_path, keptAt))
                return false;
            movedTo = keptAt;
        }
    }

    backUp();
    struct stat written = {};
    if (!writeAtomically(m_path, bytes, regularFile(m_path), &written)) {
        // Back where the next start looks, so that it meets the same file and this tries again.
        if (!movedTo.isEmpty())
            moveWithoutReplacing(movedTo, m_path);
        return false;
    }
    if (!movedTo.isEmpty())
        m_kept.push_back({ KeptCopy::Why::NotReadWhole, movedTo });
    m_keep = Keep::Nothing;
    m_seen = stampFrom(written);
    return true;
}

std::vector<KeptCopy> PrefsFile::takeKeptCopies()
{
    return std::exchange(m_kept, {});
}

PrefsFile::Stamp PrefsFile::stampFrom(const struct stat &status)
{
    return { static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
        static_cast<std::int64_t>(status.st_size), static_cast<std::int64_t>(status.st_mtim.tv_sec),
        static_cast<std::int64_t>(status.st_mtim.tv_nsec) };
}

std::optional<PrefsFile::Stamp> PrefsFile::stampOf(const QString &path)
{
    const std::optional<Original> file = regularFile(path);
    if (!file)
        return std::nullopt;
    return stampFrom(file->status);
}

// A hand edit, a sync tool or a restored backup would otherwise be overwritten unseen. A file we
// could not read at all is moved aside whole by the save, changed or not.
bool PrefsFile::keepChangedElsewhere()
{
    if (!m_looked || m_keep == Keep::MoveAside)
        return true;
    const std::optional<Stamp> now = stampOf(m_path);
    if (!now || now == m_seen)
        return true;
    const QString keptAt = copyPath(u"changed elsewhere"_s);
    if (!copyRegularFile(m_path, keptAt))
        return false;
    m_kept.push_back({ KeptCopy::Why::ChangedElsewhere, keptAt });
    // Kept whole: what this run did not read of the earlier file is no longer there to keep, and
    // a save that fails now must not keep the same file twice.
    m_seen = now;
    m_keep = Keep::Nothing;
    return true;
}

// Once a day, so that a slip costs at most a day: the file as the day's first save found it.
void PrefsFile::backUp()
{
    if (m_backupFolder.isEmpty() || !regularFile(m_path))
        return;
    const QDate today = QDateTime::fromSecsSinceEpoch(Clock::current().now()).date();
    const QString stem = QFileInfo(m_path).fileName() + u' ';
    const QDir folder(m_backupFolder);
    const QString backup = folder.filePath(stem + today.toString(dayFormat));
    // When it fails, the next save tries again.
    if (nameTaken(backup) || !QDir().mkpath(m_backupFolder) || !copyRegularFile(m_path, backup))
        return;

    std::vector<std::chrono::year_month_day> days;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QDate day
            = QDate::fromString(name.sliced(std::min(stem.size(), name.size())), dayFormat);
        if (name.startsWith(stem) && day.isValid() && name == stem + day.toString(dayFormat))
            days.push_back(dayOf(day));
    }
    const std::vector<std::chrono::year_month_day> kept = backupsToKeep(days, dayOf(today));
    for (const std::chrono::year_month_day &day : days) {
        if (std::find(kept.begin(), kept.end(), day) == kept.end()) {
            const QDate date(int(day.year()), int(unsigned(day.month())), int(unsigned(day.day())));
            QFile::remove(folder.filePath(stem + date.toString(dayFormat)));
        }
    }
}

QString PrefsFile::copyPath(const QString &why) const
{
    return copyName(m_path, why);
}

QString UnsavedCopies::folder()
{
    // Relative values are to be ignored, as if unset.
    const QString state = QFile::decodeName(qgetenv("XDG_STATE_HOME"));
    const QString base
        = QDir::isAbsolutePath(state) ? state : QDir::homePath() + u"/.local/state"_s;
    return base + u"/tallyfox"_s;
}

QString UnsavedCopies::keep(std::string_view bytes)
{
    const QString place = folder();
    const QByteArray name = QFile::encodeName(place);
    // Made for its owner alone: it holds what someone worked on. One that exists is left as its
    // owner made it.
    if (!QDir().mkpath(QFileInfo(place).path())
        || (::mkdir(name.constData(), S_IRWXU) != 0 && errno != EEXIST))
        return {};
    const QString path = copyName(place + u"/Tallyfox Prefs"_s, u"unsaved"_s);
    return writeAtomically(path, bytes, std::nullopt, nullptr) ? path : QString();
}

QStringList UnsavedCopies::takeUntold()
{
    const QDir place(folder());
    QFile told(place.filePath(toldName));
    QStringList known;
    if (told.open(QIODevice::ReadOnly))
        known = QString::fromUtf8(told.readAll()).split(u'\n', Qt::SkipEmptyParts);
    told.close();
    QStringList untold;
    for (const QString &name : place.entryList({ u"Tallyfox Prefs (unsaved *"_s }, QDir::Files)) {
        if (!known.contains(name))
            untold << name;
    }
    if (untold.isEmpty())
        return {};
    // Should this fail, the copies are told about again at the next start: better than never.
    if (told.open(QIODevice::Append))
        told.write((untold.join(u'\n') + u'\n').toUtf8());
    for (QString &name : untold)
        name = place.filePath(name);
    return untold;
}
