// Pictures of the editor for the README and the manual, drawn by the real windows: opens
// sample files in the main window as the editor would, shows the dialogs as their commands
// show them, and saves each picture as a PNG. scripts/screenshots.sh runs it under Xvfb.
//
//     glimra-screenshots DOCS_DIR SAMPLES_DIR
//
// writes DOCS_DIR/images/editor.png and the pictures of DOCS_DIR/manual/images/.
//
// Dialogs are never run in a modal loop: a modal driver takes the picture while the dialog
// is open and then leaves it, which cancels it, so no document changes and every window
// closes without a question.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "GLM_Startup.h"
#include "core/documents/GLM_BMDocument.h"
#include "formats/GLM_Globals.h"
#include "platform/GLM_QtPlatform.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/gob/GLM_GOBForm.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/kit/GLM_DocumentWindow.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/kit/GLM_ModalForm.h"
#include "ui/main/GLM_MainForm.h"
#include "ui/main/GLM_NewForm.h"
#include "ui/main/GLM_OptionsForm.h"

namespace {

// A run that waits on something unexpected (a message box about a missing sample) ends
// instead of hanging the script.
constexpr int WatchdogMs = 120000;
// The status bar's eight panels need this width to show whole.
constexpr int StatusBarWidth = 960;

// The desktop as the editor has it, except that a dialog shown modally is handed to Shoot
// (which takes its picture) instead of running a modal loop, and is cancelled after.
class TShooterPlatform : public TQtPlatform, public TModalDialogs
{
public:
    std::function<void(QDialog &)> Shoot;
    TModalDialogs &Modal() override { return *this; }
    int Run(QDialog &dialog) override
    {
        dialog.setResult(mrNone);
        dialog.open();
        if (const auto shoot = Shoot)
            shoot(dialog);
        if (dialog.isVisible())
            dialog.reject();
        return dialog.result();
    }
};

// Lets the windows settle (show, lay out, paint) before the picture is taken.
void Settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class TShooter
{
public:
    TShooter(TShooterPlatform &platform, TMainForm &mainForm, const QString &manualImages,
             const QString &samples)
        : FPlatform(platform), FMainForm(mainForm), FImages(manualImages), FSamples(samples)
    {
    }

    bool Ok() const { return FOk; }

    bool Save(const QPixmap &picture, const QString &path)
    {
        if (picture.isNull() || !picture.save(path, "PNG")) {
            std::fprintf(stderr, "glimra-screenshots: cannot write %s\n", qPrintable(path));
            FOk = false;
            return false;
        }
        std::printf("wrote %s\n", qPrintable(QDir::current().relativeFilePath(path)));
        return true;
    }

    bool SaveManual(const QPixmap &picture, const QString &name)
    {
        return Save(picture, FImages + "/" + name);
    }

    QString Sample(const QString &name) const { return FSamples + "/" + name; }

    // Opens the files; the windows lie side by side from the top left corner.
    void Open(const QStringList &names)
    {
        for (const QString &name : names)
            FMainForm.OpenDocument(Sample(name).toStdString());
        Settle(300);
        int left = 0;
        for (QMdiSubWindow *window : FMainForm.MdiArea()->subWindowList()) {
            window->move(left, 0);
            left += window->width() + 8;
        }
        Settle(200);
    }

    void CloseAll()
    {
        FMainForm.CloseAllDocuments();
        Settle(100);
    }

    // The main window just large enough for its document windows (and the status bar).
    void FitMainWindow()
    {
        QRect used;
        for (QMdiSubWindow *window : FMainForm.MdiArea()->subWindowList())
            used |= window->geometry();
        const QSize chrome = FMainForm.size() - FMainForm.MdiArea()->size();
        FMainForm.resize(std::max(StatusBarWidth, used.right() + 12) + chrome.width(),
                         used.bottom() + 12 + chrome.height());
        Settle(300);
    }

    // The open windows' views, in creation order: each zoomed and lit as given (a level
    // above 63 leaves the palette view); then they are laid out side by side again.
    struct TLook
    {
        int Zoom = 1;
        int Level = PaletteViewLevel;
        bool Marked = false;
    };
    void Look(const std::vector<TLook> &looks)
    {
        const QList<QMdiSubWindow *> windows =
            FMainForm.MdiArea()->subWindowList(QMdiArea::CreationOrder);
        for (size_t i = 0; i < looks.size() && i < size_t(windows.size()); ++i) {
            auto *window = qobject_cast<TDocumentWindow *>(windows[qsizetype(i)]->widget());
            FMainForm.ActivateDocument(window);
            for (int z = 1; z < looks[i].Zoom; ++z)
                window->RunOperation(TCommand::ZoomIn);
            if (looks[i].Level < PaletteViewLevel)
                window->SetLightLevel(looks[i].Level);
            if (looks[i].Marked)
                window->RunOperation(TCommand::MarkFullBright);
        }
        Settle(200);
        int left = 0;
        for (QMdiSubWindow *window : windows) {
            window->move(left, 0);
            left += window->width() + 8;
        }
        Settle(200);
    }

    // One document in the main window, with the toolbar and the status bar it sets; the
    // small samples are zoomed in so that their pixels can be seen.
    void ShootDocument(const QString &sample, const QString &name, int zoom, int nextFrames = 0)
    {
        Open({sample});
        if (TDocumentWindow *window = FMainForm.ActiveDocument()) {
            for (int i = 1; i < zoom; ++i)
                window->RunOperation(TCommand::ZoomIn);
            for (int i = 0; i < nextFrames; ++i)
                window->RunOperation(TCommand::NextFrame);
        }
        FitMainWindow();
        SaveManual(FMainForm.grab(), name);
    }

    // Runs `show`, which shows one dialog modally, and keeps the picture of that dialog.
    void ShootDialog(const QString &name, const std::function<void()> &show)
    {
        bool shown = false;
        FPlatform.Shoot = [this, name, &shown](QDialog &form) {
            shown = true;
            Settle(300);
            SaveManual(form.grab(), name);
        };
        show();
        FPlatform.Shoot = nullptr;
        Settle(100);
        if (!shown) {
            std::fprintf(stderr, "glimra-screenshots: no dialog was shown for %s\n",
                         qPrintable(name));
            FOk = false;
        }
    }

    void ShootDocumentDialog(TCommand command, const QString &name)
    {
        ShootDialog(name, [this, command] {
            if (TDocumentWindow *window = FMainForm.ActiveDocument())
                window->RunOperation(command);
        });
    }

    // A popup menu shown where it would open and grabbed while it is up.
    QPixmap MenuPicture(QMenu *menu)
    {
        menu->popup(FMainForm.mapToGlobal(QPoint(40, 40)));
        Settle(300);
        const QPixmap picture = menu->grab();
        menu->hide();
        Settle(100);
        return picture;
    }

    // The four menus of the menu bar side by side, each under its title.
    void ShootMenus(const QString &name)
    {
        std::vector<std::pair<QString, QPixmap>> menus;
        for (QAction *action : FMainForm.menuBar()->actions())
            if (QMenu *menu = action->menu())
                menus.emplace_back(menu->title().remove('&'), MenuPicture(menu));
        const int gap = 12;
        const int titleHeight = FMainForm.fontMetrics().height() + 6;
        int width = 0, height = 0;
        for (const auto &[title, picture] : menus) {
            width += picture.width() + gap;
            height = std::max(height, picture.height());
        }
        QPixmap sheet(std::max(width - gap, 1), height + titleHeight);
        sheet.fill(FMainForm.palette().color(QPalette::Window));
        QPainter painter(&sheet);
        QFont bold = FMainForm.menuBar()->font();
        bold.setBold(true);
        painter.setFont(bold);
        int x = 0;
        for (const auto &[title, picture] : menus) {
            painter.drawText(QRect(x + 4, 0, picture.width(), titleHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, title);
            painter.drawPixmap(x, titleHeight, picture);
            x += picture.width() + gap;
        }
        painter.end();
        SaveManual(sheet, name);
    }

private:
    TShooterPlatform &FPlatform;
    TMainForm &FMainForm;
    QString FImages;
    QString FSamples;
    bool FOk = true;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: glimra-screenshots DOCS_DIR SAMPLES_DIR\n");
        return 2;
    }
    QTimer::singleShot(WatchdogMs, [] {
        std::fprintf(stderr, "glimra-screenshots: gave up waiting (a message box?)\n");
        std::_Exit(3);
    });
    const QString docs = QDir(args[0]).absolutePath();
    const QString images = docs + "/manual/images";
    if (!QDir().mkpath(docs + "/images") || !QDir().mkpath(images)) {
        std::fprintf(stderr, "glimra-screenshots: cannot make the folders under %s\n",
                     qPrintable(docs));
        return 1;
    }

    TShooterPlatform platform;
    TWindowContext context(platform);
    TDocumentFactory factory;
    TMainForm mainForm(context, factory);
    CreateDialogs(context, factory, &mainForm);
    mainForm.FirstActivation = false; // the files below are the ones to show
    mainForm.resize(1180, 640);
    mainForm.show();
    Settle(300);
    TShooter shooter(platform, mainForm, images, QDir(args[1]).absolutePath());

    // Textures are shown in the palette they were drawn for, the sample colormap's, and are
    // lit through it, as the game would show them.
    context.Settings.MATPalettePath = shooter.Sample("colormap.cmp").toStdString();
    context.Settings.MATColormapPath = context.Settings.MATPalettePath;

    // The README's picture: the stone wall dimmed to light 24 beside its palette view, the
    // console, the colormap and, below them, the font and a container.
    shooter.Open({"texture8.mat", "texture8.mat", "console.mat", "colormap.cmp", "font8.sft"});
    shooter.Look({{2}, {2, 24}, {2}});
    if (QMdiSubWindow *font = mainForm.MdiArea()->subWindowList(QMdiArea::CreationOrder).back()) {
        int bottom = 0;
        for (QMdiSubWindow *window : mainForm.MdiArea()->subWindowList())
            if (window != font)
                bottom = std::max(bottom, window->geometry().bottom());
        font->move(0, bottom + 8);
        // And the sample container below the font, its thumbnails made by then.
        mainForm.OpenDocument(shooter.Sample("sample.gob").toStdString());
        if (TDocumentWindow *container = mainForm.ActiveDocument()) {
            container->parentWidget()->resize(760, 250);
            container->parentWidget()->move(0, font->geometry().bottom() + 8);
        }
        Settle(1500);
        // Through the container's own colormap, as the game would draw its members.
        if (TDocumentWindow *container = mainForm.ActiveDocument())
            if (auto *colormaps = container->findChild<QComboBox *>("ColormapBox");
                colormaps && colormaps->count() > 1) {
                colormaps->setCurrentIndex(1);
                emit colormaps->activated(1);
                Settle(1500);
            }
        mainForm.ActivateDocument(qobject_cast<TDocumentWindow *>(
            mainForm.MdiArea()->subWindowList(QMdiArea::CreationOrder)[1]->widget()));
    }
    Settle(300);
    shooter.FitMainWindow();
    shooter.Save(mainForm.grab(), docs + "/images/editor.png");
    mainForm.resize(1180, 640);
    shooter.CloseAll();

    // Seeing it as the game does: the console at light 63, 31 and 8, then at 8 with its
    // full-bright pixels marked; the colormap's full-bright cells.
    shooter.Open({"console.mat", "console.mat", "console.mat", "console.mat"});
    shooter.Look({{3, 63}, {3, 31}, {3, 8}, {3, 8, true}});
    shooter.FitMainWindow();
    shooter.SaveManual(mainForm.grab(), "light-editor.png");
    shooter.CloseAll();
    shooter.Open({"colormap.cmp"});
    shooter.Look({{1, PaletteViewLevel, true}});
    shooter.FitMainWindow();
    shooter.SaveManual(mainForm.grab(), "cmp-full-bright.png");
    shooter.CloseAll();
    mainForm.resize(1180, 640);

    // The main window without documents.
    mainForm.resize(StatusBarWidth, 160);
    Settle(300);
    shooter.SaveManual(mainForm.grab(), "main-window.png");

    // Each document window with what its commands show.
    shooter.ShootDocument("sample8.bm", "bm-window.png", 2);
    shooter.ShootDocumentDialog(TCommand::SelectPalette, "select-palette.png");
    shooter.ShootDocumentDialog(TCommand::EditProperties, "edit-bm.png");
    shooter.CloseAll();

    shooter.ShootDocument("texture8.mat", "mat-window.png", 2);
    shooter.ShootMenus("menus.png");
    // The toolbar alone, its buttons as a texture MAT sets them.
    QToolBar *toolBar = mainForm.ToolBar();
    const QWidget *lastButton = toolBar->widgetForAction(toolBar->actions().back());
    shooter.SaveManual(
        toolBar->grab(QRect(0, 0, lastButton->geometry().right() + 5, toolBar->height())),
        "toolbar.png");
    // The Edit menu after a step, which the undo then takes back.
    mainForm.RunCommand(TCommand::DeleteFrame);
    if (QMenu *edit = mainForm.findChild<QMenu *>("Edit1"))
        shooter.SaveManual(shooter.MenuPicture(edit), "edit-undo.png");
    mainForm.RunCommand(TCommand::Undo);
    shooter.ShootDocumentDialog(TCommand::EditProperties, "edit-mat.png");
    if (TDocumentWindow *window = mainForm.ActiveDocument()) {
        window->UpdatePopupMenu();
        shooter.SaveManual(shooter.MenuPicture(window->PopupMenu()), "mat-popup.png");
    }
    shooter.CloseAll();
    shooter.ShootDocument("color.mat", "mat-color-window.png", 2);
    shooter.CloseAll();

    shooter.ShootDocument("colormap.cmp", "cmp-window.png", 1);
    shooter.ShootDocumentDialog(TCommand::EditProperties, "edit-cmp.png");
    shooter.CloseAll();
    shooter.ShootDocument("colormap.cmp", "cmp-light-table.png", 1, 32);
    shooter.CloseAll();

    // A 1024 x 1024 picture at 10:1, maximized: the workspace scrolls to it.
    {
        QTemporaryDir big;
        TBM bm = NewBM(false);
        bm.Header.NumImages = 1;
        TBMImage &image = bm.Images[0];
        image.Width = image.Height = 1024;
        image.Pixels.resize(1024 * 1024);
        for (size_t i = 0; i < image.Pixels.size(); ++i)
            image.Pixels[i] = uint8_t(((i % 1024) / 64 + (i / 1024) / 64 * 16) & 0xFF);
        const QString path = big.filePath("big.bm");
        bm.SaveToFile(path.toStdString());
        mainForm.resize(1024, 700);
        mainForm.OpenDocument(path.toStdString());
        Settle(200);
        if (TDocumentWindow *window = mainForm.ActiveDocument()) {
            for (int i = 1; i < 10; ++i)
                window->RunOperation(TCommand::ZoomIn);
            Settle(200);
            shooter.SaveManual(mainForm.grab(), "workspace-scroll.png");
            mainForm.MdiArea()->currentSubWindow()->showMaximized();
            Settle(300);
            shooter.SaveManual(mainForm.grab(), "maximized-scroll.png");
        }
        shooter.CloseAll();
    }

    shooter.ShootDocument("font8.sft", "sft-window.png", 1);
    shooter.ShootDocumentDialog(TCommand::EditProperties, "edit-sft.png");
    shooter.CloseAll();

    // A container with its thumbnails through its own colormap, and a member opened from it.
    // The main window is made large enough to show the whole container first: thumbnails
    // are made only for the members in view.
    mainForm.resize(1180, 640);
    shooter.Open({"sample.gob"});
    if (TDocumentWindow *container = mainForm.ActiveDocument()) {
        auto *colormaps = container->findChild<QComboBox *>("ColormapBox");
        if (colormaps && colormaps->count() > 1) {
            colormaps->setCurrentIndex(1);
            emit colormaps->activated(1);
        }
        // The worker's thumbnails arrive while the window waits for nothing.
        if (auto *gob = dynamic_cast<TGOBForm *>(container))
            for (int wait = 0; wait < 50; ++wait) {
                Settle(100);
                size_t made = 0;
                for (size_t i = 0; i < gob->Container().Members().size(); ++i)
                    made += gob->Thumbnail(i).isNull() ? 0 : 1;
                if (made == gob->Container().Members().size())
                    break;
            }
        Settle(300);
        container->parentWidget()->move(0, 0);
        shooter.SaveManual(container->parentWidget()->grab(), "gob-window.png");
        container->OpenMemberNamed("mat/texture8.mat");
        Settle(300);
        if (TDocumentWindow *member = mainForm.ActiveDocument()) {
            for (int i = 1; i < 3; ++i)
                member->RunOperation(TCommand::ZoomIn);
            member->parentWidget()->move(container->parentWidget()->width() - 120, 60);
        }
        shooter.FitMainWindow();
        shooter.Save(mainForm.grab(), docs + "/images/container.png");
        shooter.SaveManual(mainForm.grab(), "gob-member.png");
        container->UpdatePopupMenu();
        shooter.SaveManual(shooter.MenuPicture(container->PopupMenu()), "gob-popup.png");
    }
    shooter.CloseAll();

    // The dialogs the main window and the properties dialogs show.
    shooter.ShootDialog("new.png", [&mainForm] { mainForm.NewForm->ShowModal(); });
    shooter.ShootDialog("options.png", [&mainForm] { mainForm.OptionsForm->ShowModal(); });
    shooter.ShootDialog("select-color.png", [&context] {
        context.SelectColorForm->Palette = DfltPalette();
        context.SelectColorForm->SelectedIndex = 0;
        context.SelectColorForm->ShowModal();
    });
    // An exported picture met again, with a fixed date so that the picture stays the same.
    QTemporaryDir folder;
    const QString existing = folder.filePath("texture8-1-A.bmp");
    QFile::copy(shooter.Sample("sample8.bm"), existing);
    QFile file(existing);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(QDateTime(QDate(2026, 1, 15), QTime(14, 30)),
                         QFileDevice::FileModificationTime);
    file.close();
    shooter.ShootDialog("replace.png", [&existing, &context] {
        context.FileReplaceForm->FileName = existing.toStdString();
        context.FileReplaceForm->MultipleFiles = true;
        context.FileReplaceForm->ShowModal();
    });

    return shooter.Ok() ? 0 : 1;
}
