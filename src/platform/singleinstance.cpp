#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSysInfo>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// Long enough for a copy that is still starting up or busy with a long list.
constexpr int handOverTimeout = 3000;

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
    // The folder's canonical path, so that two spellings of one folder meet; the name is hashed
    // because local socket names are short.
    const QFileInfo file(filePath);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    const QString path = (folder.isEmpty() ? file.absolutePath() : folder) + u'/' + file.fileName();
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1);
    return u"tallyfox-"_s + QString::fromLatin1(hash.toHex().left(24));
}

bool SingleInstance::claim()
{
    if (!m_lock)
        return true;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    // Named once the folder exists: before, its canonical path is unknown, and a copy started
    // later, finding the folder, would name the same file differently (one reached through a
    // link, say) and never reach this one.
    m_name = serverName(m_filePath);
    // Held for as long as the copy runs: age alone never makes it stale, only a holder that is
    // gone.
    m_lock->setStaleLockTime(0);
    return lockAndListen(0);
}

bool SingleInstance::takeOver()
{
    if (!m_lock || lockAndListen(handOverTimeout))
        return true;
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock->getLockInfo(&pid, &host, &application) && host == QSysInfo::machineHostName()
        && ::kill(static_cast<pid_t>(pid), 0) == 0)
        return false;
    m_lock->removeStaleLockFile();
    return lockAndListen(0);
}

bool SingleInstance::lockAndListen(int timeout)
{
    // A lock that cannot be made at all (a folder it cannot be made in) shares nothing: the file
    // could not be saved there either.
    if (!m_lock->tryLock(timeout))
        return m_lock->error() != QLockFile::LockFailedError;
    listen();
    return true;
}

void SingleInstance::listen()
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left behind by a copy that crashed would refuse the name; the lock says it is
    // ours now. Without a socket a later copy cannot hand over, but finds this copy alive and
    // leaves the file to it.
    QLocalServer::removeServer(m_name);
    m_server.listen(m_name);
}

bool SingleInstance::handOver() const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    // A copy that is quitting may still take the connection, but no longer answers.
    return socket.waitForConnected(handOverTimeout) && socket.waitForReadyRead(handOverTimeout)
        && socket.read(1) == "y";
}
