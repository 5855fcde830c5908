"""pyserial's RFC 2217 client as a receiver for the bench: opens the URL
given at 115200 baud and copies every byte it reads to standard output.

ser2net on a pseudo-terminal never confirms DTR or RTS, on which pyserial's
open waits and then fails; its ign_set_control option lets it go on."""
import sys

import serial


def main():
    line = serial.serial_for_url(sys.argv[1] + '?ign_set_control', baudrate=115200, timeout=0.05)
    out = sys.stdout.buffer
    while True:
        data = line.read(line.in_waiting or 1)
        if data:
            out.write(data)
            out.flush()


if __name__ == '__main__':
    try:
        main()
    except KeyboardInterrupt:
        pass
