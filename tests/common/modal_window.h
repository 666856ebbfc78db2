// Acts on a modal window that the code under test opens and waits on.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs `act` on the modal window as soon as the code under test has opened it. A window
// that `act` leaves open (a failed check returns early) is closed, so the test cannot hang.
inline void onModalWindow(const std::function<void(QWidget*)>& act)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
            if (modal->isVisible())
                modal->close();
        }
    });
    timer->start();
}
