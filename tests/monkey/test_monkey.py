"""The monkey's own parts, each of which could make a run pass that should
fail: a seed that does not repeat its actions, a fault line read as harmless,
serial lines that carry nothing, a hung window taken for a live one."""

import os
import re
import select
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from line import LineRig  # noqa: E402
from plan import WEIGHTS, Planner, describe  # noqa: E402
from watch import StderrWatch, fault_in  # noqa: E402
import xwindows  # noqa: E402


class PlanTest(unittest.TestCase):
    def plan(self, seed, count):
        planner = Planner(seed)
        return [describe(planner.next()) for _ in range(count)]

    def test_a_seed_gives_the_same_actions_every_time_and_another_seed_others(self):
        self.assertEqual(self.plan(1234, 3000), self.plan(1234, 3000))
        self.assertNotEqual(self.plan(1234, 50), self.plan(1235, 50))

    def test_every_kind_of_action_and_both_resize_extremes_come_up(self):
        planner = Planner(7)
        actions = [planner.next() for _ in range(5000)]
        self.assertEqual({action["kind"] for action in actions}, set(WEIGHTS))
        sizes = {(a["width"], a["height"]) for a in actions if a["kind"] == "resize"}
        self.assertIn((1, 1), sizes)
        self.assertIn((4000, 3000), sizes)
        clipboards = {a["what"] for a in actions if a["kind"] == "clipboard"}
        self.assertTrue({"empty", "image", "owner-gone", "text"} <= clipboards)


class WatchTest(unittest.TestCase):
    LINES = [
        ("==4711==ERROR: AddressSanitizer: heap-use-after-free on address 0x6020", "sanitizer"),
        ("view/CEditCR.cpp:130:5: runtime error: member call on null pointer", "sanitizer"),
        ("SUMMARY: UndefinedBehaviorSanitizer: undefined-behavior", "sanitizer"),
        ("ASSERT: \"index < size()\" in file qlist.h, line 457", "assertion"),
        ("terminate called after throwing an instance of 'std::bad_alloc'", "assertion"),
        ("QObject: Cannot create children for a parent that is in a different thread.", "thread"),
        ("QObject::startTimer: Timers cannot be started from another thread", "thread"),
        ("QBasicTimer::start: QBasicTimer can only be used with threads started with QThread", "thread"),
        ("QPainter::setPen: Painter not active", "painter"),
        ("QPainter::begin: Paint device returned engine == 0, type: 2", "painter"),
        ("QWidget::repaint: Recursive repaint detected", "painter"),
        ("QObject::connect: No such signal CChildView::Gone()", "signal"),
        ("QTextCursor::setPosition: Position '20481' out of range", "text"),
        ("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'", None),
        ("qt.qpa.xcb: QXcbConnection: XCB error: 3 (BadWindow), sequence: 1245", None),
        ("Tamsel::ComOpen: cannot open COM3", None),
        ("", None),
    ]

    def test_fault_lines_are_told_from_remarks_about_the_environment(self):
        for line, kind in self.LINES:
            with self.subTest(line=line):
                self.assertEqual(fault_in(line), kind)

    def test_a_report_written_in_pieces_and_ending_without_a_line_end_is_read(self):
        with tempfile.NamedTemporaryFile("wb", buffering=0) as stderr:
            watch = StderrWatch(stderr.name)
            stderr.write(b"QStandardPaths: XDG_RUNTIME_DIR not set\n==1==ERROR: Address")
            self.assertIsNone(watch.poll())
            stderr.write(b"Sanitizer: SEGV on unknown address\nQPainter::end: Painter not active")
            self.assertEqual(watch.poll()[0], "sanitizer")
            self.assertEqual(watch.finish()[0], "sanitizer")
            self.assertEqual(list(watch.lines)[-1], "QPainter::end: Painter not active")

        with tempfile.NamedTemporaryFile("wb", buffering=0) as stderr:
            watch = StderrWatch(stderr.name)
            stderr.write(b"QPainter::end: Painter not active")
            self.assertIsNone(watch.poll())
            self.assertEqual(watch.finish(), ("painter", "QPainter::end: Painter not active"))


def read_for(path, seconds):
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
    received = b""
    deadline = time.monotonic() + seconds
    try:
        while time.monotonic() < deadline:
            if select.select([fd], [], [], 0.05)[0]:
                received += os.read(fd, 4096)
    finally:
        os.close(fd)
    return received


@unittest.skipUnless(os.environ.get("ORVANE_SIM"), "ORVANE_SIM names the simulator to run")
class LineTest(unittest.TestCase):
    def test_both_ports_carry_bytes_and_what_the_window_sends_reaches_the_bus(self):
        rig = LineRig(os.environ["ORVANE_SIM"], 99)
        try:
            ports = rig.ports
            self.assertGreater(len(read_for(ports["COM1"], 1.0)), 20)
            self.assertGreater(len(read_for(ports["COM2"], 1.0)), 20)
            fd = os.open(ports["COM1"], os.O_RDWR | os.O_NOCTTY)
            os.write(fd, bytes.fromhex("4502FD433F42"))     # get16 5 3 in Orvane 1.1
            os.close(fd)
            deadline = time.monotonic() + 2
            while rig.bytes_from_window < 6 and time.monotonic() < deadline:
                time.sleep(0.05)
            self.assertEqual(rig.bytes_from_window, 6)
        finally:
            rig.close()


