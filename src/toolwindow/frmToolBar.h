#pragma once

#include <QByteArray>
#include <QGroupBox>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "face/cells.h"
#include "formats/IconResources.h"
#include "toolkit/CommonDialog.h"
#include "toolkit/Forms.h"
#include "toolkit/PictureBox.h"

class QLabel;
class QPushButton;
class QToolButton;

// The floating tool window: one of four faces at a time (palette, icon search, resize, move).
// It has no model of its own; it works on the main window's colours and icon through its face.
class frmToolBar : public Form
{
    Q_OBJECT
public:
    frmToolBar();

    // The screen's twips per pixel, taken at load.
    int16_t PixelTwipsX = 0;
    int16_t PixelTwipsY = 0;

    // The faces, each made the first time it is opened: none is needed to start.
    enum class Face { Palette, Move, Resize, Search };
    QGroupBox *fraCores = nullptr;
    QGroupBox *fraMove = nullptr;
    QGroupBox *fraDiminui = nullptr;
    QGroupBox *fraLocaliza = nullptr;

    // The palette face. The two swatches exist from the load on, since they hold the colours
    // that closing the window hands to the main window.
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    PictureBox *LeftColor;
    PictureBox *RightColor;
    // The 32 fixed colours 0..31 and the custom slots 33, 34, 35, 39, 40, 42, 45 and 47.
    std::map<int, PictureBox *> Color;

    // The move face.
    std::array<QToolButton *, 8> cmdShift{};

    // The icon search face. One element shows the icon IconIndex of the file searched last,
    // decoded when it is shown: a library may hold tens of thousands of icons.
    QPushButton *cmdOpen = nullptr;
    QToolButton *cmdBack = nullptr;
    QToolButton *cmdNext = nullptr;
    PictureBox *PicIcon = nullptr;
    QLabel *lblArquivo = nullptr;
    CommonDialog CommonDialog1;
    int32_t IconIndex = 0;
    int32_t IconCount = 0; // how many icons the file searched last holds

    // The resize face.
    QPushButton *cmdDiminuir = nullptr;
    QGroupBox *Frame1 = nullptr;
    PictureBox *picPequeno = nullptr;

    void Form_Load() override;
    void Form_Unload(int &Cancel) override;
    void Color_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void Color_Click(int Index);
    void cmdShift_Click(int Index);
    void cmdOpen_Click();
    void cmdNext_Click();
    void cmdBack_Click();
    void PicIcon_Change();
    void setArquivo(const QString &caption); // sets lblArquivo and runs its change event
    void cmdDiminuir_Click();

    // Shows the face alone, making it first if need be, and sizes the window in twips.
    void openFace(Face which, double width, double height);

private:
    QGroupBox *made(Face which);
    void buildPalette();
    void buildMove();
    void buildSearch();
    void buildResize();
    void showIcon(int index);
    // Gives the main window's canvas the size and picPequeno's image.
    void transferToCanvas(const CanvasSize &size);

    QByteArray searchedBytes_;        // the file searched last, which searched_ are slices of
    std::vector<IconGroup> searched_; // its icons, in its order
};
