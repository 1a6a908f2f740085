#include "dateservice.h"
#include "prefsfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
const QByteArray header = "#version 1.5\n#columnwidths 35%,25%,25%,15%\n";
// Read up to the empty line: more than one piece of a read, and more than a fault's room.
const QByteArray partlyRead = header + '\n' + QByteArray(300 * 1024, 'x');

// What is at path, through any link: mode, owner, group, attributes, a regular file's bytes.
QByteArray what(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return "<nothing>";
    QProcess getfattr;
    getfattr.start(u"getfattr"_s, { u"-d"_s, u"-m-"_s, u"-ehex"_s, path });
    QByteArray said = getfattr.waitForFinished() ? getfattr.readAllStandardOutput() : "";
    said.remove(0, said.indexOf('\n') + 1); // the "# file:" line names the path
    QFile file(path);
    const bool read = S_ISREG(status.st_mode) && file.open(QIODevice::ReadOnly);
    return QByteArray::number(status.st_mode & 07777, 8) + ' ' + QByteArray::number(status.st_uid)
        + ':' + QByteArray::number(status.st_gid) + ' ' + said
        + (read ? file.readAll() : "<not read>"_ba);
}

// Puts at path what a row names: nothing, a pipe, a folder, a link to one, or a kind of file.
bool make(const QString &kind, const QString &path)
{
    if (kind == u"nothing")
        return true;
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    if (kind == u"pipe")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind.startsWith(u"link to a "))
        return make(kind.sliced(10), path + u" target"_s)
            && QFile::link(QFileInfo(path).fileName() + u" target"_s, path);
    if (kind == u"folder")
        return QDir().mkpath(path);
    // An unusual mode, and under root another user, show what a save keeps of a file it replaces.
    const QByteArray bytes = kind == u"partly read file" ? partlyRead
        : kind == u"unbroken file"                       ? QByteArray(64 * 1024 * 1024, '\0')
                                                         : header;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
        && (geteuid() != 0 || ::fchown(file.handle(), 65534, 65534) == 0)
        && ::fchmod(file.handle(), kind == u"unreadable" ? 0 : 02640) == 0;
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
        umask(0); // the owner-only mode of a new file is then ours, not the umask's
        qputenv("TZ", "UTC");
        tzset();
        Clock::setCurrent(&m_clock);
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails, not ending the process
    }

    void loadThenSave_data()
    {
        QTest::addColumn<QString>("kind"); // what is at the file's path, see make()
        QTest::addColumn<QString>("fault"); // makes the first save fail
        QTest::addColumn<QString>("kept"); // the copy's name, " 3)" when the two before are taken
        QTest::addColumn<int>("why"); // the first save's failure, -1 for none
        using enum SaveFailure::Kind;
        const auto row
            = [](const char *tag, const QString &kind, const QString &fault, const QString &kept,
                  int why = -1) { QTest::newRow(tag) << kind << fault << kept << why; };
        const QString copy = unread + u')';
        row("first run, no folder yet", "nothing", {}, {});
        row("read in part: copied, the name taken twice", "partly read file", {}, unread + " 3)");
        row("unreadable: moved aside", "unreadable", {}, copy);
        row("a link to a pipe: the link moved aside", "link to a pipe", {}, copy);
        row("a link to a file: written through", "link to a file", {}, {});
        row("path is a folder: never saved", "folder", {}, {}, int(NotAFile));
        row("short write", "file", "short write", {}, int(NoRoom));
        row("folder not writable", "file", "read-only folder", {}, int(FolderReadOnly));
        row("file not writable", "file", "read-only file", {}, int(FileReadOnly));
        row("folder a link into a drive not mounted", "nothing", "unmounted", {}, int(Unreachable));
        row("no room for the copy: waits", "partly read file", "1 KiB of room", copy, int(NoRoom));
        row("moved aside, a short write: moved back", "pipe", "short write", copy, int(NoRoom));
        row("access control list and extended attribute kept", "marked file", {}, {});
        row("64 MB without a line break: copied", "unbroken file", {}, copy);
        row("edited after the load: kept", "edited file", {},
            fileName + u" (changed elsewhere 2026-05-27 09-00-00)"_s);
    }

    // What the first save replaces stays on disk, once, unless it is the file as read whole. A
    // failed save leaves all as it was, with nothing beside it, and the next one tries again.
    void loadThenSave()
    {
        QFETCH(QString, kind);
        QFETCH(QString, fault);
        QFETCH(QString, kept);
        QFETCH(int, why);
        if ((kind == u"unreadable" || fault.startsWith(u"read-only")) && geteuid() == 0)
            QSKIP("root ignores permission bits: runs in the tst_prefsfile_unprivileged entry");
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"config"_s);
        PrefsFile prefs(folder + u'/' + fileName);
        QVERIFY(make(kind, prefs.path()));
        if (kind == u"marked file") { // an access list and an attribute, if the file system can
            const int status = QProcess::execute(u"sh"_s,
                { u"-c"_s,
                    u"setfacl -m u:1:rw \"$0\" && setfattr -n user.tallyfox -v kept \"$0\""_s,
                    prefs.path() });
            QVERIFY2(status != 127, "setfacl or setfattr missing: scripts/install-deps.sh test");
            if (status != 0)
                QSKIP("no access lists or attributes on this file system");
        }
        if (kept.endsWith(u" 3)"))
            for (const QString &taken : { u")"_s, u" 2)"_s })
                QVERIFY(make(u"file"_s, folder + u'/' + unread + taken));
        const bool readable = kind.endsWith(u"file");
        GlobalsModule::gDirectives.clear();
        QCOMPARE(prefs.load(), readable);
        // The header's two records; none from a file of NULs.
        QCOMPARE(GlobalsModule::gDirectives.size(), readable && kind != u"unbroken file" ? 2u : 0u);
        QFile edited(prefs.path()); // in place: the same inode and time to the second, another size
        QVERIFY(kind != u"edited file"
            || (edited.open(QIODevice::Append) && edited.write("#a b\n") == 5 && edited.flush()));
        const QByteArray before = what(prefs.path());
        const qsizetype bytesBefore = QFileInfo(prefs.path()).size();
        const QStringList beforeEntries = entries(folder);

        if (!fault.isEmpty() || kind == u"folder") {
            rlimit unlimited = {};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
            // 40 bytes cut a header short; 1024 take one but no copy of a file read in part.
            const rlimit limited = { fault == u"short write" ? 40u : 1024u, unlimited.rlim_max };
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
            const QByteArray file = QFile::encodeName(prefs.path());
            QVERIFY(fault != u"read-only folder"
                || ::chmod(QFile::encodeName(folder).constData(), 0500) == 0);
            QVERIFY(fault != u"read-only file" || ::chmod(file.constData(), 0400) == 0);
            const QString drive = dir.filePath(u"drive"_s);
            QVERIFY(fault != u"unmounted" || QFile::link(drive + u"/config"_s, folder));
            const bool saved = prefs.save(header.toStdString());
            QVERIFY(setrlimit(RLIMIT_FSIZE, &unlimited) == 0);
            // The drive mounted again: the link leads to a folder once more.
            QVERIFY(fault != u"unmounted" || QDir().mkpath(drive + u"/config"_s));
            QVERIFY(fault != u"read-only file" || ::chmod(file.constData(), 02640) == 0);
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0 && !saved);
            QCOMPARE(prefs.lastFailure().value_or(SaveFailure { SaveFailure::Kind(-1) }).kind,
                SaveFailure::Kind(why));
            QCOMPARE(what(prefs.path()), before);
            QCOMPARE(entries(folder), beforeEntries);
            if (kind == u"folder")
                return;
        }
        QVERIFY(prefs.save(header.toStdString()) && prefs.save(header.toStdString()));
        QVERIFY(!prefs.lastFailure());
        // A link to the file is written through; one to anything else went aside with the thing.
        QCOMPARE(QFileInfo(prefs.path()).isSymLink(), kind == u"link to a file");
        // A file read keeps its mode, owner and attributes; only a new one is its owner's alone.
        const QByteArray fresh
            = "600 " + QByteArray::number(geteuid()) + ':' + QByteArray::number(getegid()) + ' ';
        QCOMPARE(what(prefs.path()), (readable ? before.chopped(bytesBefore) : fresh) + header);
        // Beside what was there: the file, where there was none, and the copy, once.
        QCOMPARE(entries(folder).size(),
            beforeEntries.size() + (kind == u"nothing" ? 1 : 0) + (kept.isEmpty() ? 0 : 1));
        if (!kept.isEmpty())
            QCOMPARE(what(folder + u'/' + kept), before);
        if (kind != u"nothing")
            return;
        // A list no save took: a new copy, its owner's alone, in ~/.local/state by default.
        qputenv("HOME", QFile::encodeName(dir.path()));
        qputenv("XDG_STATE_HOME", "relative");
        const QString copy = UnsavedCopies::keep("a\n");
        QCOMPARE(copy,
            dir.filePath(u".local/state/tallyfox/"_s) + fileName
                + u" (unsaved 2026-05-27 09-00-00)"_s);
        QCOMPARE(what(QFileInfo(copy).path()).left(4) + what(copy).left(4) + what(copy).right(2),
            "700 600 a\n");
    }

private:
    FixedClock m_clock { 1'779'872'400 };
};

QTEST_GUILESS_MAIN(tst_PrefsFile)
#include "tst_prefsfile.moc"
