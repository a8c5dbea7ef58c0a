#pragma once

#include <string>
#include <string_view>
#include <vector>

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

// One PNG chunk onto `out`: its length, its type, the parts' bytes in order and its CRC, each
// byte copied once.
void appendPngChunk(std::string &out, std::string_view type,
                    const std::vector<std::string_view> &parts);

// A PNG stream cut down to the chunks that make its pixels: IHDR, PLTE, tRNS, all of its image
// data as one IDAT chunk, and IEND. The decoder inflates every compressed text chunk, up to 8 MB
// each however small the file, and keeps what it found; thousands of small IDAT chunks cost a
// read each. The bytes as they came when they are no PNG stream, or when its chunks do not hold
// together up to IEND, for the decoder to refuse.
std::string pngPixelChunks(std::string_view png);

// Whether a PNG stream's chunks follow one another within its bytes up to IEND, with image data
// among them: told from the chunks' heads alone, without inflating anything.
bool pngChunksHoldTogether(std::string_view png);

// The number of scans (start-of-scan markers) of a JPEG stream, counted up to its end or to
// where its markers stop holding together: a progressive picture is decoded whole for every
// scan, so a small file of thousands of them keeps the decoder busy for minutes.
int jpegScanCount(std::string_view jpeg);
// More scans than any encoder makes: a progressive colour picture takes about ten.
constexpr int kMaxJpegScans = 100;
