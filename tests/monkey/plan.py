"""The monkey's actions, drawn from one seeded generator.

Every action is drawn whole (each of its numbers) before anything looks at the
screen, and as many numbers are drawn whatever is open at the time. So a seed
always gives the same action sequence; where an action lands (the main window,
an open menu or dialog) is decided when it runs, by what is on screen then.
Places are fractions of the target window, never pixels, for the same reason.
"""

import random

# Keys a user might press anywhere. No '/' or '~': typed into a file dialog
# they would leave the monkey's own folder.
PRINTABLE = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_.,:;=+*#@!?()[]<>'\"%&$"
SPECIAL_KEYS = [
    "Return", "KP_Enter", "Tab", "ISO_Left_Tab", "BackSpace", "Delete", "Insert", "Home", "End",
    "Left", "Right", "Up", "Down", "Prior", "Next", "Escape", "space", "Menu",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "Caps_Lock", "Num_Lock", "Scroll_Lock", "alt", "super",
]
# Combinations with modifiers; the accelerators of the window are among them
# by chance as much as by name (every letter and the editing keys are drawn).
MODIFIERS = ["ctrl", "shift", "alt", "ctrl+shift", "ctrl+alt", "alt+shift"]
ACCELERATOR_KEYS = list("abcdefghijklmnopqrstuvwxyz0123456789") + [
    "Insert", "Delete", "BackSpace", "Return", "Tab", "F6", "Home", "End", "Prior", "Next",
    "Left", "Right", "Up", "Down", "space", "Escape", "plus", "minus", "equal",
]
# The editing chords every text field knows, drawn more often than the rest.
EDITING_CHORDS = ["ctrl+c", "ctrl+v", "ctrl+x", "ctrl+z", "ctrl+a", "ctrl+y", "shift+Insert",
                  "ctrl+Insert", "shift+Delete", "alt+BackSpace"]
MENU_NAVIGATION = ["Down", "Down", "Down", "Up", "Left", "Right", "Home", "End"]
DIALOG_KEYS = ["Return", "Escape", "Tab", "ISO_Left_Tab", "space", "Down", "Up", "Left", "Right",
               "Home", "End", "Prior", "Next", "alt+o", "alt+c", "BackSpace"]

# What is typed into the command line: the Orvane command language, local
# commands, hexadecimal for the binary conversion, malformed statements, and
# text outside ISO 8859-1.
COMMANDS = [
    "get16 5 3", "set16 5 3 1234", "get32 12 1", "set32 1 2 0x7fffffff", "read16 1 0x20",
    "read8 5 511", "write8 1 0 255", "bulkget 12 0 4", "bulkget 1 0 125", "bulkset 5 0 1 2 3",
    "reqprof 5", "reset 12", "setid 5 6", "burst 1", "zerofill 1 0 16", "shownode", "rawmode",
    "normalmode", "get16 all 0", "get16 5 3;get16 12 1;get32 1 0", "get16 99 99", "set16",
    ";;;", "0102030405FF", "GG", "41 42 43", "AT+VERSION?", "x" * 300, "\u65e5\u672c\u8a9e",
    "caf\u00e9 \u00ff", "\uff83\uff7d\uff84", "get16 5 3 \u00e9",
]

# What a second X client offers as the clipboard or the primary selection.
CLIPBOARD_KINDS = ["text", "empty", "image", "uri-list", "html", "owner-gone", "long-text"]
CLIPBOARD_TEXTS = [
    "get16 5 3", "line one\nline two\r\nline three", "\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8",
    "tab\tand\x01control\x7f", "caf\u00e9", "   ", "\r\n", "0102FF",
]

RESIZES = [(1, 1), (4000, 3000), (1, 3000), (4000, 1), (2, 2), (200, 60)]

# Relative weights of the kinds of action.
WEIGHTS = {
    "key": 14, "type": 8, "accelerator": 10, "menu-keys": 16, "menu-mouse": 12, "click": 10,
    "drag": 3, "middle-click": 5, "context-menu": 4, "wheel": 5, "resize": 5, "clipboard": 6,
    "dialog": 10, "close-box": 1, "wait": 4, "restart": 1,
}


