#include "ui/image/GLM_ImageDocumentForm.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include <QEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include "core/GLM_Bitmaps.h"
#include "core/GLM_FileNames.h"
#include "core/documents/GLM_ZoomPainter.h"
#include "formats/LEC_FileIO.h"
#include "platform/GLM_Platform.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/dialogs/GLM_SelectPaletteForm.h"
#include "ui/kit/GLM_Panning.h"

namespace {

const char *const BitmapFilter = "Windows Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*";
const char *const ColormapFilter = "CMP Palettes (*.cmp)|*.cmp|All Files (*.*)|*.*";

// Full-bright pixels are drawn half-way to this colour when marked: a hue game palettes
// hardly use, so the marks stand out on stone and metal alike.
constexpr QRgb MarkTint = qRgb(255, 0, 255);

} // namespace

// ---------------------------------------------------------------------------------------------
// Creation, opening, drawing

TImageDocumentForm::TImageDocumentForm(TWindowContext &context,
                                       const TDocumentDescription &description,
                                       const TOperations &operations, QWidget *parent)
    : TDocumentWindow(context, description, operations, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Beside and around the picture the window shows the workspace's colour.
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    FView = new QScrollArea(this);
    FView->setObjectName("ImageView");
    FView->setFrameShape(QFrame::NoFrame);
    // The keys step frames in this window; the view must not take them for scrolling.
    FView->setFocusPolicy(Qt::NoFocus);
    FView->viewport()->setBackgroundRole(QPalette::Dark);
    FImage = new TFrameImage;
    FView->setWidget(FImage);
    new TPanning(
        FView->viewport(), [this] { return PanTarget(); },
        [this](int steps) {
            const TCommand zoom = steps > 0 ? TCommand::ZoomIn : TCommand::ZoomOut;
            if (DocumentStates(DocumentFacts())[zoom])
                RunOperation(zoom);
        });
    resize(FClient);
}

QAbstractScrollArea *TImageDocumentForm::PanTarget() const
{
    if (FView->horizontalScrollBar()->maximum() > 0 || FView->verticalScrollBar()->maximum() > 0)
        return FView;
    const QMdiSubWindow *sub = SubWindow();
    return sub ? sub->mdiArea() : nullptr;
}

QMdiSubWindow *TImageDocumentForm::SubWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

bool TImageDocumentForm::IsMaximized() const
{
    const QMdiSubWindow *sub = SubWindow();
    return sub && sub->isMaximized();
}

void TImageDocumentForm::NewDocument()
{
    View = TImageViewState{};
    FClient = QSize(EmptyWindowSide, EmptyWindowSide);
    if (QMdiSubWindow *sub = SubWindow())
        sub->installEventFilter(this);
    const TDocumentDescription &kind = Description();
    const std::string &wanted = Settings().*kind.PalettePath;
    TDisplayPalette display = ResolveDisplayPalette(wanted, kind.BuiltInPalette);
    PaletteName = display.Name;
    Palette = display.Palette;
    if (display.Problem && Context().FirstReport(wanted))
        Messages().Warning(*display.Problem, {}, this);
    NewImage();
    LoadColormap();
}

void TImageDocumentForm::ReadDocument(const TDocumentSource &source)
{
    ReadImage(source);
    View.CurrentFrame = FrameCount() > 0 ? 1 : 0;
    // A BM's own palette replaces the display palette, which may have been the colormap.
    LoadColormap();
}

std::string TImageDocumentForm::WindowCaption() const
{
    return ::WindowCaption(FileName, View.Zoom);
}

void TImageDocumentForm::ShowFrame()
{
    FEmpty = FrameCount() < 1 || View.CurrentFrame < 1;
    if (FEmpty) {
        FImage->SetPicture(QImage(), View.Zoom);
        FClient = QSize(EmptyWindowSide, EmptyWindowSide);
    } else {
        const std::optional<TFrameView> view = CurrentFrameView();
        // Drawn once at 1:1; the control paints the blocks of the zoom.
        FImage->SetPicture(view ? ViewPicture(*view) : QImage(), View.Zoom);
        const QSize picture = view ? QSize(view->Width, view->Height) : QSize(0, 0);
        const TClientSize client =
            FrameClientSize(picture.width(), picture.height(), View.Zoom, CaptionWidth());
        FClient = QSize(client.Width, client.Height);
    }
    FitWindow();
    Layout();
}

