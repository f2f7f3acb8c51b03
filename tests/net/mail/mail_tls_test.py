#!/usr/bin/python3
"""SendMail and RecvMail in their secure modes against servers nobody here wrote, on 127.0.0.1.

A certificate is made for the test with openssl (self-signed, CN=localhost). aiosmtpd speaks TLS
from the first byte and, in a second server, requires STARTTLS; Dovecot offers STLS on its plain
port and TLS from the first byte on a second port. Through each: a message arrives (SMTP) or is
fetched (POP3) byte for byte. The system's check refuses the self-signed certificate with its error
text; its SHA-256 or SHA-1 fingerprint named in trustedCertificate accepts it; a wrong fingerprint
refuses it. STARTTLS / STLS asked of a server that does not offer it fails, and nothing else is sent.
Closing a secure connection sends the close alert.

Usage: mail_tls_test.py WORKDIR [--wine WINE_RUN --prefix PREFIX] RUNNER
"""
import base64
import os
import poplib
import ssl
import socket
import subprocess
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dovecot_server import dovecot_binary, start_dovecot  # noqa: E402
from mail_test_support import Runner, Server, ScriptedServer, events_of, traced, run_cases, finish  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
NOT_TRUSTED = "the server's certificate is not trusted"
NOT_NAMED = "the server's certificate is not the one named by trustedCertificate"
NO_STARTTLS = "the server does not offer STARTTLS"
NO_STLS = "the server does not offer STLS"
CANNOT_CONNECT = "can't connect to the smtp server"
SECRETS = ["tanstaaf", base64.b64encode(b"\0tim\0tanstaaf").decode()]
failures = []
servers = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def make_certificate(runner):
    cert, key = runner.path("cert.pem"), runner.path("key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost",
                    "-days", "2", "-keyout", key, "-out", cert], check=True, capture_output=True, timeout=30)
    os.chmod(key, 0o644)  # Dovecot's login processes run as nobody

    def fingerprint(digest):
        out = subprocess.run(["openssl", "x509", "-noout", "-fingerprint", "-" + digest, "-in", cert],
                             check=True, capture_output=True, text=True).stdout
        return out.strip().split("=", 1)[1]  # "AB:CD:..." as a user copies it
    return cert, key, fingerprint("sha256"), fingerprint("sha1")


def wrong(fingerprint):
    first = "0" if fingerprint[0] != "0" else "1"
    return first + fingerprint[1:]


def smtp_server(runner, name, *options):
    outdir = runner.path(name)
    os.makedirs(outdir)
    server = Server(["/usr/bin/python3", os.path.join(HERE, "smtp_server.py"), outdir] + list(options),
                    lambda: os.path.exists(os.path.join(outdir, "port")))
    servers.append(server)
    return outdir, int(open(os.path.join(outdir, "port")).read())


def arrived(outdir, n=1):
    path = os.path.join(outdir, "%d.eml" % n)
    return open(path, "rb").read() if os.path.exists(path) else None


def sender(port, security, trusted=None):
    trust = 'm_s.trustedCertificate = "%s";' % trusted if trusted else ""
    return ('var m_s = new SendMail(); m_s.server = "127.0.0.1"; m_s.port = %d; m_s.onSend = onEvent;'
            ' m_s.timeout = 15000; m_s.username = "tim"; m_s.password = "tanstaaf";'
            ' m_s.security = "%s"; %s\n' % (port, security, trust))


def receiver(port, security, trusted=None):
    trust = 'r.trustedCertificate = "%s";' % trusted if trusted else ""
    return ('var r = new RecvMail(); r.server = "127.0.0.1"; r.port = %d; r.onRecv = onEvent; r.timeout = 15000;'
            ' r.username = "tim"; r.password = "tanstaaf"; r.security = "%s"; %s\n' % (port, security, trust))


def errors_of(lines):
    return [t for k, t in events_of(lines) if k == 0]


def commands_of(lines):
    return [t for k, t in events_of(lines) if k == 2]


def unescape(text):
    return (text or "").replace("\\r", "\r").replace("\\n", "\n")


