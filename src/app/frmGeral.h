#pragma once

#include <QAction>
#include <QMenu>
#include <array>
#include <cstdint>
#include <optional>

#include "face/Editor.h"
#include "face/History.h"
#include "toolkit/Forms.h"
#include "toolkit/PictureBox.h"
#include "toolkit/SSPanel.h"
#include "toolkit/Timer.h"

struct FormatError;
class QLabel;
class QLineEdit;
class QListWidget;

// The main window: the enlarged canvas `grid`, the actual-size icon `Ikon` (the model), the mode
// buttons, the button colours, the splash and the menu bar. Other windows reach these controls
// by name; the tool windows reach it through its face, `Editor`.
class frmGeral : public Form, public Editor
{
    Q_OBJECT
public:
    frmGeral();

    // Controls, in their nesting.
    QLineEdit *txtFormat;
    Timer *tmrLogo;
    SSPanel *pnlBarra;
    PictureBox *picCap;
    SSPanel *pnlMaster2;
    PictureBox *picLogo;
    QListWidget *List1;
    QLabel *Label1;
    QLabel *Label4;
    QLabel *Image2;
    SSPanel *fraTexto;
    QLineEdit *txtAlpha;
    SSPanel *pnlMaster;
    QLineEdit *lblNumero2;
    PictureBox *grid;
    Shape *shCapture;
    Shape *shRect;
    Shape *shCircle;
    LineShape *shLine;
    QLabel *lblCordenadas;
    QLabel *lblNumero1;
    SSPanel *pic3DColor;
    PictureBox *picDefaltColor;
    PictureBox *picVeCor;
    PictureBox *picTransparent; // the transparent paint, for either button
    SSPanel *pic3DTool;
    std::array<PictureBox *, ModeButtonCount> picModeSel;
    SSPanel *pic3DMode;
    PictureBox *picMode;
    SSPanel *pic3dIco;
    QLabel *lblMsg;
    QLabel *lblAviso;
    QLabel *imgColar;

    // The menu bar.
    QMenu *mnuOpen;
    QAction *mnuNew, *linha1, *mnuOpenSimples, *mnuOpenAs, *linha2, *mnusave, *mnuSaveSet, *div2,
        *mnuFechar;
    QMenu *mnuEdit;
    QAction *mnuUndo, *mnuRedo, *divUndo;
    QAction *mnuCortar, *mnuCopiar, *mnuColar, *div7, *mnuClear, *linha10, *mnuOpTxt;
    QMenu *mnuGradeOption;
    QAction *mnuLimpar, *mnuGrade;
    QMenu *mnuGirar;
    QAction *mnuRotate13, *mnuHorizontal, *mnuVertical, *mnuMove;
    QMenu *mnuColors;
    QAction *mnuCorFixa, *mnuProcCor, *mnuScroolColor, *mnuTransparent;
    QMenu *mnuFerramentas;
    QAction *mnuPrevi, *mnuGradiende, *mnuSearch, *div9, *mnuBrushkit;
    QMenu *mnuOptions;
    QMenu *mnuEdFormat;
    QAction *mnuRaised, *mnuSoftRaised, *mnuSunken, *mnuSoftSunken, *mnuEtched;
    QAction *mnuDrag, *div8, *mnu40000;
    QMenu *mnuAbout;
    QAction *mnucshp, *div5, *div4, *div6, *mnuVersao;

    // Drawing state shared with the clipboard commands.
    Mode DrawMode = Mode::Pencil;
    int16_t DownX = 0, DownY = 0;
    int16_t CurCol = 0, CurRow = 0;
    int16_t SelX1 = 0, SelY1 = 0, SelX2 = 0, SelY2 = 0;

