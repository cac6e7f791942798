#include "ui/bm/GLM_BMForm.h"

#include "ui/bm/GLM_EditBMForm.h"

TBMForm::TBMForm(TWindowContext &context, TEditBMForm &properties, QWidget *parent)
    : TDocumentWindowOf(context, parent), FProperties(properties)
{
    setObjectName("BMForm");
    Image()->setObjectName("BMImage");
}

void TBMForm::NewImage()
{
    Document = NewBM(Settings().BMIs16Bit);
    ApplyBMSettings();
}

void TBMForm::ApplyBMSettings()
{
    const TSettings &s = Settings();
    ::ApplyBMSettings(
        Document,
        {s.BMXOffset, s.BMYOffset, s.BMTransIndex, s.BMTransColor, s.BMUseInternalPalette},
        Palette);
}

void TBMForm::ReadImage(const TDocumentSource &source)
{
    TBM loaded;
    source.LoadInto(loaded);
    Document = std::move(loaded);
    // The file's own palette is what it is shown with.
    if (Document.HasPalette()) {
        Palette = Document.Palette;
        PaletteName = "Internal";
    }
}

void TBMForm::WriteDocument(const std::string &path) const
{
    Document.SaveToFile(path);
}

std::vector<uint8_t> TBMForm::DocumentBytes() const
{
    return Document.SaveToBytes();
}

int TBMForm::FrameCount() const
{
    return std::clamp(Document.NumImages(), 0, TBM::MaxImages);
}

std::optional<TFrameView> TBMForm::CurrentFrameView() const
{
    return BMFrameView(Document, CurrentFrame());
}

bool TBMForm::IsPaletted() const
{
    return Document.BitsPerPixel() != 16;
}

TImportResult TBMForm::ImportFrame(const TBitmapPicture &picture)
{
    return ImportBMFrame(Document, picture, Palette);
}

void TBMForm::RemoveFrame(int frame)
{
    DeleteBMFrame(Document, frame);
}

void TBMForm::SwapFrames(int a, int b)
{
    SwapBMFrames(Document, a, b);
}

std::vector<TExportPicture> TBMForm::ExportPictures(const std::string &base) const
{
    return BMExportPictures(Document, base);
}

std::optional<TFrameView> TBMForm::ExportView(const TExportPicture &picture) const
{
    return BMFrameView(Document, picture.Frame);
}

void TBMForm::PaletteChosen(const std::string &name, const TPalette &palette)
{
    TImageDocumentForm::PaletteChosen(name, palette);
    // The file's own palette is part of the document: choosing another one replaces it.
    if (Document.HasPalette())
        Document.Palette = palette;
}

void TBMForm::EditProperties()
{
    TEditBMForm &dialog = FProperties;
    dialog.Palette = Palette;
    dialog.Is16Bit = Document.BitsPerPixel() == 16;
    dialog.XOffset = Document.Header.XOffset;
    dialog.YOffset = Document.Header.YOffset;
    dialog.InternalPalette = Document.HasPalette();
    dialog.TransColor = static_cast<uint32_t>(Document.Header.TransColor);
    if (dialog.ShowModal() != mrOk)
        return;
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step = MakeDocumentStep(TCommand::EditProperties, TFrameEdit::None);
    ApplyBMSettings();
    PushStep(std::move(step), before, true);
    UpdateMainWindow();
}

std::unique_ptr<TEditStep> TBMForm::MakeDocumentStep(TCommand command, TFrameEdit edit, int a,
                                                     int b)
{
    return MakeStep(Document, CommandText(command), edit, a, b);
}

TDocumentFacts TBMForm::Facts() const
{
    return WithLightView(BMFacts(Document, Zoom()));
}

TStatusTexts TBMForm::StatusTexts() const
{
    return WithLightView(BMStatusTexts(Document, CurrentFrame(), PaletteName));
}
