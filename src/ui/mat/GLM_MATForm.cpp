#include "ui/mat/GLM_MATForm.h"

#include "core/GLM_Mipmaps.h"
#include "platform/GLM_Platform.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/mat/GLM_EditMATForm.h"

TMATForm::TMATForm(TWindowContext &context, TEditMATForm &properties, QWidget *parent)
    : TDocumentWindowOf(context, parent), FProperties(properties)
{
    setObjectName("MATForm");
    Image()->setObjectName("MATImage");
}

void TMATForm::CopyNewFrameSettings()
{
    const TSettings &s = Settings();
    NewTrans = s.MATNewTrans;
    AverageFill = s.MATAverageFill;
    AutoMipmaps = s.MATAutoMipmaps;
    NumberMipmaps = s.MATNumberMipmaps;
}

void TMATForm::NewImage()
{
    Document = NewMAT(Settings().MATIsColor, Settings().MATIs16Bit);
    CurrentMipmap = 0;
    CopyNewFrameSettings();
}

void TMATForm::ApplyNewFrameSettings()
{
    CopyNewFrameSettings();
    if (CurrentFrame() > 0) {
        const TSettings &s = Settings();
        NewFillColor = static_cast<uint32_t>(Document.Header.BitsPerPixel == 16 ? s.MATFillColor
                                                                                : s.MATFillIndex);
        ApplyFrameProperties(Document, CurrentFrame(), s.MATFrameTrans, NewFillColor);
    }
    UpdateMainWindow();
}

void TMATForm::ReadImage(const TDocumentSource &source)
{
    TMAT loaded;
    source.LoadInto(loaded);
    Document = std::move(loaded);
    CurrentMipmap = 1;
}

void TMATForm::WriteDocument(const std::string &path) const
{
    Document.SaveToFile(path);
}

std::vector<uint8_t> TMATForm::DocumentBytes() const
{
    return Document.SaveToBytes();
}

int TMATForm::FrameCount() const
{
    return MATFrameCount(Document);
}

std::optional<TFrameView> TMATForm::CurrentFrameView() const
{
    return MATFrameView(Document, CurrentFrame(), CurrentMipmap);
}

bool TMATForm::IsPaletted() const
{
    return Document.Header.BitsPerPixel != 16;
}

void TMATForm::PreviousFrame()
{
    MATPreviousFrame(Document, View.CurrentFrame, CurrentMipmap);
    ShowFrame();
    UpdateMainWindow();
}

void TMATForm::NextFrame()
{
    MATNextFrame(Document, View.CurrentFrame, CurrentMipmap);
    ShowFrame();
    UpdateMainWindow();
}

// ---------------------------------------------------------------------------------------------
// Frames and levels

void TMATForm::AddFrames()
{
    if (IsColorMAT(Document))
        AddColorFrame();
    else
        TImageDocumentForm::AddFrames();
}

void TMATForm::AddColorFrame()
{
    if (FrameCount() >= TMAT::MaxRecords)
        return;
    int32_t color = 0;
    if (Document.Header.BitsPerPixel == 16) {
        uint32_t chosen = 0; // the dialog starts at black
        if (!Context().Platform.ColorDialog().Execute(chosen, this))
            return;
        color = static_cast<int32_t>(chosen);
    } else {
        TSelectColorForm *picker = Context().SelectColorForm;
        if (!picker)
            return;
        picker->Palette = Palette;
        if (picker->ShowModal() != mrOk)
            return;
        color = picker->SelectedIndex;
    }
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step = MakeDocumentStep(TCommand::AddFrames, TFrameEdit::Added);
    const TImportResult result = AddMATColorFrame(Document, color);
    if (!result.Changed())
        return;
    View.CurrentFrame = result.Frame;
    PushStep(std::move(step), before);
    ShowFrame();
    UpdateMainWindow();
}

TImportResult TMATForm::ImportFrame(const TBitmapPicture &picture)
{
    return ImportMATFrame(Document, picture, Palette,
                          {NewTrans, AutoMipmaps, NumberMipmaps, NewFillColor});
}

void TMATForm::FrameImported(const TImportResult &result)
{
    CurrentMipmap = result.Level;
}

