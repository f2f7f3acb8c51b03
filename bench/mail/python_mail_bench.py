#!/usr/bin/python3
"""The same steps as mail_bench with Python's email package, for comparison.
usage: python_mail_bench.py [MEGABYTES] [SCRATCH_DIR]"""
import email
import email.message
import email.policy
import os
import resource
import sys
import time

megabytes = int(sys.argv[1]) if len(sys.argv) > 1 else 50
scratch = sys.argv[2] if len(sys.argv) > 2 else "/tmp"
saved = os.path.join(scratch, "python_mail_bench.eml")
data = os.urandom(megabytes << 20)


def report(step, start):
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0
    print("%-34s %7.3f s   peak %7.1f MB" % (step, time.perf_counter() - start, peak))


start = time.perf_counter()
m = email.message.EmailMessage()
m["To"] = "bench@example.com"
m["Subject"] = "recomposed once more"
m.set_content("The attachment.")
m.add_attachment(data, maintype="application", subtype="octet-stream", filename="source.bin")
with open(saved, "wb") as f:
    f.write(m.as_bytes())
report("compose and save", start)
del m
start = time.perf_counter()
with open(saved, "rb") as f:
    back = email.message_from_binary_file(f, policy=email.policy.default)
report("load (parse) the message", start)
start = time.perf_counter()
part = next(back.iter_attachments())
with open(os.path.join(scratch, "python_mail_bench_out.bin"), "wb") as f:
    f.write(part.get_content())
report("save the attachment out", start)
os.remove(saved)
os.remove(os.path.join(scratch, "python_mail_bench_out.bin"))
