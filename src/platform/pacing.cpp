#include "platform/pacing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace platform {

void EventLoopPacing::pause(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const qint64 left = deadline.remainingTime();
        if (left > 0) QThread::msleep(static_cast<unsigned long>(qMin<qint64>(left, 5)));
    } while (!deadline.hasExpired());
}

void EventLoopPacing::processEvents() {
    QCoreApplication::processEvents();
}

} // namespace platform