void TMATForm::AddMipmap()
{
    const int frame = CurrentFrame();
    if (!IsTextureMAT(Document) || frame < 1 || frame > FrameCount() ||
        MipmapsFull(Document.TextureHeaders[frame - 1]))
        return;
    const std::vector<std::string> files = ChoosePictures();
    if (files.empty())
        return;
    // Only the first of several chosen pictures is used, read whole before anything changes.
    const TBitmapPicture picture = ReadBitmapFile(files.front());
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step =
        MakeDocumentStep(TCommand::AddMipmap, TFrameEdit::Replaced, frame);
    const TImportResult result = AddMATMipmap(Document, frame, picture, Palette);
    ShowImportMessages(result, files.front());
    if (!result.Changed())
        return;
    CurrentMipmap = result.Level;
    PushStep(std::move(step), before);
    ShowFrame();
    UpdateMainWindow();
}

void TMATForm::RemoveFrame(int frame)
{
    DeleteMATFrame(Document, frame);
    // The level shown must exist in the frame that becomes current.
    TImageViewState next = View;
    next.FrameDeleted(FrameCount());
    CurrentMipmap = FitMipmap(Document, next.CurrentFrame, CurrentMipmap);
}

void TMATForm::SwapFrames(int a, int b)
{
    SwapMATFrames(Document, a, b);
    // The frame now in the current place may have fewer levels than the one shown.
    CurrentMipmap = FitMipmap(Document, CurrentFrame(), CurrentMipmap);
}

// ---------------------------------------------------------------------------------------------
// Export

std::string TMATForm::BitmapName(const std::string &base) const
{
    // A colour frame has no level letter: base-f.bmp, as Save All Bitmaps names it.
    return MATLevelBitmapName(base, CurrentFrame(), IsColorMAT(Document) ? 0 : CurrentMipmap);
}

std::vector<TExportPicture> TMATForm::ExportPictures(const std::string &base) const
{
    return MATExportPictures(Document, base);
}

std::optional<TFrameView> TMATForm::ExportView(const TExportPicture &picture) const
{
    return MATFrameView(Document, picture.Frame, picture.Mipmap);
}

// ---------------------------------------------------------------------------------------------
// Properties and reports

void TMATForm::EditProperties()
{
    TEditMATForm &dialog = FProperties;
    const int frame = CurrentFrame();
    const bool texture = IsTextureMAT(Document) && frame >= 1 && frame <= FrameCount();
    dialog.Palette = Palette;
    dialog.Is16Bit = Document.Header.BitsPerPixel == 16;
    dialog.NewTrans = NewTrans;
    dialog.AverageFill = AverageFill;
    dialog.AutoMipmaps = AutoMipmaps;
    dialog.NumberMipmaps = NumberMipmaps;
    dialog.FillColor =
        texture ? static_cast<uint32_t>(Document.TextureRecords[frame - 1].FillColor) : 0;
    dialog.FrameTrans = texture && Document.TextureHeaders[frame - 1].Transparent == 1;
    dialog.HasFrames = FrameCount() > 0;
    if (dialog.ShowModal() != mrOk)
        return;
    // The current frame's transparency converts its pixels, which the step keeps.
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step = MakeDocumentStep(
        TCommand::EditProperties, texture ? TFrameEdit::Replaced : TFrameEdit::None, frame);
    ApplyNewFrameSettings();
    PushStep(std::move(step), before, true);
    ShowFrame();
    UpdateMainWindow();
}

std::unique_ptr<TEditStep> TMATForm::MakeDocumentStep(TCommand command, TFrameEdit edit, int a,
                                                      int b)
{
    return MakeStep(Document, CommandText(command), edit, a, b);
}

TStepView TMATForm::CurrentStepView() const
{
    return {CurrentFrame(), CurrentMipmap};
}

void TMATForm::ShowStepView(const TStepView &view)
{
    const int count = FrameCount();
    View.CurrentFrame = std::clamp(view.Frame, count > 0 ? 1 : 0, count);
    CurrentMipmap = FitMipmap(Document, View.CurrentFrame, view.Mipmap);
    ShowFrame();
}

TDocumentFacts TMATForm::Facts() const
{
    return WithLightView(MATFacts(Document, CurrentFrame(), Zoom()));
}

TStatusTexts TMATForm::StatusTexts() const
{
    return WithLightView(MATStatusTexts(Document, {CurrentFrame(), CurrentMipmap, Zoom(),
                                                   AutoMipmaps, NumberMipmaps, PaletteName}));
}
