"""Shared pieces of the transport tests: running a script through the runner (under Wine on the
Windows builds), loopback servers started and stopped by process id, and the script prelude that
records every progress event."""
import os
import shutil
import signal
import socket
import subprocess
import threading
import time

# Every event as one trace line: EV|kind|text with CR and LF written as \r and \n.
PRELUDE = r'''
var events = 0;
var stopAt = -1;
function esc(t) { return ("" + t).split("\r").join("\\r").split("\n").join("\\n"); }
function onEvent(kind, text) {
  trace("EV|" + kind + "|" + esc(text));
  events = events + 1;
  if (kind == 3 && stopAt >= 0 && events >= stopAt) return false;
  return true;
}
'''


class Runner:
    """argv: WORKDIR [--wine WINE_RUN --prefix PREFIX] RUNNER"""

    def __init__(self, argv):
        self.work = os.path.abspath(argv[0])
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.wine = argv[1] == "--wine"
        self.command = [argv[2], argv[3], argv[4], argv[5]] if self.wine else [argv[1]]
        self.count = 0

    def path(self, name):
        return os.path.join(self.work, name)

    def script_path(self, path):
        """A path as the script names it, as a script string literal."""
        p = ("Z:" + path.replace("/", "\\")) if self.wine else path
        return '"' + p.replace("\\", "\\\\") + '"'

    def run(self, body, timeout=60):
        self.count += 1
        script = self.path("case%d.vxs" % self.count)
        with open(script, "w") as f:
            f.write(PRELUDE + body)
        out_path = self.path("case%d.out" % self.count)
        with open(out_path, "wb") as out:
            status = subprocess.run(self.command + [script], stdout=out, stderr=subprocess.STDOUT,
                                    timeout=timeout).returncode
        text = open(out_path, "rb").read().decode("cp1252").replace("\r\n", "\n")
        return status, text.split("\n")

    def cleanup(self):
        shutil.rmtree(self.work, ignore_errors=True)


def part(name, body):
    """One case of a test script: a CASE marker the output is split at, then the case's code."""
    return '\ntrace("CASE|%s"); events = 0; stopAt = -1;\n%s\n' % (name, body)


def section(lines, name):
    """The lines one case's part of the script traced (after its CASE marker)."""
    inside, found = False, []
    for line in lines:
        if line.startswith("CASE|"):
            inside = line == "CASE|" + name
        elif inside:
            found.append(line)
    return found


def run_cases(runner, cases, settle=0.0, timeout=120):
    """Runs every case in one script run and gives each its own section of the output.

    cases: (name, make) pairs; make() answers the case's script and a verify(lines) function.
    settle: seconds to wait after the run before verifying (servers that write what they received
    as the session ends). Answers the run's exit status; 77 (cannot run here) verifies nothing."""
    parts, checks = [], []
    for name, make in cases:
        script, verify = make()
        parts.append(part(name, script))
        checks.append((name, verify))
    start = time.time()
    status, lines = runner.run("".join(parts), timeout=timeout)
    print("%d cases in one run: %.1f s" % (len(cases), time.time() - start))
    if status == 77:
        return 77
    time.sleep(settle)
    for name, verify in checks:
        verify(section(lines, name))
    return status


def finish(runner, status, failures, agreed):
    """The test's exit status: 77 when the build cannot run here, 1 after any failure (the scratch
    folder is kept to look at), else 0 with the agreed text."""
    if status == 77:
        return 77
    if failures:
        print("%d failure(s)" % len(failures))
        return 1
    runner.cleanup()
    print(agreed)
    return 0


def events_of(lines):
    found = []
    for line in lines:
        if line.startswith("EV|"):
            _, kind, text = line.split("|", 2)
            found.append((int(kind), text.replace("\\r", "\r").replace("\\n", "\n")))
    return found


def traced(lines, key):
    """The value of a 'key=value' trace line."""
    for line in lines:
        if line.startswith(key + "="):
            return line[len(key) + 1:]
    return None


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Server:
    """A server process in its own process group, bounded in time, stopped by its process id."""

    def __init__(self, command, ready, limit=90):
        self.process = subprocess.Popen(["timeout", str(limit)] + command, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        deadline = time.time() + 10
        while not ready():
            if time.time() > deadline or self.process.poll() is not None:
                self.stop()
                raise RuntimeError("server did not start: %s" % command)
            time.sleep(0.05)

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()


class ScriptedServer:
    """A loopback server in a thread that answers each connection from a plan: the greeting, then
    for each line received the reply the plan's function gives (None: close). Everything received
    is kept in .received. A reply may be bytes or an iterable of pieces (an endless answer)."""

    def __init__(self, greeting, answer):
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(4)
        # Short waits, so the thread notices stop(); it accepts for as long as the test runs.
        self.listener.settimeout(0.5)
        self.stopped = False
        self.port = self.listener.getsockname()[1]
        self.greeting, self.answer = greeting, answer
        self.received = b""
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        while not self.stopped:
            try:
                conn, _ = self.listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            with conn:
                conn.settimeout(30)
                try:
                    if self.greeting:
                        conn.sendall(self.greeting)
                    pending = b""
                    while True:
                        data = conn.recv(65536)
                        if not data:
                            break
                        self.received += data
                        pending += data
                        while b"\n" in pending:
                            line, pending = pending.split(b"\n", 1)
                            reply = self.answer(line + b"\n")
                            if reply is None:
                                raise ConnectionAbortedError
                            if isinstance(reply, bytes):
                                conn.sendall(reply)
                            else:  # a stream of pieces (an endless reply)
                                for piece in reply:
                                    conn.sendall(piece)
                except OSError:
                    pass

    def stop(self):
        self.stopped = True
        self.thread.join(5)
        self.listener.close()
