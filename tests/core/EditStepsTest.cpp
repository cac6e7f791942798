// Undo and redo steps on the real QUndoStack, against the files the same edits write by hand.
#include <gtest/gtest.h>
#include <QUndoStack>
#include <functional>
#include <random>

#include "CoreTestData.h"
#include "core/GLM_Import.h"
#include "core/documents/GLM_BMDocument.h"
#include "core/documents/GLM_EditSteps.h"
#include "core/documents/GLM_MATDocument.h"
#include "core/documents/GLM_SFTDocument.h"

using namespace testutil;

namespace {

struct TDocs { TBM BM; TMAT MAT; TSFT SFT; TCMP CMP; };
enum TKindOf { BM, MAT, SFT, CMP };

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
    kind == BM ? d.BM.SaveToFile(path)
    : kind == MAT ? d.MAT.SaveToFile(path)
    : kind == SFT ? TSFT(d.SFT).SaveToFile(path) // its writer recounts the ranges
                  : d.CMP.SaveToFile(path);
    return ReadFile(path);
}

TPalette Shifted(int by)
{
    TPalette p = Ramp();
    std::rotate(p.begin(), p.begin() + by, p.end());
    return p;
}

TBitmapPicture Picture(int width, int height, int seed)
{
    TBitmapPicture p{width, height, {}, {}, {}};
    for (int i = seed; i < seed + width * height; ++i) // Ramp's entry i, so 8 bits match
        p.RGB.insert(p.RGB.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    return p;
}

// An edit as the windows make it: the step, then the change; a and b pick frames, n a value.
using TEdit = std::function<std::unique_ptr<TEditStep>(TDocs &, int a, int b, int n)>;
template <class D, class F> TEdit Step(D TDocs::*doc, TFrameEdit edit, F change)
{
    return [=](TDocs &d, int a, int b, int n) {
        std::unique_ptr<TEditStep> step = MakeStep(d.*doc, "Edit", edit, a, b);
        change(d.*doc, a, b, n);
        return step;
    };
}

using E = TFrameEdit;
struct TStepCase { const char *Name; TKindOf Kind; TEdit Edit; };
// In order: each row starts from the document the rows before it left.
const TStepCase StepCases[] = {
    {"BM Add Frames", BM, Step(&TDocs::BM, E::Added, [](TBM &x, int a, int, int n) {
         for (int k = 0; k <= a % 2; ++k)
             ImportBMFrame(x, Picture(1 + n % 5 + k, 2, n), Ramp());
     })},
    {"BM Delete Frame", BM,
     Step(&TDocs::BM, E::Removed, [](TBM &x, int a, int, int) { DeleteBMFrame(x, a); })},
    {"BM Shift", BM,
     Step(&TDocs::BM, E::Swapped, [](TBM &x, int a, int b, int) { SwapBMFrames(x, a, b); })},
    {"BM Edit Properties", BM, Step(&TDocs::BM, E::None, [](TBM &x, int a, int b, int n) {
         ApplyBMSettings(x, {a, b, n, 0, a != 1}, Shifted(n));
     })},
    {"BM Select Palette", BM,
     Step(&TDocs::BM, E::None, [](TBM &x, int, int, int n) { x.Palette = Shifted(n + 1); })},
    {"MAT Add Frames", MAT, Step(&TDocs::MAT, E::Added, [](TMAT &x, int a, int b, int n) {
         const int side = 2 << a % 3;
         ImportMATFrame(x, Picture(side, side, n), Ramp(), {n % 2 == 0, b % 2 == 0, 1 + n % 4, 0});
     })},
    {"MAT Add Mipmap", MAT, Step(&TDocs::MAT, E::Replaced, [](TMAT &x, int a, int, int n) {
         if (const int levels = MATLevelCount(x, a); levels > 0) // the next level's size
             AddMATMipmap(x, a, Picture(x.TextureHeaders[size_t(a - 1)].Width >> levels,
                                        x.TextureHeaders[size_t(a - 1)].Height >> levels, n),
                          Ramp());
     })},
    {"MAT Delete Frame", MAT,
     Step(&TDocs::MAT, E::Removed, [](TMAT &x, int a, int, int) { DeleteMATFrame(x, a); })},
    {"MAT Shift", MAT,
     Step(&TDocs::MAT, E::Swapped, [](TMAT &x, int a, int b, int) { SwapMATFrames(x, a, b); })},
    {"MAT Edit Properties", MAT, Step(&TDocs::MAT, E::Replaced, [](TMAT &x, int a, int b, int n) {
         ApplyFrameProperties(x, a, b % 2 == 1, uint32_t(n));
     })},
    {"SFT Delete Frame", SFT,
     Step(&TDocs::SFT, E::Replaced, [](TSFT &x, int, int, int) { DeleteSFTBitmap(x); })},
    {"SFT Add Frames", SFT, Step(&TDocs::SFT, E::Replaced, [](TSFT &x, int a, int, int n) {
         if (!HasBitmap(x))
             ImportSFTStrip(x, Picture(2 + a, 3, n), Ramp());
     })},
    {"SFT Edit Properties", SFT, Step(&TDocs::SFT, E::None, [](TSFT &x, int a, int, int n) {
         ApplyFontSettings(x, {n, a, n % 256, 0});
         x.Chars.Add({uint16_t('C' + n % 20), a, 2});
     })},
    {"CMP Change Cell Color", CMP, Step(&TDocs::CMP, E::None, [](TCMP &x, int, int, int n) {
         x.Palette[size_t(n)] = {1, 2, 3};
     })},
    {"CMP Select Palette", CMP, Step(&TDocs::CMP, E::Replaced, [](TCMP &x, int, int, int n) {
         x.Palette = Shifted(n);
         x.CalcLightLevels();
         if (x.Header.HasTransparency != 0)
             x.CalcTransTables();
     })},
    {"CMP Edit Properties", CMP, Step(&TDocs::CMP, E::Replaced, [](TCMP &x, int, int, int) {
         x.Header.HasTransparency = !x.Header.HasTransparency;
         if (x.Header.HasTransparency != 0)
             x.CalcTransTables();
     })},
};

} // namespace

