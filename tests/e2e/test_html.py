"""The HTML list as a user makes it: Ctrl+H, the name dialog, the two questions, and
the editor and browser the desktop registers (fake ones, in this run's XDG folders).
The document's exact bytes are the integration tests' business; here it must reach the
disk through the real dialog and keys."""

import os
import stat
import time
from pathlib import Path

import vedra_e2e as e2e
from vedra_e2e import check, check_equal

DIALOG = "Vedra Viewer - Genera lista HTML"
PICTURES = [("a.jpg", "64x48", "red"), ("b c.gif", "30x20", "blue")]


def check_document(path, folder):
    text = path.read_bytes().decode()
    check(text.startswith(f"<HTML>\r\n<HEAD>\r\n<TITLE>Images: {folder}</TITLE>\r\n"),
          f"the document's head: {text[:80]!r}")
    for name, _, _ in PICTURES:
        size = (Path(folder) / name).stat().st_size
        check(f'<IMG SRC="{name}"><BR>{name} ({size} byte)<P>\r\n' in text,
              f"the document lists {name}")
    check(text.endswith("</BODY>\r\n</HTML>\r\n"), "the document is complete")


def answer(viewer, question, button):
    box = viewer.wait_message(question)
    e2e.press_button(box, button)
    e2e.wait_for(lambda: not any(question in e2e.texts_of(w) and e2e.is_showing(w)
                                 for w in viewer.message_boxes()),
                 what=f"the question {question!r} to close")


def register_fake(name, mime_type, script):
    """A program of this run's desktop: the script, its .desktop file, its association."""
    bin_dir = Path(os.environ["VEDRA_E2E_SCRATCH"]) / "bin"
    bin_dir.mkdir(parents=True, exist_ok=True)
    program = bin_dir / name
    program.write_text("#!/bin/sh\n" + script)
    program.chmod(program.stat().st_mode | stat.S_IXUSR)
    applications = Path(os.environ["XDG_DATA_HOME"]) / "applications"
    applications.mkdir(parents=True, exist_ok=True)
    (applications / f"{name}.desktop").write_text(
        f"[Desktop Entry]\nType=Application\nName={name}\nExec=\"{program}\" %f\n")
    config = Path(os.environ["XDG_CONFIG_HOME"])
    config.mkdir(parents=True, exist_ok=True)
    with open(config / "mimeapps.list", "a") as f:
        f.write(f"[Default Applications]\n{mime_type}={name}.desktop;\n")


def test_enter_takes_the_defaults_and_yes_waits_for_the_editor_then_opens_the_browser():
    folder = e2e.scratch_dir("html-")
    for name, size, colour in PICTURES:
        e2e.make_picture(folder / name, size=size, colour=colour)
    records = e2e.scratch_dir("records-")
    release = records / "release"
    # The editor stays open until the test lets it go; the browser returns at once.
    register_fake("fake-editor", "text/plain",
                  f"printf '%s' \"$1\" > '{records}/editor'\n"
                  f"while [ ! -e '{release}' ]; do sleep 0.1; done\n")
    register_fake("fake-browser", "text/html", f"printf '%s' \"$1\" > '{records}/browser'\n")
    viewer, _, main_window = e2e.start_in(folder)

    # Enter keeps the proposed name; No is the questions' default button.
    e2e.key("ctrl+h")
    viewer.wait_frame(DIALOG)
    e2e.focus_window(DIALOG)
    e2e.key("Return")
    viewer.wait_message("Open source with NotePad?")
    e2e.key("Return")
    viewer.wait_message("Open with Web Browser?")
    e2e.key("Return")
    document = folder / "PicList.htm"
    e2e.wait_for(lambda: document.exists(), what="PicList.htm on disk")
    e2e.wait_for(lambda: not any(e2e.is_showing(w) for w in viewer.message_boxes()),
                 what="the questions to close")
    check_document(document, folder)
    check(not list(records.iterdir()), "No started the editor or the browser")

    name = folder / "it's a \"$HOME\" & `list`.htm"
    e2e.xdotool("windowactivate", "--sync", main_window)
    e2e.key("ctrl+h")
    viewer.wait_frame(DIALOG)
    e2e.focus_window(DIALOG)
    e2e.key("ctrl+a")
    e2e.type_text(str(name))
    e2e.key("Return")
    answer(viewer, "Open source with NotePad?", "Yes")
    e2e.wait_for(lambda: (records / "editor").exists(), what="the editor to start")
    check_equal((records / "editor").read_text(), str(name), "the editor's argument")

    # While the editor is open the viewer keeps painting but takes no input.
    e2e.xdotool("windowactivate", "--sync", main_window)
    e2e.key("ctrl+h")
    time.sleep(1.5)
    check(not e2e.window_ids(DIALOG), "the name dialog opened while the editor was open")
    check(not viewer.message_boxes() or not any(e2e.is_showing(w) for w in viewer.message_boxes()),
          "the browser question came before the editor closed")
    if os.environ.get("VEDRA_E2E_ARTIFACTS"):
        os.makedirs(os.environ["VEDRA_E2E_ARTIFACTS"], exist_ok=True)
        e2e.screenshot(Path(os.environ["VEDRA_E2E_ARTIFACTS"]) / "html-waiting-for-editor.png")

    release.touch()
    answer(viewer, "Open with Web Browser?", "Yes")
    e2e.wait_for(lambda: (records / "browser").exists(), what="the browser to start")
    check_equal((records / "browser").read_text(), str(name), "the browser's argument")
    check_document(name, folder)
    check(viewer.running(), "the viewer ended")


if __name__ == "__main__":
    e2e.run_tests(globals())
