#pragma once
// The document window shared by the BM, MAT and SFT windows: creation and cascade position,
// LoadFile, drawing the current frame at the zoom, layout when maximized, zoom, frame
// stepping (also with the Left and Right keys), deleting and shifting frames, Add Frames,
// Save with its backup, Save As, the "Save changes to" question, Save Bitmap, Save All
// Bitmaps, the last-directory scheme, Select Palette and the reports to the main window.
// The rules themselves live in core/documents; this class applies them to widgets.
//
// A window of another kind (MAT, SFT) derives as the BM window does:
//     class TMATForm : public TDocumentWindowOf<TMATForm, TImageDocumentForm>
//   1. Declare DocumentKind and publish, with using-declarations in a public section,
//      exactly the operations its kind has in the command table (the SFT window, for
//      instance, leaves out PreviousFrame, NextFrame, the shifts and SaveAllBitmaps); write
//      EditProperties (and AddMipmap for MAT) itself. A public operation of the same name
//      may wrap the base one instead (MAT's AddFrames adds a colour frame in a colour MAT).
//   2. Implement the pure hooks below: its constants (ImageKind), the new document, reading
//      and writing the file, the frame count, the view of the current frame, whether it is
//      8-bit, plus Facts and StatusTexts of the contract.
//   3. Override the other hooks where the kind differs: ImportFrame and FrameImported (Add
//      Frames), RemoveFrame and SwapFrames, BitmapName, ExportPictures and ExportView (Save
//      Bitmap, Save All Bitmaps), SaveBitmapBits (MAT's Save Bitmap is always 24-bit),
//      PaletteChosen (BM's internal palette). MAT also overrides PreviousFrame and NextFrame
//      to step through the levels, keeping its CurrentMipmap beside View.
//   4. Call ShowFrame and UpdateMainWindow after every change of its own, and set Modified
//      when the document changed.

#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "core/GLM_ExportNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_Import.h"
#include "core/documents/GLM_ImageDocument.h"
#include "ui/kit/GLM_DocumentWindow.h"
#include "ui/kit/GLM_Settings.h"

class QMdiSubWindow;

// The image control: keeps the frame's 1:1 picture and paints it with each pixel a
// Zoom x Zoom block; it measures the zoomed picture.
class TFrameImage : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameImage(QWidget *parent = nullptr);

    // A null picture empties the control.
    void SetPicture(QImage picture, int zoom);
    const QImage &Picture() const { return FPicture; }
    int Zoom() const { return FZoom; }
    // The size of the zoomed picture; empty for no picture.
    QSize PictureSize() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage FPicture;
    int FZoom = 1;
};

// What tells one kind of image window from another.
struct TImageKind
{
    const char *Extension;       // ".bm"
    const char *BackupExtension; // ".~bm"
    const char *SaveTitle;       // "Save As BM Graphic"
    const char *SaveFilter;      // "BM Textures (*.bm)|*.bm|All Files (*.*)|*.*"
    const char *DefaultExt;      // "bm"
    TFileType FileType;          // whose last directory the dialogs use under "File Type"
    const char *BuiltInPalette;  // the palette when the setting names none that can be read
    std::string *PalettePath;    // the kind's palette-path setting
    int MaxFrames;               // 50 for BM, 16 for MAT, 1 for SFT
};

class TImageDocumentForm : public TDocumentWindow
{
    Q_OBJECT
public:
    std::string PaletteName; // "Dflt", "Uicolormap", a palette file path or "Internal"
    TPalette Palette{};      // the display palette
    bool Modified = false;
    TImageViewState View; // Zoom and CurrentFrame

    int Zoom() const { return View.Zoom; }
    int CurrentFrame() const { return View.CurrentFrame; }
    TFrameImage *Image() const { return FImage; }
    // The client size the current frame asks for (200 x 200 for a window without a frame).
    QSize ClientSize() const { return FClient; }

