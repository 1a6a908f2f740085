#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

// One running copy per preferences file: two copies would each rewrite the same file and lose
// each other's rows. The first copy holds a lock beside the file and listens on a local socket
// named after the file's path; a later copy finds the lock held, asks the first to come to the
// front, and ends. A lock left by a copy that crashed is stale and taken over; so is one that no
// live copy on this machine holds and that nobody answers for (a copy on another machine sharing
// the folder, say), since waiting for it could keep the program from ever starting.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &filePath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this copy may run: it holds the lock now, or there is no file to share (no
    // path, or a folder where the lock cannot be made, which the file could not be saved in
    // either).
    [[nodiscard]] bool claim();
    // Asks the copy that holds the lock to bring its main window to the front. False when it
    // did not answer.
    [[nodiscard]] bool handOver() const;
    // After a hand-over nobody answered: waits a moment for the lock (its holder may be quitting),
    // then takes it unless a live copy on this machine holds it. True when this copy may run.
    [[nodiscard]] bool takeOver();

signals:
    // Another copy was started for the same file.
    void activationRequested();

private:
    // The local socket's name for a file: the same file, the same name.
    [[nodiscard]] static QString serverName(const QString &filePath);
    // Takes the lock, waiting up to timeout milliseconds, and listens for later copies. False
    // when another holds it.
    [[nodiscard]] bool lockAndListen(int timeout);
    void listen();

    QString m_filePath;
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};
