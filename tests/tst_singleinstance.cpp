#include "singleinstance.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// What a copy leaves on this machine when it crashes: a lock naming a process that is gone.
bool writeStaleLock(const QString &path)
{
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    QFile lock(path + u".lock"_s);
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    return lock.open(QIODevice::WriteOnly)
        && lock.write(QByteArray::number(dead) + "\ntallyfox\n" + host + '\n') > 0;
}

// What a crashed copy leaves of its socket: the name, with nobody listening on it.
const QString deadSocket = u"import socket as s, sys; s.socket(s.AF_UNIX).bind(sys.argv[1])"_s;

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT
private slots:
    // A second start reaches the running copy and asks it forward, however the first found its
    // folder, lock and socket and whatever befell them; one that cannot run names the lock.
    void start_data()
    {
        QTest::addColumn<QString>("fault");
        for (const char *fault : { "linked folder", "TMPDIR", "lock deleted", "dead socket",
                 "stale lock", "read-only folder", "stale lock, read-only folder" })
            QTest::newRow(fault) << QString::fromLatin1(fault);
    }
    void start()
    {
        QFETCH(QString, fault);
        if (fault.endsWith(u"read-only folder") && ::geteuid() == 0)
            QSKIP("root ignores permission bits: see the tst_singleinstance_unprivileged entry");
        QTemporaryDir dir;
        // Through a link, the first copy makes the folder; a later one finding it still reaches it.
        const bool linked = fault == u"linked folder";
        QVERIFY(QDir(dir.path()).mkpath(linked ? u"real"_s : u"real/config"_s));
        QVERIFY(QFile::link(dir.filePath(u"real"_s), dir.filePath(u"link"_s)));
        const QString path
            = dir.filePath((linked ? u"link"_s : u"real"_s) + u"/config/Tallyfox Prefs"_s);
        const QStringList bind { u"-c"_s, deadSocket, SingleInstance::serverName(path) };
        QVERIFY(fault != u"dead socket" || QProcess::execute(u"python3"_s, bind) == 0);
        if (fault.startsWith(u"stale lock"))
            QVERIFY(writeStaleLock(path));
        if (fault == u"stale lock") // read-only, as one made by another user (root, say) is
            QVERIFY(QFile::setPermissions(path + u".lock"_s, QFile::ReadOwner));
        if (fault.endsWith(u"read-only folder"))
            QVERIFY(QFile::setPermissions(
                dir.filePath(u"real/config"_s), QFile::ReadOwner | QFile::ExeOwner));
        const auto writable = qScopeGuard([&dir] {
            QFile::setPermissions(dir.filePath(u"real/config"_s),
                QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        SingleInstance first(path);
        QSignalSpy raised(&first, &SingleInstance::activationRequested);
        if (fault == u"stale lock, read-only folder") {
            QCOMPARE(first.start(), SingleInstance::Outcome::Refused);
            QVERIFY2(first.problem().contains(path + u".lock"_s), qPrintable(first.problem()));
            return;
        }
        QCOMPARE(first.start(), SingleInstance::Outcome::Run);
        // Without the lock, the program tells at once that it cannot save.
        QCOMPARE(first.holdsLock(), fault != u"read-only folder");
        const QByteArray tmpdir = qgetenv("TMPDIR");
        if (fault == u"lock deleted")
            QVERIFY(QFile::remove(path + u".lock"_s));
        else if (fault == u"TMPDIR")
            qputenv("TMPDIR", dir.path().toLocal8Bit());
        // The first copy answers from this thread's event loop.
        auto second
            = std::async(std::launch::async, [&path] { return SingleInstance(path).start(); });
        QTRY_VERIFY_WITH_TIMEOUT(second.wait_for(0s) == std::future_status::ready, 15000);
        qputenv("TMPDIR", tmpdir);
        QCOMPARE(second.get(), SingleInstance::Outcome::HandedOver);
        QCOMPARE(raised.count(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
