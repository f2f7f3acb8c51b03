#!/usr/bin/python3
"""RecvMail against Dovecot's POP3 server (nobody here wrote it) on 127.0.0.1, and against scripted
servers that misbehave.

Dovecot runs over a fresh mbox per server; Python's poplib reads the same mailbox first, and what
RecvMail reports (STAT, LIST, UIDL, TOP with 0 lines, RETR of a 5 MB message as a Mail) must agree
with it. DELE really deletes: a second session sees the message gone. Also: APOP, a refused login,
no credentials, a negative reply, the handler stopping a transfer, a listing far over 511 bytes,
credentials holding CR LF, an empty message, bytes after the status line in one packet, message
numbers a server lies about, and an endless listing.

Usage: recvmail_pop3_test.py WORKDIR [--wine WINE_RUN --prefix PREFIX] RUNNER
"""
import email
import email.policy
import os
import poplib
import sys
from email.message import EmailMessage

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dovecot_server import dovecot_binary, start_dovecot  # noqa: E402
from mail_test_support import Runner, ScriptedServer, events_of, traced, run_cases, finish  # noqa: E402

failures = []
servers = []


# trace(null) prints "undefined" in this language: null results read as "undefined" below.


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def receiver(port, user="tim", password="tanstaaf", apop=False):
    creds = 'r.username = "%s"; r.password = "%s";' % (user, password) if user is not None else ""
    return ('var r = new RecvMail(); r.server = "127.0.0.1"; r.port = %d; r.onRecv = onEvent; r.timeout = 20000; %s %s\n'
            % (port, creds, "r.apop = true;" if apop else ""))


def main_mailbox(blob):
    first = (b"From: Ann <ann@x.org>\nTo: tim@x.org\nSubject: one\n\nbody one\n.\n..two dots\n"
             b".leading\nlast line\n")
    big = EmailMessage()
    big["From"] = "bob@x.org"
    big["To"] = "tim@x.org"
    big["Subject"] = "big"
    big.set_content("see the attachment")
    big.add_attachment(blob, maintype="application", subtype="octet-stream", filename="blob.bin")
    third = b"From: carl@x.org\nSubject: three\n\nthird\n"
    return [first, big.as_bytes().replace(b"\r\n", b"\n"), third]


