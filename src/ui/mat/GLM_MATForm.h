#pragma once
// The MAT document window: up to 16 frames, each a colour or a texture with up to four
// mipmap levels, 8-bit through a display palette or 16-bit (RGB565, or ARGB1555 in
// transparent frames). Stepping walks the levels of each frame before the next frame.

#include <cstdint>

#include "core/documents/GLM_MATDocument.h"
#include "ui/image/GLM_ImageDocumentForm.h"

class TEditMATForm;

class TMATForm : public TDocumentWindowOf<TMATForm, TImageDocumentForm>
{
    Q_OBJECT
public:
    static constexpr TDocumentDescription Description{
        .Kind = TDocumentKind::MAT,
        .Extension = ".mat",
        .BackupExtension = ".~mat",
        .SaveTitle = "Save As MAT Texture",
        .SaveFilter = "MAT Textures (*.mat)|*.mat|All Files (*.*)|*.*",
        .DefaultExt = "mat",
        .FileType = TFileType::MAT,
        .BuiltInPalette = "Dflt",
        .PalettePath = &TSettings::MATPalettePath,
        .ColormapPath = &TSettings::MATColormapPath,
        .MaxFrames = TMAT::MaxRecords};

    TMATForm(TWindowContext &context, TEditMATForm &properties, QWidget *parent = nullptr);

    TMAT Document;
    int CurrentMipmap = 0; // 1-based level of the current frame; 0 before the first texture
    // Copies of the MAT settings for frames added later.
    bool NewTrans = false;
    bool AverageFill = false;
    bool AutoMipmaps = false;
    int NumberMipmaps = 1;
    uint32_t NewFillColor = 0; // palette index, or RGB565 at 16 bits

    using TImageDocumentForm::DeleteFrame;
    using TImageDocumentForm::SaveAllBitmaps;
    using TImageDocumentForm::SaveBitmap;
    using TImageDocumentForm::SelectPalette;
    using TImageDocumentForm::ShiftToNextFrame;
    using TImageDocumentForm::ShiftToPreviousFrame;
    using TImageDocumentForm::ZoomIn;
    using TImageDocumentForm::ZoomOut;
    // Pictures as texture frames; in a colour MAT one colour frame, picked with Select Color
    // (8-bit) or the colour dialog (16-bit).
    void AddFrames();
    // A picture as the next level of the current texture frame.
    void AddMipmap();
    // Shows the MAT properties dialog; on OK its settings go into the window and the
    // current frame.
    void EditProperties();
    void PreviousFrame() override;
    void NextFrame() override;

    // The MAT settings into the copies above and, with a frame current, its transparency
    // (pixels converted) and fill colour.
    void ApplyNewFrameSettings();

    TDocumentFacts Facts() const override;
    TStatusTexts StatusTexts() const override;

protected:
    std::unique_ptr<TEditStep> MakeDocumentStep(TCommand command, TFrameEdit edit, int a = 0,
                                                int b = 0) override;
    TStepView CurrentStepView() const override;
    void ShowStepView(const TStepView &view) override;
    void NewImage() override;
    void ReadImage(const TDocumentSource &source) override;
    void WriteDocument(const std::string &path) const override;
    std::vector<uint8_t> DocumentBytes() const override;
    int FrameCount() const override;
    std::optional<TFrameView> CurrentFrameView() const override;
    bool IsPaletted() const override;
    TImportResult ImportFrame(const TBitmapPicture &picture) override;
    void FrameImported(const TImportResult &result) override;
    void RemoveFrame(int frame) override;
    void SwapFrames(int a, int b) override;
    std::string BitmapName(const std::string &base) const override;
    std::vector<TExportPicture> ExportPictures(const std::string &base) const override;
    std::optional<TFrameView> ExportView(const TExportPicture &picture) const override;
    int SaveBitmapBits() const override { return 24; }

private:
    void CopyNewFrameSettings();
    void AddColorFrame();
    TEditMATForm &FProperties;
};
