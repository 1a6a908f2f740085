#include "scrollingcanvasclass2.h"

#include "fonts.h"
#include "globalsmodule.h"

#include <QPainter>

ScrollingCanvasClass2::ScrollingCanvasClass2(QWidget *parent)
    : Canvas(parent)
    , m_font(smallFont())
{
    // Every pixel is painted on every frame; nothing beneath needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_text.setTextFormat(Qt::PlainText);
    m_text.setPerformanceHint(QStaticText::AggressiveCaching);
}

void ScrollingCanvasClass2::Open()
{
    m_scroll = { width(), width() };
    m_frameX.reset();
    update();
}

void ScrollingCanvasClass2::animate()
{
    // The width is taken on every tick, so a new text shows at once; shaping the line, the
    // costly part, happens again only when the text has changed.
    if (GlobalsModule::creditString != m_shaped) {
        m_shaped = GlobalsModule::creditString;
        m_text.setText(QString::fromStdString(m_shaped));
        m_text.prepare(QTransform(), m_font);
        m_textWidth = QFontMetrics(m_font).horizontalAdvance(m_text.text());
    }
    m_frameX = m_scroll.advance(m_textWidth);
    update();
}

void ScrollingCanvasClass2::paintEvent(QPaintEvent *)
{
    QPainter g(this);
    g.fillRect(rect(), Qt::black);
    if (!m_frameX)
        return;
    g.setFont(m_font);
    g.setPen(Qt::white);
    // A static text is placed by its top; the line's baseline is 2 pixels above the strip's
    // bottom, as the strip is one line high.
    const QFontMetrics metrics(m_font);
    g.drawStaticText(*m_frameX, metrics.height() - 2 - metrics.ascent(), m_text);
}
