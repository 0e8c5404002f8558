"""Pictures exchanged with other programs on a real X desktop: the clipboard both ways
(xclip), drops from another program (XDND), printing to a PDF file and the wallpaper of a
plain X11 session."""

import subprocess

import vedra_e2e as e2e
from PIL import Image
from vedra_e2e import check, check_equal
from xdnd_source import XdndSource


_owners = []  # the xclip that owns the clipboard


def offer_on_clipboard(path, mime):
    """Another program (xclip) owns the clipboard and offers a file's bytes (the one that
    owned it before is gone first: its offer must not be mistaken for the new one)."""
    while _owners:
        _owners.pop().kill()
    _owners.append(e2e.helper(["xclip", "-quiet", "-selection", "clipboard", "-t", mime, "-i",
                               str(path)]))
    targets = ["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"]
    e2e.wait_for(lambda: mime in e2e.run(*targets).split(), what=f"xclip to offer {mime}")


def clipboard_picture(out):
    """The picture another program reads from the clipboard, saved at out; None if none."""
    data = subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"],
                          capture_output=True, timeout=e2e.TIMEOUT).stdout
    out.write_bytes(data)
    return Image.open(out).convert("RGB") if data else None


def test_pictures_pasted_from_another_program_show_and_a_copy_reaches_it():
    folder = e2e.scratch_dir("paste-")
    # 36 megapixels: more than Qt decodes by default.
    Image.new("RGB", (6000, 6000), "red").save(folder / "big.png")
    png = e2e.make_picture(folder / "in.png", size="100x50", colour="red")
    bmp = e2e.make_picture(folder / "in.bmp", size="30x20", colour="blue")
    _, window, wid = e2e.start_in(folder)

    # The big picture is pasted in a fresh session, before any file was opened.
    offer_on_clipboard(folder / "big.png", "image/png")
    e2e.activate(wid)
    e2e.key("ctrl+v")
    e2e.wait_line(window, "W6000 x H6000")
    for path, mime, line in [(png, "image/png", "W100 x H50"), (bmp, "image/bmp", "W30 x H20")]:
        offer_on_clipboard(path, mime)
        e2e.activate(wid)
        e2e.key("ctrl+v")
        e2e.wait_line(window, line)
    e2e.key("ctrl+c")
    copied = e2e.wait_for(lambda: clipboard_picture(folder / "out.png"),
                          what="the viewer's picture on the clipboard")
    check_equal(copied.size, (30, 20), "the picture Ctrl+C copied")
    r, g, b = copied.getpixel((15, 10))
    check(b > 200 and r < 60 and g < 60, f"the picture read back is blue, not {(r, g, b)}")


def test_pictures_and_picture_files_dropped_from_another_program_are_shown():
    folder = e2e.scratch_dir("drop-")
    e2e.make_picture(folder / "a.jpg", size="64x48", colour="green")
    dragged = e2e.make_picture(folder / "dragged.png", size="70x35", colour="red")
    photo = e2e.make_picture(e2e.scratch_dir("other-") / "dropped photo.gif", size="90x60")
    _, window, wid = e2e.start_in(folder)
    e2e.show_first_entry(wid, folder, "a.jpg")
    # The middle of the viewing area: 368 pixels right of the window's left edge, 216
    # below the menu bar.
    x = e2e.extents(window)[0] + 368
    y = sum(e2e.extents(e2e.find(window, "menu bar"))[1::2]) + 216
    drops = [  # what is offered, the line shown after the drop, whether the window was away
        ({"image/png": dragged.read_bytes()}, "W70 x H35", False),
        ({"text/uri-list": photo.as_uri().encode() + b"\r\n"},
         f" {photo.stat().st_size} byte  W90 x H60  Date: ", False),
        ({"image/png": e2e.make_picture(folder / "b.png", size="80x40").read_bytes()},
         "W80 x H40", True),
    ]
    for offers, line, minimised in drops:
        if minimised:  # a drop onto the task bar's entry of the minimised window
            e2e.xdotool("windowminimize", "--sync", wid)
            e2e.wait_for(lambda: e2e.is_minimised(wid), what="the window to be minimised")
        with XdndSource(offers) as source:
            check(source.drop_on(wid, x, y), f"the viewer took the drop of {list(offers)}")
        e2e.wait_line(window, line)
        if minimised:
            e2e.wait_for(lambda: e2e.is_maximised(wid) and not e2e.is_minimised(wid),
                         what="the window to come back maximised")


