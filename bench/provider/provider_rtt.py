#!/usr/bin/python3
"""Round trips of one turn to a mail provider 25 ms away, beside its peers.

A relay on 127.0.0.1 holds every piece of data 25 ms in each direction
(and the connection to the server 25 ms, as a TCP handshake would take)
before it passes it on to aiosmtpd (tests/support/aiosmtpd_sink.py) with
STARTTLS or TLS from the first byte, PIPELINING and AUTH. The plug-in
(through morv-host send), msmtp, curl and Python's smtplib each deliver one
turn with a login over `starttls` and over `tls`; the relay counts the round
trips from the bytes' timing (each burst of the server's bytes that the
client waited for) and the time from the connection to its end.

  provider_rtt.py BUILD_DIR
"""
import os
import queue
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

DELAY = 0.025
LOGIN, PASSWORD = "player@example.org", "xK9-turn-secret"
SENDER, RECIPIENT = "player@example.org", "server@example.org"
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SINK = os.path.join(SOURCE, "tests", "support", "aiosmtpd_sink.py")


class DelayedPipe(threading.Thread):
    """Passes what `source` sends to `target` DELAY seconds later, in order,
    noting when each piece arrived and from which side."""

    def __init__(self, source, target, side, log, lock):
        super().__init__(daemon=True)
        self.source, self.target, self.side, self.log, self.lock = source, target, side, log, lock
        self.pieces = queue.Queue()
        self.writer = threading.Thread(target=self.deliver, daemon=True)

    def run(self):
        self.writer.start()
        while True:
            try:
                data = self.source.recv(65536)
            except OSError:
                data = b""
            arrived = time.monotonic()
            with self.lock:
                self.log.append((arrived, self.side, len(data)))
            self.pieces.put((arrived + DELAY, data))
            if not data:
                self.writer.join()
                return

    def deliver(self):
        while True:
            due, data = self.pieces.get()
            time.sleep(max(0.0, due - time.monotonic()))
            try:
                if data:
                    self.target.sendall(data)
                else:
                    self.target.shutdown(socket.SHUT_WR)
            except OSError:
                pass
            if not data:
                return


class Relay:
    """One connection at a time, from its listening port to `server_port`."""

    def __init__(self, server_port):
        self.server_port = server_port
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]

    def measure(self, run_client):
        log, lock, pipes = [], threading.Lock(), []
        accepted = threading.Event()

        def serve():
            client, _ = self.listener.accept()
            start = time.monotonic()
            with lock:
                log.append((start, "open", 0))
            accepted.set()
            time.sleep(DELAY)
            server = socket.create_connection(("127.0.0.1", self.server_port))
            for sock in (client, server):
                sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            pipes.extend([DelayedPipe(client, server, "c", log, lock), DelayedPipe(server, client, "s", log, lock)])
            for pipe in pipes:
                pipe.start()

        threading.Thread(target=serve, daemon=True).start()
        ok = run_client(self.port)
        for pipe in pipes:
            pipe.join(5)
        return ok, RoundTrips(log), Duration(log)


def RoundTrips(log):
    """The server's bursts that came after the client had spoken: each one
    is a reply the client waited for, the greeting (or the TLS server's
    hello) included."""
    trips, client_spoke = 0, True
    for _, side, size in log:
        if size and side == "c":
            client_spoke = True
        elif size and side == "s" and client_spoke:
            trips += 1
            client_spoke = False
    return trips


def Duration(log):
    """From the connection to the client's end of stream, in ms."""
    start = log[0][0]
    end = max((t for t, side, size in log if side == "c" and size == 0), default=log[-1][0])
    return (end - start) * 1000


def Certificates(folder):
    def run(*arguments):
        subprocess.run(["openssl", *arguments], check=True, capture_output=True, cwd=folder)

    run("req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-days", "2",
        "-subj", "/CN=Bench CA", "-keyout", "ca.key", "-out", "ca.pem")
    run("req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-subj", "/CN=127.0.0.1",
        "-keyout", "server.key", "-out", "server.csr")
    with open(os.path.join(folder, "san.ext"), "w") as extensions:
        extensions.write("subjectAltName=IP:127.0.0.1\n")
    run("x509", "-req", "-days", "2", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
        "-CAcreateserial", "-extfile", "san.ext", "-out", "server.pem")


