#include "aboutbox.h"
#include "apptest.h"
#include "globalsmodule.h"
#include "scrollingcanvasclass2.h"

#include <QAccessible>
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
        QCoreApplication::setApplicationVersion(u"9.8.7"_s);
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

    void use_data()
    {
        QTest::addColumn<bool>("splash");
        QTest::addColumn<QString>("input"); // a key, a modifier alone, a click, or links by name
        QTest::addColumn<bool>("closesAtOnce"); // else a splash closes itself after gAboutDelay
        QTest::newRow("splash, Ctrl alone") << true << u"Ctrl"_s << false;
        QTest::newRow("splash, key") << true << u"key"_s << true;
        QTest::newRow("splash, click") << true << u"click"_s << true;
        QTest::newRow("from the menu, links") << false << u"website mailto toolBadge"_s << false;
        QTest::newRow("from the menu, links pressed by a screen reader")
            << false << u"press:website press:mailto press:toolBadge"_s << false;
    }

    // A key or click ends the splash at once, the next opening then no splash; a link, clicked or
    // pressed by a screen reader, opens its page and keeps the box; a box from the menu stays.
    void use()
    {
        QFETCH(bool, splash);
        QFETCH(QString, input);
        QFETCH(bool, closesAtOnce);
        // Long enough for a busy machine under the sanitizers; a key or click comes well before.
        GlobalsModule::gAboutDelay = !splash ? 1000 : closesAtOnce ? 60000 : 3000;
        App::instance()->setSplash(splash);
        GlobalsModule::creditString = "Credits. ";
        AboutBox *box = AboutBox::instance();
        box->Show();
        QSignalSpy gone(box, &QObject::destroyed);
        QTRY_COMPARE(QApplication::activeWindow(), box);
        QCOMPARE(box->findChild<QLabel *>(u"VLabel"_s)->text(), u"Version 9.8.7"_s);
        QCOMPARE(box->geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
        // The backdrop comes from the store; the badge frame is drawn over it, blue.
        const QImage shown = box->grab().toImage();
        QCOMPARE(shown.pixelColor(300, 180),
            Resources::picture(AboutBox::backdropPicture).toImage().pixelColor(300, 180));
        QCOMPARE(shown.pixelColor(342, 240), QColor(0, 0, 255));
        // A screen of double density gets the double-density drawing, never one scaled up.
        const QPixmap sharp = Resources::picture(AboutBox::backdropPicture, 2.0);
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(box->size()));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        // The finger cursor over a link, the arrow after it.
        QWidget *link = box->findChild<QWidget *>(u"website"_s);
        QTest::mouseMove(link);
        QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseMove(box, QPoint(200, 100));
        QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);
        // The box's own timer moves the credits on the screen (watched on a box that stays).
        auto *strip = box->findChild<ScrollingCanvasClass2 *>();
        const auto onScreen = [strip] {
            return strip->screen()
                ->grabWindow(strip->window()->winId(), strip->x(), strip->y(), strip->width(),
                    strip->height())
                .toImage();
        };
        if (!splash) {
            const QImage before = onScreen();
            QTRY_VERIFY(onScreen() != before);
        }
        const QImage frame = strip->grab().toImage();
        QCOMPARE(strip->grab().toImage(), frame); // the same frame, however often painted
        for (const QString &step : input.split(u' ')) {
            if (step == u"click"_s)
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(200, 200));
            else if (step == u"key"_s || step == u"Ctrl"_s)
                QTest::keyClick(box, step == u"key"_s ? Qt::Key_Space : Qt::Key_Control);
            else if (step.startsWith(u"press:"_s)) { // as a screen reader does, named as it opens
                QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(
                    box->findChild<QWidget *>(step.sliced(6)));
                QCOMPARE(reader->role(), QAccessible::Link);
                reader->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                QCOMPARE(reader->text(QAccessible::Name), m_opened.value(m_opened.size() - 1));
            } else
                QTest::mouseClick(box->findChild<QWidget *>(step), Qt::LeftButton);
        }
        QCOMPARE(box->isVisible(), !closesAtOnce);
        if (!closesAtOnce)
            QCOMPARE(gone.wait(GlobalsModule::gAboutDelay + 500), splash);
        QCOMPARE(App::instance()->splash(), splash && closesAtOnce);
        QCOMPARE(m_opened.join(u' '),
            splash ? QString()
                   : u"https://tallyfox.example.org/ mailto:hello@tallyfox.example.org "
                     u"https://www.qt.io/"_s);
    }

private:
    QStringList m_opened;
};

TALLYFOX_APP_TEST_MAIN(tst_AboutBox)
#include "tst_aboutbox.moc"
