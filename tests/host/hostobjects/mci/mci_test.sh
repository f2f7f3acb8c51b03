#!/usr/bin/env bash
# MCI under Wine:   mci_test.sh VEXIL.exe PREFIX SCRIPT EXPECTED
# The test writes a WAV (Python's wave module), an uncompressed AVI, a MIDI file and a file that
# is not media, and runs the script with a HOME whose ALSA configuration is a null device: Wine
# has no sound card here, and waveaudio plays into the null device.
set -u
runner="$1" prefix="$2" script="$3" expected="$4"
# mciavi makes its own window even for a device that shows nothing: it needs a display.
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 77; fi
tools="$(cd "$(dirname "$0")/../../../../tools" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }

mkdir -p "$work/home"
echo 'pcm.!default { type null }' >"$work/home/.asoundrc"
/usr/bin/python3 - "$work" <<'PY'
import struct, sys, wave
work = sys.argv[1]
with wave.open(work + "/tone.wav", "wb") as w:      # 0.25 s of 8-bit mono at 8 kHz
    w.setnchannels(1); w.setsampwidth(1); w.setframerate(8000)
    w.writeframes(bytes((128 + (40 if (i // 10) % 2 else -40)) for i in range(2000)))

def chunk(tag, data):
    return tag + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")
def lst(kind, data):
    return chunk(b"LIST", kind + data)
w, h, frames = 32, 24, 5                              # 5 frames of 32x24 24-bit, 10 per second
size = w * h * 3
avih = struct.pack("<10I4I", 100000, size * 10, 0, 0x10, frames, 0, 1, size, w, h, 0, 0, 0, 0)
strh = b"vidsDIB " + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, 1, 10, 0, frames, size, 0xFFFFFFFF, 0, 0, 0, w, h)
strf = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, size, 0, 0, 0, 0)
hdrl = lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
movi_frames = b"".join(chunk(b"00db", bytes([i * 40 % 256]) * size) for i in range(frames))
movi = lst(b"movi", movi_frames)
offset, index = 4, b""
for i in range(frames):
    index += b"00db" + struct.pack("<III", 0x10, offset, size)
    offset += 8 + size
avi = b"AVI " + hdrl + movi + chunk(b"idx1", index)
open(work + "/clip.avi", "wb").write(b"RIFF" + struct.pack("<I", len(avi)) + avi)

track = bytes([0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00])
open(work + "/tune.mid", "wb").write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(track)) + track)
open(work + "/notes.wav", "wb").write(b"these are words, not sound\n" * 20)
PY

HOME="$work/home" "$tools/wine-run.sh" --prefix "$prefix" "$runner" "$script" "$(winpath "$work/tone.wav")" \
  "$(winpath "$work/clip.avi")" "$(winpath "$work/tune.mid")" "$(winpath "$work/notes.wav")" >"$work/run.out" 2>&1
code=$?
tr -d '\r' <"$work/run.out" | grep -v -e '^wine: ' -e '^ALSA lib ' >"$work/got.txt"
if [ "$code" -ne 0 ] || ! diff -u "$expected" "$work/got.txt"; then
  echo "--- exit $code; output:"; cat "$work/run.out"
  exit 1
fi
echo "MCI: all checks passed"