def case_every_command(runner, blob):
    server, port = start_dovecot(runner.path("dovecot-main"), main_mailbox(blob))
    servers.append(server)
    pop = poplib.POP3("127.0.0.1", port, timeout=10)
    pop.user("tim")
    pop.pass_("tanstaaf")
    count, size = pop.stat()
    sizes = [int(l.split()[1]) for l in pop.list()[1]]
    uids = [l.split()[1].decode() for l in pop.uidl()[1]]
    top = b"\r\n".join(pop.top(1, 0)[1]) + b"\r\n"
    retr1 = b"\r\n".join(pop.retr(1)[1]) + b"\r\n"
    pop.quit()
    saved = runner.path("blob-received.bin")
    script = receiver(port) + r'''
trace("connect=" + r.connect());
trace("stat=" + r.stat());
var l = r.list(); trace("list=" + l.length + ":" + l.join(","));
trace("list2=" + r.list(2));
var u = r.uidl(); trace("uidl=" + u.join(","));
trace("uidl1=" + r.uidl(1));
trace("top=" + esc(r.top(1, 0)));
var m1 = r.retr(1);
trace("subject1=" + m1.subject); trace("from1=" + m1.from); trace("text1=" + esc(m1.text));
trace("full1=" + esc(m1.asText()));
var m2 = r.retr(2);
trace("subject2=" + m2.subject); trace("attachments2=" + m2.attachmentCount);
trace("name2=" + m2.getAttachmentName(0));
m2.saveAttachment(0, %s);
trace("retr99=" + r.retr(99));
trace("dele3=" + r.dele(3)); trace("rset=" + r.rset()); trace("dele1=" + r.dele(1));
trace("noop=" + r.noop()); trace("quit=" + r.quit());
trace("after-quit=" + r.noop());
r.close();
trace("closed=" + r.stat());
trace("connect2=" + r.connect()); trace("stat2=" + r.stat()); r.quit(); r.close();
''' % runner.script_path(saved)

    def verify(lines):
        check(traced(lines, "connect") == "true", "main: connect failed")
        check(traced(lines, "stat") == "%d %d" % (count, size), "main: stat %r, poplib %d %d" % (traced(lines, "stat"), count, size))
        check(traced(lines, "list") == "3:" + ",".join(map(str, sizes)), "main: list %r, poplib %r" % (traced(lines, "list"), sizes))
        check(traced(lines, "list2") == str(sizes[1]), "main: list(2) %r" % traced(lines, "list2"))
        check(traced(lines, "uidl") == ",".join(uids), "main: uidl %r, poplib %r" % (traced(lines, "uidl"), uids))
        check(traced(lines, "uidl1") == uids[0], "main: uidl(1) %r" % traced(lines, "uidl1"))
        got_top = (traced(lines, "top") or "").replace("\\r", "\r").replace("\\n", "\n")
        check(got_top == top.decode(), "main: top(1, 0) %r, poplib %r" % (got_top, top))
        check(traced(lines, "subject1") == "one" and traced(lines, "from1") == "Ann <ann@x.org>", "main: retr(1) fields")
        text1 = (traced(lines, "text1") or "").replace("\\r", "\r").replace("\\n", "\n")
        # The server stuffed these lines; one dot comes off, never two.
        check(text1.replace("\r\n", "\n").rstrip("\n") == "body one\n.\n..two dots\n.leading\nlast line",
              "main: retr(1) text %r" % text1)
        full1 = (traced(lines, "full1") or "").replace("\\r", "\r").replace("\\n", "\n")
        check(full1.encode("cp1252") == retr1, "main: retr(1) message %r, poplib %r" % (full1[:200], retr1[:200]))
        check(traced(lines, "subject2") == "big" and traced(lines, "attachments2") == "1", "main: retr(2) parts")
        check(traced(lines, "name2") == "blob.bin", "main: attachment name %r" % traced(lines, "name2"))
        check(os.path.exists(saved) and open(saved, "rb").read() == blob, "main: the 5 MB attachment differs")
        check(traced(lines, "retr99") == "undefined", "main: retr(99) gave %r" % traced(lines, "retr99"))
        negatives = [t for k, t in events_of(lines) if k == 1]
        check(len(negatives) == 1 and negatives[0].startswith("-ERR"), "main: negative replies %r (retr 99)" % negatives)
        check(any(k == 0 for k, _ in events_of(lines)), "main: no socket error for noop after the server closed")
        progress = [int(t) for k, t in events_of(lines) if k == 3]
        check(progress and max(progress) > 5 * 1024 * 1024 and progress == sorted(progress), "main: progress events")
        for key in ("dele3", "rset", "dele1", "noop", "quit"):
            check(traced(lines, key) == "true", "main: %s answered %r" % (key, traced(lines, key)))
        check(traced(lines, "after-quit") == "false", "main: a command after QUIT succeeded")
        check(traced(lines, "closed") == "undefined", "main: stat after close gave %r" % traced(lines, "closed"))
        check(traced(lines, "connect2") == "true" and (traced(lines, "stat2") or "").startswith("2 "),
              "main: after DELE 1 and QUIT, stat %r" % traced(lines, "stat2"))
    return script, verify


def case_logins_and_limits(runner):
    many = [b"From: n%d@x.org\nSubject: n%d\n\nbody %d\n" % (i, i, i) for i in range(150)]
    server, port = start_dovecot(runner.path("dovecot-logins"), many)
    servers.append(server)
    log = runner.path("dovecot-logins/dovecot.log")
    script = (receiver(port, apop=True) + r'''
trace("apop=" + r.connect()); trace("apop-stat=" + r.stat()); r.quit(); r.close();
''' + receiver(port, password="wrong") + r'''
trace("wrong=" + r.connect()); trace("wrong-stat=" + r.stat());
''' + receiver(port, user=None) + r'''
trace("anonymous=" + r.connect()); trace("anonymous-stat=" + r.stat()); r.close();
''' + receiver(port) + r'''
r.connect();
var l = r.list(); trace("long-list=" + l.length + ":" + l[149]);
var u = r.uidl(); trace("long-uidl=" + u.length);
stopAt = events + 1;
trace("stopped=" + r.retr(3));
trace("after-stop=" + r.stat());
''')

    def verify(lines):
        check(traced(lines, "apop") == "true", "logins: APOP connect failed")
        check((traced(lines, "apop-stat") or "").startswith("150 "), "logins: stat after APOP %r" % traced(lines, "apop-stat"))
        check("method=APOP" in open(log).read(), "logins: the server saw no APOP login")
        check(traced(lines, "wrong") == "false" and traced(lines, "wrong-stat") == "undefined",
              "logins: wrong password %r/%r" % (traced(lines, "wrong"), traced(lines, "wrong-stat")))
        check(traced(lines, "anonymous") == "true" and traced(lines, "anonymous-stat") == "undefined",
              "logins: without credentials %r/%r" % (traced(lines, "anonymous"), traced(lines, "anonymous-stat")))
        negatives = [t for k, t in events_of(lines) if k == 1]
        check(any(t.startswith("-ERR") for t in negatives), "logins: no negative reply reported")
        check((traced(lines, "long-list") or "").startswith("150:"), "logins: long listing %r" % traced(lines, "long-list"))
        check(traced(lines, "long-uidl") == "150", "logins: long uidl %r" % traced(lines, "long-uidl"))
        check(traced(lines, "stopped") == "undefined", "logins: a stopped retr gave %r" % traced(lines, "stopped"))
        check(traced(lines, "after-stop") == "undefined", "logins: the connection outlived a stopped transfer")
        text = "\n".join(lines)
        check("tanstaaf" not in text, "logins: the password shows in the output")
    return script, verify


