#pragma once

// What both pixmint-icons programs print for --help and for a wrong command line.
inline constexpr char kUsage[] = R"(Usage: pixmint-icons list FILE
       pixmint-icons extract FILE DIR
       pixmint-icons thumbnail [-s SIZE] FILE OUTPUT.png
       pixmint-icons create OUTPUT.ico INPUT... [--sizes 16,24,32,48,256]
       pixmint-icons convert INPUT OUTPUT [--size N]

Reads the icons of a Windows executable or library (PE32, PE32+ or 16-bit NE), an icon
library (.icl) or an icon file (.ico); the kind is told from the content, not the name.
Icons are counted from 0 in the order Windows' ExtractIcon gives them.

  list      prints one line per icon: its index, a tab, its group name (the resource id in
            decimal, or its name as stored), a tab, and its images in the group's order as
            WIDTHxHEIGHTxBITS separated by blanks, as each image's own header says (BITS is
            32 for PNG-compressed images). Control characters in a name are written as
            escapes, so that every icon keeps to one line of three fields: \t, \n and \r,
            \xHH for the other codes below 32 and for 127, \uHHHH for the other control
            characters and the line and paragraph separators, and \\ for a backslash.
  extract   writes every icon, with all its images, to DIR/NAME_INDEX.ico, where NAME is
            FILE's name without its last extension, and prints how many it wrote. An image
            that repeats an earlier one of its icon is written once; an icon of more than 256
            images or 64 MiB is not written.
  thumbnail writes the picture a file manager shows for FILE, as a PNG with alpha: the
            first icon of an executable or library, or the image of an icon or cursor
            file, each time the image that suits SIZE best (the smallest not smaller, else
            the largest; the deepest colour first among equals), fitted into SIZE x SIZE
            (1 to 1024, 128 when left out): made smaller, or larger by whole factors with
            every pixel a block. FILE may be at most 48 MiB. An OUTPUT that exists empty,
            as thumbnail hosts make it, is filled in place.
  create    writes an icon file of the images of the INPUTs (PNG, BMP, GIF or icon files,
            each at most 256 pixels a side; of an icon file its largest image), largest
            first: 256 pixels as PNG, smaller as 32 bits with their masks. With --sizes,
            every listed size (1 to 256) that no input has is made from the smallest larger
            input, else from the largest: by whole factors every pixel a block, otherwise
            averaged with its transparency. Two inputs of one size are an error.
  convert   writes one image of INPUT (an icon file, the first icon of an executable or
            library, or a picture) to OUTPUT as PNG, BMP or icon, by OUTPUT's extension:
            of an icon, its largest image, or with --size the image that suits N best (as
            for thumbnail), scaled so that its larger side is N (1 to 1024).

FILE and DIR are taken byte for byte, whatever their encoding. Only a regular file of at most
512 MiB is read.

Exit status: 0 on success, 1 when the file holds no icons (2 for thumbnail, which then
writes nothing), 2 when it cannot be read (missing, not a regular file, a read error, not an
icon source, damaged), when an icon or the output cannot be written (a full disk),
or when the command line is wrong; create and convert write nothing then.
)";
