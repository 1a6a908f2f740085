#include "prefsfile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString fileName = u"Tallyfox Prefs"_s;
const QByteArray header = "#version 1.5\n#windowpos 40\t60\t493\t233\n"
                          "#columnwidths 35%,25%,25%,15%\n";

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<cannot be read>"_ba;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    // Owner-only, as the program itself would have made it.
    return QDir().mkpath(QFileInfo(path).path())
        && file.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        && file.write(bytes) == bytes.size();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class tst_PrefsFile : public QObject
{
    Q_OBJECT
private slots:
    // A permissive umask shows that the owner-only mode of a new file is ours, not the umask's.
    void initTestCase() { umask(0); }
    void init() { GlobalsModule::gDirectives.clear(); }
    void failedSave_data();
    void failedSave();
    void loadThenSave_data();
    void loadThenSave();
};

void tst_PrefsFile::failedSave_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("earlier"); // the file in the way, or the one saved before
    QTest::addColumn<QString>("how");
    QTest::newRow("parent is a file") << u"config/"_s + fileName << u"config"_s << QString();
    QTest::newRow("path is a folder") << fileName << fileName + u"/inside"_s << QString();
    QTest::newRow("write fails part-way") << fileName << fileName << u"size limit"_s;
    QTest::newRow("folder not writable") << fileName << fileName << u"read-only"_s;
}

// What was on disk comes through byte for byte, with nothing left beside it.
void tst_PrefsFile::failedSave()
{
    QFETCH(QString, target);
    QFETCH(QString, earlier);
    QFETCH(QString, how);
    if (how == u"read-only"_s && geteuid() == 0)
        QSKIP("permission bits do not stop root from writing");
    QTemporaryDir dir;
    const QByteArray bytes = header + "#saveditem earlier\t\t\t\n";
    QVERIFY(writeFile(dir.filePath(earlier), bytes));
    const QStringList before = entries(dir.path());
    PrefsFile prefs(dir.filePath(target));
    const std::string replacement = (header + QByteArray(64 * 1024, '#') + '\n').toStdString();
    if (how == u"size limit"_s) {
        // A child whose files cannot grow past 4 KiB: the write fails part-way, also for root.
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit size { 4096, 4096 };
            _exit(setrlimit(RLIMIT_FSIZE, &size) == 0 && !prefs.save(replacement) ? 0 : 1);
        }
        int status = -1;
        QVERIFY(waitpid(child, &status, 0) == child && status == 0);
    } else {
        const auto writable = QFile::permissions(dir.path());
        QVERIFY(how.isEmpty()
            || QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool saved = prefs.save(replacement);
        QVERIFY(QFile::setPermissions(dir.path(), writable) && !saved);
    }
    QCOMPARE(contents(dir.filePath(earlier)), bytes);
    QCOMPARE(entries(dir.path()), before);
    QCOMPARE(prefs.load(), earlier == target);
}

void tst_PrefsFile::loadThenSave_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<bool>("kept");
    QByteArray garbage(256 * 1024, '\0');
    QRandomGenerator(20240314).generate(garbage.begin(), garbage.end());
    QTest::newRow("first run, no folder yet") << QByteArray() << false << false;
    QTest::newRow("header lines only") << header << false << false;
    QTest::newRow("10 MB line") << header + "#a " + QByteArray(10 << 20, 'n') << false << false;
    QTest::newRow("stopped early") << header + "\n#saveditem x\t\t\t\n" << false << true;
    QTest::newRow("unreadable") << header << true << true;
    QTest::newRow("binary garbage after a directive") << "#saveditem " + garbage << false << true;
}

// A file not read whole is copied aside, once, before the first save replaces it.
void tst_PrefsFile::loadThenSave()
{
    QFETCH(QByteArray, original);
    QFETCH(bool, unreadable);
    QFETCH(bool, kept);
    if (unreadable && geteuid() == 0)
        QSKIP("permission bits do not stop root from reading");
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"config"_s);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    PrefsFile prefs;
    QCOMPARE(prefs.path(), folder + u'/' + fileName);
    QVERIFY(original.isNull() || writeFile(prefs.path(), original));
    QVERIFY(!unreadable || QFile::setPermissions(prefs.path(), {}));
    QCOMPARE(prefs.load(), !original.isNull() && !unreadable);
    const std::string read = unreadable ? std::string() : original.toStdString();
    QVERIFY(GlobalsModule::gDirectives == readDirectives(read).directives);
    QVERIFY(prefs.save(header.toStdString()) && prefs.save(header.toStdString()));
    QCOMPARE(contents(prefs.path()), header);
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(prefs.path()).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777u, 0600u);
    QStringList copies = entries(folder);
    QVERIFY(copies.removeOne(fileName));
    QCOMPARE(copies.size(), kept ? 1 : 0);
    if (!kept)
        return;
    QVERIFY2(copies.front().startsWith(fileName + u" (unread "_s), qPrintable(copies.front()));
    const QString copy = folder + u'/' + copies.front();
    QVERIFY(QFile::setPermissions(copy, QFileDevice::ReadOwner));
    QCOMPARE(contents(copy), original);
}

QTEST_GUILESS_MAIN(tst_PrefsFile)
#include "tst_prefsfile.moc"
