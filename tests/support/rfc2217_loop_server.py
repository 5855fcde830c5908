"""pyserial's RFC 2217 server over its loop:// port, for one client.

Prints the TCP port it listens on (127.0.0.1), then a line for each break
change the client asks for. Every byte the client sends comes back; RTS shows
as CTS and DTR as DSR, reported to the client as modem-state notices.
"""
import socket
import sys
import threading
import time

import serial
import serial.rfc2217


class LoopWithBreakReport(serial.serial_for_url('loop://', do_not_open=True).__class__):
    def _update_break_state(self):
        print('break on' if self._break_state else 'break off', flush=True)


class Connection:
    """The socket as PortManager writes to it."""

    def __init__(self, sock):
        self.sock = sock

    def write(self, data):
        self.sock.sendall(data)


def main():
    port = LoopWithBreakReport('loop://', timeout=0.02)
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(('127.0.0.1', 0))
    listener.listen(1)
    print(listener.getsockname()[1], flush=True)
    connection, _ = listener.accept()
    connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    manager = serial.rfc2217.PortManager(port, Connection(connection))
    alive = [True]

    def to_client():
        while alive[0]:
            data = port.read(port.in_waiting or 1)
            if data:
                connection.sendall(b''.join(manager.escape(data)))
            manager.check_modem_lines()
            time.sleep(0.005)

    sender = threading.Thread(target=to_client, daemon=True)
    sender.start()
    while True:
        data = connection.recv(4096)
        if not data:
            break
        port.write(b''.join(manager.filter(data)))
    alive[0] = False
    sys.exit(0)


if __name__ == '__main__':
    main()
