#pragma once
// The document window shared by the BM, MAT and SFT windows, on top of the life cycle every
// document window has (ui/kit/GLM_DocumentWindow.h): the display palette a new window starts
// with, drawing the current frame at the zoom, layout when maximized (centred, with scroll
// bars for a larger picture), panning and Ctrl+wheel zoom, zoom, frame stepping (also with
// the Left and Right keys), deleting and shifting frames, Add Frames, Save Bitmap,
// Save All Bitmaps, Select Palette, and the view through a colormap as the game shows the
// frame (light level, also with the [ and ] keys; translucency; full-bright marks). The rules
// themselves live in core/documents; this class applies them to widgets.
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

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/GLM_ExportNames.h"
#include "core/GLM_FramePicture.h"
#include "core/GLM_Import.h"
#include "core/GLM_LightView.h"
#include "core/documents/GLM_EditSteps.h"
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

    TBackdrop Backdrop;          // behind a translucent frame
    bool Translucent = false;    // View > Translucent
    bool MarkFullBright = false; // View > Mark Full-Bright
    void SetLightLevel(int level) override;
    void UseColormap(const std::string &path) override;

    // ---- The view through the colormap, an operation of every kind (never a document
    // change): one level up or down, View > Colormap... (a file, a CONTAINER::NAME path or a
    // member of an open container), the toggles, and the backdrop's two palette indices (the
    // same twice: one colour).
    void LightBrighter();
    void LightDarker();
    void SelectColormap();
    void ToggleTranslucent();
    void SelectBackdrop();
    void ToggleMarkFullBright();

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
    virtual void ReadImage(const TDocumentSource &source) = 0;
    virtual int FrameCount() const = 0;
    // What ShowFrame draws; nothing for an empty or damaged frame.
    virtual std::optional<TFrameView> CurrentFrameView() const = 0;
    virtual bool IsPaletted() const = 0;

    // A step of `command` on the kind's document (MakeStep), made before the edit.
    virtual std::unique_ptr<TEditStep> MakeDocumentStep(TCommand command, TFrameEdit edit,
                                                        int a = 0, int b = 0) = 0;
    // The current frame, and that frame again after an undo or redo.
    TStepView CurrentStepView() const override;
    void ShowStepView(const TStepView &view) override;

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
    // The light view's facts and status text added to the kind's own.
    TDocumentFacts WithLightView(TDocumentFacts facts) const;
    TStatusTexts WithLightView(TStatusTexts texts) const;

    void keyReleaseEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void NewDocument() final;
    void ReadDocument(const TDocumentSource &source) final;
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

    // Reads the colormap ColormapSource names when it is not the one read already; a
    // colormap that cannot be read is reported (once per path unless `always`) and none used.
    void LoadColormap(bool always = false);
    // The frame's 1:1 picture as the view shows it: through the display palette, or through
    // the colormap, with the full-bright pixels tinted when marked.
    QImage ViewPicture(const TFrameView &view) const;
    // The view through the colormap changed: drawn again, the main window told.
    void LightViewChanged();

    TFrameImage *FImage = nullptr;
    // The colormap the frames are seen through (ColormapSource) and its path; no colormap
    // while neither the display palette nor the kind's choice is one that can be read.
    std::unique_ptr<const TCMP> FColormap;
    std::string FColormapPath;
    // The colormap of the container this member came from, in place of the kind's choice
    // until the user chooses another.
    std::string FContainerColormap;
    QScrollArea *FView = nullptr;
    QSize FClient{EmptyWindowSide, EmptyWindowSide};
    bool FEmpty = true;
};
