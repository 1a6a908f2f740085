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

QString picturePath(int number)
{
    return u":/picture/%1"_s.arg(number);
}

QString cursorPath(int number)
{
    return u":/cursor/%1"_s.arg(number);
}

// Decoded on first use and then kept for the rest of the run: a picture is drawn, and a cursor
// set, again and again. One the store does not have may come with a store opened later.
template <typename Image> Image loadedOnce(const QString &path)
{
    static QHash<QString, Image> loaded;
    const auto found = loaded.constFind(path);
    if (found != loaded.cend())
        return *found;
    Image decoded(path);
    if (!decoded.isNull())
        loaded.insert(path, decoded);
    return decoded;
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
    return QFile::exists(picturePath(number));
}

bool Resources::hasCursor(int number)
{
    return QFile::exists(cursorPath(number));
}

QPixmap Resources::picture(int number)
{
    return loadedOnce<QPixmap>(picturePath(number));
}

QCursor Resources::cursor(int number, Qt::CursorShape fallback)
{
    const auto image = loadedOnce<QImage>(cursorPath(number));
    if (image.isNull())
        return QCursor(fallback);
    // The image says where its hot spot is: "x,y".
    const QStringList spot = image.text(u"HotSpot"_s).split(u',');
    const int x = spot.size() == 2 ? spot.at(0).toInt() : 0;
    const int y = spot.size() == 2 ? spot.at(1).toInt() : 0;
    return QCursor(QPixmap::fromImage(image), x, y);
}
