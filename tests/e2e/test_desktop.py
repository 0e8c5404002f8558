"""Pictures exchanged with other programs on a real desktop: the clipboard both ways
(xclip), drags from another program, and the wallpaper of a plain X11 session."""

import os
import shutil
import subprocess
import time

import pyatspi
import vedra_e2e as e2e
from vedra_e2e import TITLE, check, check_equal

_helpers = []  # programs started by a case, stopped after it


def _stop_helpers():
    while _helpers:
        p = _helpers.pop()
        if p.poll() is None:
            p.kill()
        p.wait()


def offer_on_clipboard(path, mime):
    """Another program (xclip) owns the clipboard and offers a file's bytes."""
    _stop_helpers()
    proc = subprocess.Popen(
        ["xclip", "-quiet", "-selection", "clipboard", "-t", mime, "-i", str(path)],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        preexec_fn=e2e._die_with_parent)
    _helpers.append(proc)
    e2e.wait_for(lambda: subprocess.run(["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"],
                                        capture_output=True, timeout=10).returncode == 0,
                 what="xclip to own the clipboard")


def wait_line(window, expected, contains=False):
    return e2e.wait_for(lambda: (expected in e2e.information_line(window)) if contains
                        else e2e.information_line(window) == expected,
                        what=f"the information line {expected!r} (it is {e2e.information_line(window)!r})")


def refocus(wid):
    """Makes the viewer's window the active one again, whatever its title is now."""
    e2e.xdotool("windowactivate", "--sync", wid)
    e2e.wait_for(lambda: e2e.active_window() == wid, what="the viewer to become active")


def settled(viewer, wid):
    """Returns once the viewer has handled every key sent to it so far: the About box that F2
    opens shows only after them; it is closed again."""
    refocus(wid)
    e2e.key("F2")
    viewer.wait_frame("Vedra Viewer - About")
    e2e.key("Escape")
    e2e.wait_for(lambda: not e2e.window_ids("Vedra Viewer - About"), what="About to close")
    refocus(wid)


def read_clipboard_picture(out):
    """The picture another program reads from the clipboard, saved at out; None if none."""
    from PIL import Image
    result = subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"],
                            capture_output=True, timeout=10)
    if result.returncode != 0 or not result.stdout:
        return None
    out.write_bytes(result.stdout)
    return Image.open(out).convert("RGB")


def test_pastes_reach_the_viewer_from_every_control_and_big_pictures_show():
    from PIL import Image

    folder = e2e.scratch_dir("paste-")
    # 36 megapixels: more than Qt decodes by default.
    big = folder / "big.png"
    Image.new("RGB", (6000, 6000), "red").save(big)
    png = e2e.make_picture(folder / "in.png", size="100x50", colour="red")
    bmp = e2e.make_picture(folder / "in.bmp", size="30x20", colour="blue")
    _, window, wid = e2e.start_in(folder)

    # The big picture is pasted in a fresh session, before any file was opened.
    offer_on_clipboard(big, "image/png")
    refocus(wid)
    e2e.key("ctrl+v")
    wait_line(window, "W6000 x H6000")

    # With the focus in the size box, Ctrl+V and Ctrl+C are the menu's, not the box's.
    size_box = [c for c in e2e.find_all(window, "combo box")
                if e2e.find_all(c, "text") and
                e2e.text_of(e2e.find(c, "text")) == "Original Size"][0]
    size_text = e2e.find(size_box, "text")
    e2e.key("Tab", "Tab", "Tab")  # folder list -> file list -> type box -> size box
    e2e.wait_for(lambda: pyatspi.STATE_FOCUSED in e2e.states(size_text),
                 what="the focus in the size box")
    for path, mime, line in [(png, "image/png", "W100 x H50"), (bmp, "image/bmp", "W30 x H20")]:
        offer_on_clipboard(path, mime)
        refocus(wid)
        e2e.key("ctrl+v")
        wait_line(window, line)
        check_equal(e2e.window_name(wid), TITLE, "caption after a paste")
        check_equal(e2e.text_of(size_text), "Original Size", "the size box after Ctrl+V")
    e2e.key("ctrl+c")
    copied = e2e.wait_for(lambda: read_clipboard_picture(folder / "out.png"),
                          what="the viewer's picture on the clipboard")
    check_equal(copied.size, (30, 20), "the picture Ctrl+C copied from the size box")
    r, g, b = copied.getpixel((15, 10))
    check(b > 200 and r < 60 and g < 60, f"the picture read back is blue, not {(r, g, b)}")
    check(pyatspi.STATE_FOCUSED in e2e.states(size_text), "the focus stays in the size box")
    check_equal(e2e.text_of(size_text), "Original Size", "the size box at the end")


