"""What the monkey asks the X server directly, through libX11: which windows a
process has on screen, whether a window's client still answers, and the close
box. Input events go through xdotool; these need replies or events back.

X errors (a window gone between listing and asking) are expected while a
program opens and closes windows under the monkey: they are counted, never
fatal, and every call that can meet one is made with the server synchronised.
"""

import ctypes
import ctypes.util
import select
import time

_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

Window = ctypes.c_ulong
Atom = ctypes.c_ulong

CLIENT_MESSAGE = 33
STRUCTURE_NOTIFY_MASK = 1 << 17
IS_VIEWABLE = 2
REVERT_TO_PARENT = 2
CURRENT_TIME = 0
ANY_PROPERTY_TYPE = 0


class ClientMessageData(ctypes.Union):
    _fields_ = [("b", ctypes.c_char * 20), ("s", ctypes.c_short * 10), ("l", ctypes.c_long * 5)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", Window),
        ("message_type", Atom),
        ("format", ctypes.c_int),
        ("data", ClientMessageData),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int),
        ("width", ctypes.c_int), ("height", ctypes.c_int),
        ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
        ("visual", ctypes.c_void_p), ("root", Window),
        ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
        ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
        ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
        ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
        ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
        ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
        ("screen", ctypes.c_void_p),
    ]


class XErrorEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int), ("display", ctypes.c_void_p), ("resourceid", ctypes.c_ulong),
        ("serial", ctypes.c_ulong), ("error_code", ctypes.c_ubyte),
        ("request_code", ctypes.c_ubyte), ("minor_code", ctypes.c_ubyte),
    ]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(XErrorEvent))

_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XDefaultRootWindow.restype = Window
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XInternAtom.restype = Atom
_x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x11.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                            ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
_x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(XWindowAttributes)]
_x11.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int, Atom,
    ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
_x11.XFree.argtypes = [ctypes.c_void_p]
_x11.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
_x11.XSelectInput.argtypes = [ctypes.c_void_p, Window, ctypes.c_long]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XPending.argtypes = [ctypes.c_void_p]
_x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
_x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
_x11.XSetInputFocus.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_ulong]
_x11.XGetInputFocus.argtypes = [ctypes.c_void_p, ctypes.POINTER(Window), ctypes.POINTER(ctypes.c_int)]
_x11.XSetErrorHandler.restype = ctypes.c_void_p
_x11.XSetErrorHandler.argtypes = [_ERROR_HANDLER]


class TopLevel:
    """One viewable top-level window of a process, as the monkey aims at it."""

    def __init__(self, window, x, y, width, height, popup, transient, title):
        self.window = window
        self.x, self.y, self.width, self.height = x, y, width, height
        self.popup = popup          # a menu or tool tip: override-redirect, no frame
        self.transient = transient  # a dialog or message box over another window
        self.title = title

    def __repr__(self):
        kind = "popup" if self.popup else "dialog" if self.transient else "window"
        return f"{kind} 0x{self.window:x} {self.width}x{self.height}+{self.x}+{self.y} {self.title!r}"


