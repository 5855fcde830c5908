"""What in the program's standard error ends a monkey run: sanitizer reports,
failed assertions, and the Qt warnings that mean the program misused Qt
(objects used from the wrong thread, painting outside a paint event, signals
that do not exist, text positions out of range). Qt's remarks about the
environment (no runtime folder, a missing font) are not faults of the program.
"""

import collections
import re

FAULTS = [
    ("sanitizer", r"ERROR: (Address|Leak|Memory|Thread)Sanitizer"),
    ("sanitizer", r"runtime error: "),
    ("sanitizer", r"SUMMARY: \w+Sanitizer"),
    ("assertion", r"ASSERT( failure)?:? "),
    ("assertion", r"terminate called "),
    ("thread", r"QObject: Cannot create children for a parent that is in a different thread"),
    ("thread", r"QObject::(startTimer|killTimer): Timers cannot be (started|stopped) from another thread"),
    ("thread", r"QObject::setParent: Cannot set parent, new parent is in a different thread"),
    ("thread", r"Cannot send events to objects owned by a different thread"),
    ("thread", r"QSocketNotifier: Socket notifiers cannot be enabled or disabled from another thread"),
    ("thread", r"QBasicTimer::start: QBasicTimer can only be used with threads started with QThread"),
    ("thread", r"QPixmap: It is not safe to use pixmaps outside the GUI thread"),
    ("thread", r"QThread: Destroyed while thread is still running"),
    ("painter", r"QPainter::\w+: Painter not active"),
    ("painter", r"QPainter::begin: "),
    ("painter", r"QWidget::repaint: Recursive repaint detected"),
    ("painter", r"QBackingStore::endPaint\(\) called with active painter"),
    ("painter", r"QPaintDevice: Cannot destroy paint device that is being painted"),
    ("signal", r"QObject::(dis)?connect: "),
    ("signal", r"QMetaObject::invokeMethod: (No such method|Unable to invoke)"),
    ("layout", r"QLayout: Attempting to add QLayout"),
    ("layout", r"QWidget::setLayout: Attempting to set QLayout"),
    ("text", r"QTextCursor::setPosition: Position '-?\d+' out of range"),
]
_COMPILED = [(kind, re.compile(pattern)) for kind, pattern in FAULTS]


def fault_in(line):
    """The kind of fault a line of standard error shows, or None."""
    for kind, pattern in _COMPILED:
        if pattern.search(line):
            return kind
    return None


class StderrWatch:
    """Reads a growing standard-error file and keeps the first fault line."""

    def __init__(self, path):
        self._path = path
        self._offset = 0
        self._partial = b""
        self.fault = None   # (kind, line)
        self.lines = collections.deque(maxlen=200)  # the last ones, for the report

    def poll(self):
        try:
            with open(self._path, "rb") as stream:
                stream.seek(self._offset)
                data = stream.read()
        except FileNotFoundError:
            return self.fault
        self._offset += len(data)
        data = self._partial + data
        *complete, self._partial = data.split(b"\n")
        for raw in complete:
            self._take(raw)
        return self.fault

    def finish(self):
        """Takes a last line without its line end too (the program has ended)."""
        self.poll()
        if self._partial:
            self._take(self._partial)
            self._partial = b""
        return self.fault

    def _take(self, raw):
        line = raw.decode("utf-8", "replace")
        self.lines.append(line)
        kind = fault_in(line)
        if kind and self.fault is None:
            self.fault = (kind, line)
