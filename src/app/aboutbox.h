#pragma once

#include <QTimer>
#include <QWidget>

class Canvas;
class QLabel;
class ScrollingCanvasClass2;

// The about box: a plain 400 x 300 box over the backdrop picture, with the version, a notice,
// three links and the credits strip. At start-up it is a splash that closes itself; from the
// menu it stays until a key or a click. Modeless, and never more than one.
class AboutBox : public QWidget
{
    Q_OBJECT
public:
    // What the box takes from the application's resource store.
    static constexpr int backdropPicture = 168;
    static constexpr int fingerCursor = 168;

    // The box that is open, or a new one.
    [[nodiscard]] static AboutBox *instance();
    // Makes it visible and brings it to the front.
    void Show();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class LinkAccessible;
    friend class LinkAccessible;

    explicit AboutBox(QWidget *mainWindow);

    // Names the links for screen readers, which press them with openLink.
    void describeLinks();
    bool openLink(const QObject *link);

    void Open();
    void website_Paint(QPainter &g);
    void mailto_Paint(QPainter &g);
    void toolBadge_Paint(QPainter &g);
    bool website_MouseDown();
    bool mailto_MouseDown();
    bool toolBadge_MouseDown();
    void creditTimer_Action();
    void Timer1_Action();

    Canvas *website = nullptr;
    Canvas *mailto = nullptr;
    Canvas *toolBadge = nullptr;
    QLabel *copyrightStatic = nullptr;
    QTimer creditTimer { this };
    ScrollingCanvasClass2 *creditCanvas = nullptr;
    QLabel *VLabel = nullptr;
    QTimer Timer1 { this };
};
