#pragma once
// What the document window tests share: the real main window on the scripted desktop with
// every document window and dialog in place, and the documents built byte by byte.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

#include "GLM_TestPlatform.h"
#include "TestFiles.h"
#include "core/GLM_FileNames.h"
#include "ui/colormapfont/GLM_CMPForm.h"
#include "ui/colormapfont/GLM_EditCMPForm.h"
#include "ui/colormapfont/GLM_EditSFTForm.h"
#include "ui/colormapfont/GLM_ProgressForm.h"
#include "ui/colormapfont/GLM_SFTForm.h"
#include "ui/documents/GLM_BMForm.h"
#include "ui/documents/GLM_EditBMForm.h"
#include "ui/documents/GLM_EditMATForm.h"
#include "ui/documents/GLM_MATForm.h"
#include "ui/palettes/GLM_SelectColorForm.h"
#include "ui/palettes/GLM_SelectPaletteForm.h"
#include "ui/shell/GLM_DocumentFactory.h"
#include "ui/shell/GLM_FileReplaceForm.h"
#include "ui/shell/GLM_MainForm.h"
#include "ui/shell/GLM_Settings.h"

namespace formtest {

using namespace testutil;

inline void Settle()
{
    QApplication::processEvents();
}

struct TFrame
{
    int Width, Height;
    uint8_t Fill; // every pixel byte
};

// A BM file: header, frames, then the palette when one is given.
inline std::vector<uint8_t> BMBytes(const std::vector<TFrame> &frames, int bits = 8,
                                    const TPalette *palette = nullptr)
{
    Bytes b;
    b.Text("BM  ").I32(70).I32(0).I32(palette ? 2 : 1).I32(int32_t(frames.size()));
    b.I32(4).I32(-2).I32(bits == 16 ? 0xF81F : 9).I32(bits == 16 ? 1 : 0).I32(bits);
    b.Fill(128 - b.Size());
    for (const TFrame &f : frames)
        b.I32(f.Width).I32(f.Height).Fill(size_t(f.Width * f.Height * bits / 8), f.Fill);
    if (palette)
        b.Append({&(*palette)[0].Red, &(*palette)[0].Red + 768});
    return b.Data;
}

struct TTexture
{
    int Width, Height, Levels;
    uint16_t Pixel; // every pixel (a byte at 8 bits, a word at 16)
    int Transparent = 0;
};

// A texture MAT: header, records (fill 5 + frame, CelIndex), then each frame's header and
// the pixels of all its levels.
inline std::vector<uint8_t> TextureMAT(const std::vector<TTexture> &frames, int bits = 8)
{
    Bytes b;
    const auto n = static_cast<int32_t>(frames.size());
    b.Text("MAT ").I32(50).I32(2).I32(n).I32(n).I32(bits == 16 ? 1 : 0).I32(bits).Fill(48);
    for (int32_t i = 0; i < n; ++i)
        b.I32(8).I32(5 + i).Fill(28).I32(i);
    for (const TTexture &t : frames) {
        b.I32(t.Width).I32(t.Height).I32(t.Transparent).I32(0).I32(0).I32(t.Levels);
        for (int k = 0, w = t.Width, h = t.Height; k < t.Levels; ++k, w /= 2, h /= 2)
            for (int p = w * h; p > 0; --p)
                bits == 16 ? b.U16(t.Pixel) : b.U8(static_cast<uint8_t>(t.Pixel));
    }
    return b.Data;
}

struct TChar
{
    uint16_t Code;
    int32_t Offset, Width;
};

// An SFT file: one range per character, then the strip (every pixel `fill`).
inline std::vector<uint8_t> SFTBytes(const std::vector<TChar> &chars, int width, int height,
                                     int bits = 8, uint8_t fill = 1, int images = 1)
{
    Bytes b;
    b.Text("SFNT").I32(10).I32(1).I32(6).I32(0).I32(int32_t(chars.size())).Fill(16);
    for (const TChar &c : chars)
        b.U16(c.Code).U16(c.Code).I32(c.Offset).I32(c.Width);
    const size_t bm = b.Size();
    b.Text("BM  ").I32(70).I32(0).I32(1).I32(images).I32(0).I32(0).I32(0).I32(0).I32(bits);
    b.Fill(bm + 128 - b.Size());
    b.I32(width).I32(height).Fill(size_t(width * height * bits / 8), fill);
    return b.Data;
}

// Entry k = (k, 255 - k, k * 7 mod 256): every entry distinct.
inline TPalette Ramp()
{
    TPalette p;
    for (int k = 0; k < 256; ++k)
        p[size_t(k)] = {uint8_t(k), uint8_t(255 - k), uint8_t(k * 7)};
    return p;
}

// A colormap: the ramp palette; every light table sends the even indices to 10 and keeps
// the odd ones; transparency table t sends entry e to (t + e) mod 256.
inline std::vector<uint8_t> CMPBytes(int32_t flag)
{
    Bytes b;
    b.Text("CMP ").I32(32).I32(flag).Fill(52);
    for (const TPaletteEntry &e : Ramp())
        b.U8(e.Red).U8(e.Green).U8(e.Blue);
    for (int level = 0; level < 64; ++level)
        for (int i = 0; i < 256; ++i)
            b.U8(i % 2 == 0 ? 10 : uint8_t(i));
    if (flag != 0)
        for (int t = 0; t < 256; ++t)
            for (int e = 0; e < 256; ++e)
                b.U8(uint8_t(t + e));
    return b.Data;
}

// The main window with every document window registered and every dialog the windows use.
// Dialogs are played by User; a replace question is answered from ReplaceAnswers (left
// unanswered when they run out) and recorded in Asked, "name (many)" when it offers Yes to All.
template <class TForm> class TDocumentFormTest : public ::testing::Test
{
protected:
    TDocumentFormTest()
    {
        ClearSettings();
        RegisterDocumentWindow<TBMForm>();
        RegisterDocumentWindow<TMATForm>();
        RegisterDocumentWindow<TCMPForm>();
        RegisterDocumentWindow<TSFTForm>();
        Main = std::make_unique<TMainForm>();
        FileReplaceForm = new TFileReplaceForm(Main.get());
        SelectPaletteForm = new TSelectPaletteForm(Main.get());
        SelectColorForm = new TSelectColorForm(Main.get());
        EditBMForm = new TEditBMForm(Main.get());
        EditMATForm = new TEditMATForm(Main.get());
        EditSFTForm = new TEditSFTForm(Main.get());
        EditCMPForm = new TEditCMPForm(Main.get());
        ProgressForm = new TProgressForm(Main.get());
        Main->show();
        Settle();
    }
    ~TDocumentFormTest() override
    {
        Main.reset();
        FileReplaceForm = nullptr;
        SelectPaletteForm = nullptr;
        SelectColorForm = nullptr;
        EditBMForm = nullptr;
        EditMATForm = nullptr;
        EditSFTForm = nullptr;
        EditCMPForm = nullptr;
        ProgressForm = nullptr;
        for (TDocumentKind kind : DocumentKinds)
            RegisterDocumentWindow(kind, {});
        ClearSettings();
    }

    std::string Put(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        WriteFile(Dir.File(name), bytes);
        return Dir.File(name);
    }
    TForm *Open(const std::string &path)
    {
        Main->OpenDocument(path);
        Settle();
        return dynamic_cast<TForm *>(Main->ActiveDocument());
    }
    TForm *New()
    {
        QMdiSubWindow *sub = Main->CreateDocument(TForm::DocumentKind);
        sub->show();
        Settle();
        return dynamic_cast<TForm *>(sub->widget());
    }
    void Run(TCommand command)
    {
        Main->RunCommand(command);
        Settle();
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }

    TTestPlatform Desk;
    TempDir Dir;
    std::unique_ptr<TMainForm> Main;
    std::function<void(TModalForm &)> User;
    std::deque<int> ReplaceAnswers;
    std::vector<std::string> Asked;
    TScopedModalDriver Driver{[this](TModalForm &form) {
        if (auto *replace = dynamic_cast<TFileReplaceForm *>(&form)) {
            Asked.push_back(ExtractFileName(replace->FileName) +
                            (replace->MultipleFiles ? " (many)" : ""));
            if (!ReplaceAnswers.empty()) {
                replace->SetModalResult(ReplaceAnswers.front());
                ReplaceAnswers.pop_front();
            }
        } else if (User) {
            User(form);
        }
    }};
};

} // namespace formtest
