#!/usr/bin/env bash
# Exit status 0 when this machine can run 32-bit programs: the i686 builds' tools and tests, and
# Wine's 32-bit loader. Some virtual machines' kernels refuse 32-bit executables altogether ("Exec
# format error"); there the i686 build is compiled and linked but nothing of it can be run.
loader=/lib/ld-linux.so.2
[ -e "$loader" ] || exit 1
"$loader" --version >/dev/null 2>&1
