#include "app/QtMessageBox.h"

#include "xrate/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace {

constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kIconHand = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconAsterisk = 0x40;

QMessageBox::Icon IconOf(unsigned type)
{
    switch (type & kIconMask) {
    case kIconHand:
        return QMessageBox::Critical;
    case kIconQuestion:
        return QMessageBox::Question;
    case kMbIconExclamation:
        return QMessageBox::Warning;
    case kIconAsterisk:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowModal(const MessageBoxCall& call, QWidget* parent)
{
    // Message and caption are the system's single-byte text; the detail
    // carries the operating system's own words.
    QMessageBox box(IconOf(call.type), QString::fromLatin1(call.caption.c_str()),
                    QString::fromLatin1(call.text.c_str()), QMessageBox::Ok, parent);
    if (!call.detail.empty())
        box.setDetailedText(QString::fromUtf8(call.detail.c_str()));
    box.exec();
    return kIdOk;
}

} // namespace

void InstallQtMessageBox(std::function<QWidget*(void* owner)> ownerWindow)
{
    SetMessageBoxHandler([ownerWindow = std::move(ownerWindow)](const MessageBoxCall& call) {
        QCoreApplication* application = QCoreApplication::instance();
        if (application && QThread::currentThread() != application->thread()) {
            // A widget may only live on the user-interface thread: the box is
            // shown there, and this thread waits for its answer.
            int answer = kIdOk;
            QMetaObject::invokeMethod(
                application,
                [&] { answer = ShowModal(call, call.owner ? ownerWindow(call.owner) : nullptr); },
                Qt::BlockingQueuedConnection);
            return answer;
        }
        return ShowModal(call, call.owner ? ownerWindow(call.owner) : nullptr);
    });
}
