#include "dateservice.h"
#include "prefsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString fileName = u"Tallyfox Prefs"_s;
// The copy's name at the fixed moment of the tests, 27 May 2026 09:00 UTC, without its ")".
const QString unread = fileName + u" (unread 2026-05-27 09-00-00"_s;
const QByteArray header = "#version 1.5\n#windowpos 40\t60\t493\t233\n"
                          "#columnwidths 35%,25%,25%,15%\n";
// Read up to the empty line; too large for the room left by a fault in loadThenSave.
const QByteArray partlyRead = header + '\n' + QByteArray(2048, 'x');

// What is at path, through any link: a file's bytes, or what else is there.
QByteArray what(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return "<nothing>";
    if (S_ISFIFO(status.st_mode))
        return "<pipe>";
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<cannot be read>"_ba;
}

// The mode, owner and group of what is at path.
QString ownership(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return u"<nothing>"_s;
    return u"%1 %2:%3"_s.arg(status.st_mode & 07777, 4, 8, QChar(u'0'))
        .arg(status.st_uid)
        .arg(status.st_gid);
}

// Puts at path what a row names, with bytes for a file.
bool make(const QString &kind, const QString &path, const QByteArray &bytes)
{
    if (kind == u"nothing")
        return true;
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    if (kind == u"pipe")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind.startsWith(u"link to a "))
        return make(kind.sliced(10), path + u" target"_s, bytes)
            && QFile::link(QFileInfo(path).fileName() + u" target"_s, path);
    if (kind == u"folder")
        return QDir().mkpath(path);
    // An unusual mode, and under root another user, show what a save keeps of a file it replaces.
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
        && (geteuid() != 0 || ::fchown(file.handle(), 65534, 65534) == 0)
        && ::fchmod(file.handle(), 02640) == 0;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class tst_PrefsFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A permissive umask shows that the owner-only mode of a new file is ours, not the umask's.
        umask(0);
        qputenv("TZ", "UTC");
        tzset();
        Clock::setCurrent(&m_clock);
        // A write past the limit then fails instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    void loadThenSave_data()
    {
        QTest::addColumn<QString>("kind"); // what is at the file's path, see make()
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("fault"); // makes the first save fail
        QTest::addColumn<QString>("kept"); // the copy's name, " n)" when the names before are taken
        const auto row = [](const char *tag, const QString &kind, const QByteArray &original,
                             const QString &fault, const QString &kept) {
            QTest::newRow(tag) << kind << original << fault << kept;
        };
        const QString file = u"file"_s;
        const QString copy = unread + u')';
        row("first run, no folder yet", u"nothing"_s, {}, {}, {});
        row("read whole", file, header, {}, {});
        row("read in part: copied", file, partlyRead, {}, copy);
        row("copy's name taken twice", file, partlyRead, {}, unread + u" 3)"_s);
        row("unreadable: moved aside", u"unreadable"_s, header, {}, copy);
        row("a pipe: moved aside, never opened", u"pipe"_s, {}, {}, copy);
        row("a link to a pipe: the link moved aside", u"link to a pipe"_s, {}, {}, copy);
        row("a link to a file: read whole", u"link to a file"_s, header, {}, {});
        row("path is a folder: never saved", u"folder"_s, {}, {}, {});
        row("short write", file, header, u"short write"_s, {});
        row("folder not writable", file, header, u"read-only folder"_s, {});
        row("no room for the copy: the file stays, the save waits", file, partlyRead,
            u"room for the file only"_s, copy);
        row("short write after the move aside: moved back", u"pipe"_s, {}, u"short write"_s, copy);
    }

    // Whatever the first save replaces stays on disk, once, unless the file was read whole. A save
    // that fails leaves everything as it was, with nothing beside it, and the next one tries again.
    void loadThenSave()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, original);
        QFETCH(QString, fault);
        QFETCH(QString, kept);
        // Run as root, CTest runs this test once more as an unprivileged user.
        if ((kind == u"unreadable" || fault == u"read-only folder") && geteuid() == 0)
            QSKIP("root ignores permission bits: runs in the tst_prefsfile_unprivileged entry");
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"config"_s);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
        PrefsFile prefs;
        QCOMPARE(prefs.path(), folder + u'/' + fileName);
        QVERIFY(make(kind, prefs.path(), original));
        for (int n = 1; n < kept.section(u' ', -1).remove(u')').toInt(); ++n)
            QVERIFY(
                make(u"file"_s, folder + u'/' + unread + (n == 1 ? u")"_s : u" %1)"_s.arg(n)), {}));
        const QByteArray before = what(prefs.path());
        QVERIFY(kind != u"unreadable" || QFile::setPermissions(prefs.path(), {}));
        const QStringList beforeEntries = entries(folder);
        const QString earlier = ownership(prefs.path());
        QCOMPARE(prefs.load(), kind.endsWith(u"file"));

        const bool neverSaved = kind == u"folder";
        if (!fault.isEmpty() || neverSaved) {
            rlimit unlimited = {};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
            // 40 bytes cut even a header short; 1024 take a header but no copy of a file read in
            // part.
            const rlimit limited = { fault == u"short write" ? 40u : 1024u, unlimited.rlim_max };
            const auto permissions = QFile::permissions(folder);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
            QVERIFY(fault != u"read-only folder"
                || QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            const bool saved = prefs.save(header.toStdString());
            QVERIFY(setrlimit(RLIMIT_FSIZE, &unlimited) == 0);
            QVERIFY(QFile::setPermissions(folder, permissions) && !saved);
            QCOMPARE(what(prefs.path()), before);
            QCOMPARE(entries(folder), beforeEntries);
        }
        if (neverSaved)
            return;
        QVERIFY(prefs.save(header.toStdString()) && prefs.save(header.toStdString()));
        QCOMPARE(what(prefs.path()), header);
        // A link to the file is written through; one to anything else went aside with the thing.
        QCOMPARE(QFileInfo(prefs.path()).isSymLink(), kind == u"link to a file");
        // Only a new file is made readable by its owner alone.
        const QString fresh = u"0600 %1:%2"_s.arg(geteuid()).arg(getegid());
        QCOMPARE(ownership(prefs.path()), kind.endsWith(u"file") ? earlier : fresh);
        QStringList expected = beforeEntries;
        expected << fileName << kept;
        expected.removeAll(QString());
        expected.removeDuplicates();
        expected.sort();
        QCOMPARE(entries(folder), expected);
        if (kept.isEmpty())
            return;
        QCOMPARE(ownership(folder + u'/' + kept), earlier);
        QVERIFY(QFile::setPermissions(folder + u'/' + kept, QFile::ReadOwner));
        QCOMPARE(what(folder + u'/' + kept), before);
    }

private:
    FixedClock m_clock { 1'779'872'400 };
};

QTEST_GUILESS_MAIN(tst_PrefsFile)
#include "tst_prefsfile.moc"
