#!/usr/bin/env python3
"""Peers for the Socket tests, all on 127.0.0.1 and bounded in time.

  python_peers.py serve PORTFILE   TCP echo, UDP echo and a TCP server that sends 300000 bytes and
                                   closes; writes "tcp udp midclose" ports to PORTFILE; ends after
                                   120 s at most
  python_peers.py client PORT OUT  connects to the script's server (retrying while it starts),
                                   sends 10 MiB, reads the echo, and writes to OUT whether the
                                   echo's SHA-256 matched and the line the script should print
"""
import hashlib
import random
import socket
import sys
import threading
import time
import zlib

HOST = "127.0.0.1"
MID_CLOSE_BYTES = 300000
TRANSFER_BYTES = 10 * 1024 * 1024


def serve_tcp_echo(listener):
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=echo_connection, args=(conn,), daemon=True).start()


def echo_connection(conn):
    with conn:
        while True:
            data = conn.recv(65536)
            if not data:
                return
            conn.sendall(data)


def serve_udp_echo(sock):
    while True:
        data, sender = sock.recvfrom(65536)
        sock.sendto(data, sender)


def serve_mid_close(listener):
    while True:
        conn, _ = listener.accept()
        conn.sendall(bytes(i % 251 for i in range(MID_CLOSE_BYTES)))
        conn.close()


def serve(port_file):
    tcp = socket.create_server((HOST, 0))
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind((HOST, 0))
    mid = socket.create_server((HOST, 0))
    for target, arg in ((serve_tcp_echo, tcp), (serve_udp_echo, udp), (serve_mid_close, mid)):
        threading.Thread(target=target, args=(arg,), daemon=True).start()
    ports = [s.getsockname()[1] for s in (tcp, udp, mid)]
    with open(port_file + ".tmp", "w") as f:
        f.write(" ".join(map(str, ports)))
    import os
    os.replace(port_file + ".tmp", port_file)
    time.sleep(120)


def connect_with_retry(port, seconds):
    end = time.time() + seconds
    while True:
        try:
            return socket.create_connection((HOST, port), timeout=5)
        except OSError:
            if time.time() > end:
                raise
            time.sleep(0.2)


def client(port, out_file):
    data = random.Random(25).randbytes(TRANSFER_BYTES)
    conn = connect_with_retry(port, 60)
    conn.settimeout(60)
    sender = threading.Thread(target=lambda: (conn.sendall(data), conn.shutdown(socket.SHUT_WR)), daemon=True)
    sender.start()
    received = bytearray()
    while len(received) < len(data):
        chunk = conn.recv(1 << 20)
        if not chunk:
            break
        received += chunk
    sender.join(60)
    conn.close()
    same = hashlib.sha256(received).digest() == hashlib.sha256(data).digest()
    with open(out_file, "w") as f:
        f.write("echo of %d bytes: %s\n" % (len(received), "same SHA-256" if same else "DIFFERENT"))
        f.write("server received %d bytes, crc %d\n" % (len(data), zlib.crc32(data)))


if __name__ == "__main__":
    if sys.argv[1] == "serve":
        serve(sys.argv[2])
    else:
        client(int(sys.argv[2]), sys.argv[3])
