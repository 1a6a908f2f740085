#include "aboutbox.h"

#include "app.h"
#include "canvas.h"
#include "fonts.h"
#include "globalsmodule.h"
#include "menubar.h"
#include "resources.h"
#include "scrollingcanvasclass2.h"
#include "window1.h"

#include <QAccessibleWidget>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QPointer<AboutBox> openBox;

constexpr int creditPeriod = 20;

// Placeholders in the reserved example.org domain until the project has an address of its own.
const QString makerWebPage = u"https://tallyfox.example.org/"_s;
const QString makerAddress = u"hello@tallyfox.example.org"_s;
const QString toolWebPage = u"https://www.qt.io/"_s;
const QString mailtoUrl = u"mailto:"_s + makerAddress;

const QString notice = u"Written by the Tally Fox developers.\n"
                       "\u00a9 2026 the Tally Fox developers.\n"
                       "Released under the MIT licence."_s;

QLabel *makeLabel(const QString &name, const QRect &geometry, bool bold, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(smallFont(bold));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

// Blue text with a one-pixel white shadow to its right, not underlined.
void drawLink(QPainter &g, const QString &text)
{
    g.setFont(smallFont());
    const int baseline = g.fontMetrics().height() - 2;
    g.setPen(QColor(255, 255, 255));
    g.drawText(1, baseline, text);
    g.setPen(QColor(0, 0, 255));
    g.drawText(0, baseline, text);
}

bool isModifierOnly(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

// A link area as assistive technology sees it: a link, named by the address it opens, whose press
// action opens it as a click does. Without it a link is an unnamed area that does nothing.
class AboutBox::LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(QWidget *link)
        : QAccessibleWidget(link, QAccessible::Link)
    {
    }

    [[nodiscard]] QStringList actionNames() const override { return { pressAction() }; }

    void doAction(const QString &action) override
    {
        if (auto *box = qobject_cast<AboutBox *>(widget()->parentWidget());
            box && action == pressAction())
            box->openLink(widget());
    }

    // Made for the box's three link areas; every other object gets Qt's own interface.
    static QAccessibleInterface *make(const QString &, QObject *object)
    {
        auto *box = qobject_cast<AboutBox *>(object->parent());
        if (box && (object == box->website || object == box->mailto || object == box->toolBadge))
            return new LinkAccessible(static_cast<QWidget *>(object));
        return nullptr;
    }
};

AboutBox *AboutBox::instance()
{
    if (!openBox)
        openBox = new AboutBox(Window1::existing()); // deletes itself when it closes
    return openBox;
}

// A window of its own, kept above the main window and closed with it.
AboutBox::AboutBox(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Dialog | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Set although the box shows no title bar: window lists and switchers show it.
    setWindowTitle(u"About Tally Fox"_s);
    setFixedSize(400, 300);

    // Creation order is stacking order: a later control lies above an earlier one.
    const auto makeLink = [this](const QString &name, const QRect &geometry,
                              void (AboutBox::*paint)(QPainter &), bool (AboutBox::*mouseDown)()) {
        auto *link = new Canvas(this);
        link->setObjectName(name);
        link->setGeometry(geometry);
        connect(link, &Canvas::Paint, this, paint);
        connect(link, &Canvas::MouseEnter, link, [link] {
            link->setCursor(
                Resources::cursor(fingerCursor, Qt::PointingHandCursor, link->devicePixelRatioF()));
        });
        connect(link, &Canvas::MouseExit, link, [link] { link->setCursor(Qt::ArrowCursor); });
        link->setMouseDownHandler([this, mouseDown](QPoint) { return (this->*mouseDown)(); });
        return link;
    };
    website = makeLink(
        u"website"_s, { 13, 277, 289, 14 }, &AboutBox::website_Paint, &AboutBox::website_MouseDown);
    mailto = makeLink(
        u"mailto"_s, { 13, 264, 289, 14 }, &AboutBox::mailto_Paint, &AboutBox::mailto_MouseDown);
    toolBadge = makeLink(u"toolBadge"_s, { 341, 226, 56, 72 }, &AboutBox::toolBadge_Paint,
        &AboutBox::toolBadge_MouseDown);
    describeLinks();
    copyrightStatic = makeLabel(u"copyrightStatic"_s, { 14, 226, 213, 42 }, false, this);
    copyrightStatic->setText(notice);

    creditTimer.setObjectName(u"creditTimer"_s);
    creditTimer.setInterval(creditPeriod);
    connect(&creditTimer, &QTimer::timeout, this, &AboutBox::creditTimer_Action);
    creditCanvas = new ScrollingCanvasClass2(this);
    creditCanvas->setObjectName(u"creditCanvas"_s);
    creditCanvas->setGeometry(0, 0, 400, 16);
    creditCanvas->Open();

    VLabel = makeLabel(u"VLabel"_s, { 44, 149, 85, 18 }, true, this);
    VLabel->setText(u"Version 0.9.3"_s);
    Timer1.setObjectName(u"Timer1"_s);
    Timer1.setSingleShot(true);
    Timer1.setInterval(750);
    connect(&Timer1, &QTimer::timeout, this, &AboutBox::Timer1_Action);

    Open();
}

void AboutBox::Open()
{
    VLabel->setText(u"Version "_s + QCoreApplication::applicationVersion());
    const App *app = App::instance();
    if (app && app->splash())
        Timer1.start(std::max(GlobalsModule::gAboutDelay, 0));
    else
        Timer1.stop();
    creditTimer.start();
    // Integer division truncates toward zero, also for a screen narrower than the box.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

void AboutBox::Show()
{
    show();
    raise();
    activateWindow();
}

// Any key closes the box, also the shortcut of a command that is disabled while it is in front;
// only the key of a command it leaves enabled (Quit) acts as that command.
bool AboutBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto &key = static_cast<const QKeyEvent &>(*event);
        MenuBar *bar = MenuBar::current();
        if (!isModifierOnly(key) && !(bar && bar->commandKey(key)))
            event->accept();
    }
    return QWidget::event(event);
}

