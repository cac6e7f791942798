#include "ui/sft/GLM_SFTForm.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>

#include "core/GLM_Bitmaps.h"
#include "platform/GLM_Platform.h"
#include "ui/sft/GLM_EditSFTForm.h"

namespace {

const TImageKind SFTKind{
    ".sft", ".~sft",        "Save As SFT Font", "SFT Fonts (*.sft)|*.sft|All Files (*.*)|*.*",
    "sft",  TFileType::SFT, "Uicolormap",       &Settings.SFTPalettePath,
    1};

} // namespace

TSFTForm::TSFTForm(QWidget *parent) : TDocumentWindowOf(parent)
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

const TImageKind &TSFTForm::ImageKind() const
{
    return SFTKind;
}

void TSFTForm::NewDocument()
{
    Document = NewSFT(Settings.SFTIs16Bit);
}

void TSFTForm::DocumentCreated()
{
    ApplyFontSettings();
}

void TSFTForm::ApplyFontSettings()
{
    ::ApplyFontSettings(Document, {Settings.SFTCharacterGap, Settings.SFTSpaceLength, Settings.SFTTransIndex, Settings.SFTTransColor});
}

void TSFTForm::ReadDocument(const std::string &path)
{
    TSFT loaded;
    loaded.LoadFromFile(path);
    Document = std::move(loaded);
}

void TSFTForm::WriteDocument(const std::string &path) const
{
    // The writer recounts the ranges into its header; the window's font stays as it is.
    TSFT written = Document;
    written.SaveToFile(path);
    // Written all the same; the game is what cannot load it.
    if (!Document.HasCharacters())
        Platform().Messages().Warning(NoCharactersWarning, {}, const_cast<TSFTForm *>(this));
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
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::OpenPicture;
    request.Title = "Add Bitmap";
    request.Filter = "Windows Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*";
    request.InitialDir = DialogDirectory(TDialogKind::Open, TFileType::SFT);
    request.Parent = this;
    if (!Platform().FileDialogs().Execute(request))
        return;
    const std::string chosen = !request.FileName.empty() ? request.FileName
                               : request.Files.empty()   ? std::string()
                                                         : request.Files.front();
    if (chosen.empty())
        return;
    RememberDirectory(TDialogKind::Open, TFileType::SFT, chosen);
    // Read whole before the font changes: an unreadable picture leaves it as it was.
    const TBitmapPicture picture = ReadBitmapFile(chosen);
    ImportSFTStrip(Document, picture, Palette);
    View.CurrentFrame = 1;
    Modified = true;
    ShowFrame();
    UpdateMainWindow();
}

void TSFTForm::DeleteFrame()
{
    if (!HasBitmap(Document))
        return;
    DeleteSFTBitmap(Document);
    View.FrameDeleted(0);
    ShowFrame();
    UpdateMainWindow();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TSFTForm::EditProperties()
{
    if (!EditSFTForm)
        return;
    EditSFTForm->Palette = Palette;
    // The strip at 1:1 as drawn; empty for a font without one.
    EditSFTForm->FontBitmap = SFTPicture(Document, Palette, 1);
    EditSFTForm->Is16Bit = Document.BMHeader.BitsPerPixel == 16;
    EditSFTForm->CharGap = Document.Header.CharGap;
    EditSFTForm->SpaceLength = Document.Header.SpaceLength;
    EditSFTForm->TransColor = Document.BMHeader.TransColor;
    EditSFTForm->SetCharacters(Document.Chars);
    if (EditSFTForm->ShowModal() != mrOk)
        return;
    ApplyFontSettings();
    Document.Chars = EditSFTForm->Characters;
    Modified = true;
    UpdateMainWindow();
}

// ---------------------------------------------------------------------------------------------
// Reports

bool TSFTForm::IsActiveWindow() const
{
    const auto *sub = qobject_cast<const QMdiSubWindow *>(parentWidget());
    return !sub || !sub->mdiArea() || sub->mdiArea()->activeSubWindow() == sub;
}

void TSFTForm::SFTImageMouseMove(int x, int)
{
    if (!IsActiveWindow())
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
    return SFTFacts(Document, Zoom());
}

TStatusTexts TSFTForm::StatusTexts() const
{
    FShown = SFTStatusTexts(Document, PaletteName, FShown);
    FShown[CharacterPanel] = FCharacter;
    return FShown;
}
