#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>

// Acts on the next modal dialog once it is up, from inside its event loop, so
// a test can run DoModal and still answer it.
inline void WhenModal(std::function<void(QDialog&)> act)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start();
}
