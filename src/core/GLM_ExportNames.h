#pragma once
// The names under which Save Bitmap and Save All Bitmaps write frames: base-f.bmp for BM
// frames, base-f-A.bmp .. base-f-D.bmp for MAT texture levels, base.bmp for an SFT strip.

#include "formats/LEC_BM.h"
#include "formats/LEC_MAT.h"

#include <string>
#include <vector>

// The file-name part of a path (or of a bare name) without its extension.
std::string ExportBaseName(const std::string &path);

// "A", "B", "C", "D" for levels 1 to 4; empty for any other level.
std::string MipmapLetter(int level);

std::string BMFrameBitmapName(const std::string &base, int frame,
                              const std::string &extension = ".bmp");
// Without a letter (level 0 or above 4: a colour frame) the name is base-f.bmp.
std::string MATLevelBitmapName(const std::string &base, int frame, int level,
                               const std::string &extension = ".bmp");
std::string SFTBitmapName(const std::string &base, const std::string &extension = ".bmp");

// One picture of a Save All Bitmaps run: the file name and what it shows.
struct TExportPicture
{
    std::string FileName;
    int Frame = 0;  // 1-based
    int Mipmap = 0; // 1-based texture level; 0 for BM frames and colour MAT frames

    friend bool operator==(const TExportPicture &, const TExportPicture &) = default;
};

// Every frame of a BM in order.
std::vector<TExportPicture> BMExportPictures(const TBM &bm, const std::string &base,
                                             const std::string &extension = ".bmp");
// Every level of every texture frame, frame by frame; one picture per colour frame.
std::vector<TExportPicture> MATExportPictures(const TMAT &mat, const std::string &base,
                                              const std::string &extension = ".bmp");
