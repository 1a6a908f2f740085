#include "quitting.h"

#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QTimer>

namespace {

bool quitting = false;
bool unattended = false;

void finishQuitting()
{
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->hide();
    }
    // The code that opened a modal dialog is still on the stack, inside the dialog's own event
    // loop; the windows it works on may only go once that loop has returned.
    if (QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(0, QCoreApplication::instance(), finishQuitting);
        return;
    }
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

} // namespace

void quitApplication()
{
    if (quitting)
        return;
    quitting = true;
    finishQuitting();
}

void quitUnattended()
{
    unattended = true;
    quitting = true;
    finishQuitting();
}

bool quittingUnattended()
{
    return unattended;
}
