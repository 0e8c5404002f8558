#include "info/frmNote.h"

#include "core/ProjectIdentity.h"
#include "core/StoredPictures.h"

namespace {

// The help text, one entry per line; an empty entry is an empty line.
const char* const NoteLines[] = {
    "WARNING:",
    "Delete do not use basket. After Delete is not possible undelete!",
    "",
    "",
    "PROGRAM\u2019S FEATURES:",
    "",
    "Window\u2019s Dimentions: Normal, Maximize, Full Screen.",
    "",
    "",
    "FUNCTIONS AVAILABLE IN NORMAL AND MAXIMIZE WINDOWS:",
    "",
    "File functions: Copy, Delete, Move, Rename, Save As (BMP format",
    "only), Exit.",
    "",
    "Image functions: Copy To ClipBoard (do not support ICO format),",
    "Paste From ClipBoard, Drag An Drop (support for Bitmap BMP,",
    "Metafile WMF, Enhanced metafile EMF, Device-independent",
    "Bitmap DIB or BMP.",
    "",
    "Drag and Drop is also active with application minimized.",
    "",
    "Slide Show functions: Run and Pause, Speed Choises (Slow, Normal,",
    "High), Direction (Down, Up).",
    "",
    "Set Bitmap As WallPaper: it is possibile for Bitmap file. After",
    "Paste action save image as Bitmap if you want it as Wallpaper.",
    "",
    "Generate HTML List: list images to HTML document.",
    "Is is possible open the source of document with Notepad and",
    "the document with the default web browser.",
    "ICO images are excluded.",
    "Run Web Browser execute the default browser.",
    "",
    "Options: Abilite/Disabilite Confirm Delete Box, Folder Setup for",
    "Copy/Move.",
    "",
    "Image\u2019s Format selections: All Pictures Files (JPG, GIF, BMP, WMF,",
    "EMF, ICO), JPG and GIF, JPG, GIF, BMP, WMF, EMF, ICO.",
    "Clic open image; double clic open image to full screen.",
    "",
    "Image\u2019s Size selections: Original Size, Resize Maintain Aspect,",
    "Resize To Windows, Full Screen Maintain Aspect, Full Screen.",
    "Click (right or left button) on image to resize Full Screen",
    "Maintain Aspect.",
    "",
    "Minimize To SysTray.",
    "",
    "Print image.",
    "",
    "Keys available if file selection active: Down Arrow (next file),",
    "Up Arrow (previous file), Home (first file), End  (last file),",
    "Ctrl+Home (first file), Ctrl+End (last file).",
    "",
    "Shorcut Keys: Ctrl+O (Copy), Del (Delete), Ctrl+M (Move), Ctrl+R",
    "(Rename), Ctrl+S (Save As), Ctrl+T (Minimize To SysTray), Ctrl+C",
    "(Copy To ClipBoard), Ctrl+V (Paste From ClipBoard),",
    "Ctrl+W (Set Bitmap As WallPaper), Ctrl+H (Generate HTML List),",
    "Ctrl+B (Run Web Browser), F1 (Note), F2 (About).",
    "",
    "",
    "FUNCTIONS AVAILABLE IN FULL SCREEN:",
    "",
    "Click left button on image to resize to Original/Maximize size",
    "(depend on previous state).",
    "",
    "Click right button on image to access to Run/Pause Slide Show",
    "and Copy To ClipBoard.",
    "",
    "Keys available: Down Arrow (next file), Up Arrow (previous file),",
    "Home (first file), End (last file).",
    "",
    "",
    "FUNCTIONS AVAILABLE IN TOOLBAR:",
    "",
    "Minimize To SysTray, Copy To ClipBoard, Paste From ClipBoard,",
    "Speed Choises (Slow, Normal, High), Direction Slide Show,",
    "Run/Pause Slide Show.",
    "",
    "",
    "FUNCTIONS AVAILABLE MINIMIZE TO SYSTRAY:",
    "",
    "Double click left button on Systray icon to resize to Original/",
    "Maximize size (depend on previous state).",
    "",
    "Click right button on Systray icon to access About, Open and Exit.",
};
static_assert(sizeof(NoteLines) / sizeof(NoteLines[0]) == 85, "the help text has 85 lines");

constexpr double ListWidth = 7335;
constexpr double ExampleLeft = 120 + ListWidth + 240;

}  // namespace

frmNote::frmNote(Program& program)
    : Form(QStringLiteral("frmNote"), ExampleLeft + 1950 + 240, 7080,
           platform::BorderStyle::FixedDialog),
      List1(*this, "List1", 120, 120, ListWidth, 6315),
      Image1(*this, "Image1", ExampleLeft, 120, 1950, 1875),
      Image2(*this, "Image2", ExampleLeft, 2400, 1950, 1860),
      Image3(*this, "Image3", ExampleLeft, 4665, 1950, 1860),
      Label1(*this, "Label1", ExampleLeft - 240, 2010, 2430, 255),
      Label2(*this, "Label2", ExampleLeft - 240, 4275, 2430, 255),
      Label3(*this, "Label3", ExampleLeft - 240, 6540, 2430, 255),
      cmdOK(*this, "cmdOK", 120 + ListWidth / 2 - 600, 6570, 1215, 375, QStringLiteral("OK")) {
    (void)program;
    setCaption(project_identity::productTitle(QStringLiteral("Note")));
    setIcon(storedPicture("app-icon"));
    Image1.setPicture(storedPicture("note-normal-size"));
    Image2.setPicture(storedPicture("note-maintain-aspect"));
    Image3.setPicture(storedPicture("note-resize-to-window"));
    Label1.setCaption(QStringLiteral("Normal Size"));
    Label2.setCaption(QStringLiteral("Resize Maintain Aspect"));
    Label3.setCaption(QStringLiteral("Resize to Windows"));
    for (platform::Label* label : {&Label1, &Label2, &Label3})
        label->setCentered(true);
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);
    cmdOK.onClick = [this] { cmdOK_Click(); };
}

frmNote::~frmNote() = default;

void frmNote::Form_Load() {
    for (const char* line : NoteLines)
        List1.AddItem(QString::fromUtf8(line));
    List1.showWholeRows();
}

void frmNote::cmdOK_Click() {
    Unload();
}
