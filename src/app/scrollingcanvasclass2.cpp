#include "scrollingcanvasclass2.h"

#include "fonts.h"
#include "globalsmodule.h"

#include <QPainter>

namespace {

QString credits()
{
    return QString::fromStdString(GlobalsModule::creditString);
}

} // namespace

ScrollingCanvasClass2::ScrollingCanvasClass2(QWidget *parent)
    : Canvas(parent)
{
    // Every pixel is painted on every frame; nothing beneath needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScrollingCanvasClass2::Open()
{
    m_scroll = { width(), width() };
    m_frameX.reset();
    update();
}

void ScrollingCanvasClass2::animate()
{
    // Measured on every tick, so that a change of the text or its font shows at once.
    const int textWidth = QFontMetrics(smallFont()).horizontalAdvance(credits());
    m_frameX = m_scroll.advance(textWidth);
    update();
}

void ScrollingCanvasClass2::paintEvent(QPaintEvent *)
{
    QPainter g(this);
    g.fillRect(rect(), Qt::black);
    if (!m_frameX)
        return;
    g.setFont(smallFont());
    g.setPen(Qt::white);
    g.drawText(*m_frameX, g.fontMetrics().height() - 2, credits());
}
