#pragma once

#include <QSizeF>
#include <array>
#include <functional>
#include <memory>

#include "platform/Form.h"
#include "platform/Menu.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/DirListBox.h"
#include "platform/controls/DriveListBox.h"
#include "platform/controls/FileListBox.h"
#include "platform/controls/Image.h"
#include "platform/controls/Label.h"
#include "platform/controls/Line.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/PictureButton.h"
#include "platform/controls/Timer.h"

class Program;
enum class SizeMode;
struct Modulo1;
namespace platform {
class DataObject;
enum class WallpaperResult;
class TextOutputFile;
}  // namespace platform

// The main window: folder browser, viewing area, information line, toolbar and menus.
class frmVedra : public platform::Form {
  public:
    explicit frmVedra(Program& program);
    ~frmVedra() override;

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void Form_Resize() override;

    // Toolbar.
    platform::PictureButton cmdSystray;
    platform::PictureButton cmdCopy;
    platform::PictureButton cmdPaste;
    platform::PictureBox imgSpeed1;
    platform::PictureBox imgSpeed2;
    platform::PictureBox imgSpeed3;
    platform::PictureButton cmdFreccia;
    platform::PictureButton cmdSlideShow;
    // Browser column.
    platform::DriveListBox Drive1;
    platform::DirListBox Dir1;
    platform::FileListBox File1;
    platform::Label lblContatore;
    platform::ComboBox TipoImmagine;
    platform::ComboBox Dimensioni;
    platform::Image imgLogo;
    // Viewing area.
    platform::Label lblDisplay;
    platform::PictureBox Picture1;
    platform::Image Image1;
    platform::Timer Timer1;
    // Hidden images carrying pictures stored with the window.
    platform::Image imgFrecciaSu;
    platform::Image imgFrecciaGiu;
    platform::Image imgSlideShowSu;
    platform::Image imgSlideShowGiu;
    platform::Image imgLogo1;
    platform::Image imgLogo2;
    platform::Image Image2;
    // Decoration.
    platform::Line Line1_0;
    platform::Line Line1_1;
    platform::Line Line1_2;
    platform::Line Line2;

    // Menus.
    platform::MenuItem mnuFile;
    platform::MenuItem mnuCopyFile;
    platform::MenuItem mnuDeleteFile;
    platform::MenuItem mnuMoveFile;
    platform::MenuItem mnuRenameFile;
    platform::MenuItem mnuSaveAs;
    platform::MenuItem lineaa;
    platform::MenuItem mnuPrint;
    platform::MenuItem lineag;
    platform::MenuItem mnuSysTray;
    platform::MenuItem lineac;
    platform::MenuItem mnuExit;
    platform::MenuItem mnuEdit;
    platform::MenuItem mnuCopy;
    platform::MenuItem mnuPaste;
    platform::MenuItem rigac;
    platform::MenuItem mnuDirection;
    std::array<std::unique_ptr<platform::MenuItem>, 2> mnuFreccia;
    platform::MenuItem mnuSpeedSlideShow;
    std::array<std::unique_ptr<platform::MenuItem>, 3> mnuSpeedSS;
    platform::MenuItem mnuRunSlideShow;
    platform::MenuItem linead;
    platform::MenuItem mnuWallPaper;
    platform::MenuItem lineaf;
    platform::MenuItem mnuHtml;
    platform::MenuItem mnuRunWebBrowser;
    platform::MenuItem mnuOptions;
    platform::MenuItem mnuConfirmDelete;
    platform::MenuItem mnuDirectorycm;
    platform::MenuItem mnuHelp;
    platform::MenuItem mnuNote;
    platform::MenuItem lineab;
    platform::MenuItem mnuAbout;

    // Browser core procedures.
    void Dir1_Change();
    void Drive1_Change();
    void TipoImmagine_Change();
    void TipoImmagine_Click();
    void ApplicaFiltro();
    void File1_Click();
    void File1_DblClick();
    void LeggiImmagine();
    void AggiornaImmagine();
    void Dimensioni_Change();
    void Dimensioni_Click();
    void ApplicaDimensioni();
    void OriginaleImmagine();
    void IngrandisciImmagine();
    void RiempiImmagine();
    void IngrandisciImmagineFS();
    void RiempiImmagineFS();
    void CentraImmagine();
    void ResetDimensioniImmagine();
    void Picture1_Click();
    void Image1_Click();
    void RidimensionamentoFrame();
    void Pasteggia();

    // Slide show (viewing/frmVedra_SlideShow.cpp).
    void cmdSlideShow_Click();
    void mnuRunSlideShow_Click();
    void imgSpeed1_Click();
    void imgSpeed2_Click();
    void imgSpeed3_Click();
    void mnuSpeedSS_Click(int Index);
    void cmdFreccia_Click();
    void mnuFreccia_Click(int Index);
    void Timer1_Timer();
    // Start and pause the show with every run-state indicator, the full-screen window's
    // menu item included; that item's handler calls them too.
    void startSlideShow();
    void pauseSlideShow();

    // Clipboard, drag and drop, wallpaper and printing (desktop/).
    void mnuCopy_Click();
    void cmdCopy_Click();
    void mnuPaste_Click();
    void cmdPaste_Click();
    void Image1_OLEDragDrop(platform::DataObject& Data, long& Effect, int Button, int Shift,
                            double X, double Y);
    void Picture1_OLEDragDrop(platform::DataObject& Data, long& Effect, int Button, int Shift,
                              double X, double Y);
    void mnuWallPaper_Click();
    // Hands the bitmap file to the desktop; says what became of it.
    platform::WallpaperResult WallPaper(const QString& BMPFile, int SPIFlags);
    void mnuPrint_Click();

