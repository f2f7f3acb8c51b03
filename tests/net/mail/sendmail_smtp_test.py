#!/usr/bin/python3
"""SendMail against aiosmtpd, an SMTP server nobody here wrote, on 127.0.0.1.

Each case starts its own servers (tests/net/mail/smtp_server.py, or a scripted misbehaving one)
and adds its part to a script; the parts run in few runner starts (each Wine start costs seconds).
The checks read what each server received: the message byte for byte (dot-stuffed lines, 8-bit
text, a 5 MB attachment), the envelope (Cc and Bcc addressed, Bcc not in the data), the login
mechanism the client chose, refusals (wrong password, oversize at MAIL and at DATA, an unknown
command, EHLO refused), the progress events (no credentials in them), and servers that misbehave
(a reply that never ends, an endless reply, a close in mid-line) ending the call within its time-out.

Usage: sendmail_smtp_test.py WORKDIR [--wine WINE_RUN --prefix PREFIX] RUNNER
"""
import base64
import email
import email.policy
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from mail_test_support import Runner, Server, ScriptedServer, events_of, traced, run_cases, finish  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SECRETS = ["tanstaaf", base64.b64encode(b"tanstaaf").decode(), base64.b64encode(b"\0tim\0tanstaaf").decode()]
failures = []
servers = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def smtp_server(runner, name, *options):
    outdir = runner.path(name)
    os.makedirs(outdir)
    server = Server(["/usr/bin/python3", os.path.join(HERE, "smtp_server.py"), outdir] + list(options),
                    lambda: os.path.exists(os.path.join(outdir, "port")))
    servers.append(server)
    return outdir, int(open(os.path.join(outdir, "port")).read())


def received(outdir, n):
    base = os.path.join(outdir, str(n))
    if not os.path.exists(base + ".json"):
        return None, None
    return json.load(open(base + ".json")), open(base + ".eml", "rb").read()


def auth_log(outdir):
    path = os.path.join(outdir, "auth.log")
    return open(path).read().split("\n") if os.path.exists(path) else []


def sender(port, user="tim", password="tanstaaf"):
    creds = 'm_s.username = "%s"; m_s.password = "%s";' % (user, password) if user else ""
    return ('var m_s = new SendMail(); m_s.server = "127.0.0.1"; m_s.port = %d; m_s.onSend = onEvent; %s\n'
            % (port, creds))


def no_secrets(lines, case):
    text = "\n".join(lines)
    for secret in SECRETS:
        check(secret not in text, "%s: a credential (%s) shows in the output" % (case, secret))


def commands_of(lines):
    return [t for k, t in events_of(lines) if k == 2]


def replies_of(lines):
    return [t for k, t in events_of(lines) if k == 1]


# --- cases: each answers its script part and a check of its section's lines