def StartSink(folder, security):
    store = os.path.join(folder, "mail-" + security)
    os.makedirs(store, exist_ok=True)
    sink = subprocess.Popen([SINK, store, "--cert", os.path.join(folder, "server.pem"),
                             "--key", os.path.join(folder, "server.key"), "--" + security,
                             "--login", LOGIN + ":" + PASSWORD, "--pipelining"],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    return sink, int(sink.stdout.readline())


def Message():
    return ("From: %s\r\nTo: %s\r\nSubject: Turn\r\n\r\nArmy 3 from A5 to B7, fleet 12 holds\r\n"
            % (SENDER, RECIPIENT))


def Run(arguments, **options):
    result = subprocess.run(arguments, capture_output=True, timeout=60, **options)
    if result.returncode != 0:
        print("  %s failed: %s" % (arguments[0], (result.stderr or result.stdout).decode()[-300:]), file=sys.stderr)
    return result.returncode == 0


class Clients:
    def __init__(self, folder, build):
        self.folder, self.build = folder, build
        self.ca = os.path.join(folder, "ca.pem")
        with open(os.path.join(folder, "netrc"), "w") as netrc:
            netrc.write("machine 127.0.0.1 login %s password %s\n" % (LOGIN, PASSWORD))
        os.chmod(os.path.join(folder, "netrc"), 0o600)
        with open(os.path.join(folder, "turn.eml"), "w") as message:
            message.write(Message())
        with open(os.path.join(folder, "turn.txt"), "w") as body:
            body.write("Army 3 from A5 to B7, fleet 12 holds\n")

    def plugin(self, security, port):
        host = os.path.join(self.build, "host", "morv-host")
        project = ["--project", os.path.join(self.folder, "project-%s.json" % security)]
        environment = dict(os.environ, MORV_NETRC=os.path.join(self.folder, "netrc"),
                           XDG_CONFIG_HOME=self.folder)
        configured = Run([host, *project, "config", "Bench", "ServerSMTP=127.0.0.1:%d" % port,
                          "Security=" + security, "Login=" + LOGIN, "TlsCaFile=" + self.ca, "From=" + SENDER,
                          "To=" + RECIPIENT, "Subject=Turn"], env=environment)
        return configured and Run([host, *project, "send", "--timeout", "30", "Bench",
                                   os.path.join(self.folder, "turn.txt")], env=environment)

    def msmtp(self, security, port):
        return Run(["msmtp", "--host=127.0.0.1", "--port=%d" % port, "--tls=on",
                    "--tls-starttls=" + ("on" if security == "starttls" else "off"), "--tls-trust-file=" + self.ca,
                    "--auth=plain", "--user=" + LOGIN, "--passwordeval=echo " + PASSWORD, "--from=" + SENDER,
                    RECIPIENT], input=Message().encode())

    def curl(self, security, port):
        scheme = "smtp" if security == "starttls" else "smtps"
        return Run(["curl", "-sS", "--url", "%s://127.0.0.1:%d" % (scheme, port), "--ssl-reqd", "--cacert", self.ca,
                    "--user", LOGIN + ":" + PASSWORD, "--mail-from", SENDER, "--mail-rcpt", RECIPIENT,
                    "--upload-file", os.path.join(self.folder, "turn.eml")])

    def smtplib(self, security, port):
        script = ("import smtplib, ssl, sys\n"
                  "context = ssl.create_default_context(cafile=sys.argv[2])\n"
                  "if sys.argv[1] == 'starttls':\n"
                  "    client = smtplib.SMTP('127.0.0.1', int(sys.argv[3])); client.starttls(context=context)\n"
                  "else:\n"
                  "    client = smtplib.SMTP_SSL('127.0.0.1', int(sys.argv[3]), context=context)\n"
                  "client.login(sys.argv[4], sys.argv[5])\n"
                  "client.sendmail(sys.argv[6], [sys.argv[7]], sys.stdin.read())\n"
                  "client.quit()\n")
        return Run([sys.executable, "-c", script, security, self.ca, str(port), LOGIN, PASSWORD, SENDER, RECIPIENT],
                   input=Message().encode())


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-bench")
    folder = tempfile.mkdtemp(prefix="morv-bench-rtt-")
    try:
        Certificates(folder)
        clients = Clients(folder, build)
        peers = [("morvtransport", clients.plugin), ("msmtp", clients.msmtp), ("curl", clients.curl),
                 ("python smtplib", clients.smtplib)]
        print("One turn with a login, 25 ms each way (round trips counted by the relay; time from connect to close)")
        print("%-16s %-9s %11s %9s" % ("client", "security", "round trips", "ms"))
        for security in ("starttls", "tls"):
            sink, port = StartSink(folder, security)
            relay = Relay(port)
            try:
                for name, client in peers:
                    if name != "morvtransport" and not shutil.which(name.split()[0]) and name != "python smtplib":
                        print("%-16s %-9s %11s" % (name, security, "not installed"))
                        continue
                    ok, trips, duration = relay.measure(lambda p, c=client, s=security: c(s, p))
                    print("%-16s %-9s %11s %9.0f" % (name, security, trips if ok else "failed", duration),
                          flush=True)
            finally:
                sink.stdin.close()
                sink.wait(10)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
