#pragma once
// Mipmap levels of MAT texture frames: where each level lies, whether a frame can take
// another one, and generating the smaller levels from the full-size picture.

#include "formats/LEC_MAT.h"

#include <cstdint>

// The most levels a frame gets through the editor.
constexpr int32_t MaxMipmaps = 4;

struct TLevelSize
{
    int32_t Width = 0;
    int32_t Height = 0;
};

// Size of level `level` (1-based) of a frame: the full size halved level - 1 times.
TLevelSize MipmapLevelSize(const TMATTextureHeader &header, int32_t level);

// Byte offset of level `level` (1-based) inside the frame's pixel buffer.
uint64_t MipmapLevelOffset(const TMATTextureHeader &header, int32_t level,
                           uint32_t bytesPerPixel);

// True when the frame cannot take another level: it has four already, or the next one would
// measure less than 1 x 1. A frame without levels is never full.
bool MipmapsFull(const TMATTextureHeader &header);

// Rebuilds levels 2..numberMipmaps of texture frame `frame` (1-based) from its level 1, by
// keeping the top-left pixel of every 2 x 2 block. Stops early at the first level that would
// be smaller than 1 x 1. numberMipmaps 1 (or less) leaves the frame alone.
void GenerateMipmaps(TMAT &mat, int32_t frame, int32_t numberMipmaps);