def case_message_arrives_byte_exact(runner):
    outdir, port = smtp_server(runner, "exact")
    blob = bytes((i * 131 + 7) % 256 for i in range(5 * 1024 * 1024))
    blob_path = runner.path("blob.bin")
    open(blob_path, "wb").write(blob)
    saved = runner.path("sent.eml")
    script = sender(port) + r'''
var m = new Mail();
m.from = "Ann Lee <ann@x.org>";
m.to = "bob@x.org, Carl <carl@x.org>";
m.cc = "dee@x.org";
m.subject = "Caf" + String.fromCharCode(233) + " report";
m.text = "first\r\n.\r\n..two dots\r\n.leading\r\nna" + String.fromCharCode(239) + "ve 8-bit\r\nlast";
m.addAttachment(%s);
var ok = m_s.send(m);
trace("sent=" + ok);
m.save(%s);
''' % (runner.script_path(blob_path), runner.script_path(saved))

    def verify(lines):
        check(traced(lines, "sent") == "true", "exact: send answered %s" % traced(lines, "sent"))
        envelope, data = received(outdir, 1)
        check(envelope is not None, "exact: nothing arrived")
        if envelope is None:
            return
        check(envelope["from"] == "ann@x.org", "exact: MAIL FROM was %r" % envelope["from"])
        check(envelope["to"] == ["bob@x.org", "carl@x.org", "dee@x.org"], "exact: RCPT TO were %r" % envelope["to"])
        check(envelope["auth"] == "CRAM-MD5" and envelope["authenticated"], "exact: logged in with %r" % envelope["auth"])
        check(any(o.startswith("SIZE=") for o in envelope["mail_options"]), "exact: no SIZE= on MAIL FROM")
        check(data == open(saved, "rb").read(), "exact: the data differs from the message as saved")
        parsed = email.message_from_bytes(data, policy=email.policy.default)
        body = parsed.get_body(("plain",)).get_content().replace("\r\n", "\n").rstrip("\n")
        check(body == "first\n.\n..two dots\n.leading\nna\u00efve 8-bit\nlast", "exact: the text arrived as %r" % body)
        attachments = list(parsed.iter_attachments())
        check(len(attachments) == 1 and attachments[0].get_content() == blob, "exact: the 5 MB attachment differs")
        check(str(parsed["Subject"]) == "Caf\u00e9 report", "exact: subject %r" % str(parsed["Subject"]))
        data_events = [int(t) for k, t in events_of(lines) if k == 3]
        check(data_events and data_events[-1] == 0, "exact: no final data event of 0")
        stuffed = data.replace(b"\r\n.", b"\r\n..")
        check(sum(data_events) == len(stuffed), "exact: data events add up to %d, not %d" % (sum(data_events), len(stuffed)))
        commands = commands_of(lines)
        check("DATA\r\n" in commands and ".\r\n" in commands and "QUIT\r\n" in commands, "exact: commands %r" % commands)
        no_secrets(lines, "exact")
    return script, verify


def case_bcc_addressed_not_shown(runner):
    outdir, port = smtp_server(runner, "bcc")
    script = sender(port, user=None) + r'''
var m = new Mail();
m.from = "ann@x.org";
m.to = "\"Lee, Bob\" <bob@x.org>";
m.bcc = "hidden@x.org";
m.text = "hello";
trace("sent=" + m_s.send(m));
'''

    def verify(lines):
        envelope, data = received(outdir, 1)
        check(traced(lines, "sent") == "true" and envelope is not None, "bcc: not delivered")
        if envelope:
            check(envelope["to"] == ["bob@x.org", "hidden@x.org"], "bcc: RCPT TO were %r" % envelope["to"])
            check(b"hidden@x.org" not in data and b"\nBcc" not in data and b"\nBCC" not in data, "bcc: Bcc is in the data")
            check(not envelope["authenticated"], "bcc: logged in without credentials")
        check(not any(c.startswith("AUTH") for c in commands_of(lines)), "bcc: AUTH without credentials")
    return script, verify


def case_mechanism_choice(runner, offered, expected):
    outdir, port = smtp_server(runner, "mech-" + expected, "--mechanisms", offered)
    script = sender(port) + r'''
var m = new Mail(); m.from = "ann@x.org"; m.to = "bob@x.org"; m.text = "x";
trace("sent=" + m_s.send(m));
'''

    def verify(lines):
        envelope, _ = received(outdir, 1)
        check(traced(lines, "sent") == "true", "mechanism %s: send failed" % expected)
        check(envelope is not None and envelope["auth"] == expected,
              "mechanism: offered %s, used %r" % (offered, envelope and envelope["auth"]))
        no_secrets(lines, "mechanism " + expected)
    return script, verify