// Do, save, undo, save, redo, save: each file as the same edit by hand writes it, and the
// stack (whose clean state Modified is) unclean before each save.
TEST(EditSteps, EachStepUndoesAndRedoesToTheFilesMadeByHand)
{
    TempDir dir;
    TDocs docs = Open(dir);
    // An edit that changed nothing is no step: its undo would change nothing either.
    EXPECT_FALSE(MakeStep(docs.MAT, "Add Frames", E::Added)->Finish());
    for (const TStepCase &c : StepCases) {
        SCOPED_TRACE(c.Name);
        TDocs byHand = docs;
        c.Edit(byHand, 2, 3, 9); // its step dropped
        const std::vector<uint8_t> before = Saved(docs, c.Kind, dir);
        const std::vector<uint8_t> after = Saved(byHand, c.Kind, dir);
        ASSERT_NE(before, after);
        QUndoStack stack;
        std::unique_ptr<TEditStep> step = c.Edit(docs, 2, 3, 9);
        ASSERT_TRUE(step->Finish());
        stack.push(step.release());
        for (const auto &[file, move] : {std::pair{&after, 0}, {&before, -1}, {&after, 1}}) {
            move < 0 ? stack.undo() : move > 0 ? stack.redo() : void();
            EXPECT_FALSE(stack.isClean());
            EXPECT_EQ(Saved(docs, c.Kind, dir), *file);
            stack.setClean();
        }
    }
}

// Edits, undos and redos at random: each undo and redo gives the file of that point again, an
// edit that changed nothing is no step, and undoing everything gives the opened file.
TEST(EditSteps, ARandomRunUndoneToTheStartIsTheOpenedFile)
{
    for (TKindOf kind : {BM, MAT, SFT, CMP}) {
        SCOPED_TRACE(kind);
        TempDir dir;
        TDocs docs = Open(dir);
        std::mt19937 random(20261208u + unsigned(kind));
        const auto pick = [&](unsigned n) { return int(random() % n); };
        QUndoStack stack;
        std::vector<std::vector<uint8_t>> files{Saved(docs, kind, dir)}; // at each stack index
        for (int i = 0; i < (kind == CMP ? 24 : 300); ++i) {
            const int r = pick(10);
            if (r < 3 && stack.canUndo()) {
                stack.undo();
            } else if (r < 5 && stack.canRedo()) {
                stack.redo();
            } else {
                const TStepCase *c = StepCases;
                while ((c = &StepCases[pick(std::size(StepCases))])->Kind != kind) {}
                std::unique_ptr<TEditStep> step = c->Edit(docs, pick(5), pick(5), pick(256));
                if (step->Finish()) {
                    stack.push(step.release());
                    files.resize(size_t(stack.index()));
                    files.push_back(Saved(docs, kind, dir));
                }
            }
            ASSERT_EQ(Saved(docs, kind, dir), files[size_t(stack.index())]) << "action " << i;
        }
        while (stack.canUndo())
            stack.undo();
        EXPECT_EQ(Saved(docs, kind, dir), files.front());
        // Also what no file shows: the slots past the last frame are empty again.
        const TDocs opened = Open(dir);
        EXPECT_TRUE(docs.BM == opened.BM && docs.MAT == opened.MAT && docs.SFT == opened.SFT);
    }
}
