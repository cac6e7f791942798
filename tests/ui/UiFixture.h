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

// Plays the user while `form` shows modally.
template <class TForm> int Show(TForm &form, const std::function<void(TForm &)> &user)
{
    TScopedModalDriver driver([&](TModalForm &) { user(form); });
    return form.ShowModal();
}

// The scripted desktop and the settings at their starting values.
class TDeskTest : public ::testing::Test
{
protected:
    TDeskTest() { ClearSettings(); }
    ~TDeskTest() override { ClearSettings(); }
    Texts Messages() const { return uitest::Messages(Desk); }

    TTestPlatform Desk;
    TSettings &Settings = ::Settings;
    TempDir Dir;
};

// The editor: main window, registered windows and the long-lived dialogs. User plays every
// dialog but the replace question, which ReplaceAnswers answers (Cancel when they run out)
// and Asked records, "name (many)" when it offers Yes to All.
class TEditorTest : public TDeskTest
{
protected:
    TEditorTest()
    {
        RegisterDocumentWindow<TBMForm>();
        RegisterDocumentWindow<TMATForm>();
        RegisterDocumentWindow<TCMPForm>();
        RegisterDocumentWindow<TSFTForm>();
        Main = std::make_unique<TMainForm>();
        FileReplaceForm = new TFileReplaceForm(Main.get());
        SelectPaletteForm = new TSelectPaletteForm(Main.get());
        SelectColorForm = new TSelectColorForm(Main.get());
        EditBMForm = new TEditBMForm(Main.get());
        EditMATForm = new TEditMATForm(Main.get());
        EditSFTForm = new TEditSFTForm(Main.get());
        EditCMPForm = new TEditCMPForm(Main.get());
        ProgressForm = new TProgressForm(Main.get());
        Main->show();
        Settle();
    }
    ~TEditorTest() override
    {
        Main.reset();
        FileReplaceForm = nullptr;
        SelectPaletteForm = nullptr;
        SelectColorForm = nullptr;
        EditBMForm = nullptr;
        EditMATForm = nullptr;
        EditSFTForm = nullptr;
        EditCMPForm = nullptr;
        ProgressForm = nullptr;
        for (K kind : DocumentKinds)
            RegisterDocumentWindow(kind, {});
    }

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
    template <class TForm> TForm *New() { return dynamic_cast<TForm *>(New(TForm::DocumentKind)); }
    void Run(C command)
    {
        Main->RunCommand(command);
        Settle();
    }
    static bool &Modified(TDocumentWindow *window)
    {
        if (auto *image = dynamic_cast<TImageDocumentForm *>(window))
            return image->Modified;
        return dynamic_cast<TCMPForm &>(*window).Modified;
    }
    std::string Panel(int i) const { return Main->StatusPanel(i); }

    std::unique_ptr<TMainForm> Main;
    std::function<void(TModalForm &)> User;
    std::deque<int> ReplaceAnswers;
    Texts Asked;
    TScopedModalDriver Driver{[this](TModalForm &form) {
        if (auto *replace = dynamic_cast<TFileReplaceForm *>(&form)) {
            Asked.push_back(ExtractFileName(replace->FileName) +
                            (replace->MultipleFiles ? " (many)" : ""));
            if (!ReplaceAnswers.empty()) {
                replace->SetModalResult(ReplaceAnswers.front());
                ReplaceAnswers.pop_front();
            }
        } else if (User) {
            User(form);
        }
    }};
};

} // namespace uitest
