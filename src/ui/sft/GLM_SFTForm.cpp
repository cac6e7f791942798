#include "ui/sft/GLM_SFTForm.h"

#include <QMouseEvent>

#include "core/GLM_Bitmaps.h"
#include "platform/GLM_Platform.h"
#include "ui/sft/GLM_EditSFTForm.h"

TSFTForm::TSFTForm(TWindowContext &context, TEditSFTForm &properties, QWidget *parent)
    : TDocumentWindowOf(context, parent), FProperties(properties)
{
    setObjectName("SFTForm");
    Image()->setObjectName("SFTImage");
    Image()->setMouseTracking(true);
    Image()->installEventFilter(this);
    // Every report but the readout's own starts panel 6 afresh.
    connect(this, &TDocumentWindow::StateChanged, this, [this] {
        if (!FReportingCharacter)
            FCharacter.clear();
    });
}

void TSFTForm::NewImage()
{
    Document = NewSFT(Settings().SFTIs16Bit);
    ApplyFontSettings();
}

void TSFTForm::ApplyFontSettings()
{
    const TSettings &s = Settings();
    ::ApplyFontSettings(Document,
                        {s.SFTCharacterGap, s.SFTSpaceLength, s.SFTTransIndex, s.SFTTransColor});
}

void TSFTForm::ReadImage(const TDocumentSource &source)
{
    TSFT loaded;
    source.LoadInto(loaded);
    Document = std::move(loaded);
}

bool TSFTForm::MayWrite()
{
    return HasBitmap(Document) ||
           Messages().Question(NoPictureQuestion, {}, this) == TMessageResult::Yes;
}

void TSFTForm::WriteDocument(const std::string &path) const
{
    // The writer recounts the ranges into its header; the window's font stays as it is.
    TSFT written = Document;
    written.SaveToFile(path);
    // Written all the same; the game is what cannot load it.
    if (!Document.HasCharacters())
        Messages().Warning(NoCharactersWarning, {}, const_cast<TSFTForm *>(this));
}

std::vector<uint8_t> TSFTForm::DocumentBytes() const
{
    return Document.SaveToBytes();
}

int TSFTForm::FrameCount() const
{
    return HasBitmap(Document) ? 1 : 0;
}

std::optional<TFrameView> TSFTForm::CurrentFrameView() const
{
    return SFTFrameView(Document);
}

bool TSFTForm::IsPaletted() const
{
    return Document.BMHeader.BitsPerPixel != 16;
}

std::string TSFTForm::BitmapName(const std::string &base) const
{
    return SFTBitmapName(base);
}

// ---------------------------------------------------------------------------------------------
// The strip

void TSFTForm::AddFrames()
{
    if (HasBitmap(Document))
        return;
    const std::vector<std::string> chosen = ChoosePictures("Add Bitmap", false);
    if (chosen.empty())
        return;
    // Read whole before the font changes: an unreadable picture leaves it as it was.
    const TBitmapPicture picture = ReadBitmapFile(chosen.front());
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step =
        MakeDocumentStep(TCommand::AddFrames, TFrameEdit::Replaced, 1);
    ImportSFTStrip(Document, picture, Palette);
    View.CurrentFrame = 1;
    PushStep(std::move(step), before);
    ShowFrame();
    UpdateMainWindow();
}

void TSFTForm::DeleteFrame()
{
    if (!HasBitmap(Document))
        return;
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step =
        MakeDocumentStep(TCommand::DeleteFrame, TFrameEdit::Replaced, 1);
    DeleteSFTBitmap(Document);
    View.FrameDeleted(0);
    // Dropping the strip is undoable, yet leaves Modified as it was.
    const bool wasModified = Modified;
    PushStep(std::move(step), before);
    if (!wasModified)
        Modified = false;
    ShowFrame();
    UpdateMainWindow();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TSFTForm::EditProperties()
{
    TEditSFTForm &dialog = FProperties;
    dialog.Palette = Palette;
    // The strip at 1:1 as drawn; empty for a font without one.
    dialog.FontBitmap = SFTPicture(Document, Palette, 1);
    dialog.Is16Bit = Document.BMHeader.BitsPerPixel == 16;
    dialog.CharGap = Document.Header.CharGap;
    dialog.SpaceLength = Document.Header.SpaceLength;
    dialog.TransColor = Document.BMHeader.TransColor;
    dialog.SetCharacters(Document.Chars);
    if (dialog.ShowModal() != mrOk)
        return;
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step = MakeDocumentStep(TCommand::EditProperties, TFrameEdit::None);
    ApplyFontSettings();
    Document.Chars = dialog.Characters;
    PushStep(std::move(step), before, true);
    UpdateMainWindow();
}

std::unique_ptr<TEditStep> TSFTForm::MakeDocumentStep(TCommand command, TFrameEdit edit, int a,
                                                      int b)
{
    return MakeStep(Document, CommandText(command), edit, a, b);
}

// ---------------------------------------------------------------------------------------------
// Reports

void TSFTForm::SFTImageMouseMove(int x, int)
{
    if (!IsActive())
        return;
    const std::optional<uint16_t> code = CharacterAt(Document.Chars, x, Zoom());
    if (!code)
        return; // the panel keeps its text
    FCharacter = CharacterText(*code);
    FReportingCharacter = true;
    emit StateChanged();
    FReportingCharacter = false;
}

bool TSFTForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image() && event->type() == QEvent::MouseMove) {
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        SFTImageMouseMove(at.x(), at.y());
    }
    return TImageDocumentForm::eventFilter(watched, event);
}

TDocumentFacts TSFTForm::Facts() const
{
    return WithLightView(SFTFacts(Document, Zoom()));
}

TStatusTexts TSFTForm::StatusTexts() const
{
    FShown = SFTStatusTexts(Document, PaletteName, FShown);
    FShown[CharacterPanel] = FCharacter;
    return WithLightView(FShown);
}
