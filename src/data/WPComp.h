#pragma once

// Routines that the other subsystems share: file names and files, the command line,
// rectangles, pen-width codes, lengths on a device, and the last-used folders kept in the
// companion program's settings file.

#include "platform/graphics/Pen.h"
#include "platform/runtime/Geometry.h"
#include "platform/system/Files.h" // MatchesMask

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

class TStringList;

// ---- files and names ----

// Deletes every file in the folder of `path` whose name matches `mask`; returns how many.
int DeleteFilesByMask(std::string_view path, std::string_view mask);
// Appends the names (without folder) of the files that match the mask part of pathMask.
void ListFilesByMask(TStringList& list, std::string_view pathMask);
// folder + 9 random hexadecimal digits (0 to E) + ext; the file is created empty and
// exclusively, so that no two callers get the same name. Raises EFOpenError when the folder
// does not take new files.
std::string MakeUniqueFileName(std::string_view folder, std::string_view ext);
// ext with its point (".WHF").
std::string ForceExtension(std::string_view name, std::string_view ext);
// Folder + the file name up to and including its first point + ext (without point).
std::string ReplaceExtension(std::string_view name, std::string_view ext);
std::string ReplaceChar(std::string_view s, char a, char b);

// Shell folder identifiers that the program asks for.
constexpr int CSIDL_PERSONAL = 0x05;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x10;
constexpr int CSIDL_APPDATA = 0x1A;
constexpr int CSIDL_LOCAL_APPDATA = 0x1C;
constexpr int CSIDL_COMMON_APPDATA = 0x23;
// The folder without a trailing separator; "" for an unknown identifier or a folder whose
// name cp1252 cannot hold.
std::string GetSpecialFolderPath(int csidl);

bool IsValidFileName(std::string_view name);
// Makes the file writable for good, then true when it is missing, cannot be opened for
// reading and writing, is locked by another process, or changes size or time within 200 ms
// (someone is still writing it).
bool IsFileInUse(std::string_view fileName);

// ---- command line ----

// i = 0: the program's own file; otherwise the i-th parameter of the command-line text,
// whose first parameter is the program: separated by characters 1 to 32, double quotes
// grouping and removed, an empty pair of quotes skipped where a parameter would start.
std::string GetParamStr(std::string_view cmdLine, int i);
// The text after a quoted program path, trimmed, cut before the first " \", with remaining
// double quotes turned into blanks and trimmed again.
std::string ExtractCommandLinePath(std::string_view cmdLine);

// ---- geometry ----

bool PointInRect(int32_t x, int32_t y, const TRect& rect);
TRect NormalizeRect(const TRect& rect);
TRect ClampRectToRect(const TRect& bounds, const TRect& rect);
void SwapInt(int32_t& a, int32_t& b);

// Both corners converted by the control (anything with ClientToScreen/ScreenToClient of a
// TPoint).
template <class Control>
TRect RectClientToScreen(const Control& control, const TRect& rect) {
    TPoint a = control.ClientToScreen(TPoint{rect.Left, rect.Top});
    TPoint b = control.ClientToScreen(TPoint{rect.Right, rect.Bottom});
    return {a.X, a.Y, b.X, b.Y};
}
template <class Control>
TRect RectScreenToClient(const Control& control, const TRect& rect) {
    TPoint a = control.ScreenToClient(TPoint{rect.Left, rect.Top});
    TPoint b = control.ScreenToClient(TPoint{rect.Right, rect.Bottom});
    return {a.X, a.Y, b.X, b.Y};
}

// ---- pen widths and units ----

// Codes 0..6 are the widths 1, 2, 3, 4, 6, 8, 12 in the order of the dialogs' lists.
int PenWidthToIndex(int width); // an unlisted width gives 0
int IndexToPenWidth(int index); // an unlisted code gives 1

// Codes 0..4 are the styles solid, dot, dash, dash-dot, dash-dot-dot in the order of the
// dialogs' lists.
int PenStyleToIndex(TPenStyle style); // an unlisted style gives 0
TPenStyle IndexToPenStyle(int index); // an unlisted code gives psSolid

enum Tunitadimisura : uint8_t { UM_Inch, UM_mm, UM_Cm };

// pixelsPerInch is the device's LOGPIXELSX or LOGPIXELSY, whichever direction is measured.
double PixelsToUnits(int pixelsPerInch, Tunitadimisura unit, int32_t pixels);
int32_t UnitsToPixels(int pixelsPerInch, Tunitadimisura unit, double length);

// ---- companion settings ----

// "KOLMVAR.SET" in "System" below the base folder (found whatever the case of its name).
std::string KolmVarFileName(std::string_view basePath);
// The key's value (at most 255 characters), "" when absent; true when it is not empty.
bool ReadKolmVar(std::string_view basePath, std::string_view section, std::string_view key,
                 std::string& value);
// False when the file cannot be written; every other line of it stays as it was.
bool WriteKolmVar(std::string_view basePath, std::string_view section, std::string_view key,
                  std::string_view value);

} // namespace vx
