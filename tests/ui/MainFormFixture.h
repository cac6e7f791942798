#pragma once
// A main window on the scripted desktop, with a stand-in document window that records every
// operation the main window routes to it.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "formats/LEC_FileIO.h"
#include "platform/GLM_TestPlatform.h"
#include "shell/GLM_MainForm.h"
#include "shell/GLM_Settings.h"

// What the stand-in windows did, in order: "BM:NextFrame", "MAT:LoadFile /x/a.mat", ...
struct TCallLog
{
    std::vector<std::string> Calls;
    void Add(TDocumentKind kind, const std::string &what)
    {
        Calls.push_back(std::string(KindText(kind)) + ":" + what);
    }
    static const char *KindText(TDocumentKind kind)
    {
        static const char *const names[] = {"BM", "CMP", "MAT", "SFT"};
        return names[static_cast<int>(kind)];
    }
    size_t Count(const std::string &call) const
    {
        size_t n = 0;
        for (const std::string &c : Calls)
            n += c == call;
        return n;
    }
};

class TTestDocument : public TDocumentWindow
{
public:
    TTestDocument(TDocumentKind kind, TCallLog &log) : FKind(kind), FLog(log)
    {
        Facts.Kind = kind;
        Facts.Frames = 1;
    }

    TDocumentFacts Facts;
    std::string Name;
    int CreatedWithUntitled = -1;
    std::deque<bool> CloseAnswers; // empty: agrees to close
    bool FailLoad = false;

    TDocumentKind Kind() const override { return FKind; }
    void FormCreate() override
    {
        CreatedWithUntitled = UntitledCount;
        Name = "Untitled" + std::to_string(UntitledCount);
        Log("FormCreate");
        UpdateMainWindow();
    }
    void LoadFile(const std::string &path) override
    {
        Log("LoadFile " + path);
        if (FailLoad)
            throw EInOutError(EInOutError::ReadBeyondEnd);
        Name = path;
        UpdateMainWindow();
    }
    void SaveFile() override { Log("SaveFile"); }
    void SaveFileAs() override { Log("SaveFileAs"); }
    void PreviousFrame() override { Log("PreviousFrame"); }
    void NextFrame() override { Log("NextFrame"); }
    void ZoomIn() override { Log("ZoomIn"); }
    void ZoomOut() override { Log("ZoomOut"); }
    void AddFrames() override { Log("AddFrames"); }
    void AddMipmap() override { Log("AddMipmap"); }
    void DeleteFrame() override { Log("DeleteFrame"); }
    void ShiftToPreviousFrame() override { Log("ShiftToPreviousFrame"); }
    void ShiftToNextFrame() override { Log("ShiftToNextFrame"); }
    void SelectPalette() override { Log("SelectPalette"); }
    void EditProperties() override { Log("EditProperties"); }
    void SaveBitmap() override { Log("SaveBitmap"); }
    void SaveAllBitmaps() override { Log("SaveAllBitmaps"); }
    void UpdateMainWindow() override
    {
        MainForm->setWindowTitle(QString::fromStdString("Glimra - " + Name));
        MainForm->SetStatusPanel(0, Name);
        MainForm->SetCommandStates(DocumentStates(Facts));
    }
    bool CloseQuery() override
    {
        Log("CloseQuery");
        if (CloseAnswers.empty())
            return true;
        const bool answer = CloseAnswers.front();
        CloseAnswers.pop_front();
        return answer;
    }

private:
    void Log(const std::string &what) { FLog.Add(FKind, what); }
    TDocumentKind FKind;
    TCallLog &FLog;
};

class MainFormTest : public ::testing::Test
{
protected:
    MainFormTest()
    {
        ClearSettings();
        Form = std::make_unique<TMainForm>();
        Form->DocumentFactory = [this](TDocumentKind kind) {
            auto *window = new TTestDocument(kind, Log);
            Created.push_back(window);
            return window;
        };
        Form->show();
        Settle();
    }
    ~MainFormTest() override
    {
        Form.reset();
        ClearSettings();
    }

    static void Settle(int milliseconds = 0)
    {
        QElapsedTimer clock;
        clock.start();
        do {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        } while (clock.elapsed() < milliseconds);
    }

    // Opens a file of `name` (created in the temporary folder) and returns its window.
    TTestDocument *OpenNamed(const std::string &name)
    {
        const std::string path = Touch(name);
        const size_t before = Created.size();
        Form->OpenDocument(path);
        Settle();
        return Created.size() > before ? Created.back() : nullptr;
    }
    std::string Touch(const std::string &name)
    {
        const std::string path = Dir.File(name);
        testutil::WriteFile(path, {1, 2, 3});
        return path;
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }

    TTestPlatform Desk;
    testutil::TempDir Dir;
    TCallLog Log;
    std::vector<TTestDocument *> Created;
    std::unique_ptr<TMainForm> Form;
};