class Planner:
    def __init__(self, seed):
        self._rng = random.Random(seed)
        self._kinds = list(WEIGHTS)
        self._weights = [WEIGHTS[kind] for kind in self._kinds]

    def _fraction(self):
        return round(self._rng.random(), 3)

    def next(self):
        rng = self._rng
        kind = rng.choices(self._kinds, self._weights)[0]
        if kind == "key":
            if rng.random() < 0.5:
                return {"kind": kind, "key": rng.choice(SPECIAL_KEYS)}
            return {"kind": kind, "key": rng.choice(PRINTABLE)}
        if kind == "type":
            return {"kind": kind, "text": rng.choice(COMMANDS), "enter": rng.random() < 0.8,
                    "into_command_line": rng.random() < 0.6, "x": self._fraction()}
        if kind == "accelerator":
            if rng.random() < 0.4:
                return {"kind": kind, "key": rng.choice(EDITING_CHORDS)}
            return {"kind": kind, "key": rng.choice(MODIFIERS) + "+" + rng.choice(ACCELERATOR_KEYS)}
        if kind == "menu-keys":
            # Alt alone focuses the menu bar and arrows walk it, so every menu
            # is reached whatever its items; a mnemonic opens one directly.
            letter = rng.choice("abcdefghijklmnopqrstuvwxyz")
            across = ["Right"] * rng.randint(0, 8)
            steps = [rng.choice(MENU_NAVIGATION) for _ in range(rng.randint(0, 8))]
            opening = ["alt"] + across + ["Down"] if rng.random() < 0.6 else ["alt+" + letter]
            return {"kind": kind, "keys": opening + steps,
                    "end": rng.choice(["Return", "Return", "Return", "Escape", "space"])}
        if kind == "menu-mouse":
            return {"kind": kind, "x": self._fraction(), "item_x": self._fraction(),
                    "item_y": self._fraction(), "hover_only": rng.random() < 0.2}
        if kind in ("click", "middle-click"):
            return {"kind": kind, "x": self._fraction(), "y": self._fraction(),
                    "modifier": rng.choice(["", "", "", "shift", "ctrl"]),
                    "count": rng.choice([1, 1, 1, 2, 3])}
        if kind == "drag":
            return {"kind": kind, "x": self._fraction(), "y": self._fraction(),
                    "to_x": self._fraction(), "to_y": self._fraction()}
        if kind == "context-menu":
            return {"kind": kind, "x": self._fraction(), "y": self._fraction(),
                    "item_x": self._fraction(), "item_y": self._fraction(),
                    "escape": rng.random() < 0.4}
        if kind == "wheel":
            return {"kind": kind, "x": self._fraction(), "y": self._fraction(),
                    "button": rng.choice([4, 5, 4, 5, 6, 7]), "count": rng.randint(1, 15),
                    "modifier": rng.choice(["", "", "ctrl", "shift"])}
        if kind == "resize":
            if rng.random() < 0.5:
                width, height = rng.choice(RESIZES)
            else:
                width, height = rng.randint(1, 1600), rng.randint(1, 1200)
            # Mostly back to a size one can work with afterwards.
            back = (rng.randint(300, 1200), rng.randint(200, 900)) if rng.random() < 0.85 else None
            return {"kind": kind, "width": width, "height": height, "back": back}
        if kind == "clipboard":
            return {"kind": kind, "what": rng.choice(CLIPBOARD_KINDS),
                    "selection": rng.choice(["clipboard", "clipboard", "primary"]),
                    "text": rng.choice(CLIPBOARD_TEXTS), "image_seed": rng.randint(0, 1 << 30)}
        if kind == "dialog":
            if rng.random() < 0.3:
                return {"kind": kind, "click": True, "x": self._fraction(), "y": self._fraction()}
            return {"kind": kind, "click": False, "key": rng.choice(DIALOG_KEYS)}
        if kind == "wait":
            return {"kind": kind, "ms": rng.choice([50, 100, 250, 500])}
        return {"kind": kind}


def describe(action):
    """One line per action, the same for the same seed on every machine."""
    fields = " ".join(f"{name}={action[name]!r}" for name in sorted(action) if name != "kind")
    return f"{action['kind']} {fields}".rstrip()
