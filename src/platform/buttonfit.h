#pragma once

#include <QSize>
#include <QStringList>

class QPushButton;

// The size a push button needs to show each of its captions in full: the designed size while
// every caption fits it, as at the usual font, otherwise whatever the style asks for the longest
// or tallest caption, never smaller than designed.
[[nodiscard]] QSize fittedButtonSize(
    const QPushButton &button, QSize designed, const QStringList &captions);
