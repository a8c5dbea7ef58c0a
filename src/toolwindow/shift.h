#pragma once

class PictureBox;

// Moves the 32 x 32 icon one pixel; what leaves one edge is lost and the edge that opens turns
// white. Only the icon changes: the caller repaints the grid.
void ShiftRight(PictureBox *ikon);
void ShiftLeft(PictureBox *ikon);
void ShiftUp(PictureBox *ikon);
void ShiftDown(PictureBox *ikon);
