#pragma once

#include <QCoreApplication>
#include <QEvent>

#include <utility>

// What reaches the session by posting rather than by a call: the reader thread
// and the modem watch never touch the session and only post their notices,
// which it then handles on the user-interface thread.

// The reader thread stored count bytes in the byte ring.
class DataArrivedEvent : public QEvent {
public:
    explicit DataArrivedEvent(int count) : QEvent(Kind()), m_count(count) {}
    int Count() const { return m_count; }
    static QEvent::Type Kind()
    {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }

private:
    int m_count;
};

// The reader thread saw the line hang up, or it is time to look for the device again.
class LineCheckEvent : public QEvent {
public:
    LineCheckEvent() : QEvent(Kind()) {}
    static QEvent::Type Kind()
    {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }
};

// The port's modem watch saw new modem inputs (ModemListener's bits).
class ModemInputsEvent : public QEvent {
public:
    explicit ModemInputsEvent(int bits) : QEvent(Kind()), m_bits(bits) {}
    int Bits() const { return m_bits; }
    static QEvent::Type Kind()
    {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }

private:
    int m_bits;
};

// Posts a new Event to receiver from any thread. Every notice of the reader
// crosses to the user-interface thread here, through Qt's event queue.
template <typename Event, typename... Args>
void PostNotice(QObject* receiver, Args&&... args)
{
    QCoreApplication::postEvent(receiver, new Event(std::forward<Args>(args)...));
}