def _viewing_area_centre(window):
    """The middle of the viewing area: 184 + 184 pixels right of the client area's left
    edge, 40 + 176 pixels below the menu bar."""
    e2e.clear_cache(window)
    x, _, _, _ = e2e.extents(window)
    bar = e2e.menu_bar(window)
    _, by, _, bh = e2e.extents(bar)
    return x + 368, by + bh + 216


def drag_from_helper(kind, path, window):
    source = os.environ.get("VEDRA_DRAG_SOURCE")
    check(source and os.access(source, os.X_OK), "VEDRA_DRAG_SOURCE names the drag helper")
    helper = subprocess.Popen([source, kind, str(path)], stdout=subprocess.PIPE, text=True,
                              stderr=subprocess.DEVNULL, preexec_fn=e2e._die_with_parent)
    _helpers.append(helper)
    e2e.wait_window_id("Drag source")
    sx, sy, sw, sh = e2e.geometry(e2e.wait_window_id("Drag source"))
    tx, ty = _viewing_area_centre(window)
    e2e.xdotool("mousemove", "--sync", sx + sw // 2, sy + sh // 2)
    e2e.xdotool("mousedown", 1)
    time.sleep(0.5)
    steps = 12
    for i in range(1, steps + 1):
        x = sx + sw // 2 + (tx - sx - sw // 2) * i // steps
        y = sy + sh // 2 + (ty - sy - sh // 2) * i // steps
        e2e.xdotool("mousemove", x, y)
        time.sleep(0.08)
    for dx in (5, -5, 0):
        e2e.xdotool("mousemove", tx + dx, ty)
        time.sleep(0.2)
    e2e.xdotool("mouseup", 1)
    return helper


def test_pictures_and_picture_files_dragged_from_another_program_are_shown():
    folder = e2e.scratch_dir("drag-")
    e2e.make_picture(folder / "a.jpg", size="64x48", colour="green")
    dragged = e2e.make_picture(folder / "dragged.png", size="70x35", colour="red")
    other = e2e.scratch_dir("other-")
    photo = e2e.make_picture(other / "dropped photo.gif", size="90x60", colour="blue")
    _stop_helpers()
    _, window, wid = e2e.start_in(folder)
    e2e.show_first_entry(wid, folder, "a.jpg")

    drag_from_helper("image", dragged, window)
    wait_line(window, "W70 x H35")
    check_equal(e2e.window_name(wid), TITLE, "caption after a drop")
    _stop_helpers()

    drag_from_helper("file", photo, window)
    wait_line(window, "W90 x H60", contains=True)
    size = os.path.getsize(photo)
    e2e.wait_for(lambda: e2e.information_line(window).startswith(f" {size} byte  W90 x H60  Date: "),
                 what=f"the dropped file's line (it is {e2e.information_line(window)!r})")
    _stop_helpers()


def test_a_picture_dropped_onto_the_minimised_window_maximises_it():
    from xdnd_source import XdndSource

    folder = e2e.scratch_dir("mindrop-")
    e2e.make_picture(folder / "a.jpg", size="64x48", colour="green")
    dragged = e2e.make_picture(folder / "dragged.png", size="80x40", colour="red")
    _, window, wid = e2e.start_in(folder)
    e2e.show_first_entry(wid, folder, "a.jpg")
    x, y = _viewing_area_centre(window)
    e2e.minimise(TITLE + " - " + os.path.join(folder, "a.jpg"))

    with XdndSource({"image/png": dragged.read_bytes()}) as source:
        check(source.drop_on(wid, x, y), "the minimised window took the drop")
    e2e.wait_for(lambda: e2e.is_maximised(wid) and not e2e.is_minimised(wid),
                 what="the window to come back maximised")
    wait_line(window, "W80 x H40")
    e2e.wait_for(lambda: e2e.window_name(wid) == TITLE, what="the caption without a file")


def _root_pixel(x, y):
    from PIL import Image
    shot = e2e.screenshot(e2e.scratch_dir("root-") / "root.png")
    return Image.open(shot).convert("RGB").getpixel((x, y))


def test_a_bitmap_becomes_the_background_of_a_plain_x11_session():
    folder = e2e.scratch_dir("wall-")
    # Blue with a red quarter on the left: stretched to the 5:4 screen the red would reach
    # x = 320; zoomed with its 2:1 proportions kept it ends at x = 128.
    subprocess.run(["convert", "-size", "100x50", "xc:#2040e0", "-fill", "red", "-draw",
                    "rectangle 0,0 24,49", "BMP3:" + str(folder / "a sky.bmp")],
                   check=True, timeout=60)
    e2e.make_picture(folder / "b.jpg", size="64x48", colour="red")
    viewer, window, wid = e2e.start_in(folder)
    e2e.show_first_entry(wid, folder, "a sky.bmp")
    corner = (1275, 1019)  # far from the centred window
    before = _root_pixel(*corner)

    e2e.key("ctrl+w")
    box = viewer.wait_message("Done!")
    e2e.press_button(box, "OK")
    r, g, b = e2e.wait_for(lambda: (lambda p: p if p[2] > 200 and p[0] < 80 else None)(
        _root_pixel(*corner)), what="the root window to show the bitmap")
    check(before != (r, g, b), f"the root window changed from {before}")
    r, g, b = _root_pixel(200, 512)
    check(b > 200 and r < 80, f"the picture keeps its proportions: (200, 512) is {(r, g, b)}")
    props = subprocess.run(["xprop", "-root", "_XROOTPMAP_ID", "ESETROOT_PMAP_ID"],
                           capture_output=True, text=True, timeout=10).stdout
    check(props.count("pixmap id #") == 2, f"both pixmap properties are set: {props!r}")

    # A JPG is refused without a word.
    refocus(wid)
    e2e.key("Down")
    e2e.wait_for(lambda: e2e.window_name(wid).endswith("b.jpg"), what="b.jpg to be shown")
    e2e.key("ctrl+w")
    settled(viewer, wid)
    check(not [w for w in viewer.message_boxes() if e2e.is_showing(w)],
          "no message for a JPG")


def _print_dialog(viewer, wid):
    """Opens File > Print... and returns the print dialog."""
    refocus(wid)
    window = [w for w in viewer.frames() if e2e.is_showing(w)][0]
    e2e.do_action(e2e.menu_item(window, "File", "Print..."))

    def find_dialog():
        for w in viewer.windows():
            if e2e.role(w) == "dialog" and e2e.name(w) == "Print" and e2e.is_showing(w):
                return w
        return None
    return e2e.wait_for(find_dialog, what="the print dialog")


def _print_to(viewer, wid, pdf, cancel=False):
    dialog = _print_dialog(viewer, wid)
    field = e2e.find(dialog, "text", "Output file:")
    field.queryEditableText().setTextContents(str(pdf))
    e2e.wait_for(lambda: e2e.text_of(field) == str(pdf), what="the output file name")
    e2e.press_button(dialog, "Cancel" if cancel else "Print")
    e2e.wait_for(lambda: not e2e.is_showing(dialog), what="the print dialog to close")


def _red_box(pdf):
    """(left, top, width, height) in points of the red picture on the PDF's first page,
    and whether anything but white lies above or left of it."""
    from PIL import Image
    base = pdf.with_suffix("")
    subprocess.run(["pdftoppm", "-r", "72", "-png", "-singlefile", str(pdf), str(base)],
                   check=True, timeout=60)
    page = Image.open(str(base) + ".png").convert("RGB")
    w, h = page.size
    px = page.load()
    reds = [(x, y) for y in range(h) for x in range(w)
            if px[x, y][0] > 200 and px[x, y][1] < 60 and px[x, y][2] < 60]
    check(reds, "the printed page shows the red picture")
    left = min(x for x, _ in reds)
    top = min(y for _, y in reds)
    right = max(x for x, _ in reds)
    bottom = max(y for _, y in reds)
    stray = any(px[x, y] != (255, 255, 255)
                for y in range(h) for x in range(w) if (y < top or x < left) and (x + y) % 3 == 0)
    return left, top, right - left + 1, bottom - top + 1, stray


def test_printing_to_a_pdf_file_puts_the_picture_top_left_at_its_shown_size():
    if not shutil.which("pdftoppm"):
        print("pdftoppm is not installed (poppler-utils)")
        raise SystemExit(77)
    folder = e2e.scratch_dir("print-")
    e2e.make_picture(folder / "wide.gif", size="200x100", colour="red")
    out = e2e.scratch_dir("pdf-")
    viewer, window, wid = e2e.start_in(folder)
    e2e.show_first_entry(wid, folder, "wide.gif")

    # Original Size: 200 x 100 pixels are 3000 x 1500 twips, 150 x 75 points on paper.
    _print_to(viewer, wid, out / "original.pdf")
    e2e.wait_for(lambda: (out / "original.pdf").exists(), what="the PDF file")
    left, top, width, height, stray = _red_box(out / "original.pdf")
    check(abs(width - 150) <= 2 and abs(height - 75) <= 2, f"printed size {width} x {height} pt")
    check(left < 72 and top < 72 and abs(left - top) <= 2,
          f"the picture sits at the printable top-left, not at ({left}, {top})")
    check(not stray, "nothing else is printed above or left of the picture")
    # A GIF keeps every pixel: its image is not stored as JPEG.
    listing = subprocess.run(["pdfimages", "-list", str(out / "original.pdf")],
                             capture_output=True, text=True, timeout=60).stdout
    encodings = [line.split()[8] for line in listing.splitlines()[2:] if line.split()]
    check(encodings and "jpeg" not in encodings, f"the picture's encoding in the PDF: {listing}")

    # Resize Maintain Aspect: the picture takes the viewing area's width, 5475 twips.
    refocus(wid)
    e2e.key("Tab", "Tab", "Down")
    e2e.wait_for(lambda: "W200 x H100" in e2e.information_line(window), what="the line")
    _print_to(viewer, wid, out / "stretched.pdf")
    e2e.wait_for(lambda: (out / "stretched.pdf").exists(), what="the PDF file")
    left2, top2, width2, height2, _ = _red_box(out / "stretched.pdf")
    check(abs(width2 - 5475 / 20) <= 2 and abs(height2 - 5475 / 40) <= 2,
          f"printed size in the stretched mode {width2} x {height2} pt")
    check((left2, top2) == (left, top), "the stretched picture starts at the same corner")

    # Cancel writes nothing.
    _print_to(viewer, wid, out / "cancelled.pdf", cancel=True)
    settled(viewer, wid)
    check(not (out / "cancelled.pdf").exists(), "Cancel prints nothing")
    check(viewer.running(), "the viewer still runs")


def _run():
    try:
        e2e.run_tests(globals())
    finally:
        _stop_helpers()


if __name__ == "__main__":
    _run()
