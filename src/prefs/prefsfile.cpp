#include "prefsfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <iterator>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QString defaultPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    // Without a configuration folder there is nowhere to keep anything; an empty path makes
    // load and save do nothing rather than write "/Tallyfox Prefs".
    if (folder.isEmpty())
        return {};
    return folder + u"/Tallyfox Prefs"_s;
}

// A dangling link still occupies its name: copying onto it would fail.
bool nameTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
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
    if (m_path.isEmpty())
        return false;
    const QFileInfo info(m_path);
    // A missing file is the first run; a folder in its place is nothing we could keep a copy of.
    if (!info.exists() || info.isDir())
        return false;

    bool stoppedEarly = false;
    if (!GlobalsModule::extractDirectives(QFile::encodeName(m_path).toStdString(), &stoppedEarly)) {
        m_keepUnread = true;
        return false;
    }
    if (stoppedEarly)
        m_keepUnread = true;
    return true;
}

bool PrefsFile::save(std::string_view bytes)
{
    if (m_path.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    // Rows we could not load must not be lost to the first save: until a copy of them is safe,
    // the file stays as it is.
    if (m_keepUnread) {
        if (!keepUnreadCopy())
            return false;
        m_keepUnread = false;
    }

    const bool existed = QFileInfo::exists(m_path);
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile gives a new file the umask's permissions; the list is nobody else's business.
    // An existing file keeps whatever its owner chose.
    if (!existed && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size)
        return false; // the unfinished temporary file goes with `file`
    return file.commit();
}

QString PrefsFile::backupPath() const
{
    // No colons: they are awkward in file names on some systems and in some file managers.
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyy-MM-dd hh-mm-ss"_s);
    const QString stem = m_path + u" (unread "_s + stamp;
    QString candidate = stem + u')';
    for (int n = 2; nameTaken(candidate); ++n)
        candidate = stem + u' ' + QString::number(n) + u')';
    return candidate;
}

bool PrefsFile::keepUnreadCopy()
{
    // Gone since loading (moved away by its owner, say): nothing is left to lose.
    if (!nameTaken(m_path))
        return true;
    const QString backup = backupPath();
    if (QFile::copy(m_path, backup))
        return true;
    // A file we may not read can often still be moved aside within its folder.
    return QFile::rename(m_path, backup);
}
