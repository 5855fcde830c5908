#include "app/LockKeys.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

// After Qt: Xlib's macros (KeyPress, None, Bool) would clash with Qt's names.
#include <X11/XKBlib.h>

namespace {

// Indicators are looked up by name: their indices differ between servers.
bool IndicatorOn(Display* display, const char* name)
{
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on != False;
}

} // namespace

std::optional<LockKeys> ReadLockKeys()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    LockKeys keys;
    keys.kana = IndicatorOn(display, "Kana");
    keys.caps = IndicatorOn(display, "Caps Lock");
    keys.num = IndicatorOn(display, "Num Lock");
    keys.scroll = IndicatorOn(display, "Scroll Lock");
    return keys;
}