# --- SMTP

def case_smtp_arrives(runner, name, security, tls_mode, trusted):
    outdir, port = smtp_server(runner, name, "--tls", tls_mode, "--cert", runner.cert, "--key", runner.key)
    blob_path = runner.path(name + "-blob.bin")
    open(blob_path, "wb").write(bytes((i * 131 + 7) % 256 for i in range(300 * 1024)))
    saved = runner.path(name + "-sent.eml")
    script = sender(port, security, trusted) + r'''
var m = new Mail();
m.from = "ann@x.org"; m.to = "bob@x.org"; m.subject = "over TLS";
m.text = "first\r\n.\r\n..two dots\r\nna" + String.fromCharCode(239) + "ve\r\nlast";
m.addAttachment(%s);
trace("sent=" + m_s.send(m));
m.save(%s);
''' % (runner.script_path(blob_path), runner.script_path(saved))

    def verify(lines):
        check(traced(lines, "sent") == "true", "%s: send answered %s, errors %r" % (name, traced(lines, "sent"), errors_of(lines)))
        data = arrived(outdir)
        check(data is not None and data == open(saved, "rb").read(), "%s: the data differs from the message as saved" % name)
        commands = commands_of(lines)
        check(("STARTTLS\r\n" in commands) == (tls_mode == "starttls"), "%s: commands %r" % (name, commands))
        if tls_mode == "starttls":
            ehlos = [c for c in commands if c.startswith("EHLO ")]
            check(len(ehlos) == 2 and commands.index("STARTTLS\r\n") == 1, "%s: EHLO, STARTTLS, EHLO: %r" % (name, commands))
        check("QUIT\r\n" in commands, "%s: no QUIT" % name)
        text = "\n".join(lines)
        for secret in SECRETS:
            check(secret not in text, "%s: a credential shows in the output" % name)
    return script, verify


def case_smtp_refused(runner, name, trusted, reason):
    outdir, port = smtp_server(runner, name, "--tls", "implicit", "--cert", runner.cert, "--key", runner.key)
    script = sender(port, "tls", trusted) + r'''
var m = new Mail(); m.from = "ann@x.org"; m.to = "bob@x.org"; m.text = "never sent";
trace("sent=" + m_s.send(m));
'''

    def verify(lines):
        check(traced(lines, "sent") == "false", "%s: send answered %s" % (name, traced(lines, "sent")))
        errors = errors_of(lines)
        check(len(errors) == 2 and errors[0].startswith(reason) and errors[1] == CANNOT_CONNECT,
              "%s: errors %r" % (name, errors))
        check(commands_of(lines) == [], "%s: commands were sent: %r" % (name, commands_of(lines)))
        check(arrived(outdir) is None, "%s: a message arrived" % name)
    return script, verify


def case_starttls_not_offered(runner):
    server = ScriptedServer(b"220 plain.test ESMTP\r\n",
                            lambda line: b"250-plain.test\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n" if line.startswith(b"EHLO")
                            else b"250 ok\r\n")
    servers.append(server)
    script = sender(server.port, "starttls") + r'''
var m = new Mail(); m.from = "ann@x.org"; m.to = "bob@x.org"; m.text = "never in the clear";
trace("sent=" + m_s.send(m));
'''

    def verify(lines):
        check(traced(lines, "sent") == "false", "no-starttls: send answered %s" % traced(lines, "sent"))
        check(NO_STARTTLS in errors_of(lines), "no-starttls: errors %r" % errors_of(lines))
        received = server.received.decode("latin-1")
        check(received.startswith("EHLO ") and received.count("\r\n") == 1,
              "no-starttls: the server received %r" % received)
    return script, verify