def test_printing_to_a_pdf_file_puts_the_picture_top_left_at_its_shown_size_losslessly():
    folder = e2e.scratch_dir("print-")
    e2e.make_picture(folder / "wide.gif", size="200x100", colour="red")
    pdf = e2e.scratch_dir("pdf-") / "printed.pdf"
    viewer, window, wid = e2e.start_in(folder)
    e2e.show_first_entry(wid, folder, "wide.gif")
    e2e.do_action(e2e.menu_item(window, "File", "Print..."))
    dialog = e2e.wait_for(lambda: next((w for w in viewer.message_boxes()
                                        if e2e.name(w) == "Print"), None),
                          what="the print dialog")
    field = e2e.find(dialog, "text", "Output file:")
    field.queryEditableText().setTextContents(str(pdf))
    e2e.wait_for(lambda: e2e.text_of(field) == str(pdf), what="the output file name")
    e2e.press_button(dialog, "Print")
    e2e.wait_for(lambda: pdf.exists() and b"%%EOF" in pdf.read_bytes()[-64:],
                 what="the whole PDF file")

    subprocess.run(["pdftoppm", "-r", "72", "-png", "-singlefile", pdf, pdf.with_suffix("")],
                   check=True, timeout=e2e.TIMEOUT)
    page = Image.open(pdf.with_suffix(".png")).convert("RGB")
    px = page.load()
    reds = [(x, y) for y in range(page.height) for x in range(page.width)
            if px[x, y][0] > 200 and px[x, y][1] < 60 and px[x, y][2] < 60]
    check(reds, "the printed page shows the red picture")
    left, top = min(x for x, _ in reds), min(y for _, y in reds)
    width, height = max(x for x, _ in reds) - left + 1, max(y for _, y in reds) - top + 1
    # Original Size: 200 x 100 pixels are 3000 x 1500 twips, 150 x 75 points on paper.
    check(abs(width - 150) <= 2 and abs(height - 75) <= 2, f"printed size {width} x {height} pt")
    check(left < 72 and top < 72 and abs(left - top) <= 2,
          f"the picture sits at the printable top-left, not at ({left}, {top})")
    check(all(px[x, y] == (255, 255, 255) for y in range(page.height)
              for x in range(0, page.width, 3) if y < top or x < left),
          "nothing else is printed above or left of the picture")
    # A GIF keeps every pixel: its image is not stored as JPEG.
    listing = e2e.run("pdfimages", "-list", pdf)
    encodings = [line.split()[8] for line in listing.splitlines()[2:] if line.split()]
    check(encodings and "jpeg" not in encodings, f"the picture's encoding in the PDF: {listing}")


def test_a_bitmap_becomes_the_background_of_a_plain_x11_session():
    folder = e2e.scratch_dir("wall-")
    # Blue with a red quarter on the left: stretched to the 5:4 screen the red would reach
    # x = 320; zoomed with its 2:1 proportions kept it ends at x = 128.
    subprocess.run(["convert", "-size", "100x50", "xc:#2040e0", "-fill", "red", "-draw",
                    "rectangle 0,0 24,49", "BMP3:" + str(folder / "a sky.bmp")],
                   check=True, timeout=e2e.TIMEOUT)
    viewer, window, wid = e2e.start_in(folder)
    e2e.show_first_entry(wid, folder, "a sky.bmp")
    corner = (1275, 1019)  # far from the centred window
    check(e2e.screenshot().getpixel(corner)[2] < 200, "the root window starts without blue")

    e2e.key("ctrl+w")
    e2e.press_button(viewer.wait_message("Done!"), "OK")
    e2e.wait_for(lambda: (lambda r, g, b: b > 200 and r < 80)(*e2e.screenshot().getpixel(corner)),
                 what="the root window to show the bitmap")
    r, g, b = e2e.screenshot().getpixel((200, 512))
    check(b > 200 and r < 80, f"the picture keeps its proportions: (200, 512) is {(r, g, b)}")
    props = e2e.run("xprop", "-root", "_XROOTPMAP_ID", "ESETROOT_PMAP_ID")
    check(props.count("pixmap id #") == 2, f"both pixmap properties are set: {props!r}")


if __name__ == "__main__":
    e2e.run_tests(globals(), tools=("xclip", "pdftoppm", "pdfimages"))
