#pragma once
// What the widget tests share: the real main window on the scripted desktop with every
// document window registered and every dialog in place, as the editor starts them; the
// user played through the dialogs; and the documents built byte by byte (GameFiles.h).

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

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
#include "ui/kit/GLM_Settings.h"
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

// The texts of the message boxes shown so far.
inline Texts Messages(const TTestPlatform &desk)
{
    Texts texts;
    for (const TRecordedMessage &m : desk.Boxes.Shown)
        texts.push_back(m.Text);
    return texts;
}

// The scripted desktop and a context around it, the settings at their starting values.
class TDeskTest : public ::testing::Test
{
protected:
    Texts Messages() const { return uitest::Messages(Desk); }
    // Plays the user while `form` shows modally.
    template <class TForm> int Show(TForm &form, const std::function<void(TForm &)> &user)
    {
        auto previous = std::exchange(Desk.Modals.Driver, [&](QDialog &) { user(form); });
        const int result = form.ShowModal();
        Desk.Modals.Driver = previous;
        return result;
    }
    TWindowState LoadSettings(const TWindowBounds &window = {})
    {
        return Settings.Load(Desk.Store, Desk.Boxes, window);
    }
    void SaveSettings(const TWindowState *window = nullptr)
    {
        Settings.Save(Desk.Store, Desk.Boxes, window);
    }

    TTestPlatform Desk;
    TWindowContext Context{Desk};
    TSettings &Settings = Context.Settings;
    TempDir Dir;
};

// The editor as app/ starts it: main window, the long-lived dialogs and each kind's factory.
// User plays every dialog but the replace question, which ReplaceAnswers answers (Cancel when
// they run out) and Asked records, "name (many)" when it offers Yes to All.
class TEditorTest : public TDeskTest
{
protected:
    TEditorTest()
    {
        Main = std::make_unique<TMainForm>(Context, Factory);
        QWidget *owner = Main.get();
        EditMATForm = new TEditMATForm(Context, owner);
        SelectPaletteForm = new TSelectPaletteForm(Context, owner);
        SelectColorForm = new TSelectColorForm(Context, owner);
        EditBMForm = new TEditBMForm(Context, owner);
        EditSFTForm = new TEditSFTForm(Context, owner);
        EditCMPForm = new TEditCMPForm(Context, owner);
        ProgressForm = new TProgressForm(owner);
        FileReplaceForm = new TFileReplaceForm(Context, owner);
        Factory.Register<TBMForm>(Context, *EditBMForm);
        Factory.Register<TCMPForm>(Context, *EditCMPForm);
        Factory.Register<TMATForm>(Context, *EditMATForm);
        Factory.Register<TSFTForm>(Context, *EditSFTForm);
        Desk.Modals.Driver = [this](QDialog &form) {
            if (auto *replace = dynamic_cast<TFileReplaceForm *>(&form)) {
                Asked.push_back(ExtractFileName(replace->FileName) +
                                (replace->MultipleFiles ? " (many)" : ""));
                if (!ReplaceAnswers.empty()) {
                    replace->SetModalResult(ReplaceAnswers.front());
                    ReplaceAnswers.pop_front();
                }
            } else if (User) {
                User(dynamic_cast<TModalForm &>(form));
            }
        };
        Main->show();
        Settle();
    }
    ~TEditorTest() override { Main.reset(); }

    std::string Put(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        WriteFile(Dir.File(name), bytes);
        return Dir.File(name);
    }
    TDocumentWindow *Open(const std::string &path)
    {
        Main->OpenDocument(path);
        Settle();
        return Main->ActiveDocument();
    }
    template <class TForm> TForm *Open(const std::string &path)
    {
        return dynamic_cast<TForm *>(Open(path));
    }
    TDocumentWindow *New(K kind)
    {
        QMdiSubWindow *sub = Main->CreateDocument(kind);
        sub->show();
        Settle();
        return qobject_cast<TDocumentWindow *>(sub->widget());
    }
    template <class TForm> TForm *New() { return dynamic_cast<TForm *>(New(TForm::Description.Kind)); }
    void Run(C command)
    {
        Main->RunCommand(command);
        Settle();
    }
    static bool &Modified(TDocumentWindow *window) { return window->Modified; }
    std::string Panel(int i) const { return Main->StatusPanel(i); }

    TDocumentFactory Factory;
    std::unique_ptr<TMainForm> Main;
    TSelectPaletteForm *&SelectPaletteForm = Context.SelectPaletteForm;
    TSelectColorForm *&SelectColorForm = Context.SelectColorForm;
    TFileReplaceForm *&FileReplaceForm = Context.FileReplaceForm;
    TProgressForm *&ProgressForm = Context.ProgressForm;
    TEditBMForm *EditBMForm = nullptr;
    TEditMATForm *EditMATForm = nullptr;
    TEditSFTForm *EditSFTForm = nullptr;
    TEditCMPForm *EditCMPForm = nullptr;
    std::function<void(TModalForm &)> User;
    std::deque<int> ReplaceAnswers;
    Texts Asked;
};

} // namespace uitest
