#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event thread. The handler itself only
// writes the signal's number into a socket pair, the one thing a handler may safely do; a
// QSocketNotifier reads it in the event loop. One watcher at a time.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    // Gives the three signals their default actions back.
    ~SignalWatcher() override;

signals:
    void received(int signal);

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};
