"""pyserial's RFC 2217 client as a receiver for the bench: opens the URL
given at 115200 baud and copies every byte it reads to standard output."""
import sys

import serial


def main():
    line = serial.serial_for_url(sys.argv[1], baudrate=115200, timeout=0.05)
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
