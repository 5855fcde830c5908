#pragma once

#include <QCoreApplication>
#include <QEvent>

// A menu command, by its command ID. Posted, it runs after the key that
// caused it has been handled.
class CommandEvent : public QEvent {
public:
    explicit CommandEvent(int id) : QEvent(Kind()), m_id(id) {}
    int Id() const { return m_id; }
    static QEvent::Type Kind()
    {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }

private:
    int m_id;
};
