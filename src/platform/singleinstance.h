#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

// One running copy per preferences file: two copies would each rewrite the same file and lose
// each other's rows. The first copy holds a lock beside the file and listens on a local socket
// named after the file's path, in a folder only its user can reach; a later copy asks whoever
// answers there to come to the front, and ends. The socket is asked first, so a copy whose lock
// file was removed under it is still found. A lock left by a copy that crashed is stale and
// taken over; so is one that no live copy on this machine holds and that nobody answers for (a
// copy on another machine sharing the folder, say), since waiting for it could keep the program
// from ever starting.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Outcome {
        Run, // this copy holds the lock, or there is no file to share
        HandedOver, // a running copy was asked to come forward: this one ends
        Refused, // neither: problem() says why
    };

    explicit SingleInstance(const QString &filePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Decides whether this copy may run. Without a path, or in a folder where the lock cannot
    // be made (where the file could not be saved either), there is nothing to share: it runs.
    [[nodiscard]] Outcome start();
    // Whether this copy holds the lock: false also when it runs in a folder where the lock could
    // not be made.
    [[nodiscard]] bool holdsLock() const { return m_lock && m_lock->isLocked(); }
    // Lets go of the lock and the socket at once, for a run that ends without unwinding (the
    // process exits from deep inside the event loop).
    void release();
    // Why the start was refused, naming the lock file.
    [[nodiscard]] QString problem() const { return m_problem; }

    // The local socket's full path for a file: the same file, the same path, whatever the
    // environment's temporary folder. Empty when the user has no private folder for it.
    [[nodiscard]] static QString serverName(const QString &filePath);

signals:
    // Another copy was started for the same file.
    void activationRequested();

private:
    // Asks the copy listening on the socket to bring its main window to the front. False when
    // nobody answered.
    [[nodiscard]] bool handOver() const;
    // Takes the lock, waiting up to timeout milliseconds, and listens for later copies. False
    // when another holds it.
    [[nodiscard]] bool lockAndListen(int timeout);
    void listen();

    QString m_filePath;
    QString m_name;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};
