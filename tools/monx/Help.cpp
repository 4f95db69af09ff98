// Builds the manual page and the preset table from the same tables the parser uses.
#include "Help.h"

#include <cctype>
#include <cstdio>

#include "Settings.h"

namespace monx {
namespace {

std::string FieldOptionLines() {
  std::string text;
  for (const ToningField& field : Fields()) {
    char line[256];
    std::snprintf(line, sizeof line, "    -%c, --%s N", field.shortName, field.option);
    text += line;
    if (field.alias) text += std::string("   (also --") + field.alias + ")";
    std::string meaning = field.meaning;
    meaning[0] = char(std::toupper(static_cast<unsigned char>(meaning[0])));
    std::snprintf(line, sizeof line, "\n        %s.\n        Accepted: %s. Neutral: %d.\n",
                  meaning.c_str(), field.accepted, NeutralInfo().*field.member);
    text += line;
  }
  return text;
}

std::string PresetNames() {
  std::string text;
  for (const Preset& preset : Presets()) text += (text.empty() ? "" : ", ") + std::string(preset.name);
  return text;
}

}  // namespace

std::string PresetTable() {
  std::string text =
      "preset       colour-x colour-y tone brightness contrast shadow highlight density "
      "white-shift\n";
  for (const Preset& p : Presets()) {
    const MonxInfo& i = p.info;
    char line[256];
    std::snprintf(line, sizeof line, "%-12s %8d %8d %4d %10d %8d %6d %9d %7d %11d\n", p.name,
                  i.colorX, i.colorY, i.tone, i.brightness, i.contrast, i.shadowTone,
                  i.highlightTone, i.density, i.whiteShift);
    text += line;
    text += std::string("             ") + p.description + "\n";
  }
  return text;
}

std::string ManualText() {
  return std::string(R"(NAME
    monx - tone black-and-white photographs like darkroom prints

SYNOPSIS
    monx [OPTIONS] INPUT OUTPUT
    monx [OPTIONS] INPUT... FOLDER
    monx sheet [OPTIONS] INPUT SHEET.png
    monx --list-presets

DESCRIPTION
    monx gives a black-and-white photograph the look of a toned print. A tone
    curve (brightness, contrast, shadows, highlights, density of black, white
    level, tone exponent) reshapes the greys, and a point on a colour circle
    gives the mid-tones a colour cast while black and white stay neutral.

    INPUT is a PNG or JPEG file, recognised by its content. OUTPUT is written
    as PNG or JPEG according to its extension (.png, .jpg, .jpeg), 8 bits per
    channel, in colour (the toning adds the cast), with the input's resolution
    (dpi) kept. The output is written to a temporary file in the same folder
    and renamed into place, so an interrupted or failed run never leaves a
    half-written file; monx refuses to write over its input. "-" as INPUT
    reads standard input; "-" as OUTPUT writes standard output, in the
    --format given or else the input's format. A file name that begins with
    "-" must be written ./-name (or follow --).

    A photo whose EXIF data records a camera orientation is turned upright.
    The output keeps the EXIF data (its orientation now 1, its recorded width
    and height swapped for a quarter turn, its thumbnail left out) and an RGB
    colour profile; --strip leaves both out. Transparency is kept in PNG
    output; in JPEG output the photo is laid over white.

    Colour photographs are turned into grey first, by their luminance: the
    values are taken as sRGB, decoded to linear light, weighted 0.2126 red,
    0.7152 green, 0.0722 blue (the share of each sRGB primary in luminance)
    and encoded back. Weighting light rather than encoded values keeps the
    brightness a viewer sees in every colour; the older 0.299/0.587/0.114
    weights on encoded values darken saturated colours. --per-channel skips
    this and runs each colour channel through its own curve instead: a colour
    effect (a sepia photo turns orange-brown everywhere, a cyanotype makes
    skin pink), not a toned print of a colour photo.

TONING OPTIONS
    -p, --preset NAME
        Start from a named preset (values: monx --list-presets):
        )") + PresetNames() + R"(.
        The field options below change single values of it. Default: neutral.
)" + FieldOptionLines() +
         R"(
OTHER OPTIONS
    --per-channel
        Run each colour channel of a colour photo through its own curve
        instead of toning its grey (formerly --keep-colour).
    --strip
        Leave EXIF data and the colour profile out of the output.
    -q, --quality N
        JPEG quality, 1 to 100. Default 90 (chroma subsampled 2x2).
    --fast-jpeg
        Decode and encode JPEG with the fast integer DCT and plain chroma
        upsampling: quicker, with small differences in fine detail.
    -j, --jobs N
        Photos toned at once in batch mode, 1 to 64. Default 2.
    --format png|jpeg
        Output format in batch mode. Default: the format of each input.
        A single OUTPUT is written in the format its extension names.
    --progress auto|always|never
        Progress bar on standard error in batch mode. Default auto: only
        when standard error is a terminal.
    --list-presets
        Print every preset with its values and exit.
    -h, --help
        Print this manual and exit.
    --version
        Print the version and exit.

BATCH MODE
    With more than one INPUT, a folder as INPUT, or an existing folder (or a
    name ending in /) as the last argument, monx tones every photo into that
    folder, creating it if needed (but not under a name ending in .png, .jpg
    or .jpeg: add a / for that). A folder INPUT stands for its .png, .jpg
    and .jpeg files (not its subfolders). Each output keeps its input's name
    (with --format, its extension changes). A photo whose output would
    replace an input photo, or the output of another input, is skipped. A
    progress bar shows the count, the current file, and elapsed and remaining
    time; a summary line follows. A photo that fails is reported on its own
    line and the others are still toned; the exit status is then 1.

CONTACT SHEET
    monx sheet [OPTIONS] INPUT SHEET.png
        Renders INPUT once per setting in a grid, with a label under each
        tile, so a look can be picked at a glance. By default one tile per
        preset; field options given are applied to every preset. With
        --vary, --preset and the field options set the other fields
        (--preset without --vary is refused: use --presets). The toning
        options and --per-channel work as for a single photo. Labels name
        each tile's settings; the title line says what was done to the
        photo (colour made grey, or each channel toned).
    --vary FIELD
        One tile per value of FIELD (a field option name, such as tone or
        contrast) instead of the presets.
    --steps N
        Tiles for --vary on a field with many values (2 to 16, default 5);
        tone and white-shift always show all their values.
    --presets NAME,NAME...
        The presets to show, in this order.
    --tile N
        Longest side of each tile in pixels, 32 to 2048 (default 240). The
        photo is scaled down to fit, keeping its proportions; a photo smaller
        than 220 pixels is scaled up to 220 (or --tile, if smaller), and a
        cell is at least 220 pixels wide, so the labels stay readable.
    --columns N
        Tiles per row, 1 to 64. Default (or 0): at most 4, the rows as
        evenly filled as that allows (5 or 6 tiles: 3 per row).
    With cells of W x H pixels (the scaled photo, W at least 220), the sheet is
    2*20 + columns*W + (columns-1)*16 pixels wide and
    2*20 + 34 + rows*(H+56) + (rows-1)*16 pixels high.
    A sheet more than 32767 pixels wide or high is refused.

IMAGES MONX ACCEPTS
    PNG: grey, RGB, palette, 1 to 16 bits, interlaced or not, with or
    without alpha or transparency; 16-bit samples are converted to 8 bits,
    with a note on standard error. JPEG: grey or RGB (YCbCr), baseline or
    progressive. CMYK JPEG is refused. Truncated or damaged files are
    refused rather than written out patched. EXIF (JPEG APP1, PNG eXIf) and
    colour profiles (JPEG APP2, PNG iCCP) are read and carried over; a grey
    profile is left out (with a note), since the toned photo is RGB.

EXIT STATUS
    0   success
    1   batch mode: at least one photo failed (the others were written)
    64  bad command line, unknown preset, or a value out of range
    65  input is not a usable image (not PNG/JPEG, truncated, damaged, CMYK)
    66  input missing or unreadable
    70  internal failure of the toning engine
    73  output cannot be written

EXAMPLES
    monx --preset sepia portrait.jpg portrait-sepia.jpg
    monx -x 20 -y 40 --contrast 6 scan.png toned.png
    monx --preset selenium --jobs 2 scans/ toned/
    monx --preset cool --strip - out.jpg < in.jpg
    monx sheet portrait.jpg looks.png
    monx sheet --preset warm --vary contrast --steps 7 portrait.jpg contrast.png
)";
}

}  // namespace monx
