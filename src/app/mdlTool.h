#pragma once

class PictureBox;

// When the clipboard holds a bitmap: Paste becomes available, the bitmap goes into the paste
// buffer and "C&lear Clipboard" is shown. Otherwise nothing changes.
void CheckClipboard();
// Puts the clipboard's bitmap into the buffer as its picture, no larger than the buffer shows;
// false, changing nothing, when the clipboard holds no bitmap.
bool LoadClipboardBitmap(PictureBox *buffer);
