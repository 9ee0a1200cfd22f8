#!/usr/bin/python3
"""The TLS test server of the Windows build's tests, which run under Wine
where no TLS server library is at hand: Python's ssl (OpenSSL) on the
Linux side, for one connection on 127.0.0.1 (see ../tls_test_server.h).

  tls_reply_server.py complete CERT KEY   completes the handshake, writes
                                          the first reply in one record,
                                          then answers each read with the
                                          next reply, after its pause
  tls_reply_server.py tls11 CERT KEY      the same, speaking nothing newer
                                          than TLS 1.1
  tls_reply_server.py never               takes the connection and never
                                          answers; prints "hello" when the
                                          client's first bytes come

Standard input gives the replies, each as one line "PAUSE HEX" (the pause
in ms, the reply's bytes in hex), then an empty line; the server prints its
port on its first output line. A line "stop" on standard input ends a
pause at once and sends no further reply; the server then reads on until
the client closes and prints each read as "read HEX", then "end". It ends
at once when its standard input closes.
"""
import os
import select
import socket
import ssl
import sys


class Control:
    """Standard input, read without a buffer so that select sees it all."""

    def __init__(self):
        self.pending = b""
        self.closed = False

    def receive(self):
        chunk = os.read(0, 4096)
        self.pending += chunk
        self.closed = self.closed or not chunk

    def line(self):
        while b"\n" not in self.pending and not self.closed:
            self.receive()
        line, _, self.pending = self.pending.partition(b"\n")
        return line.decode().strip()

    def stopped(self):
        return self.closed or b"stop\n" in self.pending


def read_replies(control):
    replies = []
    while line := control.line():
        pause, _, text = line.partition(" ")
        replies.append((int(pause) / 1000, bytes.fromhex(text)))
    return replies


def readable(control, sock):
    """Waits for the client's bytes: False once the control has closed."""
    while not control.closed:
        if isinstance(sock, ssl.SSLSocket) and sock.pending():
            return True
        if sock in select.select([0, sock], [], [])[0]:
            return True
        control.receive()
    return False


def paused(control, seconds):
    """Pauses; True when the control stopped the server meanwhile."""
    if seconds and not control.stopped() and select.select([0], [], [], seconds)[0]:
        control.receive()
    return control.stopped()


def read_some(control, sock, reads):
    """One read (one TLS record); False once the client has closed."""
    data = sock.recv(4096) if readable(control, sock) else b""
    if data:
        reads.append(data)
    return bool(data)


def context_for(mode, certificate, key):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    if mode == "tls11":
        context.minimum_version = ssl.TLSVersion.TLSv1
        context.maximum_version = ssl.TLSVersion.TLSv1_1
        context.set_ciphers("AES128-SHA:@SECLEVEL=0")
    return context


def converse(control, connection, context, replies, reads):
    tls = context.wrap_socket(connection, server_side=True)
    for index, (pause, reply) in enumerate(replies):
        if index > 0 and not read_some(control, tls, reads):
            return
        if paused(control, pause):
            break
        tls.sendall(reply)
    while read_some(control, tls, reads):
        pass


def never_answer(control, connection):
    if connection.recv(512):
        print("hello", flush=True)
    while readable(control, connection) and connection.recv(512):
        pass


def report(control, reads):
    while not control.stopped():
        control.receive()
    if control.closed:
        return
    for data in reads:
        print("read", data.hex(), flush=True)
    print("end", flush=True)


def main():
    # Wine hands the socket over non-blocking.
    os.set_blocking(0, True)
    os.set_blocking(1, True)
    control = Control()
    mode = sys.argv[1]
    replies = read_replies(control)
    listener = socket.create_server(("127.0.0.1", 0))
    print(listener.getsockname()[1], flush=True)
    reads = []
    if readable(control, listener):
        connection, _ = listener.accept()
        try:
            if mode == "never":
                never_answer(control, connection)
            else:
                converse(control, connection, context_for(mode, sys.argv[2], sys.argv[3]), replies, reads)
        except OSError:
            pass
        connection.close()
    try:
        report(control, reads)
    except OSError:
        pass


if __name__ == "__main__":
    main()
