#pragma once

#include <QString>
#include <functional>

class QWidget;

// Windows and controls are placed in twips; 15 twips make one logical pixel.
constexpr int TwipsPerPixel = 15;

int twipsToPixels(double twips);
constexpr double pixelsToTwips(int pixels)
{
    return double(pixels) * TwipsPerPixel;
}

// Control geometry in twips, relative to the parent. A top-level's is its outer frame's on the
// screen; what is given to a window before the window manager has framed it is given again once
// the frame is known.
double Left(const QWidget *w);
double Top(const QWidget *w);
double Width(const QWidget *w);
double Height(const QWidget *w);
void setLeft(QWidget *w, double twips);
void setTop(QWidget *w, double twips);
void setWidth(QWidget *w, double twips);
// Returns false, changing nothing, for a negative height: the roll-up of the splash relies on it.
bool setHeight(QWidget *w, double twips);
void Move(QWidget *w, double left, double top, double width, double height);
// Moves a control in twips inside its parent and hands it back, for building a window.
template<class W> W *place(W *w, double left, double top, double width, double height)
{
    Move(w, left, top, width, height);
    return w;
}
// Runs `done` once the top-level has its frame and the geometry given before it; at once if it
// has its frame already. A layout that needs the true inner size waits for it.
void whenFramed(QWidget *w, std::function<void()> done);
// Runs `call` from the event loop once the top-level's first frame is on screen (soon, when it
// is already): what the user does not see waits for it, and a message comes up over the window
// rather than alone before it.
void whenOnScreen(QWidget *window, std::function<void()> call);
// Inner (client) size of a window or container in twips.
double ScaleWidth(const QWidget *w);
double ScaleHeight(const QWidget *w);

namespace Screen {
double Width();  // primary screen, in twips
double Height(); // primary screen, in twips
constexpr int TwipsPerPixelX = TwipsPerPixel;
constexpr int TwipsPerPixelY = TwipsPerPixel;
} // namespace Screen

namespace App {
QString Path(); // the folder the program runs from
// Stands another folder in for the program's (tests place programs beside it); an empty one
// gives the real folder back.
void setPath(const QString &folder);
} // namespace App
