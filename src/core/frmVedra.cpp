#include "core/frmVedra.h"

#include <QMainWindow>

#include "core/Program.h"
#include "core/ProjectIdentity.h"
#include "core/StoredPictures.h"
#include "platform/AfterFirstFrame.h"

using platform::Picture;

namespace {
// Colours of the speed bars: lit and unlit (0xBBGGRR).
constexpr unsigned long SpeedLit = 0x80C0FF;
constexpr unsigned long SpeedUnlit = 0x80FF80;
constexpr unsigned long DecorationGrey = 0x808080;
constexpr unsigned long DecorationWhite = 0xFFFFFF;
const QString LabelFont = QStringLiteral("Sans Serif");
constexpr double LabelPoints = 8.25;
}  // namespace

frmVedra::frmVedra(Program& program)
    : Form(QStringLiteral("frmVedra"), 8490, 6075),
      cmdSystray(*this, "cmdSystray", 120, 60, 375, 375),
      cmdCopy(*this, "cmdCopy", 540, 60, 375, 375),
      cmdPaste(*this, "cmdPaste", 900, 60, 375, 375),
      imgSpeed1(*this, "imgSpeed1", 1320, 180, 135, 255),
      imgSpeed2(*this, "imgSpeed2", 1440, 120, 135, 315),
      imgSpeed3(*this, "imgSpeed3", 1560, 60, 135, 375),
      cmdFreccia(*this, "cmdFreccia", 1740, 60, 375, 375),
      cmdSlideShow(*this, "cmdSlideShow", 2100, 60, 375, 375),
      Drive1(*this, "Drive1", 120, 600, 2415, 315, program.volumes()),
      Dir1(*this, "Dir1", 120, 960, 2415, 1665, program.volumes()),
      File1(*this, "File1", 120, 2640, 2415, 1650),
      lblContatore(*this, "lblContatore", 120, 4320, 2415, 255),
      TipoImmagine(*this, "TipoImmagine", 120, 4620, 2415, 315),
      Dimensioni(*this, "Dimensioni", 120, 4980, 2415, 315),
      imgLogo(*this, "imgLogo", 120, 5400, 2415, 495),
      lblDisplay(*this, "lblDisplay", 2760, 240, 5535, 255),
      Picture1(*this, "Picture1", 2760, 600, FrameWidth, FrameHeight),
      Image1(Picture1, "Image1", 0, 0, 5475, 5235),
      Timer1(100, true),
      imgFrecciaSu(*this, "imgFrecciaSu", 660, 6000, 480, 480),
      imgFrecciaGiu(*this, "imgFrecciaGiu", 1140, 6000, 480, 480),
      imgSlideShowSu(*this, "imgSlideShowSu", 7080, 6240, 480, 480),
      imgSlideShowGiu(*this, "imgSlideShowGiu", 7320, 6240, 480, 480),
      imgLogo1(*this, "imgLogo1", 4200, 6360, 2250, 450),
      imgLogo2(*this, "imgLogo2", 3000, 6360, 2250, 450),
      Image2(*this, "Image2", 120, 6540, 2700, 600),
      Line1_0(*this, "Line1(0)", 0, 0, 13000, 0, DecorationGrey),
      Line1_1(*this, "Line1(1)", 0, 0, 13000, 0, DecorationWhite),
      Line1_2(*this, "Line1(2)", 0, 480, 2520, 480, DecorationGrey),
      Line2(*this, "Line2", 2520, 60, 2520, 480, DecorationGrey),
      mnuFile(*this, "mnuFile", "&File"),
      mnuCopyFile(mnuFile, "mnuCopyFile", "C&opy", "Ctrl+O"),
      mnuDeleteFile(mnuFile, "mnuDeleteFile", "&Delete", "Del"),
      mnuMoveFile(mnuFile, "mnuMoveFile", "&Move", "Ctrl+M"),
      mnuRenameFile(mnuFile, "mnuRenameFile", "&Rename...", "Ctrl+R"),
      mnuSaveAs(mnuFile, "mnuSaveAs", "&Save As...", "Ctrl+S"),
      lineaa(mnuFile, "lineaa", "-"),
      mnuPrint(mnuFile, "mnuPrint", "&Print..."),
      lineag(mnuFile, "lineag", "-"),
      mnuSysTray(mnuFile, "mnuSysTray", "Minimize To Sys&Tray", "Ctrl+T"),
      lineac(mnuFile, "lineac", "-"),
      mnuExit(mnuFile, "mnuExit", "&Exit"),
      mnuEdit(*this, "mnuEdit", "&Image"),
      mnuCopy(mnuEdit, "mnuCopy", "&Copy To ClipBoard", "Ctrl+C"),
      mnuPaste(mnuEdit, "mnuPaste", "&Paste From ClipBoard", "Ctrl+V"),
      rigac(mnuEdit, "rigac", "-"),
      mnuDirection(mnuEdit, "mnuDirection", "&Direction Slide Show"),
      mnuSpeedSlideShow(mnuEdit, "mnuSpeedSlideShow", "&Speed Slide Show"),
      mnuRunSlideShow(mnuEdit, "mnuRunSlideShow", "&Run Slide Show"),
      linead(mnuEdit, "linead", "-"),
      mnuWallPaper(mnuEdit, "mnuWallPaper", "Set Bitmap As &WallPaper", "Ctrl+W"),
      lineaf(mnuEdit, "lineaf", "-"),
      mnuHtml(mnuEdit, "mnuHtml", "&Generate HTML List", "Ctrl+H"),
      mnuRunWebBrowser(mnuEdit, "mnuRunWebBrowser", "Run Web &Browser", "Ctrl+B"),
      mnuOptions(*this, "mnuOptions", "&Options"),
      mnuConfirmDelete(mnuOptions, "mnuConfirmDelete", "&Confirm Delete"),
      mnuDirectorycm(mnuOptions, "mnuDirectorycm", "&Folder to Copy/Move"),
      mnuHelp(*this, "mnuHelp", "&?"),
      mnuNote(mnuHelp, "mnuNote", "&Note", "F1"),
      lineab(mnuHelp, "lineab", "-"),
      mnuAbout(mnuHelp, "mnuAbout", "&About", "F2"),
      program_(program),
      m_(program.modulo1()) {
    setCaption(project_identity::productName());
    // The small icon is all the first frame needs; the large one, which docks and window
    // switchers show, costs more to decode than the rest of the window's pictures together.
    setIcon(storedPicture("app-icon-32"));
    platform::afterFirstFrame(window(), [this] { setIcon(storedPicture("app-icon")); });

    mnuFreccia[0] = std::make_unique<platform::MenuItem>(mnuDirection, "mnuFreccia(0)", "&Up");
    mnuFreccia[1] = std::make_unique<platform::MenuItem>(mnuDirection, "mnuFreccia(1)", "Do&wn");
    mnuFreccia[1]->setChecked(true);
    mnuSpeedSS[0] =
        std::make_unique<platform::MenuItem>(mnuSpeedSlideShow, "mnuSpeedSS(0)", "S&low");
    mnuSpeedSS[1] =
        std::make_unique<platform::MenuItem>(mnuSpeedSlideShow, "mnuSpeedSS(1)", "&Normal");
    mnuSpeedSS[2] =
        std::make_unique<platform::MenuItem>(mnuSpeedSlideShow, "mnuSpeedSS(2)", "&High");
    mnuSpeedSS[1]->setChecked(true);
    mnuConfirmDelete.setChecked(true);

    // Toolbar pictures and tool tips.
    cmdSystray.setPicture(storedPicture("systray"));
    cmdSystray.setToolTipText(QStringLiteral("Minimize To SysTray"));
    cmdCopy.setPicture(storedPicture("copy"));
    cmdCopy.setToolTipText(QStringLiteral("Copy To Clipboard"));
    cmdPaste.setPicture(storedPicture("paste"));
    cmdPaste.setToolTipText(QStringLiteral("Paste From Clipboard"));
    cmdFreccia.setPicture(storedPicture("arrow-down"));
    cmdFreccia.setToolTipText(QStringLiteral("Direction Slide Show"));
    cmdSlideShow.setPicture(storedPicture("slideshow-run"));
    cmdSlideShow.setToolTipText(QStringLiteral("Run Slide Show"));
    imgSpeed1.setBackColor(SpeedLit);
    imgSpeed1.setToolTipText(QStringLiteral("Speed Slow"));
    imgSpeed2.setBackColor(SpeedLit);
    imgSpeed2.setToolTipText(QStringLiteral("Speed Normal"));
    imgSpeed3.setBackColor(SpeedUnlit);
    imgSpeed3.setToolTipText(QStringLiteral("Speed High"));
    for (platform::PictureBox* bar : {&imgSpeed1, &imgSpeed2, &imgSpeed3})
        bar->setActsAsButton(true);

    // Hidden images that carry the alternate pictures.
    imgFrecciaSu.setPicture(storedPicture("arrow-up"));
    imgFrecciaGiu.setPicture(storedPicture("arrow-down"));
    imgSlideShowSu.setPicture(storedPicture("slideshow-run"));
    imgSlideShowGiu.setPicture(storedPicture("slideshow-pause"));
    imgLogo1.setPicture(storedPicture("logo1"));
    imgLogo2.setPicture(storedPicture("logo2"));
    for (platform::Image* hidden : {&imgFrecciaSu, &imgFrecciaGiu, &imgSlideShowSu,
                                    &imgSlideShowGiu, &imgLogo1, &imgLogo2, &Image2})
        hidden->setVisible(false);

    imgLogo.setStretch(true);
    lblContatore.setFont(LabelFont, LabelPoints, true);
    lblDisplay.setFont(LabelFont, LabelPoints, true);
    // The bold desktop sans is wider than the narrow font the line was laid out for.
    lblDisplay.fitFontTo(longestInformationLines());
    Picture1.setBackColor(0xFFFFFF);
    Picture1.setBorder(true);
    TipoImmagine.setText(QStringLiteral("TipoImmagine"));
    Dimensioni.setText(QStringLiteral("Dimensioni"));

    Dir1.setTabIndex(0);
    File1.setTabIndex(1);
    TipoImmagine.setTabIndex(2);
    Dimensioni.setTabIndex(3);
    Drive1.setTabIndex(4);
    cmdSystray.setTabIndex(5);
    lblDisplay.setTabIndex(6);
    cmdSlideShow.setTabIndex(7);
    cmdCopy.setTabIndex(8);
    imgSpeed1.setTabIndex(9);
    imgSpeed2.setTabIndex(10);
    imgSpeed3.setTabIndex(11);
    lblContatore.setTabIndex(12);
    cmdPaste.setTabIndex(13);
    cmdFreccia.setTabIndex(14);
    Picture1.setTabIndex(15);
    platform::applyTabOrder({&Dir1, &File1, &TipoImmagine, &Dimensioni, &Drive1, &cmdSystray,
                             &cmdSlideShow, &cmdCopy, &imgSpeed1, &imgSpeed2, &imgSpeed3, &cmdPaste,
                             &cmdFreccia, &Picture1});

    wireHandlers();
}

