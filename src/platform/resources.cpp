#include "resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QResource>

using namespace Qt::StringLiterals;

namespace {

const QString storeName = u"tallyfox.rcc"_s;
QString openedStore;

// The store keeps double-density drawings beside the others under the same number, "@2x"
// added, as Qt names them.
constexpr qreal doubleDensity = 2.0;

QString picturePath(int number, qreal ratio)
{
    return u":/picture/%1%2"_s.arg(number).arg(ratio > 1.0 ? u"@2x"_s : QString());
}

QString cursorPath(int number, qreal ratio)
{
    return u":/cursor/%1%2"_s.arg(number).arg(ratio > 1.0 ? u"@2x"_s : QString());
}

// Decoded on first use and then kept for the rest of the run: a picture is drawn, and a cursor
// set, again and again. One the store does not have may come with a store opened later. The
// density is set before it is kept, as setting it later would copy the pixels every time.
template <typename Image> Image loadedOnce(const QString &path, qreal ratio)
{
    static QHash<QString, Image> loaded;
    const auto found = loaded.constFind(path);
    if (found != loaded.cend())
        return *found;
    Image decoded(path);
    if (!decoded.isNull()) {
        decoded.setDevicePixelRatio(ratio);
        loaded.insert(path, decoded);
    }
    return decoded;
}

// The drawing for a screen of that density: the double-density one when there is one and the
// screen has more than one device pixel per pixel, else the plain one.
template <typename Image> Image forDensity(QString (*path)(int, qreal), int number, qreal ratio)
{
    if (ratio > 1.0) {
        auto sharp = loadedOnce<Image>(path(number, doubleDensity), doubleDensity);
        if (!sharp.isNull())
            return sharp;
    }
    return loadedOnce<Image>(path(number, 1.0), 1.0);
}

} // namespace

bool Resources::openStore()
{
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString &candidate :
        { folder + u'/' + storeName, folder + u"/../share/tallyfox/"_s + storeName,
            folder + u"/../Resources/"_s + storeName }) {
        if (openStore(candidate))
            return true;
    }
    return false;
}

bool Resources::openStore(const QString &path)
{
    closeStore();
    if (!QFile::exists(path) || !QResource::registerResource(path))
        return false;
    openedStore = path;
    return true;
}

void Resources::closeStore()
{
    if (!openedStore.isEmpty())
        QResource::unregisterResource(openedStore);
    openedStore.clear();
}

bool Resources::hasPicture(int number)
{
    return QFile::exists(picturePath(number, 1.0));
}

bool Resources::hasCursor(int number)
{
    return QFile::exists(cursorPath(number, 1.0));
}

QPixmap Resources::picture(int number, qreal devicePixelRatio)
{
    return forDensity<QPixmap>(picturePath, number, devicePixelRatio);
}

QCursor Resources::cursor(int number, Qt::CursorShape fallback, qreal devicePixelRatio)
{
    const auto image = forDensity<QImage>(cursorPath, number, devicePixelRatio);
    if (image.isNull())
        return QCursor(fallback);
    const qreal ratio = image.devicePixelRatio();
    // The image says where its hot spot is, in its own pixels: "x,y". The cursor wants it in
    // the window's.
    const QStringList spot = image.text(u"HotSpot"_s).split(u',');
    const int x = spot.size() == 2 ? spot.at(0).toInt() : 0;
    const int y = spot.size() == 2 ? spot.at(1).toInt() : 0;
    return QCursor(QPixmap::fromImage(image), qRound(x / ratio), qRound(y / ratio));
}

QIcon Resources::appIcon(bool running)
{
    QIcon icon;
    for (const int size : { 16, 32, 48, 64, 128 })
        icon.addFile(u":/icons/%1%2.png"_s.arg(running ? u"running-"_s : QString()).arg(size));
    return icon;
}
