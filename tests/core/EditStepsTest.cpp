// Undo and redo steps on the real QUndoStack: every step kind against the files the same
// edits give by hand, and long seeded runs undone back to the opened files.

#include <gtest/gtest.h>

#include <QUndoStack>

#include <functional>
#include <random>

#include "CoreTestData.h"
#include "core/GLM_Import.h"
#include "core/GLM_Mipmaps.h"
#include "core/documents/GLM_BMDocument.h"
#include "core/documents/GLM_EditSteps.h"
#include "core/documents/GLM_MATDocument.h"
#include "core/documents/GLM_SFTDocument.h"

using namespace testutil;

namespace {

struct TDocs
{
    TBM BM;
    TMAT MAT;
    TSFT SFT;
    TCMP CMP;
};
enum TKindOf { BM, MAT, SFT, CMP };

// The files the documents are opened from, built byte by byte.
TDocs Open(const TempDir &dir)
{
    TDocs d;
    d.BM.LoadFromFile(Put(dir, "a.bm", BMBytes({{4, 3, 1}, {2, 2, 2}, {3, 3, 3}})));
    d.MAT.LoadFromFile(
        Put(dir, "a.mat", TextureMAT({{8, 8, 2, 0x1234}, {4, 4, 1, 0x0F0F}, {2, 2, 1, 7}}, 16)));
    d.SFT.LoadFromFile(Put(dir, "a.sft", SFTBytes({{'A', 0, 3}, {'B', 3, 2}}, 5, 4)));
    d.CMP.LoadFromFile(Put(dir, "a.cmp", CMPBytes(1)));
    return d;
}

std::vector<uint8_t> Saved(const TDocs &d, TKindOf kind, const TempDir &dir)
{
    const std::string path = dir.File("saved");
    TSFT font = d.SFT; // its writer recounts the ranges
    kind == BM ? d.BM.SaveToFile(path)
    : kind == MAT ? d.MAT.SaveToFile(path)
    : kind == SFT ? font.SaveToFile(path)
                  : d.CMP.SaveToFile(path);
    return ReadFile(path);
}

TBitmapPicture Picture(int width, int height, int seed)
{
    TBitmapPicture p{width, height, {}, {}, {}};
    for (int i = 0; i < width * height; ++i) {
        const TPaletteEntry c = Ramp()[static_cast<size_t>((i * 7 + seed) % 256)];
        p.RGB.insert(p.RGB.end(), {c.Red, c.Green, c.Blue});
    }
    return p;
}

// Makes the step of an edit on one document, then does the edit.
using TEdit = std::function<std::unique_ptr<TEditStep>(TDocs &)>;
template <class D, class F>
TEdit Step(D TDocs::*doc, TFrameEdit edit, int a, int b, F change)
{
    return [=](TDocs &d) {
        std::unique_ptr<TEditStep> step = MakeStep(d.*doc, "Edit", edit, a, b);
        change(d.*doc);
        return step;
    };
}

TPalette Shifted(int by)
{
    TPalette p = Ramp();
    std::rotate(p.begin(), p.begin() + by, p.end());
    return p;
}

void ChangeFont(TSFT &s, int gap)
{
    ApplyFontSettings(s, {gap, gap + 1, gap % 256, 0});
    s.Chars.Add({uint16_t('C' + gap % 20), 1, 2});
}

void ChangeTables(TCMP &c, const TPalette &palette, bool transparency)
{
    c.Palette = palette;
    c.Header.HasTransparency = transparency;
    c.CalcLightLevels();
    if (transparency)
        c.CalcTransTables();
}

using E = TFrameEdit;
struct TStepCase
{
    const char *Name;
    TKindOf Kind;
    TEdit Edit;
};
const TStepCase StepCases[] = {
    {"BM Add Frames", BM, Step(&TDocs::BM, E::Added, 0, 0, [](TBM &b) {
         ImportBMFrame(b, Picture(5, 2, 1), Ramp());
         ImportBMFrame(b, Picture(1, 3, 2), Ramp());
     })},
    {"BM Delete Frame", BM, Step(&TDocs::BM, E::Removed, 2, 0, [](TBM &b) { DeleteBMFrame(b, 2); })},
    {"BM Shift", BM, Step(&TDocs::BM, E::Swapped, 3, 1, [](TBM &b) { SwapBMFrames(b, 3, 1); })},
    {"BM Edit Properties", BM,
     Step(&TDocs::BM, E::None, 0, 0, [](TBM &b) { ApplyBMSettings(b, {7, -3, 4, 0, true}, Ramp()); })},
    {"MAT Add Frames", MAT, Step(&TDocs::MAT, E::Added, 0, 0, [](TMAT &m) {
         ImportMATFrame(m, Picture(4, 4, 3), Ramp(), {true, true, 2, 9});
     })},
    {"MAT Add Mipmap", MAT, Step(&TDocs::MAT, E::Replaced, 2, 0, [](TMAT &m) {
         AddMATMipmap(m, 2, Picture(2, 2, 4), Ramp());
     })},
    {"MAT Delete Frame", MAT, Step(&TDocs::MAT, E::Removed, 1, 0, [](TMAT &m) { DeleteMATFrame(m, 1); })},
    {"MAT Shift", MAT, Step(&TDocs::MAT, E::Swapped, 2, 3, [](TMAT &m) { SwapMATFrames(m, 2, 3); })},
    {"MAT Edit Properties", MAT, Step(&TDocs::MAT, E::Replaced, 1, 0, [](TMAT &m) {
         ApplyFrameProperties(m, 1, true, 33);
     })},
    {"SFT Add Frames", SFT, [](TDocs &d) {
         DeleteSFTBitmap(d.SFT); // a font without its strip takes one
         return Step(&TDocs::SFT, E::Replaced, 1, 0, [](TSFT &s) {
             ImportSFTStrip(s, Picture(6, 2, 5), Ramp());
         })(d);
     }},
    {"SFT Delete Frame", SFT, Step(&TDocs::SFT, E::Replaced, 1, 0, DeleteSFTBitmap)},
    {"SFT Edit Properties", SFT, Step(&TDocs::SFT, E::None, 0, 0, [](TSFT &s) { ChangeFont(s, 4); })},
    {"CMP Change Cell Color", CMP,
     Step(&TDocs::CMP, E::None, 0, 0, [](TCMP &c) { c.Palette[40] = {1, 2, 3}; })},
    {"CMP Select Palette", CMP,
     Step(&TDocs::CMP, E::Replaced, 0, 0, [](TCMP &c) { ChangeTables(c, Shifted(9), true); })},
    {"CMP Edit Properties", CMP, Step(&TDocs::CMP, E::Replaced, 0, 0, [](TCMP &c) {
         ChangeTables(c, c.Palette, false);
     })},
};

} // namespace

