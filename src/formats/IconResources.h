#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/FormatError.h"
#include "formats/IconDecode.h"

// One image of an icon group: what the group's entry says of it, and the image's bytes (a DIB
// with its mask, or a PNG stream) as a slice of the file's, which must outlive it: a library of
// thousands of groups then costs no copy and no allocation per image.
struct IconGroupImage : IconEntryInfo
{
    std::string_view data;
};

// One icon of a file: an RT_GROUP_ICON resource, or the whole of an .ico file.
struct IconGroup
{
    std::u16string name; // the decimal id or the name as stored; empty for an .ico file
    // In the group's order. Images whose data is missing or damaged are left out, so a group
    // may have none; it still keeps its place in the file's order.
    std::vector<IconGroupImage> images;
};

// The icons of a PE32 or PE32+ executable or library, a 16-bit NE executable or icon library,
// or an .ico file (one group), told apart by their content. Index i is the i-th RT_GROUP_ICON
// resource in stored order, as ExtractIcon counts them. Nothing, with the reason, for a file
// that is not an icon source (WrongKind), holds no icons (NoIcons: never an empty list) or is
// damaged. Only `limit` groups, from the first, are read; the images are slices of `file`.
// With `cursors`, a cursor file (.cur) is read as an .ico file is: its directory differs only in
// its type and in giving the hot spot where an icon gives planes and depth.
std::optional<std::vector<IconGroup>> readIconGroups(std::string_view file,
                                                     FormatError *error = nullptr,
                                                     size_t limit = SIZE_MAX, bool cursors = false);
// Which of the images, as their own headers describe them, to show; -1 for none.
using IconImageChoice = std::function<int(const std::vector<IconImageInfo> &)>;
// Decodes one image's bytes.
using IconImageDecoder = std::function<std::optional<IconPixels>(std::string_view)>;
// The group's image that `choose` picks, decoded (by decodeIconPixels unless `decode` is given);
// a damaged one gives way to the next choice. Nothing when no image of the group decodes.
std::optional<IconPixels> chosenGroupImage(const IconGroup &group, const IconImageChoice &choose,
                                           const IconImageDecoder &decode = {});
// Whether the group has an image that decodes, told from the images' headers without decoding them.
bool groupHasIcon(const IconGroup &group);
// How many groups, from the first, have an icon; an image that many groups share is judged once.
size_t leadingIconGroups(const std::vector<IconGroup> &groups);
// A complete .ico file holding the group's images in its order, an image that repeats an
// earlier one left out. Empty for a group with none, and, with the reason, for one that would
// hold more than 256 images or 64 MiB.
std::string groupToIco(const IconGroup &group, FormatError *error = nullptr);
