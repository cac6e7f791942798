#pragma once
// The bitmap export, written as it is made. A frame at the largest zoom can be hundreds of
// megabytes (1024 x 1024 at zoom 10 is 300 MB at 24 bits), so a Windows bitmap is never held
// whole: the file layout is known from the size alone, and the rows go out from the bottom
// up, as the format stores them, one band of zoom equal rows per frame row. SaveFrameBitmap
// (GLM_FramePicture.h) writes through this; PNG, which the platform's writer can only take
// whole, is made as one picture and no copy of it.

#include "core/GLM_FramePicture.h"
#include "formats/LEC_FileIO.h"

// Writes the frame at the zoom to `out` as an uncompressed Windows bitmap, exactly the bytes
// SaveFrameBitmap saves under a ".bmp" name. Raises EInOutError for a picture the format
// cannot hold (sizes beyond its 32-bit fields) before writing anything.
void StreamFrameBitmap(const TFrameView &view, const TPalette &palette, int zoom, int bits,
                       TByteSink &out);