frmVedra::~frmVedra() = default;

void frmVedra::wireHandlers() {
    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    Dir1.keepInStepWith(Drive1);
    File1.onClick = [this] { File1_Click(); };
    File1.onDblClick = [this] { File1_DblClick(); };
    TipoImmagine.onChange = [this] { TipoImmagine_Change(); };
    TipoImmagine.onClick = [this] { TipoImmagine_Click(); };
    Dimensioni.onChange = [this] { Dimensioni_Change(); };
    Dimensioni.onClick = [this] { Dimensioni_Click(); };
    Picture1.onClick = [this] { Picture1_Click(); };
    Image1.onClick = [this] { Image1_Click(); };
    cmdSlideShow.onClick = [this] { cmdSlideShow_Click(); };
    mnuRunSlideShow.onClick = [this] { mnuRunSlideShow_Click(); };
    imgSpeed1.onClick = [this] { imgSpeed1_Click(); };
    imgSpeed2.onClick = [this] { imgSpeed2_Click(); };
    imgSpeed3.onClick = [this] { imgSpeed3_Click(); };
    for (int i = 0; i < 3; ++i)
        mnuSpeedSS[i]->onClick = [this, i] { mnuSpeedSS_Click(i); };
    cmdFreccia.onClick = [this] { cmdFreccia_Click(); };
    for (int i = 0; i < 2; ++i)
        mnuFreccia[i]->onClick = [this, i] { mnuFreccia_Click(i); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    wireDesktopHandlers();
    cmdSystray.onClick = [this] { cmdSystray_Click(); };
    mnuSysTray.onClick = [this] { mnuSysTray_Click(); };
    mnuAbout.onClick = [this] { mnuAbout_Click(); };
    mnuNote.onClick = [this] { mnuNote_Click(); };
    imgLogo.onClick = [this] { imgLogo_Click(); };
    mnuHtml.onClick = [this] { mnuHtml_Click(); };
    mnuRunWebBrowser.onClick = [this] { mnuRunWebBrowser_Click(); };
    wireFileOperations();
}
