"""Dovecot's POP3 server for the RecvMail tests, in a folder of the test's own on 127.0.0.1.

The smallest configuration found to start as root in a scratch folder: its own base_dir and
state_dir, no SSL, plaintext logins allowed, the internal and login users "nobody", no chroot for
the login and helper services, a passwd-file with a {PLAIN} password, a static userdb (uid nobody)
and an mbox INBOX. auth_failure_delay = 0 so a refused login answers at once; APOP needs the
plain password in the passwd file."""
import os
import shutil
import socket
import subprocess

from mail_test_support import Server, free_port

CONFIG = """base_dir = {d}/run
state_dir = {d}/state
log_path = {d}/dovecot.log
listen = 127.0.0.1
protocols = pop3
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain login apop
auth_failure_delay = 0
default_internal_user = nobody
default_internal_group = nogroup
default_login_user = nobody
mail_location = mbox:{d}/mail:INBOX={d}/mail/inbox
service pop3-login {{
  chroot =
  inet_listener pop3 {{
    address = 127.0.0.1
    port = {port}
  }}
}}
service anvil {{
  chroot =
}}
passdb {{
  driver = passwd-file
  args = scheme=PLAIN username_format=%u {d}/passwd
}}
userdb {{
  driver = static
  args = uid=nobody gid=nogroup home={d}/mail
}}
"""


def dovecot_binary():
    for path in ("/usr/sbin/dovecot", shutil.which("dovecot") or ""):
        if path and os.path.exists(path) and os.path.exists("/usr/lib/dovecot/pop3"):
            return path
    return None


def mbox_of(messages):
    """An mbox of the messages (bytes with LF line ends); lines beginning "From " are quoted."""
    out = b""
    for m in messages:
        body = b"\n".join((b">" + l if l.startswith(b"From ") else l) for l in m.split(b"\n"))
        out += b"From sender@x.org Thu Jan  1 00:00:00 2026\n" + body.rstrip(b"\n") + b"\n\n"
    return out


TLS_SETTINGS = """ssl = yes
ssl_cert = <{cert}
ssl_key = <{key}
ssl_min_protocol = TLSv1.2
"""

TLS_LISTENER = """service pop3-login {{
  inet_listener pop3s {{
    address = 127.0.0.1
    port = {port}
    ssl = yes
  }}
}}
"""


def start_dovecot(folder, messages, password="tanstaaf", tls=None):
    """A fresh mailbox in its own folder and a server over it; answers (server, port).
    With tls=(cert, key) the plain port offers STLS and server.secure_port speaks TLS from the
    first byte."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "mail"))
    os.makedirs(os.path.join(folder, "state"))
    port = free_port()
    config = CONFIG.format(d=folder, port=port)
    secure_port = None
    if tls:
        secure_port = free_port()
        config = config.replace("ssl = no\n", TLS_SETTINGS.format(cert=tls[0], key=tls[1]))
        config += TLS_LISTENER.format(port=secure_port)
    open(os.path.join(folder, "dovecot.conf"), "w").write(config)
    open(os.path.join(folder, "passwd"), "w").write("tim:{PLAIN}%s\n" % password)
    open(os.path.join(folder, "mail", "inbox"), "wb").write(mbox_of(messages))
    subprocess.run(["chown", "-R", "nobody:nogroup", os.path.join(folder, "mail")], check=True)
    os.chmod(folder, 0o755)

    def accepting():
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.2):
                return True
        except OSError:
            return False
    server = Server([dovecot_binary(), "-F", "-c", os.path.join(folder, "dovecot.conf")], accepting)
    server.secure_port = secure_port
    return server, port
