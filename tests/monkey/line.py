"""The serial lines the window under the monkey talks to.

COM1 is the simulated Orvane bus (orvane-sim, which also damages some of its
own packets) seen through a pseudo-terminal of ours that adds line noise:
bytes flipped, dropped and inserted, and bursts of garbage between packets.
COM2 carries nothing but noise, now a trickle, now a flood. Both far ends stay
open for the whole run, so the window can close and reopen its port at will.
"""

import os
import random
import select
import subprocess
import threading
import tty

NOISE_BYTES = bytes(range(256))


class LineRig:
    def __init__(self, simulator, seed):
        self._rng = random.Random(f"{seed}-line")
        self._simulator = subprocess.Popen(
            [simulator, "--traffic", "40", "--fault", "length:5,checksum:7,fill:3,split:4"],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        device = self._simulator.stdout.readline().decode().strip()
        if not device:
            self._simulator.kill()
            self._simulator.wait()
            raise OSError(f"{simulator} printed no device")
        self._bus = os.open(device, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        tty.setraw(self._bus)
        self._com1, self._com1_far = self._pair()
        self._com2, self._com2_far = self._pair()
        self.bytes_to_window = 0
        self.bytes_from_window = 0
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _pair(self):
        master, slave = os.openpty()
        tty.setraw(slave)
        os.set_blocking(master, False)
        # The slave stays open here too: with it the master never reads EIO
        # while the window has its port closed.
        return master, slave

    @property
    def ports(self):
        return {"COM1": os.ttyname(self._com1_far), "COM2": os.ttyname(self._com2_far)}

    def _noise(self, size):
        return bytes(self._rng.choice(NOISE_BYTES) for _ in range(size))

    def _damaged(self, data):
        rng = self._rng
        out = bytearray()
        for byte in data:
            roll = rng.random()
            if roll < 0.01:
                continue                        # dropped
            if roll < 0.02:
                byte ^= 1 << rng.randrange(8)   # a bit flipped
            out.append(byte)
            if rng.random() < 0.01:
                out += self._noise(rng.randint(1, 8))
        return bytes(out)

    def _write(self, fd, data):
        try:
            self.bytes_to_window += os.write(fd, data)
        except (BlockingIOError, OSError):
            pass    # a full queue: the window is not reading, the line drops it

    def _run(self):
        rng = self._rng
        while not self._stop.is_set():
            ready, _, _ = select.select([self._bus, self._com1, self._com2], [], [], 0.02)
            for fd in ready:
                try:
                    data = os.read(fd, 4096)
                except (BlockingIOError, OSError):
                    continue
                if fd == self._bus:
                    self._write(self._com1, self._damaged(data))
                elif fd == self._com1:
                    self.bytes_from_window += len(data)
                    try:
                        os.write(self._bus, data)
                    except (BlockingIOError, OSError):
                        pass
                else:
                    self.bytes_from_window += len(data)
            if rng.random() < 0.05:
                self._write(self._com1, self._noise(rng.randint(1, 40)))
            roll = rng.random()
            if roll < 0.01:
                self._write(self._com2, self._noise(4096))
            elif roll < 0.3:
                self._write(self._com2, self._noise(rng.randint(1, 120)))

    def close(self):
        self._stop.set()
        self._thread.join(timeout=5)
        self._simulator.terminate()
        try:
            self._simulator.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self._simulator.kill()
            self._simulator.wait()
        self._simulator.stdout.close()
        for fd in (self._bus, self._com1, self._com1_far, self._com2, self._com2_far):
            os.close(fd)
