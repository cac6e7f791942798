#pragma once
// The document window shared by the BM, MAT and SFT windows, on top of the life cycle every
// document window has (ui/kit/GLM_DocumentWindow.h): the display palette a new window starts
// with, drawing the current frame at the zoom, layout when maximized (centred, with scroll
// bars for a larger picture), panning and Ctrl+wheel zoom, zoom, frame stepping (also with
// the Left and Right keys), deleting and shifting frames, Add Frames, Save Bitmap,
// Save All Bitmaps and Select Palette. The rules themselves live in core/documents; this class
// applies them to widgets.
//
// A window of another kind derives as the BM window does:
//     class TMATForm : public TDocumentWindowOf<TMATForm, TImageDocumentForm>
//   1. Declare its Description and publish, with using-declarations in a public section,
//      exactly the operations its kind has in the command table (the SFT window, for
//      instance, leaves out PreviousFrame, NextFrame, the shifts and SaveAllBitmaps); write
//      EditProperties (and AddMipmap for MAT) itself. A public operation of the same name
//      may wrap the base one instead (MAT's AddFrames adds a colour frame in a colour MAT).
//   2. Implement the pure hooks below: the new document, reading and writing the file, the
//      frame count, the view of the current frame, whether it is 8-bit, plus Facts and
//      StatusTexts of the contract.
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

#include "core/GLM_ExportNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_Import.h"
#include "core/documents/GLM_ImageDocument.h"
#include "ui/image/GLM_FrameImage.h"
#include "ui/kit/GLM_DocumentWindow.h"

class QAbstractScrollArea;
class QMdiSubWindow;
class QScrollArea;

class TImageDocumentForm : public TDocumentWindow
{
    Q_OBJECT
public:
    std::string PaletteName; // "Dflt", "Uicolormap", a palette file path or "Internal"
    TPalette Palette{};      // the display palette
    TImageViewState View;    // Zoom and CurrentFrame

    int Zoom() const { return View.Zoom; }
    int CurrentFrame() const { return View.CurrentFrame; }
    TFrameImage *Image() const { return FImage; }
    // The view the picture lies in; it scrolls only when the window is maximized.
    QScrollArea *ImageView() const { return FView; }

    QSize sizeHint() const override { return FClient; }
    QSize minimumSizeHint() const override { return {}; }

protected:
    TImageDocumentForm(TWindowContext &context, const TDocumentDescription &description,
                       const TOperations &operations, QWidget *parent);

    // ---- Operations; each window publishes those its kind has.
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

    // Draws the current frame (or nothing) and fits the window to it.
    void ShowFrame() override;
    // The Add Bitmaps dialog (several pictures may be chosen): the chosen files in the
    // dialog's order, none when cancelled.
    std::vector<std::string> ChoosePictures(const char *title = "Add Bitmaps", bool many = true);
    // The messages of importing `file`, each in a box of its kind and naming the file.
    void ShowImportMessages(const TImportResult &result, const std::string &file);

    // ---- Hooks every kind implements.
    // The empty document with the kind's new-document settings; the display palette is
    // chosen already.
    virtual void NewImage() = 0;
    // Reads the whole file (ReadDocument); may set PaletteName and Palette (a BM's own).
    virtual void ReadImage(const std::string &path) = 0;
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
    virtual int SaveBitmapBits() const { return Settings().SaveBitmapFormat; }
    // Select Palette's OK: the name, the setting and the display palette.
    virtual void PaletteChosen(const std::string &name, const TPalette &palette);

    void keyReleaseEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void NewDocument() final;
    void ReadDocument(const std::string &path) final;
    std::string WindowCaption() const final;
    QMdiSubWindow *SubWindow() const;
    bool IsMaximized() const;
    void Layout();
    void FitWindow();
    void Shift(bool toPrevious);
    // What the wheel and the middle button pan: this window's view when it can scroll, else
    // the workspace around the window.
    QAbstractScrollArea *PanTarget() const;
    // The base of export names: the file-name part of FilePath (or FileName), no extension.
    std::string ExportBase() const;
    // Save As Bitmap, proposing `name`; the chosen path, or empty when cancelled.
    std::string ChooseBitmapFile(const std::string &name);

    TFrameImage *FImage = nullptr;
    QScrollArea *FView = nullptr;
    QSize FClient{EmptyWindowSide, EmptyWindowSide};
    bool FEmpty = true;
};