void AboutBox::paintEvent(QPaintEvent *)
{
    QPainter g(this);
    // At 1.5 device pixels per pixel the double-density drawing is scaled down, never up.
    g.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap backdrop = Resources::picture(backdropPicture, devicePixelRatioF());
    if (backdrop.isNull())
        g.fillRect(rect(), Qt::white);
    else
        g.drawPixmap(0, 0, backdrop);
}

void AboutBox::keyPressEvent(QKeyEvent *event)
{
    // A modifier on its own is not a key press, only the start of one.
    if (!isModifierOnly(*event))
        close();
    event->ignore();
}

// A click that no link took.
void AboutBox::mousePressEvent(QMouseEvent *event)
{
    close();
    event->ignore();
}

void AboutBox::closeEvent(QCloseEvent *event)
{
    // Closing, it is no longer the open box: the next request makes a new one.
    if (openBox == this)
        openBox = nullptr;
    creditTimer.stop();
    Timer1.stop();
    // The keyboard goes back to the window the box was shown over, as a window manager would
    // do; without one it would go nowhere.
    if (isActiveWindow() && parentWidget())
        parentWidget()->activateWindow();
    QWidget::closeEvent(event);
}

void AboutBox::website_Paint(QPainter &g)
{
    drawLink(g, u'<' + makerWebPage + u'>');
}

void AboutBox::mailto_Paint(QPainter &g)
{
    drawLink(g, u"<mailto://"_s + makerAddress + u'>');
}

void AboutBox::toolBadge_Paint(QPainter &g)
{
    // A 2-pixel frame along the canvas's edges, around the badge in the backdrop.
    g.setPen(QPen(QColor(0, 0, 255), 2));
    g.setBrush(Qt::NoBrush);
    g.drawRect(QRectF(1, 1, toolBadge->width() - 2, toolBadge->height() - 2));
}

void AboutBox::describeLinks()
{
    // Once for the run, before anything asks for a link's interface, which Qt then keeps.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&LinkAccessible::make);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    website->setAccessibleName(makerWebPage);
    mailto->setAccessibleName(mailtoUrl);
    toolBadge->setAccessibleName(toolWebPage);
}

bool AboutBox::openLink(const QObject *link)
{
    if (link == website)
        return website_MouseDown();
    if (link == mailto)
        return mailto_MouseDown();
    return link == toolBadge && toolBadge_MouseDown();
}

bool AboutBox::website_MouseDown()
{
    QDesktopServices::openUrl(QUrl(makerWebPage));
    return true;
}

bool AboutBox::mailto_MouseDown()
{
    QDesktopServices::openUrl(QUrl(mailtoUrl));
    return true;
}

bool AboutBox::toolBadge_MouseDown()
{
    QDesktopServices::openUrl(QUrl(toolWebPage));
    return true;
}

void AboutBox::creditTimer_Action()
{
    creditCanvas->animate();
}

void AboutBox::Timer1_Action()
{
    if (App *app = App::instance())
        app->setSplash(false);
    close();
}
