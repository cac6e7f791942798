#pragma once
// What the widget tests share: the scripted desktop with a context around it, and the editor
// started on it as app/ starts it, with the user played through the dialogs.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "GLM_Startup.h"
#include "GLM_TestPlatform.h"
#include "GameFiles.h"
#include "core/GLM_FileNames.h"
#include "ui/bm/GLM_BMForm.h"
#include "ui/bm/GLM_EditBMForm.h"
#include "ui/cmp/GLM_CMPForm.h"
#include "ui/cmp/GLM_EditCMPForm.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/dialogs/GLM_SelectPaletteForm.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/kit/GLM_ProgressForm.h"
#include "ui/main/GLM_MainForm.h"
#include "ui/mat/GLM_EditMATForm.h"
#include "ui/mat/GLM_MATForm.h"
#include "ui/sft/GLM_EditSFTForm.h"
#include "ui/sft/GLM_SFTForm.h"

namespace uitest {

using namespace testutil;
using Texts = std::vector<std::string>;
using C = TCommand;
using K = TDocumentKind;

inline void Settle()
{
    QApplication::processEvents();
}

inline std::string Name(C command) // "Save1": "Save"
{
    const std::string menu = CommandInfo(command).MenuName;
    return menu.substr(0, menu.size() - 1);
}

// The scripted desktop and a context around it, the settings at their starting values.
class TDeskTest : public ::testing::Test
{
protected:
    Texts Messages() const
    {
        Texts texts;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }
    // Plays the user while `form` shows modally.
    template <class TForm> int Show(TForm &form, const std::function<void(TForm &)> &user)
    {
        auto previous = std::exchange(Desk.Modals.Driver, [&](QDialog &) { user(form); });
        const int result = form.ShowModal();
        Desk.Modals.Driver = previous;
        return result;
    }
    std::string Put(const std::string &name, const std::vector<uint8_t> &bytes) const
    {
        return testutil::Put(Dir, name, bytes);
    }
    // A picture file of one colour.
    std::string Picture(const std::string &name, int width, int height, QRgb colour)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        image.save(QString::fromStdString(Dir.File(name)), "BMP");
        return Dir.File(name);
    }
    static void Mouse(QWidget *target, QEvent::Type type, int x, int y)
    {
        const QPointF at(x, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    TWindowState LoadSettings(const TWindowBounds &w = {})
    {
        return Settings.Load(Desk.Store, Desk.Boxes, w);
    }
    void SaveSettings(const TWindowState *w = nullptr) { Settings.Save(Desk.Store, Desk.Boxes, w); }

    TTestPlatform Desk;
    TWindowContext Context{Desk};
    TSettings &Settings = Context.Settings;
    TempDir Dir;
};

// The editor started as app/ starts it. User plays every dialog but the replace question,
// which ReplaceAnswers answers (Cancel when they run out) and Asked records ("(many)": with
// Yes to All).
class TEditorTest : public TDeskTest
{
protected:
    TEditorTest()
    {
        CreateDialogs(Context, Factory, Main.get());
        Desk.Modals.Driver = [this](QDialog &form) {
            if (auto *replace = dynamic_cast<TFileReplaceForm *>(&form)) {
                Asked.push_back(ExtractFileName(replace->FileName) +
                                (replace->MultipleFiles ? " (many)" : ""));
                if (!ReplaceAnswers.empty())
                    replace->SetModalResult(ReplaceAnswers.front()), ReplaceAnswers.pop_front();
            } else if (User) {
                User(dynamic_cast<TModalForm &>(form));
            }
        };
        Main->show();
        Settle();
    }

    template <class TForm = TDocumentWindow> TForm *Open(const std::string &path)
    {
        Main->OpenDocument(path);
        Settle();
        return dynamic_cast<TForm *>(Main->ActiveDocument());
    }
    TDocumentWindow *New(K kind)
    {
        QMdiSubWindow *sub = Main->CreateDocument(kind);
        sub->show();
        Settle();
        return qobject_cast<TDocumentWindow *>(sub->widget());
    }
    template <class TForm> TForm *New()
    {
        return dynamic_cast<TForm *>(New(TForm::Description.Kind));
    }
    void Run(C command) { Main->RunCommand(command), Settle(); }
    std::string Panel(int i) const { return Main->StatusPanel(i); }
    void Activate(TDocumentWindow *window) { Main->ActivateDocument(window), Settle(); }
    // User plays the dialogs of TDialog.
    template <class TDialog> void Play(const std::function<void(TDialog &)> &user)
    {
        User = [user](TModalForm &form) { user(dynamic_cast<TDialog &>(form)); };
    }

    TDocumentFactory Factory;
    std::unique_ptr<TMainForm> Main = std::make_unique<TMainForm>(Context, Factory);
    std::function<void(TModalForm &)> User;
    std::deque<int> ReplaceAnswers;
    Texts Asked;
};

} // namespace uitest
