#include "prefsfile.h"
#include "prefsformat.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
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
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Runs work in a child process whose files cannot grow past limit bytes, so that a write fails
// part-way also for root. The exit code is work's result: 0 for true, 1 for false.
template <typename Work> int withFileSizeLimit(rlim_t limit, const Work &work)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit size {};
        getrlimit(RLIMIT_FSIZE, &size);
        size.rlim_cur = limit;
        _exit(setrlimit(RLIMIT_FSIZE, &size) != 0 ? 2 : work() ? 0 : 1);
    }
    int status = 0;
    const bool waited = pid > 0 && waitpid(pid, &status, 0) == pid;
    return waited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QByteArray garbage()
{
    QRandomGenerator random(20240314);
    QByteArray bytes(256 * 1024, '\0');
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    // A directive start, so that the garbage is parsed for a while rather than stopping at once.
    return "#saveditem " + bytes;
}

} // namespace

class tst_PrefsFile : public QObject
{
    Q_OBJECT
private slots:
    void init() { GlobalsModule::gDirectives.clear(); }
    void firstRun();
    void saveLoadSave();
    void failedSave_data();
    void failedSave();
    void unreadKept_data();
    void unreadKept();
};

void tst_PrefsFile::firstRun()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"config/deeper"_s);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    PrefsFile prefs;
    QCOMPARE(prefs.path(), folder + u'/' + fileName);
    QVERIFY(!prefs.load());
    QVERIFY(GlobalsModule::gDirectives.empty());

    // A permissive umask shows that the owner-only mode is ours, not the umask's.
    const mode_t oldMask = umask(0);
    const bool saved = prefs.save(header.toStdString());
    umask(oldMask);

    QVERIFY(saved);
    QCOMPARE(contents(prefs.path()), header);
    QCOMPARE(entries(folder), QStringList { fileName });
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(prefs.path()).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777u, 0600u);
}

void tst_PrefsFile::saveLoadSave()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    const std::string text = prefsText({ -20, 30, 493, 233 }, "35%,25%,25%,15%",
        { { "Untitled project 1", "03/14 09:05", "03/14 10:35", "1' 30\"" },
            { "#hash start", "03/14 13:10", "", "" }, { "\xFF not UTF-8", "", "", "" } });
    QVERIFY(PrefsFile().save(text));

    PrefsFile prefs;
    QVERIFY(prefs.load());

    QCOMPARE(GlobalsModule::gDirectives.size(), 6u);
    QVERIFY(GlobalsModule::gDirectives == readDirectives(text).directives);
    // Saved again unchanged: the same bytes, and a whole file leaves no copy to keep.
    QVERIFY(prefs.save(text));
    QCOMPARE(contents(prefs.path()).toStdString(), text);
    QCOMPARE(entries(dir.path()), QStringList { fileName });
}

void tst_PrefsFile::failedSave_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("parent is a file") << u"parent is a file"_s;
    QTest::newRow("path is a folder") << u"path is a folder"_s;
    QTest::newRow("write fails part-way") << u"size limit"_s;
    QTest::newRow("folder not writable") << u"read-only folder"_s;
}

// The earlier file, or what stands in the file's way, comes through byte for byte.
void tst_PrefsFile::failedSave()
{
    QFETCH(QString, how);
    if (how == u"read-only folder"_s && geteuid() == 0)
        QSKIP("permission bits do not stop root from writing");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray earlier = header + "#saveditem earlier\t\t\t\n";
    const QByteArray replacement = header + "#saveditem " + QByteArray(64 * 1024, 'r') + "\t\t\t\n";
    const bool parentIsFile = how == u"parent is a file"_s;
    const QString path = dir.filePath(parentIsFile ? u"config/"_s + fileName : fileName);
    QString earlierPath = parentIsFile ? dir.filePath(u"config"_s) : path;
    if (how == u"path is a folder"_s) {
        QVERIFY(QDir(dir.path()).mkdir(fileName));
        earlierPath = path + u"/inside"_s;
    }
    QVERIFY(writeFile(earlierPath, earlier));
    const QStringList before = entries(dir.path());
    const auto save = [&] { return PrefsFile(path).save(replacement.toStdString()); };

    if (how == u"size limit"_s) {
        QCOMPARE(withFileSizeLimit(4096, save), 1);
    } else {
        const auto writable = QFile::permissions(dir.path());
        QVERIFY(how != u"read-only folder"_s
            || QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool saved = save();
        QVERIFY(QFile::setPermissions(dir.path(), writable));
        QVERIFY(!saved);
    }
    QCOMPARE(contents(earlierPath), earlier);
    QCOMPARE(entries(dir.path()), before);
    QCOMPARE(PrefsFile(path).load(), earlierPath == path);
    QCOMPARE(GlobalsModule::gDirectives.size(), earlierPath == path ? 4u : 0u);
}

void tst_PrefsFile::unreadKept_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<bool>("kept");
    QTest::newRow("stopped early") << header + "\n#saveditem after the gap\t\t\t\n"
                                   << false << true;
    QTest::newRow("unreadable") << header + "#saveditem locked\t\t\t\n" << true << true;
    QTest::newRow("binary garbage") << garbage() << false << true;
    QTest::newRow("10 MB line") << header + "#saveditem " + QByteArray(10 << 20, 'n') + "\t\t\t\n"
                                << false << false;
}

// A file not read whole is copied aside before the first save replaces it.
void tst_PrefsFile::unreadKept()
{
    QFETCH(QByteArray, original);
    QFETCH(bool, unreadable);
    QFETCH(bool, kept);
    if (unreadable && geteuid() == 0)
        QSKIP("permission bits do not stop root from reading");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    QVERIFY(writeFile(path, original));
    QVERIFY(!unreadable || QFile::setPermissions(path, {}));
    PrefsFile prefs(path);

    QCOMPARE(prefs.load(), !unreadable);
    QVERIFY(GlobalsModule::gDirectives
        == (unreadable ? std::vector<directiveClass> {}
                       : readDirectives(original.toStdString()).directives));
    QVERIFY(prefs.save(header.toStdString()));
    QVERIFY(prefs.save(header.toStdString()));

    QCOMPARE(contents(path), header);
    QStringList copies = entries(dir.path());
    QVERIFY(copies.removeOne(fileName));
    QCOMPARE(copies.size(), kept ? 1 : 0);
    if (!kept)
        return;
    static const QRegularExpression name(
        uR"(^Tallyfox Prefs \(unread \d{4}-\d\d-\d\d \d\d-\d\d-\d\d\)$)"_s);
    QVERIFY2(name.match(copies.front()).hasMatch(), qPrintable(copies.front()));
    QVERIFY(QFile::setPermissions(dir.filePath(copies.front()), QFileDevice::ReadOwner));
    QCOMPARE(contents(dir.filePath(copies.front())), original);
}

QTEST_GUILESS_MAIN(tst_PrefsFile)
#include "tst_prefsfile.moc"