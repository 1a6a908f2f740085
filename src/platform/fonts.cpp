#include "fonts.h"

#include <QApplication>

QFont smallFont(bool bold)
{
    QFont font = QApplication::font();
    font.setPixelSize(10);
    font.setBold(bold);
    return font;
}
