"""On a high-density screen (Qt's scale factor 2 on the private display): a photo fitted into
the viewing area shows the detail of the screen's device pixels, and the full-screen window
covers every device pixel. (That labels hold their texts at any density is measured by the
layout unit tests, run again at several scales: labels give no text extent over AT-SPI.)"""

import random

import numpy as np
import vedra_e2e as e2e
from PIL import Image
from vedra_e2e import check

SCALE = "2"
BORDER = 24  # pixels of the photo's magenta frame, which marks where it is on the screen


def make_detailed_photo(path, size=(2400, 1800), grain=4):
    """A photo of grey grain about `grain` pixels wide inside a magenta frame: its detail is
    finer than a logical pixel once fitted into the viewing area, but not finer than a
    device pixel."""
    rng = random.Random(24)
    inner = (size[0] - 2 * BORDER, size[1] - 2 * BORDER)
    small = (inner[0] // grain, inner[1] // grain)
    noise = Image.frombytes("L", small, bytes(rng.randrange(256)
                                              for _ in range(small[0] * small[1])))
    photo = Image.new("RGB", size, (255, 0, 255))
    photo.paste(noise.resize(inner, Image.BICUBIC).convert("RGB"), (BORDER, BORDER))
    photo.save(path, quality=95)
    return photo


def frame_box(shot):
    """The magenta frame's extent on the screenshot: (left, top, right, bottom), exclusive."""
    a = np.asarray(shot.convert("RGB")).astype(int)
    magenta = (a[:, :, 0] > 160) & (a[:, :, 1] < 90) & (a[:, :, 2] > 160)
    rows = np.flatnonzero(magenta.sum(axis=1) > 20)
    cols = np.flatnonzero(magenta.sum(axis=0) > 20)
    if len(rows) == 0 or len(cols) == 0:
        return None
    return cols[0], rows[0], cols[-1] + 1, rows[-1] + 1


def mean_difference(shot, box, reference):
    """How far the photo's inside on the screen is from `reference` (the photo at the shown
    size): the mean absolute grey difference, at the best shift of up to a pixel, which
    absorbs the frame's rounding."""
    left, top, right, bottom = box
    width, height = right - left, bottom - top
    margin = int(round(BORDER * width / 2400)) + 4
    seen = np.asarray(shot.convert("L")).astype(float)
    ref = np.asarray(reference.convert("L")).astype(float)
    inner = ref[margin:height - margin, margin:width - margin]
    best = None
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            y, x = top + margin + dy, left + margin + dx
            part = seen[y:y + inner.shape[0], x:x + inner.shape[1]]
            if part.shape == inner.shape:
                d = float(np.abs(part - inner).mean())
                best = d if best is None else min(best, d)
    return best


def test_a_fitted_photo_is_drawn_at_the_device_pixels():
    folder = e2e.scratch_dir("hidpi-")
    photo = make_detailed_photo(folder / "detail.jpg")
    viewer, window, wid = e2e.start_in(folder, env={"QT_SCALE_FACTOR": SCALE})
    # Keys rather than clicks: over AT-SPI the places are logical pixels, xdotool's device
    # ones. The photo first, then, past the filter box, the size box's Resize Maintain Aspect.
    e2e.show_first_entry(wid, str(folder), "detail.jpg")
    e2e.key("Tab", "Tab", "Down")
    e2e.wait_for(lambda: "Resize Maintain Aspect" in [e2e.text_of(t)
                                                      for t in e2e.find_all(window, "text")],
                 what="the size box to show Resize Maintain Aspect")

    def shown():
        shot = e2e.screenshot()
        box = frame_box(shot)
        # Whole and fitted: the photo's 4:3 frame, not the corner of it seen at natural size
        # before the size mode was applied.
        fitted = box and box[2] - box[0] > 200 and \
            abs((box[2] - box[0]) / (box[3] - box[1]) - 4 / 3) < 0.02
        return (shot, box) if fitted else None
    shot, box = e2e.wait_for(shown, what="the photo to be shown fitted into the viewing area")
    width, height = box[2] - box[0], box[3] - box[1]
    device = photo.resize((width, height), Image.LANCZOS)
    logical = photo.resize((round(width / 2), round(height / 2)), Image.LANCZOS).resize(
        (width, height), Image.BILINEAR)
    to_device = mean_difference(shot, box, device)
    to_logical = mean_difference(shot, box, logical)
    print(f"  photo shown at {width} x {height} device pixels; mean difference from the "
          f"device-size downscale {to_device:.1f}, from the logical one scaled up "
          f"{to_logical:.1f}")
    check(to_device < 0.8 * to_logical,
          f"the photo shows the device pixels' detail: {to_device:.1f} against {to_logical:.1f}")

    # Full Screen Maintain Aspect (two items on, it opens the full-screen window): the wide
    # photo takes the screen's width, its frame reaching the first and last device column.
    e2e.key("Down", "Down")

    def edges_covered():
        a = np.asarray(e2e.screenshot()).astype(int)
        band = a[a.shape[0] // 4:3 * a.shape[0] // 4]
        edges = np.concatenate([band[:, 0], band[:, -1]])
        magenta = (edges[:, 0] > 160) & (edges[:, 1] < 90) & (edges[:, 2] > 160)
        return bool(magenta.all()) or None
    e2e.wait_for(edges_covered, what="the full-screen photo to reach both sides of the screen")
    check(viewer.process.poll() is None, "the viewer keeps running")


if __name__ == "__main__":
    e2e.run_tests(globals())