def case_refusal(runner, name, options, password, answer, arrives):
    outdir, port = smtp_server(runner, name.replace(" ", "-"), *options)
    script = sender(port, password=password) + r'''
var m = new Mail(); m.from = "ann@x.org"; m.to = "bob@x.org";
var t = ""; var i; for (i = 0; i < 2000; i++) t = t + "%s\r\n";
m.text = t;
trace("sent=" + m_s.send(m));
''' % ("x" * 100)

    def verify(lines):
        check(traced(lines, "sent") == answer, "%s: send answered %s" % (name, traced(lines, "sent")))
        check(os.path.exists(os.path.join(outdir, "1.json")) == arrives, "%s: arrivals differ" % name)
        commands, replies = commands_of(lines), replies_of(lines)
        if name == "wrong password":
            check(any(r.startswith("535") for r in replies), "wrong password: no 535 reported")
            check(not any(c.startswith("MAIL") for c in commands), "wrong password: MAIL sent after a failed login")
            check("CRAM-MD5 refused" in auth_log(outdir), "wrong password: server saw %r" % auth_log(outdir))
        if name == "oversize at MAIL":
            check(any(c.startswith("MAIL FROM:<ann@x.org> SIZE=") for c in commands), "oversize: no SIZE on MAIL")
            check("DATA\r\n" not in commands, "oversize at MAIL: DATA sent")
        if name == "oversize at DATA":
            check("DATA\r\n" in commands and not any("SIZE=" in c for c in commands), "oversize at DATA: %r" % commands)
            check(any(r.startswith("552") for r in replies), "oversize at DATA: no 552 reported")
        if name == "EHLO refused":
            check(any(c.startswith("HELO ") for c in commands), "EHLO refused: no HELO")
            check(not any(c.startswith("AUTH") for c in commands), "EHLO refused: AUTH sent after HELO")
        no_secrets(lines, name)
    return script, verify


def case_raw_connection(runner):
    outdir, port = smtp_server(runner, "raw")
    script = sender(port, user=None) + r'''
trace("command-closed=" + m_s.command("NOOP\r\n"));
trace("connect=" + m_s.connect());
trace("greeting=" + esc(m_s.command("")));
var greeting = m_s.command("EHLO probe\r\n");
trace("ehlo-lines=" + greeting.split("\r\n").length);
trace("ehlo-last=" + esc(greeting.split("\r\n")[greeting.split("\r\n").length - 2]));
trace("unknown=" + esc(m_s.command("FROB\r\n")));
trace("write=" + m_s.write("NOOP\r\n"));
trace("after-write=" + esc(m_s.command("QUIT\r\n")));
m_s.close();
trace("closed=" + m_s.command("NOOP\r\n"));
'''

    def verify(lines):
        check(traced(lines, "command-closed") == "false", "raw: command without a connection answered")
        check(traced(lines, "connect") == "true", "raw: connect failed")
        # connect reads no greeting: an empty command sends nothing and reads it.
        check((traced(lines, "greeting") or "").startswith("220"), "raw: greeting %r" % traced(lines, "greeting"))
        check(traced(lines, "ehlo-lines") == "7", "raw: the EHLO reply had %s lines" % traced(lines, "ehlo-lines"))
        check(traced(lines, "ehlo-last") == "250 HELP", "raw: the EHLO reply ended %r" % traced(lines, "ehlo-last"))
        check((traced(lines, "unknown") or "").startswith("500"), "raw: unknown command got %r" % traced(lines, "unknown"))
        check(traced(lines, "write") == "true", "raw: write failed")
        check((traced(lines, "after-write") or "").startswith("250"),
              "raw: the reply to the written NOOP: %r" % traced(lines, "after-write"))
        check(traced(lines, "closed") == "false", "raw: command after close answered")
    return script, verify


def case_handler_stops_transfer(runner):
    outdir, port = smtp_server(runner, "stop")
    script = sender(port) + r'''
var m = new Mail(); m.from = "ann@x.org"; m.to = "bob@x.org"; m.text = "a\r\nb\r\nc";
stopAt = 0;
trace("sent=" + m_s.send(m));
'''

    def verify(lines):
        check(traced(lines, "sent") == "false", "stop: send answered %s" % traced(lines, "sent"))
        check(len([1 for k, _ in events_of(lines) if k == 3]) == 1, "stop: more than one data event")
        check(not os.path.exists(os.path.join(outdir, "1.json")), "stop: the message arrived")
    return script, verify


