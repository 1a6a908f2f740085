#include "dateservice.h"
#include "mylistclass.h"
#include "prefsfile.h"
#include "prefsglue.h"
#include "window1.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

QByteArray withPlace(const QByteArray &place)
{
    return "#version 1.5\n#windowpos " + place + "\n#columnwidths 35%,25%,25%,15%\n";
}

const QByteArray header = withPlace("40\t60\t493\t233");

} // namespace

class tst_PrefsGlue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        qputenv("TZ", "UTC");
        tzset();
        Clock::setCurrent(&m_clock);
    }

    void init()
    {
        QDir(m_config.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_config.path()));
    }

    void cleanup()
    {
        if (Window1 *window = Window1::existing())
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // First: nothing in this process has loaded yet.
    // A list that was never loaded must not replace the one on disk.
    void saveBeforeLoadWritesNothing()
    {
        QVERIFY(PrefsFile(m_path).save(header.toStdString()));
        Window1::instance()->listBox()->AddRow("Not loaded");
        GlobalsModule::savePrefs();
        QCOMPARE(fileBytes(), header);
    }

    void loadThenSave_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<bool>("copyKept");
        const QByteArray rows = "#saveditem #hash name\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
                                "#saveditem bad \xff\xfe utf-8\t\t\t\n"
                                "#saveditem   spaced  out  \t03/14 13:10\t\t\n"_ba;
        QTest::newRow("rows reach the list, saved back byte for byte")
            << header + rows << QRect(40, 60, 493, 233) << header + rows << false;
        QTest::newRow("a place beyond any screen is held to what the window can take")
            << withPlace("2147483647\t-2147483648\t2147483647\t2147483647")
            << QRect(QWIDGETSIZE_MAX, -QWIDGETSIZE_MAX, 1200, 1200)
            << withPlace("16777215\t-16777215\t1200\t1200") << false;
        QTest::newRow("a size below the minimum")
            << withPlace("-40\t-60\t10\t20") << QRect(-40, -60, 400, 200)
            << withPlace("-40\t-60\t400\t200") << false;
        QTest::newRow("an unknown directive: a copy is kept")
            << header + "#future 1\n"
            << QRect(40, 60, 493, 233) << header << true;
    }

    // Loading writes nothing; the first save writes what the window then holds.
    void loadThenSave()
    {
        QFETCH(QByteArray, file);
        QFETCH(QRect, geometry);
        QFETCH(QByteArray, saved);
        QFETCH(bool, copyKept);
        openWindow(file);
        // The place is the content area's: the menu bar sits above it, inside the window.
        QCOMPARE(QRect(m_window->Left(), m_window->Top(), m_window->Width(), m_window->Height()),
            geometry);
        QCOMPARE(m_window->geometry().bottomLeft(), geometry.bottomLeft());
        QVERIFY(m_window->geometry().top() < geometry.top());
        QCOMPARE(m_window->listBox()->ListCount(), file.count("#saveditem "));
        QCoreApplication::processEvents();
        QCOMPARE(fileBytes(), file);

        GlobalsModule::savePrefs();
        QCOMPARE(fileBytes(), saved);
        QCOMPARE(QDir(m_config.path()).entryList(QDir::Files).size(), copyKept ? 2 : 1);
    }

    // A change is saved once the event loop turns: a new row, then a sort by the Project heading.
    void changesAreSavedOnTheNextTurn()
    {
        const QByteArray x = "#saveditem x\t\t\t\n",
                         untitled = "#saveditem Untitled project 1\t\t\t\n";
        openWindow(header + x);
        m_window->createNewRow();
        QCOMPARE(fileBytes(), header + x);
        QTRY_COMPARE(fileBytes(), header + x + untitled);
        QHeaderView *heading = m_window->listBox()->horizontalHeader();
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QTRY_COMPARE(fileBytes(), header + untitled + x);
    }

    void closeSavesStoppedRowsAndLaterSavesWriteNothing()
    {
        openWindow(header + "#saveditem Running\t05/27 08:30\t\t\n");
        m_window->close();
        QCOMPARE(fileBytes(), header + "#saveditem Running\t05/27 08:30\t05/27 09:00\t0' 30\"\n");

        // With the main window gone, a late save must neither make a new window nor write.
        QFile::remove(m_path);
        GlobalsModule::savePrefs();
        QVERIFY(!QFile::exists(m_path));
        QVERIFY(!Window1::existing());
    }

private:
    [[nodiscard]] QByteArray fileBytes() const;
    void openWindow(const QByteArray &file);

    QTemporaryDir m_config;
    const QString m_path = m_config.filePath(u"Tallyfox Prefs"_s);
    FixedClock m_clock { 1'779'872'400 }; // 27 May 2026, 09:00 UTC
    Window1 *m_window = nullptr;
};

QByteArray tst_PrefsGlue::fileBytes() const
{
    QFile file(m_path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// With the file holding file, as at start-up: the saving is wired before anything is loaded.
void tst_PrefsGlue::openWindow(const QByteArray &file)
{
    QVERIFY(PrefsFile(m_path).save(file.toStdString()));
    m_window = Window1::instance();
    new PrefsSaving(m_window, m_window);
    GlobalsModule::loadPrefs();
}

QTEST_MAIN(tst_PrefsGlue)
#include "tst_prefsglue.moc"
