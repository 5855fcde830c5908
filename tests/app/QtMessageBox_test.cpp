#include "app/QtMessageBox.h"
#include "xrate/MessageBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>

// A box asked for by another thread (the reader, a simulated bus) must open on
// the user-interface thread: a widget made anywhere else crashes Qt.
TEST(QtMessageBox, ABoxAskedForOffTheUserInterfaceThreadOpensOnItAndAnswers)
{
    const MessageBoxHandler previous = SetMessageBoxHandler({});
    InstallQtMessageBox([](void*) -> QWidget* { return nullptr; });

    QString seenText;
    QThread* seenThread = nullptr;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seenText = box->text();
            seenThread = box->thread();
            box->accept();
        }
    });
    closer.start(10);

    std::atomic<int> answer{0};
    std::thread worker([&] {
        answer = ShowMessageBox(nullptr, "Receive buffer overflowed", "Tamsel::OnReceive", kMbOk);
    });
    const QDeadlineTimer deadline(10000);
    while (answer == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    worker.join();
    SetMessageBoxHandler(previous);

    EXPECT_EQ(answer, kIdOk);
    EXPECT_EQ(seenText, "Receive buffer overflowed");
    EXPECT_EQ(seenThread, QCoreApplication::instance()->thread());
}
