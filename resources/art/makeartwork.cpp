// Draws the program's artwork: the about box's backdrop (picture 168), the pointing-finger cursor
// (cursor 168), and the application icon at the sizes desktops ask for with its running variant.
// The backdrop and the cursor come twice: as named, and at double density ("168@2x") for screens
// of two device pixels per pixel, drawn again rather than scaled up. The PNGs it writes are
// committed; run scripts/make-artwork.sh after changing a drawing here.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor ink(0x3a, 0x3a, 0x3a);
const QColor fox(0xe0, 0x71, 0x2c);
const QColor paper(0xf6, 0xf1, 0xe7);

// The icon on its 64-unit grid, the same drawing as tallyfox.svg: a clock face with fox ears.
void drawIcon(QPainter &p, double size)
{
    p.save();
    p.scale(size / 64.0, size / 64.0);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 3));
    p.setBrush(paper);
    p.drawEllipse(QPointF(32, 34), 26, 26);
    QPainterPath ears;
    ears.addPolygon(QPolygonF({ { 14, 14 }, { 24, 4 }, { 28, 16 }, { 14, 14 } }));
    ears.addPolygon(QPolygonF({ { 50, 14 }, { 40, 4 }, { 36, 16 }, { 50, 14 } }));
    p.setPen(QPen(ink, 2));
    p.setBrush(fox);
    p.drawPath(ears);
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 34), QPointF(32, 16));
    p.setPen(QPen(fox, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 34), QPointF(45, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(32, 34), 2.5, 2.5);
    p.restore();
}

// The running mark over the icon's lower right: a green disc with a white triangle pointing on,
// large enough to read at 16 pixels.
void drawRunningMark(QPainter &p, double size)
{
    p.save();
    p.scale(size / 64.0, size / 64.0);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(QColor(0x2f, 0x7d, 0x4f));
    p.drawEllipse(QPointF(46, 46), 17, 17);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({ { 40, 37 }, { 55, 46 }, { 40, 55 } }));
    p.restore();
}

QFont font(int pixels, int weight = QFont::Normal)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setWeight(QFont::Weight(weight));
    return f;
}

// 400 x 300 of the box's pixels, each drawn as density x density pixels of the image. The box
// draws its own texts over it; this leaves them light, quiet ground: the credits strip (top 16
// pixels), the version at (44, 149), the notice and the two links in the lower left, and the
// badge frame at (341, 226), 56 x 72, inside which the badge sits.
QImage backdrop(int density)
{
    QImage image(400 * density, 300 * density, QImage::Format_RGB32);
    QPainter p(&image);
    p.scale(density, density);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, 300);
    ground.setColorAt(0.0, QColor(0xfd, 0xf8, 0xee));
    ground.setColorAt(1.0, QColor(0xf3, 0xe3, 0xc8));
    p.fillRect(QRect(0, 0, 400, 300), ground);

    // A wide, soft band behind the name.
    QPainterPath band;
    band.moveTo(0, 40);
    band.cubicTo(140, 20, 260, 70, 400, 36);
    band.lineTo(400, 140);
    band.cubicTo(260, 170, 140, 120, 0, 146);
    band.closeSubpath();
    p.fillPath(band, QColor(0xe0, 0x71, 0x2c, 40));

    p.save();
    p.translate(30, 34);
    drawIcon(p, 104);
    p.restore();

    p.setPen(ink);
    p.setFont(font(40, QFont::Bold));
    p.drawText(
        QRect(150, 46, 240, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tally Fox"));
    p.setPen(fox.darker(130));
    p.setFont(font(14));
    p.drawText(QRect(153, 96, 240, 22), Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("Every minute, accounted for."));

    p.setPen(QPen(QColor(0x3a, 0x3a, 0x3a, 60), 1));
    p.drawLine(QPointF(14, 216.5), QPointF(330, 216.5));

    // The badge: its own drawing, inside the 2-pixel frame the box draws around it.
    const QRectF badge(344, 229, 48, 64);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x7d, 0x4f));
    p.drawRoundedRect(badge, 6, 6);
    p.setPen(Qt::white);
    p.setFont(font(10));
    p.drawText(QRectF(badge.left(), badge.top() + 6, badge.width(), 14), Qt::AlignCenter,
        QStringLiteral("Built"));
    p.drawText(QRectF(badge.left(), badge.top() + 19, badge.width(), 14), Qt::AlignCenter,
        QStringLiteral("with"));
    p.setFont(font(22, QFont::Bold));
    p.drawText(QRectF(badge.left(), badge.top() + 33, badge.width(), 26), Qt::AlignCenter,
        QStringLiteral("Qt"));
    return image;
}

// A hand pointing up, 32 x 32 at density 1, black outline on white; the fingertip is the hot
// spot, stored in the PNG's "HotSpot" text in the image's own pixels, so that the program need not
// know the drawing.
QImage fingerCursor(int density)
{
    QImage image(32 * density, 32 * density, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(density, density);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(10, 1, 6, 17), 3, 3); // index finger
    hand.addRoundedRect(QRectF(15, 10, 5.5, 10), 2.75, 2.75);
    hand.addRoundedRect(QRectF(19.5, 11, 5.5, 10), 2.75, 2.75);
    hand.addRoundedRect(QRectF(24, 12.5, 5, 9), 2.5, 2.5);
    hand.addRoundedRect(QRectF(10, 14, 19, 13), 5, 5); // palm
    QPainterPath thumb;
    thumb.moveTo(11, 21);
    thumb.lineTo(5, 15.5);
    thumb.quadTo(2.5, 14, 3.5, 17.5);
    thumb.lineTo(10, 26);
    thumb.closeSubpath();
    hand = hand.united(thumb).simplified();
    p.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(15.5, 14), QPointF(15.5, 17));
    p.drawLine(QPointF(20, 15), QPointF(20, 18));
    p.drawLine(QPointF(24.5, 16), QPointF(24.5, 19));
    p.end();
    image.setText(
        QStringLiteral("HotSpot"), QStringLiteral("%1,%2").arg(13 * density).arg(density));
    return image;
}

bool save(const QImage &image, const QString &path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (const int density : { 1, 2 }) {
        const QString name
            = density == 1 ? QStringLiteral("168.png") : QStringLiteral("168@2x.png");
        ok = ok && save(backdrop(density), out.filePath(QStringLiteral("picture/") + name))
            && save(fingerCursor(density), out.filePath(QStringLiteral("cursor/") + name));
    }
    for (const int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        QImage icon(size, size, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        drawIcon(p, size);
        p.end();
        ok = ok && save(icon, out.filePath(QStringLiteral("icons/%1.png").arg(size)));
    }
    // The status icon's variant while a row runs, at the sizes the program loads.
    for (const int size : { 16, 32, 48, 64, 128 }) {
        QImage icon(size, size, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        drawIcon(p, size);
        drawRunningMark(p, size);
        p.end();
        ok = ok && save(icon, out.filePath(QStringLiteral("icons/running-%1.png").arg(size)));
    }
    return ok ? 0 : 1;
}
