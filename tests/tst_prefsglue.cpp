#include "globalsmodule.h"
#include "prefsfile.h"
#include "prefsglue.h"
#include "windowtest.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray withPlace(const QByteArray &place)
{
    return "#version 1.5\n#windowpos " + place + "\n#columnwidths 35%,25%,25%,15%\n";
}

const QByteArray header = withPlace("40\t60\t493\t233");

} // namespace

class tst_PrefsGlue : public QObject, WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_data.path()));
    }

    // Each test starts a window of its own.
    void cleanup() { close(true); }

    // A list never loaded must not replace the one on disk; once loaded, the rows are saved back
    // byte for byte, the place brought on screen, and the unknown directive keeps a copy.
    void loadThenSave()
    {
        const QByteArray rows = "#saveditem #hash name\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
                                "#saveditem   spaced \xff\xfe utf-8  \t03/14 13:10\t\t\n"_ba
            + "#saveditem " + "\xc3\xa9"_ba.repeated(40000) + "\t\t\t\n";
        const QByteArray file
            = withPlace("2147483647\t-2147483648\t2147483647\t20") + rows + "#future 1\n";
        openWindow(file, false);
        m_window->listBox()->AddRow("Not loaded");
        GlobalsModule::savePrefs();
        QCOMPARE(fileBytes(), file);

        // Wider than the screen, the window comes to its top left corner as wide as it, and no
        // lower than the least height. The copy is named once in a message that does not block.
        GlobalsModule::loadPrefs();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.width() < 1200);
        const int menuBar = m_window->Top() - m_window->geometry().y();
        QCOMPARE(m_window->geometry().topLeft(), screen.topLeft());
        const QByteArray shown = QByteArray::number(screen.x()) + '\t'
            + QByteArray::number(screen.y() + menuBar) + '\t' + QByteArray::number(screen.width())
            + "\t200";
        const QByteArray saved = withPlace(shown) + rows;
        QTRY_COMPARE(fileBytes(), saved);
        GlobalsModule::savePrefs();
        const QStringList unread = messages();
        QVERIFY(unread.size() == 1 && unread[0].startsWith(m_path + u" (unread "_s));
        QCOMPARE(fileBytes(unread[0]), file);
        // The file as the day's first save found it.
        QCOMPARE(fileBytes(m_data.filePath(u"tallyfox/backups/Tallyfox Prefs 2026-05-27"_s)), file);

        // Edited in place: the same inode and time to the second, another size.
        const QByteArray edited = header + "#saveditem edited\t\t\t\n";
        QFile out(m_path);
        QVERIFY(
            out.open(QIODevice::WriteOnly) && out.write(edited) == edited.size() && out.flush());
        GlobalsModule::savePrefs();
        GlobalsModule::savePrefs();
        QCOMPARE(fileBytes(), saved);
        const QStringList both = messages();
        QVERIFY(both.size() == 2 && both[0].startsWith(m_path + u" (changed elsewhere "_s));
        QCOMPARE(both[1], unread[0]);
        QCOMPARE(fileBytes(both[0]), edited);
        QCOMPARE(QDir(m_config.path()).entryList(QDir::Files).size(), 3);
    }

    void failedSaves_data()
    {
        QTest::addColumn<bool>("fails"); // a folder takes the file's place once it is loaded
        QTest::addColumn<QString>("end"); // a save at the last chance, or closing and the answer
        QTest::newRow("saved: no message, no copy") << false << u"last chance"_s;
        QTest::newRow("saved at closing, the running row stopped") << false << u"closing"_s;
        QTest::newRow("told once, the list in a copy") << true << u"last chance"_s;
        QTest::newRow("closing: Try Again, the folder gone") << true << u"Try Again"_s;
        QTest::newRow("closing: Quit Without Saving") << true << u"Quit Without Saving"_s;
    }

    // A new row and a sort are saved once the event loop turns. The list that cannot be saved is
    // never lost in silence: the running row stopped, it goes to the file or a copy that the next
    // start names once, or the user decides at closing; after closing, a save neither writes nor
    // makes a window.
    void failedSaves()
    {
        QFETCH(bool, fails);
        QFETCH(QString, end);
        const QByteArray x = "#saveditem x\t05/27 08:30\t\t\n";
        const QByteArray untitled = "#saveditem Untitled project 1\t\t\t\n";
        GlobalsModule::gNum = 0; // each row's new one is number 1
        openWindow(header + x);
        const QDir state(m_data.filePath(u"tallyfox"_s));
        const auto clear = qScopeGuard([this, state] {
            QDir(m_path).removeRecursively();
            QDir(state).removeRecursively();
        });
        QVERIFY(!fails || (QFile::remove(m_path) && QDir().mkdir(m_path)));
        m_window->createNewRow();
        QCOMPARE(fileBytes(), fails ? QByteArray() : header + x);
        QTRY_VERIFY(fails ? !messages().isEmpty() : fileBytes() == header + x + untitled);
        QHeaderView *heading = m_window->listBox()->horizontalHeader();
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QTRY_VERIFY(fails || fileBytes() == header + untitled + x);
        GlobalsModule::savePrefs();
        QCOMPARE(messages(), fails ? QStringList { m_path } : QStringList());
        QTimer answering; // the question at closing, answered with the folder gone
        connect(&answering, &QTimer::timeout, this, [this, end] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            for (QAbstractButton *button : box ? box->buttons() : QList<QAbstractButton *>())
                if (button->text() == end && QDir(m_path).removeRecursively())
                    button->click();
        });
        answering.start(10);
        if (end == u"last chance")
            GlobalsModule::saveAtLastChance();
        else
            m_window->close();
        const QStringList copies = state.entryList({ u"Tallyfox Prefs (unsaved *"_s });
        QCOMPARE(copies.size(), fails && end == u"last chance" ? 1 : 0);
        const QString saved = copies.isEmpty() ? m_path : state.filePath(copies.value(0));
        QCOMPARE(fileBytes(saved),
            end == u"Quit Without Saving"
                ? QByteArray()
                : header + untitled + "#saveditem x\t05/27 08:30\t05/27 09:00\t0' 30\"\n");
        if (end != u"last chance") {
            QFile::remove(m_path);
            GlobalsModule::savePrefs();
            QVERIFY(!QFileInfo::exists(m_path) && !Window1::existing());
        }
        if (copies.isEmpty())
            return;
        close(true);
        QDir(m_path).removeRecursively();
        for (int start = 0; start < 2; ++start) {
            openWindow(header);
            QCoreApplication::processEvents();
            QCOMPARE(messages(), start == 0 ? QStringList { saved } : QStringList());
            close(true);
        }
    }

private:
    [[nodiscard]] QByteArray fileBytes(const QString &path = {}) const
    {
        QFile file(path.isEmpty() ? m_path : path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The copy each message that leaves the window free names, by its path, sorted.
    [[nodiscard]] static QStringList messages()
    {
        QStringList named;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            const auto *box = qobject_cast<QMessageBox *>(widget);
            if (box && box->isVisible() && !box->isModal())
                named << box->text().section(u'“', -1).section(u'”', 0, 0);
        }
        named.sort();
        return named;
    }

    // With the file holding file, as at start-up: the saving is wired before anything is loaded.
    void openWindow(const QByteArray &file, bool load = true)
    {
        QVERIFY(PrefsFile(m_path).save(file.toStdString()));
        m_window = Window1::instance();
        new PrefsSaving(m_window, m_window);
        if (load)
            GlobalsModule::loadPrefs();
    }

    QTemporaryDir m_config;
    QTemporaryDir m_data;
    const QString m_path = m_config.filePath(u"Tallyfox Prefs"_s);
};

QTEST_MAIN(tst_PrefsGlue)
#include "tst_prefsglue.moc"
