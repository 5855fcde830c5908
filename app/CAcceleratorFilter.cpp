#include "app/CAcceleratorFilter.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

int QtKeyOf(unsigned short virtualKey)
{
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return virtualKey;  // Qt's letter and digit keys share the codes
    if (virtualKey >= VK_F1 && virtualKey <= VK_F12)
        return Qt::Key_F1 + (virtualKey - VK_F1);
    switch (virtualKey) {
    case VK_OEM_PLUS:
        return Qt::Key_Plus;
    case VK_OEM_MINUS:
        return Qt::Key_Minus;
    case VK_BACK:
        return Qt::Key_Backspace;
    case VK_INSERT:
        return Qt::Key_Insert;
    case VK_DELETE:
        return Qt::Key_Delete;
    case VK_F6:
        return Qt::Key_F6;
    default:
        return 0;
    }
}

// Qt names the key by the character it gives: the "=+" key gives "=" without Shift.
bool KeyMatches(unsigned short virtualKey, int qtKey)
{
    if (virtualKey == VK_OEM_PLUS && qtKey == Qt::Key_Equal)
        return true;
    return QtKeyOf(virtualKey) == qtKey;
}

Qt::KeyboardModifiers ModifiersOf(unsigned char flags)
{
    Qt::KeyboardModifiers modifiers;
    if (flags & FCONTROL)
        modifiers |= Qt::ControlModifier;
    if (flags & FSHIFT)
        modifiers |= Qt::ShiftModifier;
    if (flags & FALT)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

} // namespace

CAcceleratorFilter::CAcceleratorFilter(QWidget* window, std::span<const AcceleratorEntry> table,
                                       Dispatch dispatch)
    : QObject(window), m_window(window), m_table(table), m_dispatch(std::move(dispatch))
{
}

int CAcceleratorFilter::CommandFor(const QKeyEvent& event) const
{
    // Exactly the modifiers of the entry: Ctrl+Shift+C is not Ctrl+C.
    const Qt::KeyboardModifiers held =
        event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    for (const AcceleratorEntry& entry : m_table) {
        if (KeyMatches(entry.key, event.key()) && ModifiersOf(entry.flags) == held)
            return entry.command;
    }
    return 0;
}

bool CAcceleratorFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    // Widgets only: the same key also passes the native window on its way.
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != m_window)
        return false;
    const int command = CommandFor(*static_cast<QKeyEvent*>(event));
    if (command == 0)
        return false;
    event->accept();
    if (type == QEvent::KeyPress)
        m_dispatch(command);
    return true;
}
