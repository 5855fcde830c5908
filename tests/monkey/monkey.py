#!/usr/bin/python3
"""Drives Tamsel's window with random input on an X server of its own.

Keys, accelerators, menus by keyboard and mouse, clicks, middle clicks, the
wheel, resizes from 1x1 to 4000x3000, dialogs answered or dismissed, and a
clipboard that a second X client sets to text, nothing, an image or an owner
that has gone, while the line brings Orvane traffic and noise. Sessions take
turns in English and Japanese. The run fails at the first crash, abort,
sanitizer report, misuse warning of Qt, or a window whose client does not
answer a ping within 2 s. The seed printed first gives the same actions again.

    monkey.py --tamsel BIN --simulator BIN --display :N [--seconds S] [--seed N]
    monkey.py --plan N --seed N     (prints the first N actions and stops)
"""

import argparse
import collections
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from line import LineRig  # noqa: E402
from plan import Planner, describe  # noqa: E402
from watch import StderrWatch  # noqa: E402
import xwindows  # noqa: E402

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024
X_CALL_TIMEOUT = 5          # seconds for any one xdotool or xclip call
PING_TIMEOUT = 2.0
START_TIMEOUT = 30          # until the first window shows (sanitizer builds start slowly)
END_TIMEOUT = 20            # from SIGTERM to the end of the process
PROFILE_NAME = "TamSel Serial port Monitor 1.1 (OV1.1).conf"
LANGUAGES = ["en_US.UTF-8", "ja_JP.UTF-8"]
# What a session's profile holds: mostly values the window writes itself, now
# and then ones a hand-edited or damaged file might.
PROFILE_PORTS = ["COM1", "COM1", "COM1", "COM2", "COM3", "COM20", "COM99", "COM0", "", "garbage"]
PROFILE_RATES = [300, 9600, 9600, 19200, 115200, 0, -1, "12abc", 4000001, ""]
PROFILE_CONVERSIONS = [0, 1, 2, 3, 4, 0, 1, 3, 4, -1, 7, "x"]
TERMINATED_STATUS = 128 + signal.SIGTERM


class Failure(Exception):
    pass


class Interrupted(Exception):
    pass


