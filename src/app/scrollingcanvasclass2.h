#pragma once

#include "canvas.h"
#include "creditscroll.h"

#include <QFont>
#include <QStaticText>
#include <optional>
#include <string>

// The about box's credits strip: one line of credits moving right to left across a black strip.
// animate sets up each frame and asks for a repaint of the strip alone; painting only draws the
// frame it set up, so the strip looks the same however often the system repaints it.
class ScrollingCanvasClass2 : public Canvas
{
    Q_OBJECT
public:
    explicit ScrollingCanvasClass2(QWidget *parent = nullptr);

    // Starts the text at the right edge; until the first frame the strip is black.
    void Open();
    // One tick: the next frame, one pixel further left.
    void animate();

    [[nodiscard]] const CreditScroll &scroll() const { return m_scroll; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont m_font;
    // The credits as last shaped, and their width in the strip's font.
    std::string m_shaped;
    QStaticText m_text;
    int m_textWidth = 0;
    CreditScroll m_scroll;
    // Where the present frame draws the text; none before the first tick.
    std::optional<int> m_frameX;
};