def case_header_injection(runner):
    outdir, port = smtp_server(runner, "inject")
    script = sender(port, user=None) + r'''
var m = new Mail(); m.from = "ann@x.org"; m.text = "x";
m.to = "bob@x.org>\r\nRCPT TO:<evil@x.org";
trace("sent=" + m_s.send(m));
'''

    # The field is folded onto one line; whatever addresses it then names, every command the client
    # sends is one line, and the data holds no line that the field broke off.
    def verify(lines):
        envelope, data = received(outdir, 1)
        commands = commands_of(lines)
        check(commands and all(c.count("\n") == 1 and c.endswith("\r\n") for c in commands),
              "inject: a command of more than one line: %r" % commands)
        check(data is None or b"\r\nRCPT TO" not in data, "inject: the field broke into a new line")
    return script, verify


def endless(line):
    def pieces():
        while True:
            yield b"250-" + b"x" * 1000 + b"\r\n"
    return pieces()


def case_misbehaving(runner, name, greeting, answer):
    server = ScriptedServer(greeting, answer)
    servers.append(server)
    script = sender(server.port) + r'''
m_s.timeout = 3000;
var m = new Mail(); m.from = "ann@x.org"; m.to = "bob@x.org"; m.text = "x";
var before = new Date().getTime();
trace("sent=" + m_s.send(m));
trace("ms=" + (new Date().getTime() - before));
'''

    def verify(lines):
        check(traced(lines, "sent") == "false", "%s: send answered %s" % (name, traced(lines, "sent")))
        check(any(k == 0 for k, _ in events_of(lines)), "%s: no error event" % name)
        check(int(traced(lines, "ms") or 99999) < 20000, "%s: took %s ms" % (name, traced(lines, "ms")))
    return script, verify



def main():
    if not os.path.exists("/usr/lib/python3/dist-packages/aiosmtpd"):
        print("python3-aiosmtpd is not installed")
        return 77
    runner = Runner(sys.argv[1:])
    r = runner
    try:
        status = run_cases(runner, [
            ("exact", lambda: case_message_arrives_byte_exact(r)),
            ("bcc", lambda: case_bcc_addressed_not_shown(r)),
            ("raw", lambda: case_raw_connection(r)),
            ("stop", lambda: case_handler_stops_transfer(r)),
            ("inject", lambda: case_header_injection(r)),
            ("login", lambda: case_mechanism_choice(r, "PLAIN,LOGIN", "LOGIN")),
            ("plain", lambda: case_mechanism_choice(r, "PLAIN", "PLAIN")),
            ("cram", lambda: case_mechanism_choice(r, "LOGIN,PLAIN,CRAM-MD5", "CRAM-MD5")),
            ("wrong", lambda: case_refusal(r, "wrong password", [], "wrong", "false", False)),
            ("size-mail", lambda: case_refusal(r, "oversize at MAIL", ["--size", "100000"], "tanstaaf", "false", False)),
            ("size-data", lambda: case_refusal(r, "oversize at DATA", ["--size", "100000", "--hide-size"], "tanstaaf",
                                               "false", False)),
            ("helo", lambda: case_refusal(r, "EHLO refused", ["--reject-ehlo"], "tanstaaf", "true", True)),
            ("never-ends", lambda: case_misbehaving(r, "never ends its reply", b"220-hello\r\n", lambda line: b"")),
            ("endless", lambda: case_misbehaving(r, "sends without end", b"220 ok\r\n", endless)),
            ("mid-line", lambda: case_misbehaving(r, "closes mid-line", b"220 hel", lambda line: None)),
        ], settle=0.3)
    finally:
        for server in servers:
            server.stop()
    return finish(runner, status, failures, "all SendMail cases agree with the servers")


if __name__ == "__main__":
    sys.exit(main())
