#include "aboutbox.h"
#include "apptest.h"
#include "globalsmodule.h"
#include "resources.h"
#include "scrollingcanvasclass2.h"

#include <QDesktopServices>
#include <QLabel>
#include <QSignalSpy>
#include <QUrl>

using namespace Qt::StringLiterals;

class tst_AboutBox : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void openUrl(const QUrl &url) { m_opened << url.toString(); }

private slots:
    void initTestCase()
    {
        for (const QString &scheme : { u"https"_s, u"mailto"_s })
            QDesktopServices::setUrlHandler(scheme, this, "openUrl");
        GlobalsModule::gAboutDelay = 200;
    }

    void cleanupTestCase()
    {
        for (const QString &scheme : { u"https"_s, u"mailto"_s })
            QDesktopServices::unsetUrlHandler(scheme);
    }

    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
        m_opened.clear();
    }

    void closing_data()
    {
        QTest::addColumn<bool>("splash");
        QTest::addColumn<QString>("input"); // a key, a modifier alone, a click on the box or a link
        QTest::addColumn<bool>("closesAtOnce");
        QTest::addColumn<QString>("opened");
        QTest::newRow("splash closes itself") << true << QString() << false << QString();
        QTest::newRow("splash, key") << true << u"key"_s << true << QString();
        QTest::newRow("splash, Ctrl alone") << true << u"Ctrl"_s << false << QString();
        QTest::newRow("from the menu, click") << false << u"click"_s << true << QString();
        QTest::newRow("from the menu, stays") << false << QString() << false << QString();
        QTest::newRow("links")
            << false << u"website mailto toolBadge"_s << false
            << u"https://tallyfox.example.org/ mailto:hello@tallyfox.example.org "
               u"https://www.qt.io/"_s;
    }

    // The splash flag when the box opens decides how it ends; a key or a click ends it at once
    // and leaves the flag alone; a link opens its page and keeps the box.
    void closing()
    {
        QFETCH(bool, splash);
        QFETCH(QString, input);
        QFETCH(bool, closesAtOnce);
        QFETCH(QString, opened);
        App::instance()->setSplash(splash);
        AboutBox *box = AboutBox::instance();
        box->Show();
        QTRY_COMPARE(QApplication::activeWindow(), box);
        if (input == u"key"_s || input == u"Ctrl"_s)
            QTest::keyClick(box, input == u"key"_s ? Qt::Key_Space : Qt::Key_Control);
        else if (input == u"click"_s)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(200, 200));
        else if (!input.isEmpty())
            for (const QString &link : input.split(u' '))
                QTest::mouseClick(box->findChild<QWidget *>(link), Qt::LeftButton);
        QCOMPARE(box->isVisible(), !closesAtOnce);
        // The splash goes by itself after gAboutDelay; any other box stays.
        QSignalSpy gone(box, &QObject::destroyed);
        if (!closesAtOnce)
            QCOMPARE(gone.wait(GlobalsModule::gAboutDelay + 500), splash);
        QCOMPARE(App::instance()->splash(), splash && closesAtOnce);
        QCOMPARE(m_opened.join(u' '), opened);
    }

    void contents()
    {
        AboutBox *box = AboutBox::instance();
        QCOMPARE(AboutBox::instance(), box);
        QCOMPARE(box->windowTitle(), u"About Tally Fox"_s);
        QCOMPARE(box->size(), QSize(400, 300));
        QCOMPARE(box->findChild<QLabel *>(u"VLabel"_s)->text(),
            u"Version "_s + QCoreApplication::applicationVersion());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(box->pos(), QPoint((screen.width() - 400) / 2, (screen.height() - 300) / 2));
        // The backdrop comes from the store; the badge frame is drawn over it, blue.
        const QImage shown = box->grab().toImage();
        QCOMPARE(
            shown.pixelColor(300, 180), Resources::picture(168).toImage().pixelColor(300, 180));
        QCOMPARE(shown.pixelColor(342, 240), QColor(0, 0, 255));
        // The finger cursor over a link, the arrow after it.
        QWidget *link = box->findChild<QWidget *>(u"website"_s);
        QEnterEvent enter({}, {}, {});
        QCoreApplication::sendEvent(link, &enter);
        QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(link, &leave);
        QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);
    }

    // A tick every 20 ms moves the text a pixel left; the strip paints the frame animate set up.
    void credits()
    {
        GlobalsModule::creditString = "Credits. ";
        AboutBox *box = AboutBox::instance();
        QCOMPARE(box->findChild<QTimer *>(u"creditTimer"_s)->interval(), 20);
        auto *strip = box->findChild<ScrollingCanvasClass2 *>();
        for (int tick = 0; tick < 10; ++tick)
            strip->animate();
        const QImage frame = strip->grab().toImage();
        QCOMPARE(strip->scroll().x, 390);
        QVERIFY(frame.pixelColor(393, 8).lightness() > 128
            || frame.pixelColor(394, 8).lightness() > 128);
        QCOMPARE(frame.pixelColor(380, 8), QColor(Qt::black));
    }

private:
    QStringList m_opened;
};

TALLYFOX_APP_TEST_MAIN(tst_AboutBox)
#include "tst_aboutbox.moc"