class Display:
    def __init__(self, name):
        self._dpy = _x11.XOpenDisplay(name.encode())
        if not self._dpy:
            raise OSError(f"cannot open X display {name}")
        self.errors = 0

        def on_error(_dpy, _event):
            self.errors += 1
            return 0

        self._handler = _ERROR_HANDLER(on_error)  # kept alive as long as the display
        _x11.XSetErrorHandler(self._handler)
        self.root = _x11.XDefaultRootWindow(self._dpy)
        self._atoms = {}
        self._ping_stamp = 0
        # Answers to pings come back to the root window, sent to the clients
        # that select structure notification there (and to a window manager).
        _x11.XSelectInput(self._dpy, self.root, STRUCTURE_NOTIFY_MASK)
        _x11.XSync(self._dpy, 0)

    def close(self):
        if self._dpy:
            _x11.XCloseDisplay(self._dpy)
            self._dpy = None

    def atom(self, name):
        if name not in self._atoms:
            self._atoms[name] = _x11.XInternAtom(self._dpy, name.encode(), 0)
        return self._atoms[name]

    def _property(self, window, name, length=1024):
        actual_type, actual_format = Atom(), ctypes.c_int()
        count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        status = _x11.XGetWindowProperty(
            self._dpy, window, self.atom(name), 0, length, 0, ANY_PROPERTY_TYPE,
            ctypes.byref(actual_type), ctypes.byref(actual_format), ctypes.byref(count),
            ctypes.byref(after), ctypes.byref(data))
        if status != 0 or not data.value:
            return None
        try:
            if actual_format.value == 32:
                return list(ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[:count.value])
            if actual_format.value == 8:
                return ctypes.string_at(data, count.value)
            return None
        finally:
            _x11.XFree(data)

    def windows_of(self, pid):
        """The viewable top-level windows whose _NET_WM_PID is pid, bottom to top."""
        root, parent = Window(), Window()
        children, count = ctypes.POINTER(Window)(), ctypes.c_uint()
        if not _x11.XQueryTree(self._dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                               ctypes.byref(children), ctypes.byref(count)):
            return []
        ids = [children[i] for i in range(count.value)]
        if children:
            _x11.XFree(children)
        found = []
        for window in ids:
            attributes = XWindowAttributes()
            if not _x11.XGetWindowAttributes(self._dpy, window, ctypes.byref(attributes)):
                continue
            if attributes.map_state != IS_VIEWABLE:
                continue
            if self._property(window, "_NET_WM_PID") != [pid]:
                continue
            title = self._property(window, "_NET_WM_NAME") or b""
            transient = self._property(window, "WM_TRANSIENT_FOR")
            found.append(TopLevel(window, attributes.x, attributes.y, attributes.width,
                                  attributes.height, bool(attributes.override_redirect),
                                  bool(transient and transient[0]),
                                  title.decode("utf-8", "replace")))
        _x11.XSync(self._dpy, 0)
        return found

    def _client_message(self, window, words):
        event = XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        for i, word in enumerate(words):
            event.xclient.data.l[i] = word
        _x11.XSendEvent(self._dpy, window, 0, 0, ctypes.byref(event))
        _x11.XFlush(self._dpy)

    def focused(self):
        window, revert = Window(), ctypes.c_int()
        _x11.XGetInputFocus(self._dpy, ctypes.byref(window), ctypes.byref(revert))
        return window.value

    def focus(self, window):
        """What a window manager does for a window that appears, or when the
        focused one has gone."""
        _x11.XSetInputFocus(self._dpy, window, REVERT_TO_PARENT, CURRENT_TIME)
        _x11.XSync(self._dpy, 0)

    def close_box(self, window):
        """What a window manager's close button sends."""
        self._client_message(window, [self.atom("WM_DELETE_WINDOW"), 0, 0, 0, 0])

    def ping(self, window, timeout):
        """Seconds until the window's client answered _NET_WM_PING, or None
        when it did not within timeout. The client answers from its event loop,
        so a blocked or busy user-interface thread shows here."""
        self._drain()
        self._ping_stamp += 1
        stamp = self._ping_stamp
        ping = self.atom("_NET_WM_PING")
        start = time.monotonic()
        self._client_message(window, [ping, stamp, window, 0, 0])
        deadline = start + timeout
        event = XEvent()
        while True:
            while _x11.XPending(self._dpy):
                _x11.XNextEvent(self._dpy, ctypes.byref(event))
                message = event.xclient
                if (event.type == CLIENT_MESSAGE and message.data.l[0] == ping
                        and message.data.l[1] == stamp):
                    return time.monotonic() - start
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([_x11.XConnectionNumber(self._dpy)], [], [], left)

    def _drain(self):
        event = XEvent()
        while _x11.XPending(self._dpy):
            _x11.XNextEvent(self._dpy, ctypes.byref(event))