    // The window's events.
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int &Cancel) override;
    void Form_KeyDown(int KeyCode, int Shift);
    void Form_MouseMove(int Button, int Shift, double X, double Y);
    void pnlBarra_MouseMove(int Button, int Shift, double X, double Y);
    void pnlBarra_DragDrop(QWidget *Source, double X, double Y);
    void picLogo_Click();
    void Image2_Click();
    void Label1_Click();
    void Label4_Click();
    void tmrLogo_Timer();
    void picDefaltColor_MouseMove(int Button, int Shift, double X, double Y);
    void picDefaltColor_MouseDown(int Button, int Shift, double X, double Y);
    // The left button paints transparent after a left press, the right after any other.
    void picTransparent_MouseDown(int Button, int Shift, double X, double Y);
    void txtAlpha_Click();
    void txtAlpha_GotFocus();
    void lblMsg_Change();
    QString msg() const override;
    void setMsg(const QString &caption) override; // sets lblMsg's caption, runs its change event
    Form &mainWindow() override { return *this; }

    // The canvas: `Ikon` is the model, `grid` its enlarged view.
    // Paints the cell whose top-left is (x, y) in grid twips, and its pixel in Ikon.
    void PaintCell(int16_t x, int16_t y, ColorValue color);
    void RedrawGrid() override;
    void mnuGrade_Click();
    // Fills all 32 x 32 pixels with the right button's colour and repaints the grid.
    void fillWithRightColor();

    // Every change of the icon as a step to undo; clean while the icon is as last saved.
    History history{*this};

    // The "&File" menu.
    // The file last opened or written; Save names a different one in the caption.
    QString lastFileName;
    void mnuNew_Click();
    void mnuOpenSimples_Click();
    // Open without its dialog: the title and filter Open gives the dialog, then what a confirmed
    // dialog leads to for cd's file. False when the file cannot be read as a picture.
    void prepareOpenDialog();
    bool openChosenFile();
    void showOpenFailure();
    void mnuOpenAs_Click();
    // True once the icon is written; false when the dialog was cancelled or the write failed.
    bool mnusave_Click();
    // Writes Ikon's picture; under an .ico name it keeps the other images of the icon file the
    // picture came from, as that file is now. When it is no icon file any more, the user is
    // asked first whether the image is written alone (`declined` when not).
    bool writePicture(const QString &path, FormatError *error, bool &declined);
    // "Save Icon Set...": the sizes chosen in its dialog, then one .ico file through the Save
    // dialog. True once it is written.
    bool mnuSaveSet_Click();
    void showSaveFailure(const QString &path, const FormatError &error);
    void mnuFechar_Click();
    // Asks before unsaved changes are thrown away: true when the program may end.
    bool mayLeave();

    // The "&Edit" menu's clipboard entries and Clean.
    void mnuCopiar_Click();
    void mnuCortar_Click();
    void mnuColar_Click();
    void mnuClear_Click();
    void mnuLimpar_Click();
    // The rotate entries.
    void mnuRotate13_Click();
    void mnuHorizontal_Click();
    void mnuVertical_Click();
    // The entries that open the tool window on one of its faces.
    void mnuMove_Click();
    void mnuReduzir_Click();
    void mnuSearch_Click();
    void mnuCorFixa_Click();

    // The "&Colors" menu and the default palette.
    void mnuProcCor_Click();
    void mnuScroolColor_Click();
    void mnuTransparent_Click(); // the left button paints transparent
    // The "&Tools" menu's window on the colour gradient.
    void mnuGradiende_Click();
    // The icon tiled over the screen, the editor minimised meanwhile.
    void mnuPrevi_Click();
    // The opened file's bitmap headers.
    void mnuPropriedade_Click();
    // Paints the spectrum into picDefaltColor, fitting and centring the strip when it is wide
    // enough for all of it.
    void GradiendColor();

    // The entries that leave the editor: the makers' pages, Brushkit and the About box.
    void mnu40000_Click();
    void mnucshp_Click();
    void mnuBrushkit_Click();
    void mnuVersao_Click();

    // Frame styles, panel options and the settings file.
    void mnuRaised_Click();
    void mnuSoftRaised_Click();
    void mnuSunken_Click();
    void mnuSoftSunken_Click();
    void mnuEtched_Click();
    void mnuDrag_Click();
    void mnuOpTxt_Click();
    // Writes the settings file from txtFormat; "2" goes into txtFormat when it cannot.
    void FormatTools();
    // Gives the six panels the bevel kind in txtFormat.
    void MudaFormatoTollfrmGeral();
    // Reads the saved frame style at start-up, or writes a new file holding "3".
    void readFrameStyle();
    // The six panels, in the order they are always handled.
    std::array<SSPanel *, 6> panels() const;

    // The drawing modes.
    void picModeSel_Click(int Index);
    void grid_MouseDown(int Button, int Shift, double X, double Y);
    void grid_MouseMove(int Button, int Shift, double X, double Y);
    void grid_MouseUp(int Button, int Shift, double X, double Y);
    ColorValue buttonColor(int Button) const;

    // True while the splash is up and the editing menus are locked.
    bool splashShown() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void applyCanvasSize(const CanvasSize &size) override;

private:
    // The controls, panel by panel, in the order that stacks them and runs the focus through.
    void buildControls();
    void buildCanvasPanel();
    void buildModeButtons();
    void buildModePanel();
    void buildIconPanel();
    void buildTextPanel();
    void buildColourPanel();
    void buildSplash();
    void layOutInside();
    void layoutPanels();
    // The menu bar: each menu is built and wired beside its commands.
    void buildMenus();
    void buildFileMenu();
    void buildEditMenu();
    void buildGradMenu();
    void buildColorsMenu();
    void buildToolsMenu();
    void buildOptionsMenu();
    void buildAboutMenu();
    // An entry at the end of the menu; a shortcut also works while a tool window is active.
    static QAction *menuEntry(QMenu *menu, const char *caption, const char *shortcut = nullptr);
    // The menus the splash keeps locked until it rolls up.
    void setEditingMenusEnabled(bool enabled);
    void wireEvents();
    void StartLogoRollUp();
    void hideToolWindows();
    void finishRollUp();
    // Paints the square of the cell whose top-left is (x, y) on the grid alone.
    void paintSquare(int16_t x, int16_t y, ColorValue color);
    // The same for a pixel that is not opaque, over the checkerboard.
    void paintChecked(int16_t x, int16_t y, QRgb pixel);
    // What a release does in each mode.
    void releaseLine(ColorValue color);
    void releaseBox(ColorValue color, int16_t col, int16_t row);
    void releaseCircle(ColorValue color);
    void releaseText(ColorValue color, int16_t col, int16_t row);
    void releaseFill(ColorValue color, int16_t col, int16_t row);
    void releaseCapture();
    void releasePaste(int16_t col, int16_t row);

    // The question before leaving has been answered: the program ends.
    bool leaving_ = false;
    // The window's first frame is on screen; the work the user does not see waits for it.
    bool onScreen_ = false;
    // A pencil stroke, from the press to the release, is one change of the icon.
    std::optional<IconChange> stroke_;
};
