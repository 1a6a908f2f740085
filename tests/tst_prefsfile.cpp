#include "prefsfile.h"
#include "prefsformat.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString fileName = u"Tallyfox Prefs"_s;
const QString backupPattern = u"Tallyfox Prefs (unread *"_s;

bool isRoot()
{
    return geteuid() == 0;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<cannot be read>";
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::string_view view(const QByteArray &bytes)
{
    return { bytes.constData(), std::size_t(bytes.size()) };
}

// The permission bits in octal, as chmod takes them.
QString modeBits(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return u"no such file"_s;
    return QString::number(status.st_mode & 0777u, 8);
}

QStringList backups(const QString &folder)
{
    return QDir(folder).entryList({ backupPattern }, QDir::Files | QDir::System | QDir::Hidden);
}

QStringList everything(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Runs work in a child process whose files cannot grow past limit bytes, so that a write fails
// part-way also for root. The exit code is work's result (0 for true, 1 for false), or -1 when the
// child did not exit on its own.
int withFileSizeLimit(rlim_t limit, const std::function<bool()> &work)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit size {};
        getrlimit(RLIMIT_FSIZE, &size);
        size.rlim_cur = limit;
        if (setrlimit(RLIMIT_FSIZE, &size) != 0)
            _exit(2);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const QByteArray header = "#version 1.5\n#windowpos 40\t60\t493\t233\n"
                          "#columnwidths 35%,25%,25%,15%\n"_ba;

} // namespace

class tst_PrefsFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void defaultPath();
    void saveCreatesMissingFolder();
    void newFileOwnerOnly();
    void existingFileKeepsPermissions();
    void saveThenLoad();
    void saveTwiceSameBytes();
    void loadMissingFile();
    void failedSave_data();
    void failedSave();
    void keepUnread_data();
    void keepUnread();
    void keepUnreadByMovingAside();
    void keepUnreadRetriedAfterFailure();
    void backupPathNumbered();
    void pathIsFolder();
    void longLine();
    void binaryGarbage();
};

void tst_PrefsFile::init()
{
    GlobalsModule::gDirectives.clear();
}

void tst_PrefsFile::defaultPath()
{
    QTemporaryDir config;
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    QCOMPARE(PrefsFile().path(), config.path() + u"/Tallyfox Prefs"_s);
}

void tst_PrefsFile::saveCreatesMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"config/deeper"_s);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));

    PrefsFile prefs;
    QVERIFY(prefs.save(view(header)));

    QCOMPARE(contents(folder + u"/Tallyfox Prefs"_s), header);
}

void tst_PrefsFile::newFileOwnerOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    // A permissive umask shows that the mode is ours, not the umask's.
    const mode_t oldMask = umask(0);
    const bool saved = PrefsFile(path).save(view(header));
    umask(oldMask);

    QVERIFY(saved);
    QCOMPARE(modeBits(path), u"600"_s);
}

void tst_PrefsFile::existingFileKeepsPermissions()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    QVERIFY(writeFile(path, "old\n"));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);

    QVERIFY(PrefsFile(path).save(view(header)));

    QCOMPARE(contents(path), header);
    QCOMPARE(modeBits(path), u"640"_s);
}

void tst_PrefsFile::saveThenLoad()
{
    QTemporaryDir config;
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const std::vector<ListRow> rows {
        { "Untitled project 1", "03/14 09:05", "03/14 10:35", "1' 30\"" },
        { "#hash start", "03/14 13:10", "", "" },
        { "\xFF not UTF-8", "", "", "" },
    };
    const std::string text = prefsText({ -20, 30, 493, 233 }, "35%,25%,25%,15%", rows);
    QVERIFY(PrefsFile().save(text));
    const directiveClass earlier { "earlier", "run" };
    GlobalsModule::gDirectives = { earlier };

    PrefsFile prefs;
    QVERIFY(prefs.load());

    std::vector<directiveClass> expected = readDirectives(text).directives;
    QCOMPARE(expected.size(), rows.size() + 3);
    expected.insert(expected.begin(), earlier);
    QVERIFY(GlobalsModule::gDirectives == expected);
    // A whole file leaves nothing to keep: the next save makes no copy.
    QVERIFY(prefs.save(text));
    QVERIFY(backups(config.path()).isEmpty());
}