def case_command_connection(runner):
    _, port = smtp_server(runner, "raw", "--tls", "implicit", "--cert", runner.cert, "--key", runner.key)
    script = sender(port, "tls", runner.sha256) + r'''
trace("connect=" + m_s.connect());
trace("greeting=" + esc(m_s.command("")));
trace("ehlo=" + esc(m_s.command("EHLO me\r\n")));
trace("quit=" + esc(m_s.command("QUIT\r\n")));
m_s.close();
m_s.security = "starttls";
trace("connect-starttls=" + m_s.connect());
'''

    def verify(lines):
        check(traced(lines, "connect") == "true", "raw: connect answered %s" % traced(lines, "connect"))
        check(unescape(traced(lines, "greeting")).startswith("220 "), "raw: greeting %r" % traced(lines, "greeting"))
        check(unescape(traced(lines, "ehlo")).startswith("250-"), "raw: EHLO reply %r" % traced(lines, "ehlo"))
        check(unescape(traced(lines, "quit")).startswith("221"), "raw: QUIT reply %r" % traced(lines, "quit"))
        check(traced(lines, "connect-starttls") == "false", "raw: connect with starttls answered true")
    return script, verify


class ClosingPeer:
    """A TLS server in a thread that greets, answers QUIT and records how the client left: with a
    close alert (clean) or by dropping the connection."""

    def __init__(self, cert, key):
        self.context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        self.context.load_cert_chain(cert, key)
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.listener.settimeout(60)
        self.port = self.listener.getsockname()[1]
        self.ending = None
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        try:
            conn, _ = self.listener.accept()
            conn.settimeout(30)
            tls = self.context.wrap_socket(conn, server_side=True, suppress_ragged_eofs=False)
            tls.sendall(b"220 closing.test\r\n")
            pending = b""
            while b"QUIT\r\n" not in pending:
                data = tls.recv(4096)
                if not data:
                    break
                pending += data
            tls.sendall(b"221 bye\r\n")
            self.ending = "clean" if tls.recv(4096) == b"" else "more data"
        except ssl.SSLEOFError:
            self.ending = "dropped"
        except OSError as e:
            self.ending = "error %r" % e

    def stop(self):
        self.thread.join(5)
        self.listener.close()


def case_close_alert(runner):
    peer = ClosingPeer(runner.cert, runner.key)
    servers.append(peer)
    script = sender(peer.port, "tls", runner.sha256) + r'''
trace("connect=" + m_s.connect());
m_s.command("");
trace("quit=" + esc(m_s.command("QUIT\r\n")));
m_s.close();
'''

    def verify(lines):
        check(traced(lines, "connect") == "true", "close: connect answered %s" % traced(lines, "connect"))
        peer.thread.join(5)
        check(peer.ending == "clean", "close: the client left the TLS session %s" % peer.ending)
    return script, verify


# --- POP3

def mailbox():
    first = b"From: Ann <ann@x.org>\nTo: tim@x.org\nSubject: one\n\nbody one\n.\n..two dots\nlast line\n"
    big = b"From: bob@x.org\nSubject: big\n\n" + b"".join(b"line %06d of the big one\n" % i for i in range(40000))
    return [first, big]


def poplib_messages(port, context):
    pop = poplib.POP3_SSL("127.0.0.1", port, context=context, timeout=10)
    pop.user("tim")
    pop.pass_("tanstaaf")
    stat = "%d %d" % pop.stat()
    messages = [b"\r\n".join(pop.retr(n)[1]) + b"\r\n" for n in (1, 2)]
    pop.quit()
    return stat, messages


def case_pop3_fetches(runner, name, security, trusted, secure_port, plain_port, expected):
    stat, messages = expected
    port = secure_port if security == "tls" else plain_port
    script = receiver(port, security, trusted) + r'''
trace("connect=" + r.connect());
trace("stat=" + r.stat());
trace("retr1=" + esc(r.retr(1).asText()));
trace("retr2=" + esc(r.retr(2).asText()));
trace("quit=" + r.quit());
r.close();
'''

    def verify(lines):
        check(traced(lines, "connect") == "true", "%s: connect answered %s, errors %r" % (name, traced(lines, "connect"), errors_of(lines)))
        check(traced(lines, "stat") == stat, "%s: stat %r, poplib %r" % (name, traced(lines, "stat"), stat))
        for n in (1, 2):
            got = unescape(traced(lines, "retr%d" % n)).encode("cp1252")
            check(got == messages[n - 1], "%s: retr(%d) %d bytes, poplib %d" % (name, n, len(got), len(messages[n - 1])))
        check(traced(lines, "quit") == "true", "%s: quit answered %s" % (name, traced(lines, "quit")))
        check("tanstaaf" not in "\n".join(lines), "%s: the password shows in the output" % name)
    return script, verify