    void FormCreate() override;
    void LoadFile(const std::string &path) override;
    bool CloseQuery() override;

    // Draws the current frame (or nothing) and fits the window to it.
    void ShowFrame();
    // The window caption, then the main window's caption, status panels and commands.
    void UpdateMainWindow();

    QSize sizeHint() const override { return FClient; }
    QSize minimumSizeHint() const override { return {}; }

protected:
    TImageDocumentForm(TDocumentKind kind, const TOperations &operations, QWidget *parent);

    // ---- Operations; each window publishes those its kind has.
    void SaveFile();
    void SaveFileAs();
    void SaveBitmap();
    void SaveAllBitmaps();
    void AddFrames();
    void DeleteFrame();
    void ShiftToPreviousFrame();
    void ShiftToNextFrame();
    void SelectPalette();
    virtual void PreviousFrame();
    virtual void NextFrame();
    void ZoomIn();
    void ZoomOut();

    // Save and Save As that say whether the document was written (false: cancelled).
    bool Save();
    bool SaveAs();
    // The Add Bitmaps dialog (several pictures may be chosen); the chosen files in the
    // dialog's order, none when cancelled. The folder is remembered.
    std::vector<std::string> ChoosePictures();
    // An import's messages, each in a box of its kind.
    void ShowImportMessages(const TImportResult &result);

    // ---- Hooks every kind implements.
    virtual const TImageKind &ImageKind() const = 0;
    // The empty document with the kind's new-document settings (creation step 4).
    virtual void NewDocument() = 0;
    // After the display palette of a new window is chosen (BM: ApplyBMSettings).
    virtual void DocumentCreated() {}
    // Reads the whole file; raises EInOutError and changes nothing when it fails. May set
    // PaletteName and Palette (a BM's own palette).
    virtual void ReadDocument(const std::string &path) = 0;
    // Writes the whole document; raises EInOutError when it fails.
    virtual void WriteDocument(const std::string &path) const = 0;
    virtual int FrameCount() const = 0;
    // What ShowFrame draws; nothing for an empty or damaged frame.
    virtual std::optional<TFrameView> CurrentFrameView() const = 0;
    virtual bool IsPaletted() const = 0;

    // ---- Hooks with the BM behaviour or none.
    // One picture of Add Frames into the document; Frame names the frame made current.
    virtual TImportResult ImportFrame(const TBitmapPicture &picture);
    virtual void FrameImported(const TImportResult &) {}
    virtual void RemoveFrame(int) {}
    virtual void SwapFrames(int, int) {}
    // The name Save Bitmap proposes: base-f.bmp.
    virtual std::string BitmapName(const std::string &base) const;
    // The pictures of Save All Bitmaps in order, and what each shows.
    virtual std::vector<TExportPicture> ExportPictures(const std::string &) const { return {}; }
    virtual std::optional<TFrameView> ExportView(const TExportPicture &) const { return {}; }
    // 8 or 24 bits for Save Bitmap (Save All Bitmaps always follows SaveBitmapFormat).
    virtual int SaveBitmapBits() const { return Settings.SaveBitmapFormat; }
    // Select Palette's OK: the name, the setting and the display palette.
    virtual void PaletteChosen(const std::string &name, const TPalette &palette);

    void keyReleaseEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMdiSubWindow *SubWindow() const;
    bool IsMaximized() const;
    void Layout();
    void FitWindow();
    void Shift(bool toPrevious);
    // The base of export names: the file-name part of FilePath (or FileName), no extension.
    std::string ExportBase() const;
    // Save As Bitmap, proposing `name`; the chosen path, or empty when cancelled.
    std::string ChooseBitmapFile(const std::string &name);
    // The replace confirmation's answer for an existing file (Cancel without the dialog).
    int ConfirmReplace(const std::string &path, bool multipleFiles);

    TFrameImage *FImage = nullptr;
    QSize FClient{EmptyWindowSide, EmptyWindowSide};
    bool FEmpty = true;
};