void tst_PrefsFile::saveTwiceSameBytes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    const std::string text = prefsText({ 1, 2, 3, 4 }, "35%,25%,25%,15%", { { "a", "b", "", "" } });
    PrefsFile prefs(path);

    QVERIFY(prefs.save(text));
    const QByteArray first = contents(path);
    QVERIFY(prefs.save(text));

    QCOMPARE(first, QByteArray::fromStdString(text));
    QCOMPARE(contents(path), first);
    QCOMPARE(everything(dir.path()), QStringList { fileName });
}

void tst_PrefsFile::loadMissingFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    PrefsFile prefs(path);

    QVERIFY(!prefs.load());
    QVERIFY(GlobalsModule::gDirectives.empty());
    QVERIFY(prefs.save(view(header)));
    QCOMPARE(everything(dir.path()), QStringList { fileName });
}

void tst_PrefsFile::failedSave_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("parent is a file") << u"parent is a file"_s;
    QTest::newRow("write fails part-way") << u"file size limit"_s;
    QTest::newRow("folder not writable") << u"read-only folder"_s;
}

void tst_PrefsFile::failedSave()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray earlier = header + "#saveditem earlier\t\t\t\n";
    QByteArray replacement = header;
    for (int i = 0; i < 5000; ++i)
        replacement += "#saveditem replacement row " + QByteArray::number(i) + "\t\t\t\n";

    // The file that must come through untouched: the prefs file itself, or the file that stands
    // where its folder should be.
    QString earlierPath = dir.filePath(fileName);
    QString path = earlierPath;
    if (how == u"parent is a file"_s) {
        earlierPath = dir.filePath(u"config"_s);
        path = earlierPath + u'/' + fileName;
    }
    QVERIFY(writeFile(earlierPath, earlier));
    const QStringList before = everything(dir.path());

    if (how == u"file size limit"_s) {
        const int result
            = withFileSizeLimit(4096, [&] { return PrefsFile(path).save(view(replacement)); });
        QCOMPARE(result, 1);
    } else if (how == u"read-only folder"_s) {
        if (isRoot())
            QSKIP("permission bits do not stop root from writing");
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool saved = PrefsFile(path).save(view(replacement));
        QVERIFY(QFile::setPermissions(
            dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QVERIFY(!saved);
    } else {
        QVERIFY(!PrefsFile(path).save(view(replacement)));
    }

    QCOMPARE(contents(earlierPath), earlier);
    QCOMPARE(everything(dir.path()), before);
}

void tst_PrefsFile::keepUnread_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<bool>("loads");

    QTest::newRow("stopped early at an empty line") << header + "\n#saveditem after the gap\t\t\t\n"
                                                    << false << true;
    QTest::newRow("stopped early at a plain line")
        << header + "#saveditem kept\t\t\t\nplain\n#saveditem lost\t\t\t\n"
        << false << true;
    QTest::newRow("unreadable file") << header + "#saveditem locked\t\t\t\n" << true << false;
}

void tst_PrefsFile::keepUnread()
{
    QFETCH(QByteArray, original);
    QFETCH(bool, unreadable);
    QFETCH(bool, loads);
    if (unreadable && isRoot())
        QSKIP("permission bits do not stop root from reading");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    QVERIFY(writeFile(path, original));
    if (unreadable)
        QVERIFY(QFile::setPermissions(path, {}));
    PrefsFile prefs(path);
    QCOMPARE(prefs.load(), loads);

    QVERIFY(prefs.save(view(header)));

    QCOMPARE(contents(path), header);
    const QStringList kept = backups(dir.path());
    QCOMPARE(kept.size(), 1);
    static const QRegularExpression name(
        uR"(^Tallyfox Prefs \(unread \d{4}-\d\d-\d\d \d\d-\d\d-\d\d\)$)"_s);
    QVERIFY2(name.match(kept.front()).hasMatch(), qPrintable(kept.front()));
    const QString backup = dir.filePath(kept.front());
    if (unreadable)
        QVERIFY(QFile::setPermissions(backup, QFileDevice::ReadOwner));
    QCOMPARE(contents(backup), original);
    // One copy is enough: later saves replace the file like any other.
    QVERIFY(prefs.save(view(header)));
    QCOMPARE(backups(dir.path()).size(), 1);
}

void tst_PrefsFile::keepUnreadByMovingAside()
{
    // A file too large to copy under the size limit can still be renamed; root may do both,
    // so the limit is what makes the copy fail here.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    const QByteArray original = header + "\n" + QByteArray(64 * 1024, 'x') + "\n";
    QVERIFY(writeFile(path, original));
    PrefsFile prefs(path);
    QVERIFY(prefs.load());

    QCOMPARE(withFileSizeLimit(4096, [&] { return prefs.save(view(header)); }), 0);

    QCOMPARE(contents(path), header);
    const QStringList kept = backups(dir.path());
    QCOMPARE(kept.size(), 1);
    QCOMPARE(contents(dir.filePath(kept.front())), original);
}

