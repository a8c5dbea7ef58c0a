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

    // The faces.
    QGroupBox *fraCores;
    QGroupBox *fraMove;
    QGroupBox *fraDiminui;
    QGroupBox *fraLocaliza;

    // The palette face.
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    PictureBox *LeftColor;
    PictureBox *RightColor;
    // The 32 fixed colours 0..31 and the custom slots 33, 34, 35, 39, 40, 42, 45 and 47.
    std::map<int, PictureBox *> Color;

    // The move face.
    std::array<QToolButton *, 8> cmdShift;

    // The icon search face. One element shows the icon IconIndex of the file searched last,
    // decoded when it is shown: a library may hold tens of thousands of icons.
    QPushButton *cmdOpen;
    QToolButton *cmdBack;
    QToolButton *cmdNext;
    PictureBox *PicIcon;
    QLabel *lblArquivo;
    CommonDialog CommonDialog1;
    int32_t IconIndex = 0;
    int32_t IconCount = 0; // how many icons the file searched last holds

    // The resize face.
    QPushButton *cmdDiminuir;
    QGroupBox *Frame1;
    PictureBox *picPequeno;

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

    // Shows `face` alone, hiding the others in the given order, and sizes the window in twips.
    void openFace(QGroupBox *face, std::initializer_list<QGroupBox *> hidden, double width,
                  double height);

private:
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
