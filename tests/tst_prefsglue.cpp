#include "dateservice.h"
#include "directives.h"
#include "listmodel.h"
#include "mylistclass.h"
#include "prefsglue.h"
#include "projectrows.h"
#include "window1.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>

using namespace Qt::StringLiterals;

class tst_PrefsGlue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstRunWithoutFile();
    void loadRestoresWindowWidthsAndRows_data();
    void loadRestoresWindowWidthsAndRows();
    void roundTripIsByteExact();
    void changesAreSavedOnTheNextTurn();
    void deactivationSaves();
    void closeSavesStoppedRowsAndLaterSavesWriteNothing();

private:
    [[nodiscard]] QByteArray fileBytes() const;
    void writeFile(const QByteArray &bytes) const;
    void openWindow();

    QTemporaryDir m_config;
    QString m_path;
    FixedClock m_clock { 0 };
    Window1 *m_window = nullptr;
};

void tst_PrefsGlue::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    m_path = m_config.path() + u"/Tallyfox Prefs"_s;
    qputenv("TZ", "UTC");
    tzset();
    m_clock.setMoment(std::time_t(1'779'872'400)); // 27 May 2026, 09:00 UTC
    Clock::setCurrent(&m_clock);
}

void tst_PrefsGlue::init()
{
    QFile::remove(m_path);
}

void tst_PrefsGlue::cleanup()
{
    if (Window1 *window = Window1::existing())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QByteArray tst_PrefsGlue::fileBytes() const
{
    QFile file(m_path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_PrefsGlue::writeFile(const QByteArray &bytes) const
{
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void tst_PrefsGlue::openWindow()
{
    m_window = Window1::instance();
    // The saving is wired before anything is loaded, as at start-up.
    new PrefsSaving(m_window, m_window);
    GlobalsModule::loadPrefs();
}

void tst_PrefsGlue::firstRunWithoutFile()
{
    openWindow();
    QCOMPARE(m_window->listBox()->ListCount(), 0);
    GlobalsModule::savePrefs();
    const QRect place = m_window->geometry();
    QCOMPARE(fileBytes(),
        u"#version 1.5\n#windowpos %1\t%2\t%3\t%4\n#columnwidths 35%,25%,25%,15%\n"_s.arg(place.x())
            .arg(place.y())
            .arg(place.width())
            .arg(place.height())
            .toUtf8());
}

void tst_PrefsGlue::loadRestoresWindowWidthsAndRows_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("widths");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("header lines only")
        << "#version 1.5\n#windowpos 40\t60\t493\t233\n#columnwidths 40%,20%,20%,20%\n"_ba
        << QRect(40, 60, 493, 233) << u"40%,20%,20%,20%"_s << QStringList();
    QTest::newRow("the later windowpos and columnwidths win")
        << "#version 2.0\n#windowpos 40\t60\t493\t233\n#columnwidths 10%,30%,30%,30%\n"
           "#windowpos 70\t80\t600\t300\n#columnwidths 50%,*\n"_ba
        << QRect(70, 80, 600, 300) << u"50%,*"_s << QStringList();
    QTest::newRow("numbers beyond any screen are held to what a window can have")
        << "#version 1.5\n#windowpos 2147483647\t-2147483648\t2147483647\t2147483647\n"
           "#columnwidths 35%,25%,25%,15%\n"_ba
        << QRect(QWIDGETSIZE_MAX, -QWIDGETSIZE_MAX, 1200, 1200) << u"35%,25%,25%,15%"_s
        << QStringList();
    QTest::newRow("a size below the minimum")
        << "#version 1.5\n#windowpos -40\t-60\t10\t20\n#columnwidths 35%,25%,25%,15%\n"_ba
        << QRect(-40, -60, 400, 200) << u"35%,25%,25%,15%"_s << QStringList();
    QTest::newRow("rows in file order, short and long records")
        << "#version 1.5\n#windowpos 40\t60\t493\t233\n#columnwidths 35%,25%,25%,15%\n"
           "#saveditem Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"\n"
           "#saveditem Only a name\n"
           "#saveditem Extra\ta\tb\tc\td\te\n"_ba
        << QRect(40, 60, 493, 233) << u"35%,25%,25%,15%"_s
        << QStringList { u"Client letter|03/14 11:00|03/14 11:45|0' 45\""_s, u"Only a name|||"_s,
               u"Extra|a|b|c"_s };
}

void tst_PrefsGlue::loadRestoresWindowWidthsAndRows()
{
    QFETCH(QByteArray, file);
    QFETCH(QRect, geometry);
    QFETCH(QString, widths);
    QFETCH(QStringList, rows);

    writeFile(file);
    openWindow();
    myListClass *list = m_window->listBox();
    QCOMPARE(m_window->geometry(), geometry);
    QCOMPARE(QString::fromStdString(list->ColumnWidths()), widths);
    QStringList loaded;
    for (int row = 0; row < list->ListCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < columnCount; ++column)
            cells << QString::fromStdString(list->Cell(row, column));
        loaded << cells.join(u'|');
    }
    QCOMPARE(loaded, rows);
    // Loading is not a change: nothing is written back.
    QCoreApplication::processEvents();
    QCOMPARE(fileBytes(), file);
}

void tst_PrefsGlue::roundTripIsByteExact()
{
    const QByteArray file = "#version 1.5\n#windowpos 40\t60\t493\t233\n"
                            "#columnwidths 35%,25%,25%,15%\n"
                            "#saveditem #hash name\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
                            "#saveditem bad \xff\xfe utf-8\t\t\t\n"
                            "#saveditem   spaced  out  \t03/14 13:10\t\t\n"_ba
        + "#saveditem " + QByteArray(5000, 'x') + "\t\t\t\n";
    writeFile(file);
    openWindow();
    QFile::remove(m_path);
    GlobalsModule::savePrefs();
    QCOMPARE(fileBytes(), file);
    GlobalsModule::savePrefs();
    QCOMPARE(fileBytes(), file);
}

void tst_PrefsGlue::changesAreSavedOnTheNextTurn()
{
    openWindow();
    m_window->createNewRow();
    m_window->createNewRow();
    QVERIFY(!QFile::exists(m_path)); // not before the event loop turns
    QTRY_VERIFY(fileBytes().contains("#saveditem Untitled project 2\t\t\t\n"));
    QVERIFY(fileBytes().contains("#saveditem Untitled project 1\t\t\t\n"));

    m_window->listBox()->setSelected(0, true);
    m_window->buttonPushed(0);
    QTRY_VERIFY(fileBytes().contains("#saveditem Untitled project 1\t05/27 09:00\t\t\n"));
}

void tst_PrefsGlue::deactivationSaves()
{
    openWindow();
    m_window->listBox()->AddRow("Kept on switching away");
    QFile::remove(m_path);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    QVERIFY(fileBytes().contains("#saveditem Kept on switching away\t\t\t\n"));
}

void tst_PrefsGlue::closeSavesStoppedRowsAndLaterSavesWriteNothing()
{
    writeFile("#version 1.5\n#windowpos 40\t60\t493\t233\n#columnwidths 35%,25%,25%,15%\n"
              "#saveditem Running\t05/27 08:30\t\t\n"_ba);
    openWindow();
    m_window->close();
    QVERIFY(fileBytes().endsWith("#saveditem Running\t05/27 08:30\t05/27 09:00\t0' 30\"\n"));

    // With the main window gone, a late save must neither make a new window nor write.
    const QByteArray closed = fileBytes();
    QFile::remove(m_path);
    GlobalsModule::savePrefs();
    QVERIFY(!QFile::exists(m_path));
    QVERIFY(!Window1::existing());
    writeFile(closed);
}

QTEST_MAIN(tst_PrefsGlue)
#include "tst_prefsglue.moc"
