#pragma once

#include "platform/graphics/DeviceCaps.h"
#include "platform/graphics/Metafile.h"

#include <string>

namespace vx {

class TStream;

// Writes the metafile as an enhanced metafile file (what other programs open as .EMF),
// from the stream's current position. `reference` is the device the picture was composed
// for (the printer): its resolution gives the frame in 0.01 mm. Nested pictures are written
// inline under the transform onto their destination; records that need a raster target
// (inversion, exclusive-or pens) are left out, as a printer would not draw them either.
void WriteEmf(TStream& stream, const Metafile& metafile, const TDeviceCaps& reference);

// The whole file or nothing: written beside the target and renamed over it. Raises
// EFOpenError "Cannot create file \"<name>\"..." or EWriteError, the old file unchanged.
void SaveEmfFile(const std::string& fileName, const Metafile& metafile,
                 const TDeviceCaps& reference);

// Enhanced-metafile record types that the writer produces.
enum TEmrType : uint32_t {
    EMR_HEADER = 1,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_EOF = 14,
    EMR_SETBKMODE = 18,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_SETGRAPHICSMODE = 76,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
};

} // namespace vx