    // Tray mode (viewing/frmVedra_Tray.cpp).
    void cmdSystray_Click();
    void mnuSysTray_Click();

    // Information windows and the logo (info/frmVedra_Info.cpp).
    void mnuAbout_Click();
    void mnuNote_Click();
    void imgLogo_Click();
    // HTML list (html/frmVedra_Html.cpp).
    void mnuHtml_Click();
    void mnuRunWebBrowser_Click();
    void GeneraHtml();
    void ExecCmd(QString& cmdline);
    void Navigatore(QString& Sito);
    // File operations (fileops/frmVedra_FileOps.cpp).
    void mnuCopyFile_Click();
    void mnuMoveFile_Click();
    void mnuDeleteFile_Click();
    void mnuRenameFile_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    void mnuConfirmDelete_Click();
    void mnuDirectorycm_Click();
    // The rename dialog tells the window the new path of the file it renamed.
    void setRenamedPath(const QString& path) { renamedPath_ = path; }

    // Read-only views of the window's state for the other windows and for tests.
    long ModoDimensioni() const { return ModoDimensioni_; }
    long NumeroFile() const { return NumeroFile_; }
    bool ImmagineIncollata() const { return ImmagineIncollata_; }
    const QString& RigaComando() const { return RigaComando_; }
    int VersoSlideShow() const { return VersoSlideShow_; }
    bool ImmagineBitmap() const { return ImmagineBitmap_; }
    const QString& PercorsoBitmap() const { return PercorsoBitmap_; }

    // Layout lengths read once by Form_Load.
    struct LayoutLengths {
        long LarghezzaArea = 0, AltezzaArea = 0, LarghezzaAreaMax = 0, AltezzaAreaMax = 0;
        long LarghezzaCornice = 0, AltezzaCornice = 0, LarghezzaCorniceMax = 0,
             AltezzaCorniceMax = 0;
        long TopInfo = 0, TopInfoMax = 0, LarghezzaInfo = 0, LarghezzaInfoMax = 0;
        long AltezzaListaFile = 0, TopContatore = 0, TopTipoImmagine = 0, TopDimensioni = 0,
             TopLogo = 0;
    };
    const LayoutLengths& layout() const { return L_; }

  private:
    void wireHandlers();
    void wireDesktopHandlers();
    void wireFileOperations();
    // File operations: the overwrite question, the list after a move, delete or rename.
    int askOverwrite(bool targetExists);
    void selectAfterRemoval(int idx);
    void selectEntryNamed(const QString& name);
    platform::Picture pictureAsShown() const;
    // The HTML dialog's name box follows the open folder (defined with the HTML list).
    void setDefaultHtmlName();
    void showFolderState();
    // Runs the procedure of the current size mode (ModoDimensioni).
    void applySizeMode();
    QSizeF areaForWindowState() const;
    // Sizes Image1 by a stretching mode and centres it.
    void stretchToMode(SizeMode mode);
    // Loads a picture for the view the current size mode shows it in, served by the
    // read-ahead or a load a moment ago while its file is unchanged; a large progressive
    // JPEG shows a coarse picture while it decodes.
    platform::Picture loadShownPicture(const QString& path);
    // The coarse picture of a load under way, where the picture will be shown.
    void showLoadPreview(const QImage& coarse, QSize natural);
    void endLoadPreview();

  public:
    // Starts decoding the picture of list entry `index` in the background, for the view the
    // current size mode will show it in.
    void prefetchEntry(long index);
    // The view in which a load shows a picture of a given natural size: the full-screen
    // window's when a full-screen mode is on or the window is open (it then shows every
    // picture loaded, bigger than the main window does), otherwise the main window's.
    platform::ShownViewFor shownViewForLoad() const;
    // The main window's own view: the size its mode gives, at natural size the part of the
    // picture that the frame shows.
    platform::ShownViewFor shownViewInMainWindow() const;
    bool fullScreenOpen() const;
    // Whether a command line names a picture to open at start.
    static bool namesAPicture(const QString& commandLine);
    // The view a picture named on the command line is loaded for at start, known before the
    // window exists: Original Size in the frame as designed.
    static platform::ShownViewFor viewAtStart();
    // The widest information lines a real file can give: a 10-digit length, a 5-digit
    // width and height, and the locale's widest date-time texts.
    static QStringList longestInformationLines();
    // The viewing frame's designed size, in twips.
    static constexpr double FrameWidth = 5535;
    static constexpr double FrameHeight = 5295;

  private:
    // Steps of GeneraHtml once the listing holds an entry; false when the dialog was
    // cancelled, true when the user's selection may be taken back.
    bool writeHtmlList(const QString& selectedName);
    void walkAndListPictures(platform::TextOutputFile& document);
    void showError(int number);
    QString informationLine(const QString& path) const;
    // Sets every speed indicator for choice 0 (Slow), 1 (Normal) or 2 (High).
    void showSpeed(int choice);
    // Sets every direction indicator for -1 (Up) or +1 (Down).
    void showDirection(int verso);

    Program& program_;
    Modulo1& m_;
    LayoutLengths L_;
    long ModoDimensioni_ = 0;
    long NumeroFile_ = 0;
    bool ImmagineIncollata_ = false;
    QString RigaComando_;
    int VersoSlideShow_ = 0;
    bool ImmagineTrascinata_ = false;
    bool ImmagineBitmap_ = false;
    QString PercorsoBitmap_;
    QString renamedPath_;
};
