#include "fonts.h"

#include <QApplication>
#include <QFontInfo>
#include <algorithm>

QFont smallFont(bool bold)
{
    QFont font = QApplication::font();
    font.setPixelSize(10);
    font.setBold(bold);
    return font;
}

QFont labelFont(bool bold)
{
    QFont font = smallFont(bold);
    const int beside = QFontInfo(QApplication::font()).pixelSize();
    font.setPixelSize(std::max(10, qRound(beside * 10 / 12.0)));
    return font;
}
