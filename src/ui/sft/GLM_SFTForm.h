#pragma once
// The SFT document window: a font's one strip of glyphs, 8-bit through a display palette or
// 16-bit RGB565, with the character under the mouse shown in the status bar. The character
// table, gap, space length and transparent colour are edited in TEditSFTForm.

#include "core/documents/GLM_SFTDocument.h"
#include "ui/image/GLM_ImageDocumentForm.h"

class TEditSFTForm;

class TSFTForm : public TDocumentWindowOf<TSFTForm, TImageDocumentForm>
{
    Q_OBJECT
public:
    static constexpr TDocumentDescription Description{
        .Kind = TDocumentKind::SFT,
        .Extension = ".sft",
        .BackupExtension = ".~sft",
        .SaveTitle = "Save As SFT Font",
        .SaveFilter = "SFT Fonts (*.sft)|*.sft|All Files (*.*)|*.*",
        .DefaultExt = "sft",
        .FileType = TFileType::SFT,
        .BuiltInPalette = "Uicolormap",
        .PalettePath = &TSettings::SFTPalettePath,
        .ColormapPath = &TSettings::SFTColormapPath,
        .MaxFrames = 1};

    TSFTForm(TWindowContext &context, TEditSFTForm &properties, QWidget *parent = nullptr);

    TSFT Document;

    using TImageDocumentForm::SaveBitmap;
    using TImageDocumentForm::SelectPalette;
    using TImageDocumentForm::ZoomIn;
    using TImageDocumentForm::ZoomOut;
    // One picture, only while the font has no strip, matched exactly against the palette
    // (8-bit) or packed to RGB565 (16-bit).
    void AddFrames();
    // Drops the strip: zoom 1, an empty 200 x 200 window; Modified stays as it was.
    void DeleteFrame();
    // Shows the SFT properties dialog; on OK the font takes the settings and its table.
    void EditProperties();

    // Gap, space length and transparent colour from the SFT settings.
    void ApplyFontSettings();
    // The character under image position x (y plays no part) into the status bar, while
    // this window is the active one.
    void SFTImageMouseMove(int x, int y);

    TDocumentFacts Facts() const override;
    TStatusTexts StatusTexts() const override;

protected:
    std::unique_ptr<TEditStep> MakeDocumentStep(TCommand command, TFrameEdit edit, int a = 0,
                                                int b = 0) override;
    void NewImage() override;
    void ReadImage(const TDocumentSource &source) override;
    // A font without its strip is written only when the user says so.
    bool MayWrite() override;
    void WriteDocument(const std::string &path) const override;
    std::vector<uint8_t> DocumentBytes() const override;
    int FrameCount() const override;
    std::optional<TFrameView> CurrentFrameView() const override;
    bool IsPaletted() const override;
    std::string BitmapName(const std::string &base) const override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TEditSFTForm &FProperties;
    std::string FCharacter; // the readout; cleared by every other report
    bool FReportingCharacter = false;
    mutable TStatusTexts FShown; // what the panels showed last
};
