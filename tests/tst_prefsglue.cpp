#include "globalsmodule.h"
#include "prefsfile.h"
#include "prefsglue.h"
#include "windowtest.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
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
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_config.filePath(u"state"_s))); // sorts last
    }

    void cleanup() { close(true); } // each test starts a window of its own

    // A list never loaded is never saved; once loaded, the rows are saved back as read, the
    // window brought on screen, and the file with an unknown directive kept in a named copy.
    void loadThenSave()
    {
        const QByteArray rows = "#saveditem  \xff\xfe  \t03/14 09:05\t03/14 10:35\t1' 30\"\n"_ba;
        const QByteArray file
            = withPlace("2147483647\t-2147483648\t2147483647\t20") + rows + "#future 1\n";
        const QString unsaved = UnsavedCopies::keep("a\n"); // an earlier run's list, named at load
        openWindow(file);
        m_window->listBox()->AddRow("Not loaded");
        GlobalsModule::savePrefs();
        QCOMPARE(fileBytes(), file);

        // Too wide: at the screen's top left, as wide as it, at the least height.
        GlobalsModule::loadPrefs();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const int menuBar = m_window->Top() - m_window->geometry().y();
        const QString shown = u"%1\t%2\t%3\t200"_s.arg(screen.x()).arg(screen.y() + menuBar);
        QTRY_COMPARE(fileBytes(), withPlace(shown.arg(screen.width()).toUtf8()) + rows);
        GlobalsModule::savePrefs(); // the copies are named once
        QCOMPARE(messages(), QStringList({ m_path + u" (unread 2026-05-27 09-00-00)"_s, unsaved }));
        QCOMPARE(fileBytes(m_data.filePath(u"tallyfox/backups/Tallyfox Prefs 2026-05-27"_s)), file);
    }

    void failedSaves_data()
    {
        QTest::addColumn<QString>("answer"); // to the question at closing, or no closing at all
        for (const char *answer :
            { "last chance", "Try Again", "Save a Copy...", "Quit Without Saving" })
            QTest::newRow(answer) << QString::fromLatin1(answer);
    }

    // New rows and sorts are saved. With a folder in the file's place, the failure is told once,
    // the last chance keeps a copy, closing asks till saved or given up; the running row stopped.
    void failedSaves()
    {
        QFETCH(QString, answer);
        const QByteArray x = "#saveditem x\t05/27 08:30\t\t\n";
        const QByteArray untitled = "#saveditem Untitled project 1\t\t\t\n";
        GlobalsModule::gNum = 0; // the new row is number 1
        openWindow(header + x);
        GlobalsModule::loadPrefs();
        const auto clear = qScopeGuard([this] { QDir(m_path).removeRecursively(); });
        m_window->createNewRow();
        QHeaderView *heading = m_window->listBox()->horizontalHeader();
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QTRY_COMPARE(fileBytes(), header + untitled + x);
        QVERIFY(QFile::remove(m_path) && QDir().mkdir(m_path));
        GlobalsModule::savePrefs();
        GlobalsModule::savePrefs();
        QCOMPARE(messages(), QStringList { m_path });
        // The question answered with the folder gone; a copy saved in a folder of its own, where
        // the file dialog's listing holds no name like it.
        QTimer answering;
        const QString copy = m_data.filePath(u"A copy"_s);
        connect(&answering, &QTimer::timeout, this, [this, answer, copy] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                files->selectFile(copy);
                static_cast<QDialog *>(files)->accept(); // QFileDialog hides it
            }
            auto *box = qobject_cast<QMessageBox *>(modal);
            for (QAbstractButton *button : box ? box->buttons() : QList<QAbstractButton *>())
                if (button->text() == answer && QDir(m_path).removeRecursively())
                    button->click();
        });
        answering.start(10);
        ListBox *list = m_window->listBox(); // a name being typed is kept, at any end
        list->setListIndex(1);
        QTest::keyClick(list, Qt::Key_F2);
        QTest::keyClicks(list->indexWidget(list->currentIndex()), u"y"_s);
        const bool lastChance = answer == u"last chance";
        if (lastChance)
            GlobalsModule::saveAtLastChance();
        else
            m_window->close();
        // The copy is the one no start has named yet.
        QCOMPARE(fileBytes(lastChance                  ? UnsavedCopies::takeUntold().value(0)
                         : answer == u"Save a Copy..." ? copy
                                                       : m_path),
            answer == u"Quit Without Saving"
                ? QByteArray()
                : header + untitled + "#saveditem y\t05/27 08:30\t05/27 09:00\t0' 30\"\n");
        if (lastChance)
            return;
        QFile::remove(m_path);
        GlobalsModule::savePrefs();
        QVERIFY(!QFileInfo::exists(m_path) && !Window1::existing());
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
    void openWindow(const QByteArray &file)
    {
        QVERIFY(PrefsFile(m_path).save(file.toStdString()));
        m_window = Window1::instance();
        new PrefsSaving(m_window, m_window);
    }

    QTemporaryDir m_config;
    QTemporaryDir m_data;
    const QString m_path = m_config.filePath(u"Tallyfox Prefs"_s);
};

QTEST_MAIN(tst_PrefsGlue)
#include "tst_prefsglue.moc"
