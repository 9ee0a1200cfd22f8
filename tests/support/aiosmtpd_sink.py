#!/usr/bin/python3
"""An SMTP server no one here wrote (aiosmtpd), for end-to-end tests.

Listens on 127.0.0.1 on an ephemeral port, prints the port on its first
output line, and stores every message it accepts as DIR/N.eml (the content
as received, after the server's own end-of-data and dot handling) and
DIR/N.envelope (MAIL FROM, then one RCPT TO per line). Ends when its
standard input closes.
"""
import asyncio
import os
import socket
import sys

from aiosmtpd.controller import Controller


class StoreHandler:
    def __init__(self, directory):
        self.directory = directory
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.directory, str(self.count))
        with open(base + ".eml.part", "wb") as content:
            content.write(envelope.original_content or envelope.content)
        with open(base + ".envelope", "w", encoding="utf-8", errors="surrogateescape") as lines:
            lines.write("\n".join([envelope.mail_from] + list(envelope.rcpt_tos)) + "\n")
        os.rename(base + ".eml.part", base + ".eml")
        return "250 OK"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def main():
    directory = sys.argv[1]
    port = free_port()
    controller = Controller(StoreHandler(directory), hostname="127.0.0.1", port=port, decode_data=False)
    controller.start()
    print(port, flush=True)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