def x_command(display, *command):
    """Runs an X client of the monkey's own; it may fail (its window gone),
    but it may not hang."""
    try:
        subprocess.run(command, env=dict(os.environ, DISPLAY=display), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=X_CALL_TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure(f"the X server did not serve '{' '.join(command[:3])} ...' within "
                      f"{X_CALL_TIMEOUT} s") from None


def png_image(seed):
    rng = random.Random(seed)
    width = height = 8
    rows = b"".join(b"\0" + bytes(rng.randrange(256) for _ in range(width * 3)) for _ in range(height))

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


class Clipboard:
    """The second X client: xclip owns a selection until another owner takes
    it, or is stopped at once so that the selection has no owner at all."""

    def __init__(self, display, work):
        self._display = display
        self._work = work
        self._owners = []
        self._count = 0

    def offer(self, action):
        what = action["what"]
        target, data = "UTF8_STRING", action["text"].encode()
        if what == "empty":
            data = b""
        elif what == "image":
            target, data = "image/png", png_image(action["image_seed"])
        elif what == "uri-list":
            target, data = "text/uri-list", b"file:///etc/hostname\r\n"
        elif what == "html":
            target, data = "text/html", b"<b>bold</b> &amp; <i>" + data + b"</i>"
        elif what == "long-text":
            data = (b"0123456789ABCDEF" * 15 + b"\n") * 270
        self._count += 1
        path = os.path.join(self._work, f"clip-{self._count}")
        with open(path, "wb") as stream:
            stream.write(data)
        self._reap()
        owner = subprocess.Popen(
            ["xclip", "-quiet", "-selection", action["selection"], "-t", target, "-i", path],
            env=dict(os.environ, DISPLAY=self._display), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._owners.append(owner)
        if what == "owner-gone":
            time.sleep(0.1)
            self._stop(owner)

    def _reap(self):
        self._owners = [owner for owner in self._owners if owner.poll() is None]

    @staticmethod
    def _stop(owner):
        owner.terminate()
        try:
            owner.wait(timeout=X_CALL_TIMEOUT)
        except subprocess.TimeoutExpired:
            owner.kill()
            owner.wait()

    def close(self):
        for owner in self._owners:
            if owner.poll() is None:
                self._stop(owner)
        self._owners = []


def sandbox_prefix():
    """As root, the window runs in a mount namespace where the root file
    system is read-only and only the monkey's folder is writable: random
    typing into a save dialog must not leave files anywhere else."""
    if os.geteuid() != 0 or not shutil.which("unshare"):
        return None
    probe = subprocess.run(["unshare", "--mount", "--propagation", "private", "true"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if probe.returncode != 0:
        return None
    script = 'mount --bind "$1" "$1" && mount -o remount,bind,ro / && shift && exec "$@"'
    return ["unshare", "--mount", "--propagation", "private", "sh", "-c", script, "sandbox"]


class Session:
    """One run of the program, from start to its end."""

    def __init__(self, monkey, number):
        self.monkey = monkey
        self.number = number
        self.language = LANGUAGES[number % 2]
        rng = random.Random(f"{monkey.seed}-session-{number}")
        self.directory = os.path.join(monkey.work, f"session-{number}")
        home = os.path.join(self.directory, "home")
        runtime = os.path.join(self.directory, "runtime")
        config = os.path.join(self.directory, "config", "Pellmark")
        for folder in (home, runtime, config):
            os.makedirs(folder)
        os.chmod(runtime, 0o700)
        port = rng.choice(PROFILE_PORTS)
        # The profile holds the device form, \\.\COMn; in the file's own
        # syntax each backslash is doubled.
        device = f"\\\\.\\{port}".replace("\\", "\\\\") if port.startswith("COM") else port
        with open(os.path.join(config, PROFILE_NAME), "w") as profile:
            profile.write("[tamsel_OV]\n"
                          f"comport={device}\n"
                          f"comspeed={rng.choice(PROFILE_RATES)}\n"
                          f"receiveXrate={rng.choice(PROFILE_CONVERSIONS)}\n"
                          f"sendXrate={rng.choice(PROFILE_CONVERSIONS)}\n"
                          f"localecho={rng.randrange(2)}\nreceiveenable={rng.randrange(2)}\n"
                          f"[report]\ntimestamps={rng.randrange(2)}\n")
        command = [monkey.tamsel]
        for name, path in monkey.ports.items():
            command += ["--map", f"{name}={path}"]
        if rng.random() < 0.2:
            command.append("--demo")
        if rng.random() < 0.25:
            command.append("--bus-view")
        self.options = " ".join(command[1 + 2 * len(monkey.ports):]) or "no options"
        env = {name: value for name, value in os.environ.items()
               if name not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "QT_QPA_PLATFORM", "DISPLAY")}
        env.update(DISPLAY=monkey.display, QT_QPA_PLATFORM="xcb", LANG=self.language, HOME=home,
                   XDG_CONFIG_HOME=os.path.join(self.directory, "config"),
                   XDG_STATE_HOME=os.path.join(self.directory, "state"),
                   XDG_CACHE_HOME=os.path.join(self.directory, "cache"),
                   XDG_DATA_HOME=os.path.join(self.directory, "data"),
                   XDG_RUNTIME_DIR=runtime)
        if monkey.sandbox:
            command = monkey.sandbox + [monkey.work] + command
        self.stderr_path = os.path.join(self.directory, "stderr")
        with open(self.stderr_path, "wb") as stderr:
            self.process = subprocess.Popen(command, env=env, cwd=home, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=stderr)
        self.watch = StderrWatch(self.stderr_path)
        self.started = time.monotonic()
        self.last_window = None
        self.windows = []
        self.seen = set()   # windows already given the focus once
        self.ended = False
        self.steps = 0      # actions performed in this session

    def describe(self):
        language = "English" if self.language.startswith("en") else "Japanese"
        return f"session {self.number} ({language}, {self.options})"

    # --- what is on screen -------------------------------------------------

    def look(self):
        self.windows = self.monkey.x.windows_of(self.process.pid)
        if self.windows:
            self.last_window = time.monotonic()
        # As a window manager would: a new window gets the focus, and so does
        # the top one when the focused window has gone (a dialog closed).
        focus = None
        for window in self.windows:
            if window.window not in self.seen:
                if not window.popup:
                    focus = window
                self.monkey.shown[window.title if not window.popup else "(menus and popups)"] += 1
            self.seen.add(window.window)
        if focus is None and self.monkey.x.focused() not in {w.window for w in self.windows}:
            focus = self.top(("dialog", "window"))
        if focus is not None:
            self.monkey.x.focus(focus.window)
        return self.windows

    def main_window(self):
        frames = [w for w in self.windows if not w.popup and not w.transient]
        for window in frames:
            if window.title.startswith("TamSel"):
                return window
        return frames[0] if frames else None

    def top(self, kinds=("popup", "dialog", "window")):
        for window in reversed(self.windows):
            kind = "popup" if window.popup else "dialog" if window.transient else "window"
            if kind in kinds:
                return window
        return None

    def wait_for_window(self):
        deadline = self.started + START_TIMEOUT
        while time.monotonic() < deadline:
            self.check_process()
            if self.look():
                return
            time.sleep(0.1)
        raise Failure(f"no window within {START_TIMEOUT} s of the start")

    # --- checks ------------------------------------------------------------

    def check_process(self):
        fault = self.watch.poll()
        if fault:
            raise Failure(f"{fault[0]}: {fault[1]}")
        status = self.process.poll()
        if status is None:
            return
        self.ended = True
        fault = self.watch.finish()
        if fault:
            raise Failure(f"{fault[0]}: {fault[1]}")
        if status < 0:
            raise Failure(f"the program was killed by signal {-status} ({signal.Signals(-status).name})")
        if status != 0:
            raise Failure(f"the program ended with status {status}")

    def check(self):
        self.check_process()
        if self.ended:
            return
        self.look()
        target = self.main_window() or self.top()
        if target is None:
            if time.monotonic() - (self.last_window or self.started) > 10:
                raise Failure("no window of the program on screen for 10 s")
            return
        answer = self.monkey.x.ping(target.window, PING_TIMEOUT)
        if answer is None:
            self.check_process()
            # A window closed meanwhile cannot answer; one still there must.
            if not self.ended and target.window in {window.window for window in self.look()}:
                raise Failure(f"the {target!r} did not answer a ping within {PING_TIMEOUT} s")
        self.monkey.slowest_ping = max(self.monkey.slowest_ping, answer or 0)

    def end(self):
        signalled = False
        if self.process.poll() is None:
            signalled = True
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=END_TIMEOUT)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
                raise Failure(f"the program did not end within {END_TIMEOUT} s of SIGTERM") from None
        status = self.process.returncode
        self.ended = True
        fault = self.watch.finish()
        if fault:
            raise Failure(f"{fault[0]}: {fault[1]}")
        # Until its window is up (a start-up message box may hold it there)
        # the program leaves SIGTERM to its default action, which is no fault.
        if status < 0 and not (signalled and status == -signal.SIGTERM):
            raise Failure(f"the program was killed by signal {-status} ({signal.Signals(-status).name})")
        if status not in (0, TERMINATED_STATUS, -signal.SIGTERM):
            raise Failure(f"after SIGTERM the program ended with status {status}")

    def settle(self):
        """Lets a sanitizer or an abort finish its report before it is read."""
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.kill()
        self.watch.finish()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    # --- actions -----------------------------------------------------------

    def xdo(self, *arguments):
        x_command(self.monkey.display, "xdotool", *map(str, arguments))

    @staticmethod
    def point(window, fx, fy):
        x = window.x + int(fx * max(window.width - 1, 0))
        y = window.y + int(fy * max(window.height - 1, 0))
        return min(max(x, 0), SCREEN_WIDTH - 1), min(max(y, 0), SCREEN_HEIGHT - 1)

    def click(self, window, fx, fy, button, modifier="", count=1):
        x, y = self.point(window, fx, fy)
        arguments = ["mousemove", x, y]
        if modifier:
            arguments += ["keydown", modifier]
        arguments += ["click", "--repeat", count, "--delay", 40, button]
        if modifier:
            arguments += ["keyup", modifier]
        self.xdo(*arguments)

    def popup_click(self, fx, fy, hover_only=False):
        time.sleep(0.15)
        self.look()
        popup = self.top(("popup",))
        if popup is None:
            return
        x, y = self.point(popup, fx, fy)
        if hover_only:
            self.xdo("mousemove", x, y, "sleep", "0.2", "key", "Escape")
        else:
            self.xdo("mousemove", x, y, "click", 1)

    def perform(self, action):
        kind = action["kind"]
        self.look()
        target = self.top() or self.main_window()
        if kind == "wait":
            time.sleep(action["ms"] / 1000)
        elif kind == "clipboard":
            self.monkey.clipboard.offer(action)
        elif kind in ("key", "accelerator"):
            self.xdo("key", action["key"])
        elif kind == "type":
            main = self.main_window()
            if action["into_command_line"] and main is not None:
                # The command line lies just above the status bar.
                x, y = self.point(main, action["x"], 1)
                self.xdo("mousemove", x, max(y - 35, main.y), "click", 1)
            self.xdo("type", "--delay", 4, action["text"])
            if action["enter"]:
                self.xdo("key", "Return")
        elif kind == "menu-keys":
            self.xdo("key", "--delay", 40, *action["keys"])
            self.look()
            self.xdo("key", action["end"])
        elif target is None:
            return
        elif kind == "menu-mouse":
            main = self.main_window() or target
            x, y = self.point(main, 0, 0)
            x = min(x + int(action["x"] * main.width), SCREEN_WIDTH - 1)
            self.xdo("mousemove", x, min(y + 10, SCREEN_HEIGHT - 1), "click", 1)
            self.popup_click(action["item_x"], action["item_y"], action["hover_only"])
        elif kind == "click":
            self.click(target, action["x"], action["y"], 1, action["modifier"], action["count"])
        elif kind == "middle-click":
            self.click(target, action["x"], action["y"], 2, action["modifier"], 1)
        elif kind == "drag":
            x, y = self.point(target, action["x"], action["y"])
            to_x, to_y = self.point(target, action["to_x"], action["to_y"])
            self.xdo("mousemove", x, y, "mousedown", 1, "mousemove", to_x, to_y, "mouseup", 1)
        elif kind == "context-menu":
            self.click(target, action["x"], action["y"], 3)
            if action["escape"]:
                self.xdo("key", "Escape")
            else:
                self.popup_click(action["item_x"], action["item_y"])
        elif kind == "wheel":
            self.click(target, action["x"], action["y"], action["button"], action["modifier"],
                       action["count"])
        elif kind == "resize":
            window = self.main_window() or target
            self.xdo("windowsize", window.window, action["width"], action["height"])
            if action["back"]:
                time.sleep(0.1)
                self.check()
                self.xdo("windowsize", window.window, *action["back"])
        elif kind == "dialog":
            dialog = self.top(("dialog",)) or target
            if action["click"]:
                self.click(dialog, action["x"], action["y"], 1)
            else:
                self.xdo("windowfocus", dialog.window, "key", action["key"])
        elif kind == "close-box":
            window = self.top(("dialog", "window"))
            if window is not None:
                self.monkey.x.close_box(window.window)


class Monkey:
    def __init__(self, options, work):
        self.seed = options.seed
        self.tamsel = os.path.abspath(options.tamsel)
        self.display = options.display
        self.work = work
        self.sandbox = sandbox_prefix()
        self.slowest_ping = 0.0
        self.shown = collections.Counter()  # windows that appeared, by title
        self.x = xwindows.Display(self.display)
        self.clipboard = Clipboard(self.display, work)
        self.rig = LineRig(options.simulator, self.seed)
        self.ports = dict(self.rig.ports)
        for number in range(3, 21):
            # Never a real device: the other ports name nothing, so opening them fails.
            self.ports[f"COM{number}"] = os.path.join(work, f"no-such-device-COM{number}")

    def close(self):
        self.clipboard.close()
        self.rig.close()
        self.x.close()


def run(options):
    print(f"monkey: seed {options.seed} (TAMSEL_MONKEY_SEED={options.seed} repeats this run), "
          f"{options.seconds} s", flush=True)
    work = tempfile.mkdtemp(prefix="tamsel-monkey-")
    planner = Planner(options.seed)
    recent = collections.deque(maxlen=25)
    log = open(options.log, "w") if options.log else None
    monkey = session = None
    step = 0
    sessions = collections.Counter()
    started = time.monotonic()

    def interrupted(number, _frame):
        raise Interrupted(f"signal {number}")

    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGINT, interrupted)
    try:
        monkey = Monkey(options, work)
        if monkey.sandbox is None and os.geteuid() == 0:
            print("monkey: no mount namespace here; save dialogs are not confined", flush=True)
        session = Session(monkey, 0)
        sessions[session.language] += 1
        session.wait_for_window()
        deadline = started + options.seconds
        while time.monotonic() < deadline:
            action = planner.next()
            step += 1
            line = f"step {step}: {describe(action)}"
            recent.append(line)
            if log:
                log.write(line + "\n")
            # A session gives way after so many actions, so that even a short
            # run meets both languages and the start and end of the program.
            restart = action["kind"] == "restart" or session.steps >= options.session_actions
            if restart or session.ended:    # drawn, or the window was closed by the last action
                session.end()
                session = Session(monkey, session.number + 1)
                sessions[session.language] += 1
                recent.append(f"  (started {session.describe()})")
                session.wait_for_window()
                if action["kind"] == "restart":
                    continue
            session.steps += 1
            session.perform(action)
            time.sleep(0.02)
            session.check()
            if log:
                log.write(f"  on screen: {session.windows}\n")
        session.end()
    except (Failure, OSError) as failure:
        print(f"monkey: FAILED at step {step}, {time.monotonic() - started:.1f} s into the run, in "
              f"{session.describe() if session else 'the set-up'}: {failure}")
        print("monkey: the last actions:")
        for line in recent:
            print("  " + line)
        if session:
            session.settle()
            lines = list(session.watch.lines)[-40:]
            print("monkey: the end of the program's standard error:" + ("" if lines else " (nothing)"))
            for line in lines:
                print("  " + line)
        print(f"monkey: seed {options.seed}; TAMSEL_MONKEY_SEED={options.seed} runs the same "
              f"actions again (the failure came after step {step})")
        return 1
    except Interrupted as reason:
        print(f"monkey: stopped by {reason} at step {step}")
        return 1
    finally:
        if session:
            session.kill()
        if monkey:
            monkey.close()
        if log:
            log.close()
        shutil.rmtree(work, ignore_errors=True)
    print(f"monkey: passed: seed {options.seed}, {step} actions in {sum(sessions.values())} sessions "
          f"({sessions[LANGUAGES[0]]} English, {sessions[LANGUAGES[1]]} Japanese), "
          f"{time.monotonic() - started:.0f} s, slowest ping {monkey.slowest_ping * 1000:.0f} ms, "
          f"{monkey.rig.bytes_to_window} bytes sent to the window, "
          f"{monkey.rig.bytes_from_window} from it")
    print("monkey: windows that appeared: " +
          ", ".join(f"{title or '(untitled)'} x{count}" for title, count in sorted(monkey.shown.items())))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tamsel")
    parser.add_argument("--simulator")
    parser.add_argument("--display")
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--log", help="write every action to this file")
    parser.add_argument("--session-actions", type=int, default=60,
                        help="start the program anew after this many actions")
    parser.add_argument("--plan", type=int, help="print the first N actions of the seed and stop")
    options = parser.parse_args()
    if options.seed is None:
        options.seed = random.SystemRandom().randrange(1 << 31)
    if options.plan is not None:
        planner = Planner(options.seed)
        for step in range(1, options.plan + 1):
            print(f"step {step}: {describe(planner.next())}")
        return 0
    if not (options.tamsel and options.simulator and options.display):
        parser.error("--tamsel, --simulator and --display are needed for a run")
    return run(options)


if __name__ == "__main__":
    sys.exit(main())