QImage TImageDocumentForm::ViewPicture(const TFrameView &view) const
{
    const bool looked = FColormap && LightViewRefusal(view).empty();
    QImage picture;
    if (looked && (View.LightLevel < PaletteViewLevel || Translucent)) {
        TGameLookOptions options;
        options.Kind = Translucent ? TGameLookKind::Translucent : TGameLookKind::Lit;
        options.Level = std::min(View.LightLevel, FullLightLevel);
        options.Backdrop = Backdrop;
        const TGameLook look(view, *FColormap, options);
        picture = DisplayPicture(look.View(), look.Palette);
    } else {
        picture = DisplayPicture(view, Palette);
    }
    if (!looked || !MarkFullBright)
        return picture;
    // The frame's own indices decide, whatever the view made of them.
    const std::array<bool, 256> bright = FullBrightIndices(*FColormap);
    const bool single = view.Layout == TPixelLayout::ColorIndex;
    const int width = std::min(picture.width(), view.Width);
    const int height = std::min(picture.height(), view.Height);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const uint8_t *in = single ? nullptr : view.Pixels + static_cast<size_t>(y) * view.Width;
        for (int x = 0; x < width; ++x) {
            if (!bright[single ? static_cast<uint8_t>(view.Color) : in[x]])
                continue;
            const QRgb c = row[x];
            row[x] = qRgb((qRed(c) + qRed(MarkTint)) / 2, (qGreen(c) + qGreen(MarkTint)) / 2,
                          (qBlue(c) + qBlue(MarkTint)) / 2);
        }
    }
    return picture;
}

void TImageDocumentForm::UseColormap(const std::string &path)
{
    FContainerColormap = path;
    LoadColormap();
    UpdateMainWindow();
}

void TImageDocumentForm::LoadColormap(bool always)
{
    const std::string path = ColormapSource(
        PaletteName,
        FContainerColormap.empty() ? Settings().*Description().ColormapPath : FContainerColormap);
    if (path == FColormapPath && !always)
        return;
    FColormapPath = path;
    FColormap.reset();
    if (path.empty())
        return;
    try {
        auto colormap = std::make_unique<TCMP>();
        colormap->LoadFromFile(path);
        FColormap = std::move(colormap);
    } catch (const std::exception &e) {
        if (always || Context().FirstReport(path))
            Messages().Warning("The colormap " + path + " cannot be read (" + e.what() + ").", {},
                               this);
    }
}

void TImageDocumentForm::FitWindow()
{
    updateGeometry();
    QMdiSubWindow *sub = SubWindow();
    if (!sub) {
        resize(FClient);
        return;
    }
    if (sub->isMaximized() || sub->isMinimized())
        return;
    if (FEmpty) {
        // Without a frame the window's outer size is 200 x 200.
        sub->resize(EmptyWindowSide, EmptyWindowSide);
        return;
    }
    // The frame around the client area, as the sub-window draws it now.
    const QSize frame = sub->isVisible() ? sub->size() - size() : QSize();
    if (sub->isVisible() && frame.isValid())
        sub->resize(FClient + frame);
    else
        sub->adjustSize();
    resize(FClient);
}

