"""Servers and checks for the Inet test, all on 127.0.0.1.

  inet_servers.py serve PORTS_FILE DOC_ROOT   a DNS server over TCP and a small HTTP server with a
                                              redirect and a stalling answer; writes their ports
  inet_servers.py compare IPCONFIG_OUT SCRIPT_OUT
                                              checks the script's IPConfig and getDNS lines against
                                              Wine's own ipconfig /all and /etc/resolv.conf
"""
import http.server
import socket
import socketserver
import struct
import sys
import threading
import time


def wire_name(dotted):
    out = b""
    for label in dotted.split("."):
        out += bytes([len(label)]) + label.encode()
    return out + b"\0"


def mx(owner, preference, exchange, rtype=15):
    data = struct.pack(">H", preference) + exchange if rtype == 15 else exchange
    return owner + struct.pack(">HHIH", rtype, 1, 300, len(data)) + data


def answer(query):
    """The reply to a query, chosen by its first label; None for no answer at all."""
    ident = query[:2]
    pos = 12
    labels = []
    while query[pos]:
        labels.append(query[pos + 1:pos + 1 + query[pos]].decode())
        pos += 1 + query[pos]
    question = query[12:pos + 5]
    domain = ".".join(labels)
    kind = labels[0]

    def reply(records, count=None):
        head = ident + struct.pack(">HHHHH", 0x8180, 1, len(records) if count is None else count, 0, 0)
        return head + question + b"".join(records)

    at_question = b"\xc0\x0c"
    if kind == "plain":  # every name written out in full
        owner = wire_name(domain)
        return reply([mx(owner, 10, wire_name("mx1." + domain)), mx(owner, 20, wire_name("mx2.backup.test")),
                      mx(owner, 5, wire_name("first.example.test"))])
    if kind == "packed":  # owners point at the question, exchanges end in a pointer to it
        return reply([mx(at_question, 30, b"\x04mail" + at_question), mx(at_question, 40, b"\x03mx2" + at_question),
                      mx(at_question, 50, at_question)])
    if kind == "mixed":  # a record of another type first, skipped by its length
        return reply([mx(at_question, 0, wire_name("alias.test"), rtype=5), mx(at_question, 7, wire_name("only.test"))])
    if kind == "none":
        return reply([])
    if kind == "lying":  # a record whose data length runs past the message
        record = bytearray(mx(at_question, 10, wire_name("mx.test")))
        record[10:12] = struct.pack(">H", 4000)
        return reply([bytes(record)])
    if kind == "loop":  # an exchange name that points at itself
        offset = 12 + len(question) + 12 + 2
        return reply([mx(at_question, 10, struct.pack(">H", 0xC000 | offset))])
    if kind == "count":  # announces three answers, holds one
        return reply([mx(at_question, 10, wire_name("mx.test"))], count=3)
    return reply([])


class DnsHandler(socketserver.BaseRequestHandler):
    def handle(self):
        data = b""
        while len(data) < 2 or len(data) < 2 + struct.unpack(">H", data[:2])[0]:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            data += chunk
        query = data[2:]
        message = answer(query)
        labels = query[13:13 + query[12]].decode()
        if labels == "silent":  # never answers; the client's time-out ends it
            time.sleep(15)
            return
        if labels == "short":  # announces more than it sends, then closes
            message = answer(query.replace(b"\x05short", b"\x05plain", 1))
            self.request.sendall(struct.pack(">H", len(message) + 50) + message)
            return
        self.request.sendall(struct.pack(">H", len(message)) + message)


class TrickHandler(http.server.BaseHTTPRequestHandler):
    target = ""

    def do_GET(self):
        if self.path == "/redirect":
            self.send_response(302)
            self.send_header("Location", self.target)
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif self.path == "/stall":  # promises a megabyte, sends a little and waits
            self.send_response(200)
            self.send_header("Content-Length", "1000000")
            self.end_headers()
            self.wfile.write(b"x" * 1000)
            self.wfile.flush()
            time.sleep(15)
        elif self.path == "/short":  # promises more than it sends, then closes
            self.send_response(200)
            self.send_header("Content-Length", "5000")
            self.end_headers()
            self.wfile.write(b"y" * 1000)
        else:
            self.send_error(404)

    def log_message(self, *args):
        pass


class Threaded(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(ports_file, files_port):
    dns = Threaded(("127.0.0.1", 0), DnsHandler)
    TrickHandler.target = "http://127.0.0.1:%s/big.bin" % files_port
    web = Threaded(("127.0.0.1", 0), TrickHandler)
    for server in (dns, web):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(ports_file + ".tmp", "w") as f:
        f.write("%d %d\n" % (dns.server_address[1], web.server_address[1]))
    import os
    os.rename(ports_file + ".tmp", ports_file)
    while True:
        time.sleep(1)


def adapters(text):
    """Description -> (physical address, IPv4 addresses, gateway) from ipconfig /all."""
    found = {}
    current = None
    for line in text.replace("\r", "").split("\n"):
        if ":" not in line or ". :" not in line and ". : " not in line:
            continue
        key, _, value = line.partition(" : ")
        key = key.strip(" .")
        value = value.strip()
        if key == "Description":
            current = found.setdefault(value, {"mac": "", "ips": [], "gateway": ""})
        elif current is None:
            continue
        elif key == "Physical address":
            current["mac"] = value
        elif key.startswith("IPv4 address") or key == "IP address":
            current["ips"].append(value)
        elif key == "Default gateway":
            current["gateway"] = value
    return found


def compare(ipconfig_out, script_out):
    expected = adapters(open(ipconfig_out, encoding="utf-8", errors="replace").read())
    lines = open(script_out, encoding="utf-8", errors="replace").read().replace("\r", "").split("\n")
    seen = {}
    dns = None
    for line in lines:
        if line.startswith("if|"):
            _, kind, desc, mac, ips, masks, gateway = line.split("|")
            seen[desc] = {"mac": mac, "ips": [ip for ip in ips.split(",") if ip], "gateway": gateway}
        elif line.startswith("dns|"):
            dns = [s for s in line[4:].split(",") if s]
    failures = []
    for desc, want in expected.items():
        got = seen.get(desc)
        if got is None:
            failures.append("interface %r missing" % desc)
        elif got != want:
            failures.append("interface %r: ipconfig %r, script %r" % (desc, want, got))
    resolv = []
    for line in open("/etc/resolv.conf"):
        parts = line.split()
        if len(parts) >= 2 and parts[0] == "nameserver" and parts[1].count(".") == 3:
            resolv.append(parts[1])
    if dns != resolv:
        failures.append("getDNS %r, resolv.conf %r" % (dns, resolv))
    if not expected:
        failures.append("ipconfig listed no adapters")
    for failure in failures:
        print(failure)
    print("compared %d interfaces and %d name servers" % (len(expected), len(resolv)))
    return 1 if failures else 0


if __name__ == "__main__":
    if sys.argv[1] == "serve":
        serve(sys.argv[2], sys.argv[3])
    else:
        sys.exit(compare(sys.argv[2], sys.argv[3]))
