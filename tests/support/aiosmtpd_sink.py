#!/usr/bin/python3
"""An SMTP server no one here wrote (aiosmtpd), for end-to-end tests.

Listens on 127.0.0.1 on an ephemeral port, prints the port on its first
output line, and stores every message it accepts as DIR/N.eml (the content
as received, after the server's own end-of-data and dot handling) and
DIR/N.envelope (MAIL FROM, then one RCPT TO per line). DIR/commands.log
gets a line per EHLO ("EHLO tls" or "EHLO clear") and per MAIL. Ends when
its standard input closes. A MAIL line names the parameters that came with
MAIL FROM, without the value of SIZE ("MAIL SIZE BODY=8BITMIME").

  --cert PEM --key PEM     the server's certificate and key, for:
  --starttls               offering STARTTLS and requiring it before MAIL
  --tls                    TLS from the first byte
  --login USER:PASSWORD    requiring that login (AUTH PLAIN and LOGIN)
  --no-plain               offering AUTH LOGIN only
  --pipelining             offering PIPELINING (aiosmtpd reads commands in
                           order whether it offers it or not)
"""
import argparse
import asyncio
import os
import socket
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class StoreHandler:
    def __init__(self, directory, pipelining=False):
        self.directory = directory
        self.pipelining = pipelining
        self.count = 0

    def log(self, line):
        with open(os.path.join(self.directory, "commands.log"), "a") as log:
            log.write(line + "\n")

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        session.host_name = hostname
        secure = server.transport.get_extra_info("ssl_object") is not None
        self.log("EHLO tls" if secure else "EHLO clear")
        if self.pipelining:
            responses.insert(1, "250-PIPELINING")
        return responses

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        self.log(" ".join(["MAIL"] + [option.split("=")[0] if option.startswith("SIZE=") else option
                                      for option in mail_options]))
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.directory, str(self.count))
        with open(base + ".eml.part", "wb") as content:
            content.write(envelope.original_content or envelope.content)
        with open(base + ".envelope", "w", encoding="utf-8", errors="surrogateescape") as lines:
            lines.write("\n".join([envelope.mail_from] + list(envelope.rcpt_tos)) + "\n")
        os.rename(base + ".eml.part", base + ".eml")
        return "250 OK"


class Authenticator:
    def __init__(self, login):
        self.user, self.password = login.encode().split(b":", 1)

    def __call__(self, server, session, envelope, mechanism, auth_data):
        valid = isinstance(auth_data, LoginPassword) and \
            (auth_data.login, auth_data.password) == (self.user, self.password)
        return AuthResult(success=valid, handled=False)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_controller(arguments, attempts=5):
    """A started controller and its port. The port is free when probed but
    another test may take it before the controller binds it: try again."""
    for attempt in range(attempts):
        port = free_port()
        controller = Controller(StoreHandler(arguments.directory, arguments.pipelining), hostname="127.0.0.1", port=port,
                                **server_options(arguments))
        try:
            controller.start()
            return controller, port
        except (OSError, RuntimeError):
            if attempt + 1 == attempts:
                raise


def server_options(arguments):
    options = {"decode_data": False, "server_hostname": "mx.test"}
    context = None
    if arguments.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(arguments.cert, arguments.key)
    if arguments.tls:
        options.update(ssl_context=context, auth_require_tls=False)
    if arguments.starttls:
        options.update(tls_context=context, require_starttls=True)
    if arguments.login:
        options.update(authenticator=Authenticator(arguments.login), auth_required=True)
    if arguments.no_plain:
        options.update(auth_exclude_mechanism=["PLAIN"])
    return options


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("directory")
    for flag in ("--cert", "--key", "--login"):
        parser.add_argument(flag)
    for flag in ("--starttls", "--tls", "--no-plain", "--pipelining"):
        parser.add_argument(flag, action="store_true")
    arguments = parser.parse_args()
    # Under Wine both are one socket, handed over non-blocking.
    os.set_blocking(0, True)
    os.set_blocking(1, True)
    controller, port = start_controller(arguments)
    print(port, flush=True)
    try:
        sys.stdin.read()
    except OSError:
        pass
    controller.stop()


if __name__ == "__main__":
    main()
