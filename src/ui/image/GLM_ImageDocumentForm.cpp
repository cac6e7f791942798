#include "ui/image/GLM_ImageDocumentForm.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include <QEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include "core/GLM_Bitmaps.h"
#include "core/GLM_FileNames.h"
#include "core/documents/GLM_ZoomPainter.h"
#include "formats/LEC_FileIO.h"
#include "platform/GLM_Platform.h"
#include "ui/dialogs/GLM_SelectPaletteForm.h"
#include "ui/kit/GLM_FileReplaceForm.h"

namespace {

constexpr int CascadeStep = 22;
const char *const BitmapFilter = "Windows Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*";

// The first chosen path of a confirmed dialog.
std::string ChosenFile(const TFileDialogRequest &request)
{
    if (!request.FileName.empty())
        return request.FileName;
    return request.Files.empty() ? std::string() : request.Files.front();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The image control

TFrameImage::TFrameImage(QWidget *parent) : QWidget(parent)
{
    setObjectName("Image");
    // Painted whole by paintEvent; nothing behind it needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFrameImage::SetPicture(QImage picture, int zoom)
{
    FPicture = std::move(picture);
    FZoom = std::max(zoom, 1);
    resize(PictureSize());
    update();
}

QSize TFrameImage::PictureSize() const
{
    return FPicture.isNull() ? QSize(0, 0) : FPicture.size() * FZoom;
}

void TFrameImage::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    PaintZoomed(painter, FPicture, FZoom, QPoint(0, 0), event->rect());
}

// ---------------------------------------------------------------------------------------------
// Creation, opening, drawing

TImageDocumentForm::TImageDocumentForm(TDocumentKind kind, const TOperations &operations,
                                       QWidget *parent)
    : TDocumentWindow(kind, operations, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    FImage = new TFrameImage(this);
    FImage->move(0, 0);
    resize(FClient);
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

void TImageDocumentForm::FormCreate()
{
    View = TImageViewState{};
    Modified = false;
    FClient = QSize(EmptyWindowSide, EmptyWindowSide);
    if (QMdiSubWindow *sub = SubWindow()) {
        sub->installEventFilter(this);
        // Each window 22 pixels lower and further right than the one before it.
        int count = 0;
        if (QMdiArea *area = sub->mdiArea()) {
            for (QMdiSubWindow *other : area->subWindowList()) {
                const auto *window = qobject_cast<TDocumentWindow *>(other->widget());
                count += window && !window->IsClosed() ? 1 : 0;
            }
        }
        const int offset = std::max(count - 1, 0) * CascadeStep;
        sub->move(offset, offset);
    }
    const TImageKind &kind = ImageKind();
    FileName = UntitledName(UntitledCount, kind.Extension);
    NewDocument();

    TDisplayPalette display = ResolveDisplayPalette(*kind.PalettePath, kind.BuiltInPalette);
    PaletteName = display.Name;
    Palette = display.Palette;
    if (display.Problem) {
        // Said once per palette that cannot be read, not by every window that tries it.
        static std::set<std::string> reported;
        if (reported.insert(*kind.PalettePath).second)
            Platform().Messages().Warning(*display.Problem, {}, this);
    }
    DocumentCreated();
    Modified = false;
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::LoadFile(const std::string &path)
{
    // The window takes the path only once the whole file has been read.
    ReadDocument(path);
    FilePath = path;
    FileName = ExtractFileName(path);
    View.CurrentFrame = FrameCount() > 0 ? 1 : 0;
    Modified = false;
    ShowFrame();
    UpdateMainWindow();
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
        FImage->SetPicture(view ? DisplayPicture(*view, Palette) : QImage(), View.Zoom);
        const QSize picture = view ? QSize(view->Width, view->Height) : QSize(0, 0);
        const TClientSize client = FrameClientSize(picture.width(), picture.height(), View.Zoom);
        FClient = QSize(client.Width, client.Height);
    }
    FitWindow();
    Layout();
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
    const QSize picture = FImage->PictureSize();
    if (IsMaximized())
        FImage->move(CentredOffset(width(), picture.width()),
                     CentredOffset(height(), picture.height()));
    else
        FImage->move(0, 0);
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

void TImageDocumentForm::UpdateMainWindow()
{
    setWindowTitle(QString::fromStdString(WindowCaption(FileName, View.Zoom)));
    emit StateChanged();
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

void TImageDocumentForm::keyReleaseEvent(QKeyEvent *event)
{
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

TImportResult TImageDocumentForm::ImportFrame(const TBitmapPicture &)
{
    return {};
}

std::vector<std::string> TImageDocumentForm::ChoosePictures()
{
    const TImageKind &kind = ImageKind();
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::OpenPicture;
    request.Title = "Add Bitmaps";
    request.Filter = BitmapFilter;
    request.MultiSelect = true;
    request.InitialDir = DialogDirectory(TDialogKind::Open, kind.FileType);
    request.Parent = this;
    if (!Platform().FileDialogs().Execute(request))
        return {};
    std::vector<std::string> files = request.Files;
    if (files.empty() && !request.FileName.empty())
        files.push_back(request.FileName);
    if (!files.empty())
        RememberDirectory(TDialogKind::Open, kind.FileType, ChosenFile(request));
    return files;
}

void TImageDocumentForm::ShowImportMessages(const TImportResult &result)
{
    for (const TImportMessage &message : result.Messages) {
        if (message.Kind == TImportMessageKind::Warning)
            Platform().Messages().Warning(message.Text, {}, this);
        else
            Platform().Messages().Error(message.Text, {}, this);
    }
}

void TImageDocumentForm::AddFrames()
{
    const TImageKind &kind = ImageKind();
    const int room = kind.MaxFrames - FrameCount();
    if (room <= 0)
        return;
    std::vector<std::string> files = ChoosePictures();
    if (files.empty())
        return;
    // The document's frame table holds no more than its limit.
    const size_t leftOut = files.size() > size_t(room) ? files.size() - size_t(room) : 0;
    files.resize(files.size() - leftOut);

    bool added = false;
    const auto finish = [&] {
        if (!added)
            return;
        Modified = true;
        ShowFrame();
        UpdateMainWindow();
    };
    try {
        for (const std::string &file : files) {
            const TImportResult result = ImportFrame(ReadBitmapFile(file));
            ShowImportMessages(result);
            if (result.Changed()) {
                added = true;
                View.CurrentFrame = result.Frame;
                FrameImported(result);
            }
        }
    } catch (...) {
        // Frames added before the unreadable file stay.
        finish();
        throw;
    }
    finish();
    if (leftOut > 0)
        Platform().Messages().Warning(
            std::to_string(leftOut) + (leftOut == 1 ? " picture was" : " pictures were") +
                " left out: a " + DocumentKindName(Kind()) + " holds at most " +
                std::to_string(kind.MaxFrames) + " frames.",
            {}, this);
}

void TImageDocumentForm::DeleteFrame()
{
    if (FrameCount() < 1 || View.CurrentFrame < 1)
        return;
    RemoveFrame(View.CurrentFrame);
    View.FrameDeleted(FrameCount());
    Modified = true;
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::Shift(bool toPrevious)
{
    const int partner = View.ShiftPartner(toPrevious, FrameCount());
    if (partner == 0)
        return;
    SwapFrames(View.CurrentFrame, partner);
    Modified = true;
    // The view follows the moved frame.
    if (toPrevious)
        PreviousFrame();
    else
        NextFrame();
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
    if (!IsPaletted() || !SelectPaletteForm)
        return;
    SelectPaletteForm->PaletteName = PaletteName;
    SelectPaletteForm->Palette = Palette;
    if (SelectPaletteForm->ShowModal() != mrOk)
        return;
    PaletteChosen(SelectPaletteForm->PaletteName, SelectPaletteForm->Palette);
    ShowFrame();
    UpdateMainWindow();
}

void TImageDocumentForm::PaletteChosen(const std::string &name, const TPalette &palette)
{
    PaletteName = name;
    // A file's own palette is no name a new window could start from.
    if (name != "Internal")
        *ImageKind().PalettePath = name;
    Palette = palette;
}

// ---------------------------------------------------------------------------------------------
// Saving and closing

int TImageDocumentForm::ConfirmReplace(const std::string &path, bool multipleFiles)
{
    if (!FileReplaceForm)
        return mrCancel;
    FileReplaceForm->FileName = path;
    FileReplaceForm->MultipleFiles = multipleFiles;
    return FileReplaceForm->ShowModal();
}

bool TImageDocumentForm::Save()
{
    if (FilePath.empty() || !FileExists(FilePath))
        return SaveAs();
    SaveWithBackup(FilePath, Settings.BackupFile ? ImageKind().BackupExtension : "",
                   [this](const std::string &path) { WriteDocument(path); });
    Modified = false;
    UpdateMainWindow();
    return true;
}

bool TImageDocumentForm::SaveAs()
{
    const TImageKind &kind = ImageKind();
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Title = kind.SaveTitle;
    request.Filter = kind.SaveFilter;
    request.FilterIndex = 1;
    request.FileName = FileName;
    request.DefaultExt = kind.DefaultExt;
    request.InitialDir = DialogDirectory(TDialogKind::Save, kind.FileType);
    request.Parent = this;
    if (!Platform().FileDialogs().Execute(request))
        return false;
    const std::string chosen = ChosenFile(request);
    if (chosen.empty())
        return false;
    RememberDirectory(TDialogKind::Save, kind.FileType, chosen);
    if (FileExists(chosen) && ConfirmReplace(chosen, false) != mrYes)
        return false;
    WriteDocument(chosen);
    FilePath = chosen;
    FileName = ExtractFileName(chosen);
    emit AddToReopenListRequested(FilePath);
    Modified = false;
    UpdateMainWindow();
    return true;
}

void TImageDocumentForm::SaveFile()
{
    Save();
}

void TImageDocumentForm::SaveFileAs()
{
    SaveAs();
}

bool TImageDocumentForm::CloseQuery()
{
    return !Modified || AskSaveChanges([this] { return Save(); });
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
    const TFileType type = ImageKind().FileType;
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Title = "Save As Bitmap";
    request.Filter = BitmapFilter;
    request.FilterIndex = 1;
    request.FileName = name;
    request.DefaultExt = "bmp";
    request.InitialDir = DialogDirectory(TDialogKind::Save, type);
    request.Parent = this;
    if (!Platform().FileDialogs().Execute(request))
        return {};
    const std::string chosen = ChosenFile(request);
    if (!chosen.empty())
        RememberDirectory(TDialogKind::Save, type, chosen);
    return chosen;
}

void TImageDocumentForm::SaveBitmap()
{
    const std::optional<TFrameView> view = FrameCount() > 0 ? CurrentFrameView() : std::nullopt;
    if (!view)
        return;
    const std::string path = ChooseBitmapFile(BitmapName(ExportBase()));
    if (path.empty() || (FileExists(path) && ConfirmReplace(path, false) != mrYes))
        return;
    SaveFrameBitmap(*view, Palette, View.Zoom, SaveBitmapBits(), path);
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
            SaveFrameBitmap(*view, Palette, View.Zoom, Settings.SaveBitmapFormat, path);
    }
}
