#!/usr/bin/env bash
# Composes a preview of the editor (img/preview.png, not committed): the background with every
# control image placed and drawn the way the editor does, in a mix of states per slot, plus
# stand-in texts (Liberation Sans for the editor's sans face) at the editor's text rectangles.
# Needs python3 with PIL (Debian package python3-pil). Optional tool for checking the images by eye.
# Usage: img/preview.sh [output.png] [mac|win]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/preview.png}"
platform="${2:-win}"
/usr/bin/python3 - "$here" "$out" "$platform" <<'PY'
import math, sys
from PIL import Image, ImageDraw, ImageFont

here, out, platform = sys.argv[1], sys.argv[2], sys.argv[3]
win = platform == "win"
img = lambda n: Image.open(f"{here}/{n}.png").convert("RGBA")
canvas = img("bg")
SANS = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"
VERD = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

def font(size, face=SANS):
    # the editor scales a requested size so that the line height matches it
    return ImageFont.truetype(face, max(1, round(size / 1.15)))

def text(rect, s, size, argb, align="left", face=SANS):
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    f = font(size, face)
    l, t, r, b = rect
    w = d.textlength(s, font=f)
    x = l if align == "left" else (r - w if align == "right" else (l + r - w) / 2)
    a, cr, cg, cb = argb
    d.text((x, t), s, font=f, fill=(cr, cg, cb, a), anchor="la")
    canvas.alpha_composite(layer)

def fill(rect, argb):
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    a, r, g, b = argb
    ImageDraw.Draw(layer).rectangle((rect[0], rect[1], rect[2] - 1, rect[3] - 1), fill=(r, g, b, a))
    canvas.alpha_composite(layer)

def line(x, y1, y2, argb):
    fill((x, min(y1, y2), x + 1, max(y1, y2) + 1), argb)

def blit(name, x, y):
    canvas.alpha_composite(img(name), (int(x), int(y)))

