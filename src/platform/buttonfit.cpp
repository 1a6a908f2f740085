#include "buttonfit.h"

#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

QSize fittedButtonSize(const QPushButton &button, QSize designed, const QStringList &captions)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    QStyle *style = button.style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    const int padding = style->pixelMetric(QStyle::PM_ButtonMargin, &option, &button);
    QSize size = designed;
    for (const QString &caption : captions) {
        const QSize text = button.fontMetrics().size(Qt::TextShowMnemonic, caption);
        if (text.width() + 2 * padding <= size.width()
            && text.height() + 2 * frame <= size.height())
            continue;
        // The style's own margins, which at the usual font are larger than the designed size
        // leaves room for: only a caption that does not fit takes them.
        option.text = caption;
        size = size.expandedTo(
            style->sizeFromContents(QStyle::CT_PushButton, &option, text, &button));
    }
    return size;
}