void tst_PrefsFile::keepUnreadRetriedAfterFailure()
{
    if (isRoot())
        QSKIP("permission bits do not stop root from copying or renaming");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    const QByteArray original = header + "#saveditem locked\t\t\t\n";
    QVERIFY(writeFile(path, original));
    QVERIFY(QFile::setPermissions(path, {}));
    PrefsFile prefs(path);
    QVERIFY(!prefs.load());

    // Neither copied (unreadable) nor moved (folder read-only): the file must not be replaced.
    const auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool savedLocked = prefs.save(view(header));
    QVERIFY(QFile::setPermissions(dir.path(), writable));
    QVERIFY(!savedLocked);
    QCOMPARE(everything(dir.path()), QStringList { fileName });

    QVERIFY(prefs.save(view(header)));

    QCOMPARE(contents(path), header);
    const QStringList kept = backups(dir.path());
    QCOMPARE(kept.size(), 1);
    QVERIFY(QFile::setPermissions(dir.filePath(kept.front()), QFileDevice::ReadOwner));
    QCOMPARE(contents(dir.filePath(kept.front())), original);
}

void tst_PrefsFile::backupPathNumbered()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const PrefsFile prefs(dir.filePath(fileName));
    // The names carry the time to the second; should the clock pass a second between the calls,
    // the stem differs and the attempt is made again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const QString first = prefs.backupPath();
        QVERIFY(first.startsWith(dir.filePath(u"Tallyfox Prefs (unread "_s)));
        QVERIFY(first.endsWith(u')'));
        QVERIFY(writeFile(first, "1"));
        const QString second = prefs.backupPath();
        QVERIFY(writeFile(second, "2"));
        const QString third = prefs.backupPath();
        const QString stem = first.chopped(1);
        if (!second.startsWith(stem) || !third.startsWith(stem))
            continue;
        QCOMPARE(second, stem + u" 2)"_s);
        QCOMPARE(third, stem + u" 3)"_s);
        return;
    }
    QFAIL("the clock moved on during every attempt");
}

void tst_PrefsFile::pathIsFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    QVERIFY(QDir(dir.path()).mkdir(fileName));
    QVERIFY(writeFile(path + u"/inside"_s, "inside"));
    PrefsFile prefs(path);

    QVERIFY(!prefs.load());
    QVERIFY(GlobalsModule::gDirectives.empty());
    QVERIFY(!prefs.save(view(header)));

    QCOMPARE(everything(dir.path()), QStringList { fileName });
    QCOMPARE(everything(path), QStringList { u"inside"_s });
    QCOMPARE(contents(path + u"/inside"_s), "inside"_ba);
}

void tst_PrefsFile::longLine()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    const std::string name(10 * 1024 * 1024, 'n');
    const std::string text = prefsText({}, "35%,25%,25%,15%", { { name, "", "", "" } });
    PrefsFile prefs(path);
    QVERIFY(prefs.save(text));

    QVERIFY(prefs.load());

    QCOMPARE(GlobalsModule::gDirectives.size(), 4u);
    QVERIFY(GlobalsModule::gDirectives.back().text == name + "\t\t\t");
}

void tst_PrefsFile::binaryGarbage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    QRandomGenerator random(20240314);
    QByteArray garbage(256 * 1024, '\0');
    for (char &byte : garbage)
        byte = char(random.bounded(256));
    // A directive start, so that the garbage is parsed for a while rather than stopping at once.
    garbage.prepend("#saveditem ");
    QVERIFY(writeFile(path, garbage));
    const DirectiveRead expected = readDirectives(view(garbage));
    PrefsFile prefs(path);

    QVERIFY(prefs.load());
    QVERIFY(GlobalsModule::gDirectives == expected.directives);
    QVERIFY(!expected.directives.empty());

    QVERIFY(prefs.save(view(header)));
    const QStringList kept = backups(dir.path());
    QCOMPARE(kept.size(), expected.stoppedEarly ? 1 : 0);
    if (!kept.isEmpty())
        QCOMPARE(contents(dir.filePath(kept.front())), garbage);
}

QTEST_GUILESS_MAIN(tst_PrefsFile)
#include "tst_prefsfile.moc"
