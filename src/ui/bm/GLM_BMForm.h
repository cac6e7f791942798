#pragma once
// The BM document window: up to 50 frames, 8-bit through a display palette or 16-bit RGB565,
// and the file's own palette shown as "Internal".

#include "core/documents/GLM_BMDocument.h"
#include "ui/image/GLM_ImageDocumentForm.h"

class TEditBMForm;

class TBMForm : public TDocumentWindowOf<TBMForm, TImageDocumentForm>
{
    Q_OBJECT
public:
    static constexpr TDocumentDescription Description{
        .Kind = TDocumentKind::BM,
        .Extension = ".bm",
        .BackupExtension = ".~bm",
        .SaveTitle = "Save As BM Graphic",
        .SaveFilter = "BM Textures (*.bm)|*.bm|All Files (*.*)|*.*",
        .DefaultExt = "bm",
        .FileType = TFileType::BM,
        .BuiltInPalette = "Uicolormap",
        .PalettePath = &TSettings::BMPalettePath,
        .ColormapPath = &TSettings::BMColormapPath,
        .MaxFrames = TBM::MaxImages};

    TBMForm(TWindowContext &context, TEditBMForm &properties, QWidget *parent = nullptr);

    TBM Document;

    using TImageDocumentForm::AddFrames;
    using TImageDocumentForm::DeleteFrame;
    using TImageDocumentForm::NextFrame;
    using TImageDocumentForm::PreviousFrame;
    using TImageDocumentForm::SaveAllBitmaps;
    using TImageDocumentForm::SaveBitmap;
    using TImageDocumentForm::SelectPalette;
    using TImageDocumentForm::ShiftToNextFrame;
    using TImageDocumentForm::ShiftToPreviousFrame;
    using TImageDocumentForm::ZoomIn;
    using TImageDocumentForm::ZoomOut;
    // Shows the BM properties dialog; on OK its settings go into the document.
    void EditProperties();

    // The BM settings into the document (offsets, transparent colour, own palette).
    void ApplyBMSettings();

    TDocumentFacts Facts() const override;
    TStatusTexts StatusTexts() const override;

protected:
    std::unique_ptr<TEditStep> MakeDocumentStep(TCommand command, TFrameEdit edit, int a = 0,
                                                int b = 0) override;
    void NewImage() override;
    void ReadImage(const TDocumentSource &source) override;
    void WriteDocument(const std::string &path) const override;
    std::vector<uint8_t> DocumentBytes() const override;
    int FrameCount() const override;
    std::optional<TFrameView> CurrentFrameView() const override;
    bool IsPaletted() const override;
    TImportResult ImportFrame(const TBitmapPicture &picture) override;
    void RemoveFrame(int frame) override;
    void SwapFrames(int a, int b) override;
    std::vector<TExportPicture> ExportPictures(const std::string &base) const override;
    std::optional<TFrameView> ExportView(const TExportPicture &picture) const override;
    void PaletteChosen(const std::string &name, const TPalette &palette) override;

private:
    TEditBMForm &FProperties;
};
