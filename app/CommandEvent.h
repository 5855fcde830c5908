#pragma once

#include <QEvent>

// A menu command posted to the frame, to run once the event loop gets to it.
class CommandEvent : public QEvent {
public:
    static QEvent::Type EventType()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    explicit CommandEvent(int id) : QEvent(EventType()), m_id(id) {}
    int Id() const { return m_id; }

private:
    int m_id;
};
