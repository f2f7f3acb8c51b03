#!/usr/bin/python3
"""SendMail and RecvMail give up on a server that never answers the connect, after their time-out.

The server is a listening socket on 127.0.0.1 whose accept queue the test fills first, so the
system drops every further connection request: a connect there neither succeeds nor is refused.
With `timeout` at 2000 ms, `send`, `connect` (SendMail's command connection) and RecvMail's
`connect` each answer false with a kind 0 event, in about two seconds rather than never.

Usage: mail_connect_time_limit_test.py WORKDIR [--wine WINE_RUN --prefix PREFIX] RUNNER
"""
import os
import socket
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from mail_test_support import Runner, events_of, traced, run_cases, finish  # noqa: E402

CANNOT_CONNECT = "can't connect to the smtp server"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


class SilentListener:
    """A listener with a backlog of none whose queue is full: connects to it hang."""

    def __init__(self):
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(0)
        self.port = self.listener.getsockname()[1]
        self.fillers = []
        for _ in range(3):
            s = socket.socket()
            s.setblocking(False)
            try:
                s.connect(("127.0.0.1", self.port))
            except BlockingIOError:
                pass
            self.fillers.append(s)
        time.sleep(0.3)
        probe = socket.socket()
        probe.settimeout(1)
        try:
            probe.connect(("127.0.0.1", self.port))
            self.silent = False  # this system queued it after all: the test cannot be made here
        except socket.timeout:
            self.silent = True
        finally:
            probe.close()

    def stop(self):
        for s in self.fillers:
            s.close()
        self.listener.close()


TIMED = r'''
var before = new Date().getTime();
trace("result=" + %s);
trace("ms=" + (new Date().getTime() - before));
'''


def case(name, setup, call, port, expect_cannot_connect):
    script = setup % port + TIMED % call

    def verify(lines):
        check(traced(lines, "result") == "false", "%s: answered %s" % (name, traced(lines, "result")))
        ms = int(traced(lines, "ms") or 999999)
        check(1500 <= ms <= 15000, "%s: gave up after %d ms (time-out 2000 ms)" % (name, ms))
        errors = [t for k, t in events_of(lines) if k == 0]
        check(errors and errors[0] and errors[0] != CANNOT_CONNECT, "%s: no reason given: %r" % (name, errors))
        if expect_cannot_connect:
            check(errors[-1:] == [CANNOT_CONNECT], "%s: errors %r" % (name, errors))
    return script, verify


SENDER = ('var m_s = new SendMail(); m_s.server = "127.0.0.1"; m_s.port = %d; m_s.onSend = onEvent; m_s.timeout = 2000;\n'
          'var m = new Mail(); m.from = "ann@x.org"; m.to = "bob@x.org"; m.text = "x";\n')
RECEIVER = ('var r = new RecvMail(); r.server = "127.0.0.1"; r.port = %d; r.onRecv = onEvent; r.timeout = 2000;\n'
            'r.username = "tim"; r.password = "tanstaaf";\n')


def main():
    runner = Runner(sys.argv[1:])
    silent = SilentListener()
    try:
        if not silent.silent:
            print("this system accepts connections beyond a full queue")
            return 77
        cases = [("send", lambda: case("send", SENDER, "m_s.send(m)", silent.port, True)),
                 ("command-connect", lambda: case("command-connect", SENDER, "m_s.connect()", silent.port, False)),
                 ("recv-connect", lambda: case("recv-connect", RECEIVER, "r.connect()", silent.port, False))]
        status = run_cases(runner, cases, timeout=60)
    finally:
        silent.stop()
    return finish(runner, status, failures, "every connect gave up within its time-out")


if __name__ == "__main__":
    sys.exit(main())