def scripted_pop3(replies):
    """A POP3 server that logs in anyone and answers each verb from the table."""
    def answer(line):
        verb = line.split(b" ")[0].strip().upper()
        if verb in (b"USER", b"PASS", b"QUIT", b"NOOP"):
            return b"+OK\r\n"
        reply = replies.get(verb, b"-ERR unknown\r\n")
        return reply(line) if callable(reply) else reply
    server = ScriptedServer(b"+OK ready <1.2@test>\r\n", answer)
    servers.append(server)
    return server


def endless_listing(line):
    def pieces():
        yield b"+OK\r\n"
        while True:
            yield b"1 10\r\n" * 1000
    return pieces()


def case_scripted_servers(runner):
    odd = scripted_pop3({
        b"TOP": b"+OK\r\n.\r\n",                                                # an empty message
        b"RETR": b"+OK 20 octets\r\nSubject: packed\r\n\r\nbody\r\n..\r\n.\r\n",  # all in one packet
        b"LIST": b"+OK\r\n1 10\r\n999999999 5\r\n2 20\r\n3 -4\r\n.\r\n",           # numbers that lie
        b"UIDL": endless_listing,
    })
    injected = scripted_pop3({})
    script = receiver(odd.port) + r'''
r.connect();
trace("empty=[" + esc(r.top(1, 0)) + "]");
var m = r.retr(1); trace("packed=" + m.subject + "|" + esc(m.text));
var l = r.list(); trace("lying=" + l.length + ":" + l.join(","));
var before = new Date().getTime();
trace("endless=" + r.uidl());
trace("endless-ms=" + (new Date().getTime() - before));
''' + receiver(injected.port, user="tim\r\nDELE 1") + r'''
trace("injected=" + r.connect());
'''

    def verify(lines):
        check(traced(lines, "empty") == "[]", "scripted: an empty message gave %r" % traced(lines, "empty"))
        packed = (traced(lines, "packed") or "").replace("\\r", "\r").replace("\\n", "\n")
        check(packed.replace("\r\n", "\n").rstrip("\n") == "packed|body\n.", "scripted: bytes after the status line %r" % packed)
        check(traced(lines, "lying") == "2:10,20", "scripted: lying listing gave %r" % traced(lines, "lying"))
        check(traced(lines, "endless") == "undefined", "scripted: an endless listing gave %r" % traced(lines, "endless"))
        check(int(traced(lines, "endless-ms") or 99999) < 30000, "scripted: the endless listing took %s ms"
              % traced(lines, "endless-ms"))
        check(traced(lines, "injected") == "false", "scripted: credentials with CR LF were accepted")
        check(b"DELE" not in injected.received, "scripted: a command was injected: %r" % injected.received)
    return script, verify


def main():
    if not dovecot_binary():
        print("dovecot-pop3d is not installed")
        return 77
    if os.geteuid() != 0:
        print("dovecot needs root to start here")
        return 77
    runner = Runner(sys.argv[1:])
    blob = bytes((i * 151 + 3) % 256 for i in range(5 * 1024 * 1024))
    try:
        cases = [("main", lambda: case_every_command(runner, blob)),
                 ("logins", lambda: case_logins_and_limits(runner)),
                 ("scripted", lambda: case_scripted_servers(runner))]
        status = run_cases(runner, cases)
    finally:
        for server in servers:
            server.stop()
    return finish(runner, status, failures, "all RecvMail cases agree with the servers")


if __name__ == "__main__":
    sys.exit(main())
