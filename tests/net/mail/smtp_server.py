#!/usr/bin/python3
"""An SMTP server for the transport tests: aiosmtpd on 127.0.0.1 at a port of its own choosing.

It logs in "tim" / "tanstaaf" through PLAIN and LOGIN (built in) and CRAM-MD5 (a handler method),
announces a size limit and SMTPUTF8, and writes what arrives into OUTDIR: for message N,
N.eml (the data exactly as received) and N.json (envelope, options, the login mechanism used).
Every AUTH attempt is appended to auth.log. The chosen port goes to OUTDIR/port.

With --cert and --key it speaks TLS: from the first byte (--tls implicit) or after STARTTLS, which
it then requires before anything but EHLO, NOOP and QUIT (--tls starttls).

Usage: smtp_server.py OUTDIR [--size N] [--mechanisms PLAIN,LOGIN,CRAM-MD5] [--reject-ehlo] [--hide-size]
                      [--tls implicit|starttls --cert CERT --key KEY]
"""
import argparse
import asyncio
import base64
import hmac
import json
import os
import ssl

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

USER, PASSWORD = b"tim", b"tanstaaf"


class Recorder:
    def __init__(self, outdir, reject_ehlo, hide_size):
        self.outdir = outdir
        self.count = 0
        self.reject_ehlo = reject_ehlo
        self.hide_size = hide_size

    def log_auth(self, mechanism, ok):
        with open(os.path.join(self.outdir, "auth.log"), "a") as f:
            f.write("%s %s\n" % (mechanism, "ok" if ok else "refused"))

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        if self.reject_ehlo:
            return ["502 5.5.1 EHLO not here"]
        session.host_name = hostname
        if self.hide_size:  # the limit still holds at DATA, only the client is not told
            responses = [r for r in responses if not r.startswith("250-SIZE")]
        return responses

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.outdir, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + ".json", "w") as f:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos,
                       "mail_options": envelope.mail_options,
                       "auth": getattr(session.auth_data, "mechanism", None) if session.auth_data else None,
                       "authenticated": bool(session.authenticated)}, f)
        return "250 OK queued as %d" % self.count

    async def auth_CRAM__MD5(self, server, args):
        challenge = b"<%d.%d@smtp.test>" % (os.getpid(), self.count)
        answer = await server.challenge_auth(challenge)
        if not isinstance(answer, bytes):
            return AuthResult(success=False, handled=False)
        user, _, digest = answer.partition(b" ")
        good = hmac.new(PASSWORD, challenge, "md5").hexdigest().encode()
        ok = user == USER and hmac.compare_digest(digest, good)
        self.log_auth("CRAM-MD5", ok)
        return AuthResult(success=ok, handled=False, auth_data=Login("CRAM-MD5"))


class Login:
    def __init__(self, mechanism):
        self.mechanism = mechanism


def authenticator_for(recorder):
    # handled=False: the server itself sends the 235 or 535 (True would leave the client waiting).
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = isinstance(auth_data, LoginPassword) and auth_data.login == USER and auth_data.password == PASSWORD
        recorder.log_auth(mechanism, ok)
        return AuthResult(success=ok, handled=False, auth_data=Login(mechanism))
    return authenticate


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("outdir")
    parser.add_argument("--size", type=int, default=10 * 1024 * 1024)
    parser.add_argument("--mechanisms", default="PLAIN,LOGIN,CRAM-MD5")
    parser.add_argument("--reject-ehlo", action="store_true")
    parser.add_argument("--hide-size", action="store_true")
    parser.add_argument("--tls", choices=("implicit", "starttls"))
    parser.add_argument("--cert")
    parser.add_argument("--key")
    options = parser.parse_args()
    context = None
    if options.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(options.cert, options.key)
    starttls = context if options.tls == "starttls" else None
    recorder = Recorder(options.outdir, options.reject_ehlo, options.hide_size)
    wanted = set(options.mechanisms.split(","))
    excluded = [m for m in ("PLAIN", "LOGIN", "CRAM-MD5") if m not in wanted]
    loop = asyncio.get_running_loop()

    def factory():
        return SMTP(recorder, data_size_limit=options.size, enable_SMTPUTF8=True, decode_data=False,
                    auth_require_tls=False, authenticator=authenticator_for(recorder),
                    auth_exclude_mechanism=excluded, hostname="smtp.test",
                    tls_context=starttls, require_starttls=starttls is not None)

    implicit = context if options.tls == "implicit" else None
    server = await loop.create_server(factory, "127.0.0.1", 0, ssl=implicit)
    port = server.sockets[0].getsockname()[1]
    with open(os.path.join(options.outdir, "port.tmp"), "w") as f:
        f.write(str(port))
    os.rename(os.path.join(options.outdir, "port.tmp"), os.path.join(options.outdir, "port"))
    await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
