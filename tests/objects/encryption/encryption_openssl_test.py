#!/usr/bin/env python3
"""Encryption against OpenSSL, which nobody here wrote.

The runner encrypts and digests a table of texts; this test derives the same keys on its own (the
derivation is short enough to restate here) and asks OpenSSL for the digests and cipher blocks:
`openssl dgst -md5` for texts and files, `openssl enc -des-ede3 -K <hex> -nopad` for Triple DES
and for the hidden part of the Blowfish key. The Blowfish key is 56 bytes, and `openssl enc`
cuts -K to Blowfish's default 16, so the Blowfish blocks come from the same OpenSSL library called
through ctypes with the key length set.

Usage: encryption_openssl_test.py KEY_SOURCE WORKDIR [--wine] RUNNER...
"""
import base64
import ctypes
import ctypes.util
import hashlib
import os
import re
import shutil
import subprocess
import sys

OPENSSL = ["openssl"]
PROVIDERS = ["-provider", "legacy", "-provider", "default"]

# pass phrase, text (ANSI, as the script builds it)
CASES = [
    ("secret", "abc"),
    ("secret", "12345678"),
    ("secret", "123456789"),
    ("", "empty pass phrase"),
    ("a longer pass phrase of more than sixteen bytes, folded twice", "Licence: Anne \xe9 Co., 2 seats"),
    ("\xe9t\xe9", "x" * 100),
]


def script_string(text):
    return '"' + "".join("\\u%04x" % ord(c) if ord(c) > 126 or c in '"\\' else c for c in text) + '"'


def openssl(args, data):
    return subprocess.run(OPENSSL + args, input=data, capture_output=True, check=True).stdout


def md5_hex(data):
    out = openssl(["dgst", "-md5", "-r"], data).decode()
    return out.split()[0]


def des_ede3(key, data):
    return openssl(["enc", "-des-ede3", "-K", key.hex(), "-nopad"] + PROVIDERS, data)


class Libcrypto:
    def __init__(self):
        lib = ctypes.CDLL(ctypes.util.find_library("crypto") or "libcrypto.so.3")
        lib.OSSL_PROVIDER_load.restype = ctypes.c_void_p
        lib.OSSL_PROVIDER_load(None, b"legacy")
        lib.OSSL_PROVIDER_load(None, b"default")
        lib.EVP_CIPHER_fetch.restype = ctypes.c_void_p
        lib.EVP_CIPHER_CTX_new.restype = ctypes.c_void_p
        for name in ("EVP_EncryptInit_ex", "EVP_CIPHER_CTX_set_key_length", "EVP_CIPHER_CTX_set_padding",
                     "EVP_EncryptUpdate", "EVP_CIPHER_CTX_free"):
            getattr(lib, name).argtypes = None
        self.lib = lib

    def bf_ecb(self, key, data):
        lib = self.lib
        cipher = lib.EVP_CIPHER_fetch(None, b"BF-ECB", None)
        assert cipher, "OpenSSL has no Blowfish (legacy provider missing)"
        ctx = ctypes.c_void_p(lib.EVP_CIPHER_CTX_new())
        assert lib.EVP_EncryptInit_ex(ctx, ctypes.c_void_p(cipher), None, None, None) == 1
        assert lib.EVP_CIPHER_CTX_set_key_length(ctx, len(key)) == 1
        assert lib.EVP_EncryptInit_ex(ctx, None, None, key, None) == 1
        lib.EVP_CIPHER_CTX_set_padding(ctx, 0)
        out = ctypes.create_string_buffer(len(data) + 16)
        n = ctypes.c_int(0)
        assert lib.EVP_EncryptUpdate(ctx, out, ctypes.byref(n), data, len(data)) == 1
        lib.EVP_CIPHER_CTX_free(ctx)
        return out.raw[: n.value]


def fold8(p):
    fold = bytearray(8)
    for i, c in enumerate(p):
        if i % 16 < 8:
            fold[i % 8] ^= (c << 1) & 0xFF
        else:
            fold[7 - i % 8] ^= int("{:08b}".format(c)[::-1], 2)
    return bytes(fold)


def odd_parity(b):
    return bytes(x ^ 1 if bin(x).count("1") % 2 == 0 else x for x in b)


def fixed_key(source):
    text = open(source).read()
    body = re.search(r"kFixedTripleDesKey = \{([^}]*)\}", text).group(1)
    key = bytes(int(x, 16) for x in re.findall(r"0x([0-9a-fA-F]{2})", body))
    assert len(key) == 24
    return key


def padded(data):
    return data + b"\0" * (-len(data) % 8)


def swap_halves(data):
    return b"".join(data[i : i + 4][::-1] for i in range(0, len(data), 4))


def main():
    key_source, work = sys.argv[1], sys.argv[2]
    rest = sys.argv[3:]
    wine = rest[0] == "--wine"
    runner = rest[1:] if wine else rest
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    blob = bytes(range(256)) * 40 + b"tail"  # more than one 4096-byte read, not a whole one
    blob_path = os.path.join(work, "blob.bin")
    open(blob_path, "wb").write(blob)
    script_blob = ("Z:" + blob_path.replace("/", "\\")) if wine else blob_path
    lines = ["trace(Encryption.md5File(%s));" % script_string(script_blob)]
    for phrase, text in CASES:
        p, t = script_string(phrase), script_string(text)
        lines.append("trace(Encryption.md5(%s));" % t)
        lines.append("trace(Encryption.desEncode(%s, %s));" % (p, t))
        lines.append("trace(Encryption.blowfishEncode(%s, %s));" % (p, t))
    script = os.path.join(work, "encryption_openssl.vxs")
    open(script, "w").write("\n".join(lines) + "\n")
    out_path = os.path.join(work, "out.txt")
    with open(out_path, "wb") as out:
        status = subprocess.run(runner + [script], stdout=out, stderr=subprocess.STDOUT, timeout=60).returncode
    if status == 77:
        return 77
    got = open(out_path, "rb").read().decode("cp1252").replace("\r\n", "\n").split("\n")

    crypto = Libcrypto()
    internal = fixed_key(key_source)
    expected = [md5_hex(blob)]
    for phrase, text in CASES:
        p, t = phrase.encode("cp1252"), text.encode("cp1252")
        digest = hashlib.md5(p).digest()
        assert md5_hex(p) == digest.hex()  # the restated derivation leans on OpenSSL's digest too
        fold = fold8(p)
        des_key = odd_parity(digest + fold)
        bf_key = hashlib.md5(fold).digest() + digest + des_ede3(internal, digest) + fold
        assert len(bf_key) == 56
        expected.append(md5_hex(t))
        expected.append(base64.b64encode(des_ede3(des_key, padded(t))).decode())
        bf = swap_halves(crypto.bf_ecb(bf_key, swap_halves(padded(t)))) if t else b""
        expected.append(base64.b64encode(bf).decode())
    expected.append("")
    if got != expected:
        print("runner status", status)
        for i, (g, e) in enumerate(zip(got, expected)):
            print(("  " if g == e else "! ") + "line %d: got %r expected %r" % (i + 1, g, e))
        if len(got) != len(expected):
            print("got %d lines, expected %d" % (len(got), len(expected)), got[len(expected):])
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("encryption against openssl: %d lines ok" % len(expected))
    return 0


if __name__ == "__main__":
    sys.exit(main())
