#pragma once

// When the clipboard holds a bitmap: Paste becomes available, the bitmap goes into the paste
// buffer and "C&lear Clipboard" is shown. Otherwise nothing changes.
void CheckClipboard();