class XServer:
    """An Xvfb of the test's own on a free display number."""

    def __enter__(self):
        number_read, number_write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(number_write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=[number_write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(number_write)
        try:
            # Read up to the line end: Xvfb writes the number and the line end
            # apart, and ends itself when the second write finds no reader.
            number = b""
            while not number.endswith(b"\n"):
                if not select.select([number_read], [], [], 10)[0]:
                    raise OSError("Xvfb did not start")
                piece = os.read(number_read, 16)
                if not piece:
                    raise OSError("Xvfb ended before it had a display")
                number += piece
            self.display = ":" + number.decode().strip()
        except BaseException:
            self.__exit__()
            raise
        finally:
            os.close(number_read)
        return self

    def __exit__(self, *_):
        self.process.terminate()
        self.process.wait()


# libxkbcommon's unterminated strndup() trips the strict string check on X.
ASAN_ON_X = os.environ.get("ASAN_OPTIONS", "") + ":strict_string_checks=0"


@unittest.skipUnless(os.environ.get("TAMSEL_BINARY"), "TAMSEL_BINARY names the program to ping")
class PingTest(unittest.TestCase):
    def test_a_window_answers_while_its_loop_runs_and_not_while_it_is_stopped(self):
        work = tempfile.mkdtemp(prefix="tamsel-ping-")
        program = None
        try:
            with XServer() as server:
                env = dict(os.environ, DISPLAY=server.display, QT_QPA_PLATFORM="xcb",
                           XDG_CONFIG_HOME=work, XDG_RUNTIME_DIR=work, HOME=work, ASAN_OPTIONS=ASAN_ON_X)
                program = subprocess.Popen([os.environ["TAMSEL_BINARY"], "--map", f"COM1={work}/none"],
                                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                x = xwindows.Display(server.display)
                windows = []
                deadline = time.monotonic() + 30
                while not windows and time.monotonic() < deadline:
                    time.sleep(0.1)
                    windows = x.windows_of(program.pid)
                self.assertTrue(windows, "no window appeared")
                self.assertIsNotNone(x.ping(windows[0].window, 2.0))
                program.send_signal(signal.SIGSTOP)
                self.assertIsNone(x.ping(windows[0].window, 0.5))
                program.send_signal(signal.SIGCONT)
                self.assertIsNotNone(x.ping(windows[0].window, 2.0))
                x.close()
                program.kill()
                program.wait()
        finally:
            if program and program.poll() is None:
                program.kill()
                program.wait()
            subprocess.run(["rm", "-rf", work])


MONKEY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "monkey.py")


@unittest.skipUnless(os.environ.get("TAMSEL_BINARY") and os.environ.get("ORVANE_SIM"),
                     "TAMSEL_BINARY and ORVANE_SIM name the programs of a run")
class RunTest(unittest.TestCase):
    """Whole runs, short ones, against the real window on an X server."""

    def run_monkey(self, program, seed, seconds, *extra):
        with XServer() as server:
            result = subprocess.run(
                [sys.executable, "-B", MONKEY, "--tamsel", program, "--simulator", os.environ["ORVANE_SIM"],
                 "--display", server.display, "--seconds", str(seconds), "--seed", str(seed), *extra],
                env=dict(os.environ, ASAN_OPTIONS=ASAN_ON_X), stdout=subprocess.PIPE,
                stderr=subprocess.STDOUT, timeout=seconds + 120)
        return result.returncode, result.stdout.decode()

    def test_a_short_run_passes_on_the_window_and_meets_both_languages(self):
        status, output = self.run_monkey(os.environ["TAMSEL_BINARY"], 20, 8, "--session-actions", "8")
        self.assertEqual(status, 0, output)
        self.assertIn("monkey: seed 20 ", output)
        passed = re.search(r"passed: seed 20, (\d+) actions in (\d+) sessions \((\d+) English, (\d+) Japanese\)",
                           output)
        self.assertIsNotNone(passed, output)
        actions, _, english, japanese = map(int, passed.groups())
        self.assertGreater(actions, 8)
        self.assertGreater(english, 0)
        self.assertGreater(japanese, 0)
        self.assertRegex(output, r"TamSel Serial port Monitor 1\.1 \(OV1\.1\) x\d")

    def test_a_crash_fails_the_run_with_the_seed_and_the_actions_that_led_to_it(self):
        # The real window, ended by SIGABRT eight seconds in, as a failed check
        # would (a sanitizer build takes SIGSEGV for a report of its own).
        with tempfile.TemporaryDirectory(prefix="tamsel-crash-") as work:
            wrapper = os.path.join(work, "crashing-tamsel")
            with open(wrapper, "w") as script:
                script.write(f'#!/bin/sh\n(sleep 8; kill -ABRT $$) &\nexec "{os.environ["TAMSEL_BINARY"]}" "$@"\n')
            os.chmod(wrapper, 0o755)
            outputs = [self.run_monkey(wrapper, 77, 30) for _ in range(2)]
        for status, output in outputs:
            self.assertEqual(status, 1, output)
            self.assertIn("killed by signal 6 (SIGABRT)", output)
            self.assertIn("TAMSEL_MONKEY_SEED=77 runs the same actions again", output)
        # The same seed, the same actions: each step both runs list is the same.
        first, second = (dict(re.findall(r"^  step (\d+): (.*)$", output, re.MULTILINE))
                         for _, output in outputs)
        common = first.keys() & second.keys()
        self.assertGreater(len(common), 3, outputs)
        self.assertEqual({step: first[step] for step in common}, {step: second[step] for step in common})


if __name__ == "__main__":
    unittest.main()