def case_pop3_refused(runner, name, security, trusted, port, reason):
    script = receiver(port, security, trusted) + r'''
trace("connect=" + r.connect());
trace("stat=" + r.stat());
'''

    def verify(lines):
        check(traced(lines, "connect") == "false", "%s: connect answered %s" % (name, traced(lines, "connect")))
        check(traced(lines, "stat") == "undefined", "%s: stat after a refused connect %r" % (name, traced(lines, "stat")))
        check(any(e.startswith(reason) for e in errors_of(lines)), "%s: errors %r" % (name, errors_of(lines)))
    return script, verify


def case_stls_not_offered(runner):
    server = ScriptedServer(b"+OK plain pop3\r\n", lambda line: b"-ERR unknown command\r\n")
    servers.append(server)
    script = receiver(server.port, "starttls") + r'''
trace("connect=" + r.connect());
'''

    def verify(lines):
        check(traced(lines, "connect") == "false", "no-stls: connect answered %s" % traced(lines, "connect"))
        check(NO_STLS in errors_of(lines), "no-stls: errors %r" % errors_of(lines))
        check(server.received == b"STLS\r\n", "no-stls: the server received %r" % server.received)
    return script, verify



def main():
    if not os.path.exists("/usr/lib/python3/dist-packages/aiosmtpd") or not dovecot_binary():
        print("python3-aiosmtpd or dovecot-pop3d is not installed")
        return 77
    runner = Runner(sys.argv[1:])
    r = runner
    r.cert, r.key, r.sha256, r.sha1 = make_certificate(runner)
    try:
        dovecot, plain_port = start_dovecot(runner.path("dovecot"), mailbox(), tls=(r.cert, r.key))
        servers.append(dovecot)
        context = ssl.create_default_context(cafile=r.cert)
        context.check_hostname = False
        expected = poplib_messages(dovecot.secure_port, context)
        secure_port = dovecot.secure_port
        status = run_cases(runner, [
            ("smtps", lambda: case_smtp_arrives(r, "smtps", "tls", "implicit", r.sha256)),
            ("starttls", lambda: case_smtp_arrives(r, "starttls", "starttls", "starttls", r.sha1.lower())),
            ("smtp-untrusted", lambda: case_smtp_refused(r, "smtp-untrusted", None, NOT_TRUSTED)),
            ("smtp-wrong", lambda: case_smtp_refused(r, "smtp-wrong", wrong(r.sha256), NOT_NAMED)),
            ("no-starttls", lambda: case_starttls_not_offered(r)),
            ("raw", lambda: case_command_connection(r)),
            ("close", lambda: case_close_alert(r)),
            ("pop3s", lambda: case_pop3_fetches(r, "pop3s", "tls", r.sha256, secure_port, plain_port, expected)),
            ("stls", lambda: case_pop3_fetches(r, "stls", "starttls", r.sha1, secure_port, plain_port, expected)),
            ("pop3-untrusted", lambda: case_pop3_refused(r, "pop3-untrusted", "tls", None, secure_port, NOT_TRUSTED)),
            ("pop3-wrong", lambda: case_pop3_refused(r, "pop3-wrong", "starttls", wrong(r.sha1), plain_port, NOT_NAMED)),
            ("no-stls", lambda: case_stls_not_offered(r)),
        ], settle=0.3)
        log = open(runner.path("dovecot/dovecot.log")).read()
        logins = [l for l in log.split("\n") if "Login: user=<tim>" in l]
        check(len(logins) >= 3 and all(", TLS" in l for l in logins), "dovecot: logins not all secured: %r" % logins)
    finally:
        for server in servers:
            server.stop()
    return finish(runner, status, failures, "every secure-mode case agrees with the servers")


if __name__ == "__main__":
    sys.exit(main())