knob = img("knob")
def draw_knob(cx, cy, value, label, light, offset):
    w, h = knob.size
    size = 15 if win else 12
    b = cy + round(h / 2)
    colour = (220, 255, 255, 255) if light else (200, 0, 0, 0)
    text((cx - round(w / 2), b + offset - size, cx + round(w / 2), b + offset), label, size, colour, "centre")
    angle = 300 * math.pi / 360 * (2 * value - 1)
    rotated = knob.rotate(-math.degrees(angle), resample=Image.BICUBIC)
    canvas.alpha_composite(rotated, (cx - w // 2, cy - h // 2))

names = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"]
note = lambda n: f"{names[n % 12]}{n // 12}"

states = [  # low, high, root (view notes), held, attack, release, volume, pan, on, alt, rev, loop, frames
    (24, 60, 36, [30, 48, 70], 0.25, 0.45, 0.66, 0.5, True, False, False, True, 1),
    (0, 115, 48, [48, 52, 55], 0.0, 1.0, 0.0, 0.0, True, True, True, False, 1),
    (40, 40, 40, [40, 20], 0.6, 0.2, 1.0, 1.0, True, True, True, True, 1),
    (60, 100, 72, [], 1.0, 0.0, 0.4, 0.3, False, False, False, False, 1),
    (-1, -1, -1, [], 0.1, 0.3, 0.66, 0.5, False, False, False, False, 0),
]
texts = [("0.80", "1.50", "0"), ("0.00", "16.00", "-48"), ("5.76", "0.64", "24"),
         ("16.00", "0.00", "-12"), ("0.16", "1.44", "0")]

text((45, 12, 95, 30), "v1.01", 13 if win else 11, (100, 0, 0, 0), face=VERD)

for s, st in enumerate(states):
    x = 152 * s
    low, high, root, held, att, rel, vol, pan, on, alt, rev, loop, frames = st
    # activity strip
    if frames:
        colour = [50, 175, 255]
        for v, (pos, gain) in enumerate([(0.1, 1.0), (0.45, 0.6), (0.8, 0.2)]):
            mx = x + 26 + round((150 - 8) * pos)
            fill((mx, 73, mx + 8, 77), (round(gain * 225) + 30, colour[0] & 255, colour[1] & 255, colour[2] & 255))
            colour[1] -= 85; colour[0] += 50
    # sample view
    L, T, R, B = x + 26, 78, x + 176, 198
    wB = B - 48
    if frames:
        cy = (T + wB + 1) // 2
        h = wB - T
        for u in range(1, R - 1 - L):
            env = math.exp(-u / (40 + 20 * s)) * (0.9 if u > 3 else u / 4)
            amp = env * (0.6 + 0.4 * abs(math.sin(u * 0.9 + s)))
            line(L + u, int(cy - amp * h * 0.5), int(cy + amp * 0.9 * h * 0.5), (255, 75, 83, 94))
        text((L + 2, B - 18, L + 80, B), ["2.35 sec", "740 msec", "12.08 sec", "1.00 sec"][s], 14 if win else 12, (130, 0, 0, 0))
        text((R - 30, B - 18, R - 4, B), "2chn" if s % 2 == 0 else "1chn", 14 if win else 12, (130, 0, 0, 0), "right")
        blit("close_spl", R - 14, T)
        if s != 1:
            blit("prev", L, wB - 14)
        if s != 3:
            blit("next", R - 14, wB - 14)
        name = ["Grand C4.wav", "Strings Pad.ogg", "Kalimba A3.wav", "Bass Pluck.wav"][s]
    else:
        name = "..."
    text((L, wB + 4, R, B - 24), name, 16 if win else 14, (180, 0, 0, 0), "centre")
    # keyboard strip
    L, T, R, B = x + 25, 201, x + 175, 256
    if low >= 0:
        W = (R - 10) - L
        k = 1 / 115
        rnd = lambda v: int(v + 0.5)
        a = rnd(low * W * k) + 1
        b = math.ceil(high * W * k) + 10
        fill((L + a, T + 5, L + b, T + 29), (100, 255, 255, 255))
        fill((L + 1 + rnd(root * W * k), T + 5, L + 10 + math.ceil(root * W * k), T + 29), (180, 0, 143, 255))
        for n in held:
            if n < low:
                blit("note_off", L - 2 + (n * a) // low if low else L - 2, T)
            elif n > high:
                blit("note_off", L - 2 + b + rnd(((R - b) - L) * (n - high) / (115.0 - high)), T)
            elif low == high:
                blit("note_on", rnd(L + (b + a) * 0.5 - 3), T)
            else:
                blit("note_on", L + a - 3 + ((n - low) * (b - a)) // (high - low), T)
        size = 15 if win else 13
        text((L + 4, B - 20, L + 50, B), note(low), size, (180, 0, 0, 0))
        text((L + 50, B - 20, R - 50, B), f"root: {note(root)}", size, (255, 0, 82, 116), "centre")
        text((R - 50, B - 20, R - 4, B), note(high), size, (180, 0, 0, 0), "right")
    # knobs
    ta, tr, tv = texts[s]
    draw_knob(x + 69, 309, att, ta, True, -22)
    draw_knob(x + 131, 309, rel, tr, True, -22)
    draw_knob(x + 130, 388, vol, tv, False, -24)
    # buttons draw only when on
    if on:
        blit("active", x + 56, 339)
    text((x + 61 + 2, 377, x + 90, 393), ["1.0", "0.5", "12.0", "48.0", "1.0"][s], 15 if win else 13, (230, 0, 0, 0))
    # pan: bar from the centre to the handle centre, then the handle
    handle = img("slider")
    hw = handle.size[0]
    left = (x + 52 + x + 144) // 2 - 89 // 2
    travel = 89 - hw
    cyb = (416 + 432) / 2
    x1 = round(left + travel * min(pan, 0.5) + hw // 2)
    x2 = round(left + travel * max(pan, 0.5) + hw // 2)
    fill((x1, round(cyb - 1), x2, round(cyb + 1)), (255, 66, 110, 170))
    canvas.alpha_composite(handle, (round(left + travel * pan), 416))
    if alt:
        blit("alternate", x + 92, 433)
    if rev:
        blit("reverse", x + 46, 441)
    if loop:
        blit("loop", x + 106, 441)

text((10, 476, 800, 492), "/home/user/Samples/Keys/Grand C4.wav", 14 if win else 12, (180, 0, 0, 0))
canvas.convert("RGB").save(out)
print(out)
PY