// Do, save, undo, save, redo, save: each file as the same edits by hand write it, and the
// stack clean exactly at the saves (Modified follows it).
TEST(EditSteps, EachStepUndoesAndRedoesToTheFilesMadeByHand)
{
    for (const TStepCase &c : StepCases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        TDocs docs = Open(dir);
        TDocs byHand = Open(dir);
        c.Edit(byHand); // the edit alone, its step dropped
        // The SFT case removes the strip before its step; the opened file is what the step
        // starts from.
        TDocs start = Open(dir);
        if (c.Kind == SFT && std::string(c.Name) == "SFT Add Frames")
            DeleteSFTBitmap(start.SFT);
        const std::vector<uint8_t> opened = Saved(start, c.Kind, dir);
        const std::vector<uint8_t> edited = Saved(byHand, c.Kind, dir);
        ASSERT_NE(opened, edited);

        QUndoStack stack;
        std::unique_ptr<TEditStep> step = c.Edit(docs);
        ASSERT_TRUE(step->Finish());
        stack.push(step.release());
        EXPECT_FALSE(stack.isClean());
        EXPECT_EQ(Saved(docs, c.Kind, dir), edited);
        stack.setClean();
        stack.undo();
        EXPECT_FALSE(stack.isClean());
        EXPECT_EQ(Saved(docs, c.Kind, dir), opened);
        stack.setClean();
        stack.redo();
        EXPECT_FALSE(stack.isClean());
        EXPECT_EQ(Saved(docs, c.Kind, dir), edited);
        stack.setClean();
        stack.undo();
        stack.redo(); // back to the last save
        EXPECT_TRUE(stack.isClean());
        EXPECT_EQ(Saved(docs, c.Kind, dir), edited);
    }
}

// An edit that changed nothing makes no step, so an undo never lands on a state that was
// never there.
TEST(EditSteps, AnEditThatChangesNothingIsNoStep)
{
    TempDir dir;
    TDocs d = Open(dir);
    EXPECT_FALSE(MakeStep(d.BM, "Delete Frame", E::Removed, 4)->Finish());
    EXPECT_FALSE(MakeStep(d.MAT, "Add Frames", E::Added)->Finish());
    EXPECT_FALSE(MakeStep(d.CMP, "Select Palette", E::Replaced)->Finish());
}

