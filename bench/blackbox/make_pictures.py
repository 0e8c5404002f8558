"""The black-box benchmark's test pictures: one photo-like 24 MP picture as a baseline and a
progressive JPEG holding the same coefficients (so both decode to the same pixels).

The picture is a smooth field of saturated hues with soft blobs and per-pixel grain: its
colours are far from any grey of a window's chrome (so the picture's area on the screen is
found by colour alone), and the grain gives it a photograph's entropy and makes every small
patch of it distinctive (so a coarse or half-painted picture does not match the final one).
"""

import hashlib
import subprocess

import numpy as np

WIDTH = 6000
HEIGHT = 4000
QUALITY = 90
STRIP = 250  # rows computed at a time, to keep memory small


def _smooth_noise(rng, grid_w, grid_h, rows):
    """Bilinear interpolation of a random grid_w x grid_h grid over the picture, for `rows`."""
    grid = rng.random((grid_h, grid_w), dtype=np.float32)
    fx = np.arange(WIDTH, dtype=np.float32) * ((grid_w - 1) / (WIDTH - 1))
    ix = np.minimum(fx.astype(np.int32), grid_w - 2)
    wx = fx - ix
    fy = rows.astype(np.float32) * ((grid_h - 1) / (HEIGHT - 1))
    iy = np.minimum(fy.astype(np.int32), grid_h - 2)
    wy = (fy - iy)[:, None]
    top = grid[iy][:, ix] * (1 - wx) + grid[iy][:, ix + 1] * wx
    bottom = grid[iy + 1][:, ix] * (1 - wx) + grid[iy + 1][:, ix + 1] * wx
    return top * (1 - wy) + bottom * wy


def _strip(y0, y1, seeds):
    rows = np.arange(y0, y1)
    x = np.arange(WIDTH, dtype=np.float32)[None, :] / WIDTH
    y = rows.astype(np.float32)[:, None] / HEIGHT
    blobs = sum(
        weight * _smooth_noise(np.random.default_rng(seed), gw, gh, rows)
        for seed, gw, gh, weight in seeds
    )
    grain = np.random.default_rng(1000 + y0).random((y1 - y0, WIDTH), dtype=np.float32)
    hue = (0.85 * x + 0.25 * np.sin(2 * np.pi * 1.3 * y) + 0.3 * blobs) % 1.0
    sat = np.float32(0.78)
    val = 0.58 + 0.25 * blobs + 0.14 * (grain - 0.5)
    # HSV to RGB, vectorised.
    h6 = hue * 6
    sector = h6.astype(np.int32) % 6
    f = h6 - np.floor(h6)
    p = val * (1 - sat)
    q = val * (1 - sat * f)
    t = val * (1 - sat * (1 - f))
    choices_r = [val, q, p, p, t, val]
    choices_g = [t, val, val, q, p, p]
    choices_b = [p, p, t, val, val, q]
    rgb = np.empty((y1 - y0, WIDTH, 3), dtype=np.uint8)
    for channel, choices in enumerate((choices_r, choices_g, choices_b)):
        plane = np.choose(sector, choices)
        rgb[:, :, channel] = np.clip(plane * 255 + 0.5, 0, 255).astype(np.uint8)
    return rgb


def write_ppm(path):
    seeds = [(11, 9, 7, 0.5), (12, 33, 23, 0.3), (13, 130, 88, 0.2)]
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT))
        for y0 in range(0, HEIGHT, STRIP):
            out.write(_strip(y0, min(HEIGHT, y0 + STRIP), seeds).tobytes())


def _decoded_digest(djpeg, path):
    pixels = subprocess.run([djpeg, "-ppm", path], check=True, stdout=subprocess.PIPE).stdout
    return hashlib.sha256(pixels).hexdigest()


def make_jpegs(tools, ppm, baseline, progressive):
    """Encodes the PPM as a baseline JPEG, then losslessly rewrites it as progressive."""
    subprocess.run(
        [tools["cjpeg"], "-quality", str(QUALITY), "-optimize", "-outfile", baseline, ppm],
        check=True,
    )
    subprocess.run(
        [tools["jpegtran"], "-progressive", "-copy", "none", "-outfile", progressive, baseline],
        check=True,
    )
    if _decoded_digest(tools["djpeg"], baseline) != _decoded_digest(tools["djpeg"], progressive):
        raise RuntimeError("the baseline and progressive pictures decode to different pixels")
