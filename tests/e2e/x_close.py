"""Asks an X window to close, as a window manager's close button does: a WM_DELETE_WINDOW client
message. Speaks the X protocol directly (standard library only), since Xvfb runs no window
manager and xdotool's `windowclose` destroys the window instead.

Usage: x_close.py WINDOW_ID      (DISPLAY names the local display, e.g. ":91")
"""
import os
import socket
import struct
import sys


def pad(n):
    return (4 - n % 4) % 4


def read_exact(sock, n):
    data = b""
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            raise SystemExit("x_close: the X server closed the connection")
        data += chunk
    return data


def read_reply(sock):
    """The next reply; an error (first byte 0) ends the program."""
    head = read_exact(sock, 32)
    if head[0] == 0:
        raise SystemExit(f"x_close: X error {head[1]} for request {head[10]}")
    extra = struct.unpack("<I", head[4:8])[0] if head[0] == 1 else 0
    return head + read_exact(sock, extra * 4)


def connect(display):
    number = display.split(":", 1)[1].split(".")[0]
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.connect(f"/tmp/.X11-unix/X{number}")
    sock.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, 0, 0))
    head = read_exact(sock, 8)
    length = struct.unpack("<H", head[6:8])[0]
    body = read_exact(sock, length * 4)
    if head[0] != 1:
        raise SystemExit("x_close: connection refused: " + body[: head[1]].decode(errors="replace"))
    return sock


def intern_atom(sock, name):
    raw = name.encode()
    sock.sendall(struct.pack("<BBHHxx", 16, 0, 2 + (len(raw) + pad(len(raw))) // 4, len(raw)) +
                 raw + b"\0" * pad(len(raw)))
    return struct.unpack("<I", read_reply(sock)[8:12])[0]


def main():
    window = int(sys.argv[1], 0)
    sock = connect(os.environ["DISPLAY"])
    protocols = intern_atom(sock, "WM_PROTOCOLS")
    delete = intern_atom(sock, "WM_DELETE_WINDOW")
    # ClientMessage (33), format 32: data = WM_DELETE_WINDOW, CurrentTime.
    event = struct.pack("<BBHII5I", 33, 32, 0, window, protocols, delete, 0, 0, 0, 0)
    sock.sendall(struct.pack("<BBHII", 25, 0, 11, window, 0) + event)
    # GetInputFocus: its reply proves the event was sent (or its error reported).
    sock.sendall(struct.pack("<BxH", 43, 1))
    read_reply(sock)
    sock.close()


if __name__ == "__main__":
    main()
