#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Long enough for a copy that is still starting up or busy with a long list.
constexpr int handOverTimeout = 3000;

// A folder in which no other user can make, take or replace a name: a real folder, not a link,
// that belongs to this user and is closed to everyone else.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat info
    {
    };
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// Where the socket lives: the session's runtime folder, else a folder of the user's own in /tmp
// itself, since the environment's temporary folder may differ between two starts. Empty when
// neither is private (another user made the second first): no socket is better than one that
// user could answer on.
QString socketFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return QFile::decodeName(runtime);
    const QByteArray own = "/tmp/tallyfox-" + QByteArray::number(::geteuid());
    // Made private from the start; if it exists, the check below says whose it is.
    ::mkdir(own.constData(), S_IRWXU);
    return isPrivateFolder(own) ? QFile::decodeName(own) : QString();
}

} // namespace

SingleInstance::SingleInstance(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_filePath(filePath)
{
    if (!filePath.isEmpty())
        m_lock = std::make_unique<QLockFile>(filePath + u".lock"_s);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server.nextPendingConnection()) {
            emit activationRequested();
            // The answer that tells the new copy it may end.
            peer->write("y", 1);
            peer->disconnectFromServer();
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString &filePath)
{
    const QString folder = socketFolder();
    if (folder.isEmpty())
        return {};
    // The folder's canonical path, so that two spellings of one folder meet; the name is hashed
    // because socket paths are short.
    const QFileInfo file(filePath);
    const QString canonical = QFileInfo(file.absolutePath()).canonicalFilePath();
    const QString path
        = (canonical.isEmpty() ? file.absolutePath() : canonical) + u'/' + file.fileName();
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1);
    return folder + u"/tallyfox-"_s + QString::fromLatin1(hash.toHex().left(24));
}

SingleInstance::Outcome SingleInstance::start()
{
    if (!m_lock)
        return Outcome::Run;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    // Named once the folder exists: before, its canonical path is unknown, and a copy started
    // later, finding the folder, would name the same file differently (one reached through a
    // link, say) and never reach this one.
    m_name = serverName(m_filePath);
    // A running copy answers even when its lock file was removed under it.
    if (handOver())
        return Outcome::HandedOver;
    // Held for as long as the copy runs: age alone never makes it stale, only a holder that is
    // gone. A holder that did not answer may be quitting: it gets a moment to let go.
    m_lock->setStaleLockTime(0);
    if (lockAndListen(handOverTimeout))
        return Outcome::Run;
    const QString lockPath = QDir::toNativeSeparators(m_lock->fileName());
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock->getLockInfo(&pid, &host, &application) && host == QSysInfo::machineHostName()
        && ::kill(static_cast<pid_t>(pid), 0) == 0) {
        m_problem = tr("Tally Fox is already running (process %1) but does not answer. "
                       "Quit that copy, or end its process, then start Tally Fox again.\n\n"
                       "Its lock file is %2.")
                        .arg(pid)
                        .arg(lockPath);
        return Outcome::Refused;
    }
    // Its holder is gone, or is on another machine and does not answer. The folder is the
    // user's, so the lock may go whoever made it: Qt's own removal first opens it for writing,
    // which a lock made by another user (root, say) refuses.
    if (!m_lock->removeStaleLockFile())
        QFile::remove(m_lock->fileName());
    if (lockAndListen(0))
        return Outcome::Run;
    m_problem = tr("Tally Fox cannot start: the lock file %1 can be neither taken nor removed. "
                   "Remove it, or give yourself write access to its folder.")
                    .arg(lockPath);
    return Outcome::Refused;
}

void SingleInstance::release()
{
    m_server.close();
    if (m_lock)
        m_lock->unlock();
}

bool SingleInstance::lockAndListen(int timeout)
{
    if (!m_lock->tryLock(timeout) && m_lock->error() == QLockFile::LockFailedError)
        return false;
    // Also when the lock cannot be made at all (a folder it cannot be made in): the file could
    // not be saved there either, so there is nothing to share, but a later copy should still
    // bring this one forward rather than start a second.
    listen();
    return true;
}

void SingleInstance::listen()
{
    if (m_name.isEmpty() || m_server.listen(m_name))
        return;
    // A socket left behind by a copy that crashed refuses the name and would keep every later
    // copy from reaching this one. One on which a copy still listens stays: without a socket a
    // later copy cannot hand over, but finds this copy alive and leaves the file to it.
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(handOverTimeout))
        return;
    QLocalServer::removeServer(m_name);
    m_server.listen(m_name);
}

bool SingleInstance::handOver() const
{
    if (m_name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    // A copy that is quitting may still take the connection, but no longer answers.
    return socket.waitForConnected(handOverTimeout) && socket.waitForReadyRead(handOverTimeout)
        && socket.read(1) == "y";
}