void TImageDocumentForm::Layout()
{
    FView->setGeometry(rect());
    FView->setAlignment(IsMaximized() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
}

void TImageDocumentForm::resizeEvent(QResizeEvent *event)
{
    TDocumentWindow::resizeEvent(event);
    Layout();
}

bool TImageDocumentForm::eventFilter(QObject *watched, QEvent *event)
{
    // Back from maximized, the window fits its picture again.
    if (watched == SubWindow() && event->type() == QEvent::WindowStateChange)
        QTimer::singleShot(0, this, [this] {
            FitWindow();
            Layout();
        });
    return TDocumentWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// View

void TImageDocumentForm::ZoomIn()
{
    View.ZoomIn();
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::ZoomOut()
{
    View.ZoomOut();
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::PreviousFrame()
{
    View.PreviousFrame(FrameCount());
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::NextFrame()
{
    View.NextFrame(FrameCount());
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::LightViewChanged()
{
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::SetLightLevel(int level)
{
    View.LightLevel = std::clamp(level, 0, PaletteViewLevel);
    LightViewChanged();
}

void TImageDocumentForm::LightBrighter()
{
    View.Brighter();
    LightViewChanged();
}

void TImageDocumentForm::LightDarker()
{
    View.Darker();
    LightViewChanged();
}

void TImageDocumentForm::ToggleTranslucent()
{
    Translucent = !Translucent;
    LightViewChanged();
}

void TImageDocumentForm::ToggleMarkFullBright()
{
    MarkFullBright = !MarkFullBright;
    LightViewChanged();
}

void TImageDocumentForm::SelectColormap()
{
    std::string chosen;
    const std::vector<std::string> members = Context().OpenContainerMembers
                                                 ? Context().OpenContainerMembers(".cmp")
                                                 : std::vector<std::string>();
    if (!members.empty()) {
        const QString other = "Another file...";
        QStringList items;
        for (const std::string &member : members)
            items << QString::fromStdString(member);
        items << other;
        bool ok = false;
        const QString item =
            QInputDialog::getItem(this, "Select Colormap", "Colormap:", items, 0, false, &ok);
        if (!ok)
            return;
        if (item != other)
            chosen = item.toStdString();
    }
    if (chosen.empty()) {
        TFileDialogRequest request;
        request.Kind = TFileDialogKind::Open;
        request.Title = "Select Colormap";
        request.Filter = ColormapFilter;
        request.FileName = FColormapPath;
        request.AcceptMembers = true;
        const std::vector<std::string> files = ChooseFiles(request);
        if (files.empty())
            return;
        chosen = files.front();
    }
    if (!FileExists(chosen))
        throw EInOutError(EInOutError::FileNotFound,
                          EInOutError::StandardText(EInOutError::FileNotFound) + ": " + chosen);
    // Checked before it is kept, so that a file that is no colormap leaves the choice as it was.
    TCMP().LoadFromFile(chosen);
    Settings().*Description().ColormapPath = chosen;
    FContainerColormap.clear();
    LoadColormap(true);
    LightViewChanged();
}

void TImageDocumentForm::SelectBackdrop()
{
    TSelectColorForm *picker = Context().SelectColorForm;
    if (!picker || !FColormap)
        return;
    picker->Palette = FColormap->Palette;
    TBackdrop chosen = Backdrop;
    for (uint8_t *index : {&chosen.First, &chosen.Second}) {
        picker->SelectedIndex = *index;
        if (picker->ShowModal() != mrOk)
            return;
        *index = static_cast<uint8_t>(std::clamp(picker->SelectedIndex, 0, 255));
    }
    Backdrop = chosen;
    LightViewChanged();
}

TDocumentFacts TImageDocumentForm::WithLightView(TDocumentFacts facts) const
{
    const std::optional<TFrameView> view =
        FrameCount() > 0 && View.CurrentFrame > 0 ? CurrentFrameView() : std::nullopt;
    if (!IsPaletted())
        facts.LightRefusal = LightViewRefusal(TFrameView{TPixelLayout::RGB565});
    else if (!view)
        facts.LightRefusal = "There is no frame to light";
    else if (FColormapPath.empty())
        facts.LightRefusal = "Choose a colormap with View > Colormap... first";
    else if (!FColormap)
        facts.LightRefusal = "The colormap " + ExtractFileName(FColormapPath) + " cannot be read";
    else
        facts.LightRefusal = LightViewRefusal(*view);
    if (FColormap)
        facts.TranslucentRefusal = TranslucentViewRefusal(*FColormap);
    facts.LightLevel = View.LightLevel;
    facts.Translucent = Translucent;
    facts.MarkFullBright = MarkFullBright;
    return facts;
}

TStatusTexts TImageDocumentForm::WithLightView(TStatusTexts texts) const
{
    if (FColormap && IsPaletted() && (View.LightLevel < PaletteViewLevel || Translucent))
        texts[7] =
            LightStatusText(View.LightLevel, FColormapPath) + (Translucent ? " Translucent" : "");
    return texts;
}

void TImageDocumentForm::keyReleaseEvent(QKeyEvent *event)
{
    // [ and ] step the light level as the menu's Darker and Brighter do.
    const bool light = event->key() == Qt::Key_BracketLeft || event->key() == Qt::Key_BracketRight;
    if (light && !event->isAutoRepeat()) {
        const TCommand command =
            event->key() == Qt::Key_BracketLeft ? TCommand::LightDarker : TCommand::LightBrighter;
        if (DocumentStates(DocumentFacts())[command])
            RunOperation(command);
        return;
    }
    // A key held down repeats; only its real release steps.
    if (event->isAutoRepeat() || !HasOperation(TCommand::NextFrame)) {
        TDocumentWindow::keyReleaseEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Left)
        RunOperation(TCommand::PreviousFrame);
    else if (event->key() == Qt::Key_Right)
        RunOperation(TCommand::NextFrame);
    else
        TDocumentWindow::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Frames

TStepView TImageDocumentForm::CurrentStepView() const
{
    return {View.CurrentFrame, 0};
}

void TImageDocumentForm::ShowStepView(const TStepView &view)
{
    const int count = FrameCount();
    View.CurrentFrame = std::clamp(view.Frame, count > 0 ? 1 : 0, count);
    ShowFrame();
}

TImportResult TImageDocumentForm::ImportFrame(const TBitmapPicture &)
{
    return {};
}

std::vector<std::string> TImageDocumentForm::ChoosePictures(const char *title, bool many)
{
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::OpenPicture;
    request.Title = title;
    request.Filter = BitmapFilter;
    request.MultiSelect = many;
    return ChooseFiles(request);
}

void TImageDocumentForm::ShowImportMessages(const TImportResult &result, const std::string &file)
{
    for (const TImportMessage &message : result.Messages) {
        if (message.Kind == TImportMessageKind::Warning)
            Messages().Warning(FileMessage(file, message.Text), {}, this);
        else
            Messages().Error(FileMessage(file, message.Text), {}, this);
    }
}

void TImageDocumentForm::AddFrames()
{
    const int maxFrames = Description().MaxFrames;
    const int room = maxFrames - FrameCount();
    if (room <= 0)
        return;
    std::vector<std::string> files = ChoosePictures();
    if (files.empty())
        return;
    // The document's frame table holds no more than its limit.
    const size_t leftOut = files.size() > size_t(room) ? files.size() - size_t(room) : 0;
    files.resize(files.size() - leftOut);

    // The whole import is one step.
    std::unique_ptr<TEditStep> step = MakeDocumentStep(TCommand::AddFrames, TFrameEdit::Added);
    const TStepView before = CurrentStepView();
    bool added = false;
    for (const std::string &file : files) {
        // An unreadable picture is reported by name and the others are still added.
        TImportResult result;
        try {
            result = ImportFrame(ReadBitmapFile(file));
        } catch (const std::exception &e) {
            Messages().Error(FileMessage(file, e.what()), {}, this);
            continue;
        }
        ShowImportMessages(result, file);
        if (result.Changed()) {
            added = true;
            View.CurrentFrame = result.Frame;
            FrameImported(result);
        }
    }
    if (added) {
        PushStep(std::move(step), before);
        ShowFrame();
        UpdateMainWindow();
    }
    if (leftOut > 0)
        Messages().Warning(std::to_string(leftOut) +
                               (leftOut == 1 ? " picture was" : " pictures were") +
                               " left out: a " + DocumentKindName(Kind()) + " holds at most " +
                               std::to_string(maxFrames) + " frames.",
                           {}, this);
}

void TImageDocumentForm::DeleteFrame()
{
    if (FrameCount() < 1 || View.CurrentFrame < 1)
        return;
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step =
        MakeDocumentStep(TCommand::DeleteFrame, TFrameEdit::Removed, View.CurrentFrame);
    RemoveFrame(View.CurrentFrame);
    View.FrameDeleted(FrameCount());
    PushStep(std::move(step), before);
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::Shift(bool toPrevious)
{
    const int partner = View.ShiftPartner(toPrevious, FrameCount());
    if (partner == 0)
        return;
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step =
        MakeDocumentStep(toPrevious ? TCommand::ShiftToPreviousFrame : TCommand::ShiftToNextFrame,
                         TFrameEdit::Swapped, View.CurrentFrame, partner);
    SwapFrames(View.CurrentFrame, partner);
    // The view follows the moved frame.
    if (toPrevious)
        PreviousFrame();
    else
        NextFrame();
    PushStep(std::move(step), before);
}

void TImageDocumentForm::ShiftToPreviousFrame()
{
    Shift(true);
}

void TImageDocumentForm::ShiftToNextFrame()
{
    Shift(false);
}

// ---------------------------------------------------------------------------------------------
// Palette

void TImageDocumentForm::SelectPalette()
{
    TSelectPaletteForm *picker = Context().SelectPaletteForm;
    if (!IsPaletted() || !picker)
        return;
    picker->PaletteName = PaletteName;
    picker->Palette = Palette;
    if (picker->ShowModal() != mrOk)
        return;
    // A step only where the palette is the document's own (a BM's internal one).
    const TStepView before = CurrentStepView();
    std::unique_ptr<TEditStep> step = MakeDocumentStep(TCommand::SelectPalette, TFrameEdit::None);
    PaletteChosen(picker->PaletteName, picker->Palette);
    LoadColormap(true);
    PushStep(std::move(step), before);
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::PaletteChosen(const std::string &name, const TPalette &palette)
{
    PaletteName = name;
    // A file's own palette is no name a new window could start from.
    if (name != "Internal")
        Settings().*Description().PalettePath = name;
    Palette = palette;
}

// ---------------------------------------------------------------------------------------------
// Bitmap export

std::string TImageDocumentForm::ExportBase() const
{
    return ExportBaseName(FilePath.empty() ? FileName : FilePath);
}

std::string TImageDocumentForm::BitmapName(const std::string &base) const
{
    return BMFrameBitmapName(base, View.CurrentFrame);
}

std::string TImageDocumentForm::ChooseBitmapFile(const std::string &name)
{
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Title = "Save As Bitmap";
    request.Filter = BitmapFilter;
    request.FilterIndex = 1;
    request.FileName = name;
    request.DefaultExt = "bmp";
    const std::vector<std::string> chosen = ChooseFiles(request);
    return chosen.empty() ? std::string() : chosen.front();
}

void TImageDocumentForm::SaveBitmap()
{
    const std::optional<TFrameView> view = FrameCount() > 0 ? CurrentFrameView() : std::nullopt;
    if (!view)
        return;
    const std::string path = ChooseBitmapFile(BitmapName(ExportBase()));
    if (path.empty() || (FileExists(path) && ConfirmReplace(path, false) != mrYes))
        return;
    NamingFile(path, [&] { SaveFrameBitmap(*view, Palette, View.Zoom, SaveBitmapBits(), path); });
}

void TImageDocumentForm::SaveAllBitmaps()
{
    if (FrameCount() < 1)
        return;
    const std::vector<TExportPicture> pictures = ExportPictures(ExportBase());
    if (pictures.empty())
        return;
    const std::string chosen = ChooseBitmapFile(pictures.front().FileName);
    if (chosen.empty())
        return;
    // The chosen name only picks the folder. The pictures are made from the document, so the
    // view stays on the frame it showed, whether the run ends or is cancelled.
    const std::filesystem::path folder = Utf8Path(chosen).parent_path();
    bool ask = true;
    for (const TExportPicture &picture : pictures) {
        const std::string path = (folder / Utf8Path(picture.FileName)).string();
        if (ask && FileExists(path)) {
            const int answer = ConfirmReplace(path, true);
            if (answer == mrNo)
                continue;
            if (answer == mrYesToAll)
                ask = false;
            else if (answer != mrYes)
                return;
        }
        if (const std::optional<TFrameView> view = ExportView(picture))
            NamingFile(path, [&] {
                SaveFrameBitmap(*view, Palette, View.Zoom, Settings().SaveBitmapFormat, path);
            });
    }
}
