// Host face of the resource service: in-memory resource files, resource folders
// on disk, picture data made from PNG files, and counters for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/types.h"

namespace toolbox {
namespace host {

/// Opens a new, empty in-memory resource file at the top of the chain and makes
/// it current, as opening a file does. Returns its reference number (> 0,
/// never reused).
TOOLBOX_EXPORT SInt16 CreateResourceFile(const std::string& name);

/// Adds (or replaces) a resource in an open file. `name` may be empty. Returns
/// false when the file is not open. A loaded handle of a replaced resource is
/// disposed of.
TOOLBOX_EXPORT bool AddResource(SInt16 refNum, ResType type, SInt16 id,
                                const std::string& name, const std::vector<uint8_t>& data,
                                SInt16 attributes = 0);
/// Removes a resource; its loaded handle, if any, is disposed of.
TOOLBOX_EXPORT bool RemoveResource(SInt16 refNum, ResType type, SInt16 id);
/// Convenience builders of resource data.
/// A 'STR ' resource: one length-prefixed string (cut to 255 bytes).
TOOLBOX_EXPORT std::vector<uint8_t> StringResourceData(const std::string& text);
/// A 'STR#' resource: a 16-bit big-endian count, then length-prefixed strings.
TOOLBOX_EXPORT std::vector<uint8_t> StringListResourceData(const std::vector<std::string>& texts);

/// Opens a resource folder from disk as a new file at the top of the chain and
/// makes it current. Layout:
///   <folder>/<TYPE>/<id>.<ext>   or   <folder>/<TYPE>/<id> <name>.<ext>
/// TYPE is the four characters of the resource type (a trailing blank is
/// written as is, e.g. "STR "; any byte may be written %XX in hexadecimal).
/// id is a signed decimal number; name is the rest of the file name before the
/// extension. Extensions:
///   .bin  the resource's bytes as they are;
///   .png  (any type, meant for 'PICT') picture data made by PictureDataFromPNG;
///   .txt  for 'STR#' one string per line (newline "\n" or "\r\n"; a final
///         newline does not start another string), for 'STR ' the text without
///         its final newline, for any other type (e.g. 'ALRT') the bytes as
///         they are.
/// Other files and folders are skipped; a malformed name of a resource file, an
/// unreadable file, or two files for the same type and id fail the whole open:
/// returns -1 and an explanation in *error (may be null); nothing is opened.
TOOLBOX_EXPORT SInt16 OpenResourceFolder(const std::string& path, std::string* error = nullptr);

/// Picture data kept in 'PICT' resources by this toolbox, big-endian:
///   0  SInt16  low 16 bits of the data size
///   2  Rect    frame in points (top, left, bottom, right): 0, 0, height and
///              width in pixels × 72 / resolution
///   10 OSType  'PNGf'
///   14 SInt32  horizontal resolution, 16.16 fixed dots per inch
///   18 SInt32  vertical resolution, 16.16 fixed dots per inch
///   22 UInt32  n, the PNG's length
///   26 n bytes the PNG file
/// Makes picture data from a PNG file's bytes; the resolution comes from the
/// PNG's pHYs chunk (72 dpi when absent). Empty when the bytes are not a PNG.
TOOLBOX_EXPORT std::vector<uint8_t> PictureDataFromPNG(const std::vector<uint8_t>& png,
                                                      std::string* error = nullptr);
/// The parts of picture data; false when the bytes are not picture data.
struct PictureInfo {
  Rect frame{};
  double hRes = 72;
  double vRes = 72;
  std::vector<uint8_t> png;
};
TOOLBOX_EXPORT bool ParsePictureData(const uint8_t* data, size_t size, PictureInfo* info);

/// Reference numbers of the open files, newest first.
TOOLBOX_EXPORT std::vector<SInt16> OpenResourceFiles();
/// Closes every file and resets the counters and ResError (for test fixtures).
TOOLBOX_EXPORT void ResetResources();
/// Resource handles made by loading since the last reset.
TOOLBOX_EXPORT uint64_t ResourceLoads();
/// Resource handles freed by ReleaseResource since the last reset.
TOOLBOX_EXPORT uint64_t ResourceReleases();
/// Resource handles detached since the last reset.
TOOLBOX_EXPORT uint64_t ResourceDetaches();
/// Resource handles loaded right now (over every open file).
TOOLBOX_EXPORT size_t LoadedResources();

}  // namespace host
}  // namespace toolbox
