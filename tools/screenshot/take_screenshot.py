"""Takes the screenshot that the software-centre metadata shows: the main window on a
folder of pictures, one of them selected and fitted to the viewing area.

Run it on the private desktop of the end-to-end tests, from the repository root:

    tests/e2e/run-e2e.sh build/app/vedra-viewer tools/screenshot/take_screenshot.py \
        data/screenshots/main-window.png

The pictures are drawn here (a few landscapes in the program's colours), so the
screenshot shows nothing but this project's own work.
"""

import random
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from PIL import Image, ImageDraw, ImageFilter

import vedra_e2e as e2e
from vedra_e2e import TITLE, check

SCENES = [
    # name, sky top, sky bottom, sun, far hills, near hills, seed
    ("Alpine lake.jpg", (0x3A, 0x80, 0xD2), (0xD9, 0xEB, 0xFB), (0xFF, 0xD5, 0x5E),
     (0x5C, 0xCF, 0xC2), (0x14, 0xA3, 0x97), 3),
    ("Autumn ridge.jpg", (0x7A, 0x9C, 0xC8), (0xF6, 0xD8, 0xA8), (0xF6, 0xB9, 0x2B),
     (0xC8, 0x8A, 0x4A), (0x8A, 0x4E, 0x20), 5),
    ("Evening coast.jpg", (0x24, 0x2B, 0x56), (0xE8, 0x77, 0x22), (0xFF, 0xD5, 0x5E),
     (0x4A, 0x3A, 0x5E), (0x1A, 0x1E, 0x33), 8),
    ("Green valley.jpg", (0x5A, 0x9E, 0xE6), (0xE4, 0xF2, 0xFF), (0xFF, 0xF0, 0xB0),
     (0x7C, 0xC0, 0x6A), (0x3E, 0x8A, 0x3A), 13),
    ("Winter morning.jpg", (0x9A, 0xB8, 0xD8), (0xF4, 0xF7, 0xFB), (0xFF, 0xE8, 0xC0),
     (0xDD, 0xE4, 0xEE), (0xB0, 0xC0, 0xD4), 21),
]


def ridge(rng, width, base, amplitude, steps=9):
    points = [(0, base)]
    for i in range(1, steps):
        points.append((width * i / steps, base - rng.uniform(0.2, 1.0) * amplitude))
    points.append((width, base - rng.uniform(0.1, 0.6) * amplitude))
    return points


def landscape(size, sky_top, sky_bottom, sun, far, near, seed):
    width, height = size
    rng = random.Random(seed)
    img = Image.new("RGB", size)
    draw = ImageDraw.Draw(img)
    for y in range(height):
        t = y / (height - 1)
        draw.line([(0, y), (width, y)],
                  fill=tuple(round(a + (b - a) * t) for a, b in zip(sky_top, sky_bottom)))
    glow = Image.new("L", size, 0)
    sx, sy, r = width * rng.uniform(0.55, 0.8), height * rng.uniform(0.2, 0.35), height * 0.08
    ImageDraw.Draw(glow).ellipse((sx - 3 * r, sy - 3 * r, sx + 3 * r, sy + 3 * r), fill=90)
    img.paste(sun, mask=glow.filter(ImageFilter.GaussianBlur(r)))
    draw.ellipse((sx - r, sy - r, sx + r, sy + r), fill=sun)
    for base, amp, colour in ((0.62, 0.25, far), (0.80, 0.22, near)):
        pts = ridge(rng, width, height * base, height * amp)
        draw.polygon(pts + [(width, height), (0, height)], fill=colour)
    water = Image.new("RGB", size, tuple(min(255, c + 30) for c in sky_top))
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).rectangle((0, height * 0.88, width, height), fill=120)
    img.paste(water, mask=mask)
    return img.filter(ImageFilter.GaussianBlur(1.2))


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "main-window.png").resolve()
    # A short, plain path for the folder list to show; removed at the end.
    top = Path(tempfile.mkdtemp(prefix="home-", dir="/tmp"))
    folder = top / "Pictures"
    folder.mkdir()
    try:
        shoot(folder, out)
    finally:
        e2e.kill_all_viewers()
        shutil.rmtree(top, ignore_errors=True)
    print(f"wrote {out}")


def shoot(folder, out):
    for name, *colours, seed in SCENES:
        landscape((1600, 1067), *colours, seed).save(folder / name, quality=90)
    viewer = e2e.start_viewer(cwd=folder)
    window = viewer.wait_frame(TITLE)
    e2e.focus_window(TITLE)

    # Fit pictures to the viewing area (the size box's second entry), then pick the first
    # landscape.
    sizes = [c for c in e2e.find_all(window, "combo box")
             if "Resize Maintain Aspect" in e2e.list_entries(c)]
    check(sizes, "no size-mode box")
    e2e.click_object(sizes[0])
    time.sleep(0.5)
    e2e.key("Down")
    e2e.key("Return")
    e2e.wait_for(lambda: e2e.name(sizes[0]) == "Resize Maintain Aspect" or
                 "Resize Maintain Aspect" in e2e.texts_of(sizes[0])[:2],
                 what="the size box to show Resize Maintain Aspect")
    file_list = [e for e in e2e.find_all(window, "list")
                 if SCENES[0][0] in e2e.list_entries(e)][0]
    e2e.click_object(e2e.find(file_list, "list item", SCENES[0][0]))
    wid = e2e.wait_window_id(TITLE + " - " + str(folder / SCENES[0][0]))
    time.sleep(1.0)
    subprocess.run(["import", "-window", str(wid), str(out)], check=True, timeout=60)


if __name__ == "__main__":
    main()