namespace {

// One random edit of the kind's document (some change nothing).
TEdit RandomEdit(TKindOf kind, std::mt19937 &random)
{
    const auto pick = [&](int n) { return static_cast<int>(random() % unsigned(n)); };
    const int a = pick(5), b = pick(5), size = 1 << pick(4), seed = pick(256);
    switch (kind) {
    case BM:
        switch (pick(5)) {
        case 0:
            return Step(&TDocs::BM, E::Added, 0, 0, [=](TBM &x) {
                for (int n = 0; n <= a % 2; ++n)
                    ImportBMFrame(x, Picture(size + n, 2, seed), Ramp());
            });
        case 1:
            return Step(&TDocs::BM, E::Removed, a, 0, [=](TBM &x) { DeleteBMFrame(x, a); });
        case 2:
            return Step(&TDocs::BM, E::Swapped, a, b, [=](TBM &x) { SwapBMFrames(x, a, b); });
        case 3:
            return Step(&TDocs::BM, E::None, 0, 0, [=](TBM &x) { x.Palette = Shifted(seed); });
        default:
            return Step(&TDocs::BM, E::None, 0, 0, [=](TBM &x) {
                ApplyBMSettings(x, {a, b, seed, 0, a % 2 == 0}, Shifted(seed));
            });
        }
    case MAT:
        switch (pick(5)) {
        case 0:
            return Step(&TDocs::MAT, E::Added, 0, 0, [=](TMAT &x) {
                ImportMATFrame(x, Picture(size * 2, size * 2, seed), Ramp(), {a % 2 == 0, b % 2 == 0, 1 + a % 4, 0});
            });
        case 1:
            return Step(&TDocs::MAT, E::Replaced, a, 0, [=](TMAT &x) {
                const int levels = MATLevelCount(x, a);
                if (levels > 0) {
                    const TLevelSize s = MipmapLevelSize(x.TextureHeaders[size_t(a - 1)], levels + 1);
                    AddMATMipmap(x, a, Picture(s.Width, s.Height, seed), Ramp());
                }
            });
        case 2:
            return Step(&TDocs::MAT, E::Removed, a, 0, [=](TMAT &x) { DeleteMATFrame(x, a); });
        case 3:
            return Step(&TDocs::MAT, E::Swapped, a, b, [=](TMAT &x) { SwapMATFrames(x, a, b); });
        default:
            return Step(&TDocs::MAT, E::Replaced, a, 0, [=](TMAT &x) {
                ApplyFrameProperties(x, a, b % 2 == 0, uint32_t(seed));
            });
        }
    case SFT:
        switch (pick(3)) {
        case 0:
            return Step(&TDocs::SFT, E::Replaced, 1, 0, [=](TSFT &x) {
                if (!HasBitmap(x))
                    ImportSFTStrip(x, Picture(size, 3, seed), Ramp());
            });
        case 1:
            return Step(&TDocs::SFT, E::Replaced, 1, 0, DeleteSFTBitmap);
        default:
            return Step(&TDocs::SFT, E::None, 0, 0, [=](TSFT &x) { ChangeFont(x, seed); });
        }
    case CMP:
        switch (pick(3)) {
        case 0:
            return Step(&TDocs::CMP, E::None, 0, 0, [=](TCMP &x) { x.Palette[size_t(seed)] = {1, 2, 3}; });
        case 1:
            return Step(&TDocs::CMP, E::Replaced, 0, 0, [=](TCMP &x) {
                ChangeTables(x, Shifted(seed), x.Header.HasTransparency != 0);
            });
        default:
            return Step(&TDocs::CMP, E::Replaced, 0, 0, [=](TCMP &x) {
                ChangeTables(x, x.Palette, x.Header.HasTransparency == 0);
            });
        }
    }
    return {};
}

} // namespace

// Edits, undos and redos at random: every undo and redo gives the file of that point again,
// and undoing everything gives the opened file.
TEST(EditSteps, ARandomRunUndoneToTheStartIsTheOpenedFile)
{
    for (TKindOf kind : {BM, MAT, SFT, CMP}) {
        SCOPED_TRACE(kind);
        TempDir dir;
        TDocs docs = Open(dir);
        std::mt19937 random(20261208u + unsigned(kind));
        QUndoStack stack;
        std::vector<std::vector<uint8_t>> files{Saved(docs, kind, dir)}; // at each stack index
        for (int i = 0; i < (kind == CMP ? 24 : 300); ++i) {
            const unsigned r = random() % 10;
            if (r < 3 && stack.canUndo()) {
                stack.undo();
            } else if (r < 5 && stack.canRedo()) {
                stack.redo();
            } else {
                std::unique_ptr<TEditStep> step = RandomEdit(kind, random)(docs);
                if (!step->Finish())
                    continue;
                stack.push(step.release());
                files.resize(size_t(stack.index()));
                files.push_back(Saved(docs, kind, dir));
                continue;
            }
            ASSERT_EQ(Saved(docs, kind, dir), files[size_t(stack.index())]) << "action " << i;
        }
        EXPECT_GT(stack.count(), 5);
        while (stack.canUndo())
            stack.undo();
        EXPECT_EQ(Saved(docs, kind, dir), files.front());
    }
}
