#pragma once
// The main window: the MDI frame every document window lives in, its menu, toolbar and
// status bar, the routing of each command to the active document window, the Reopen list,
// frame cycling, help, and the closing order.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include "core/GLM_CommandTable.h"
#include "ui/kit/GLM_DocumentWindow.h"
#include "ui/kit/GLM_Settings.h"

class TAboutForm;
class TDocumentFactory;
class TNewForm;
class TOptionsForm;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSpinBox;
class QTimer;
class QToolBar;
class QToolButton;
class QUndoGroup;

class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    // Builds the window and its New, Options and About dialogs, then FormCreate:
    // FirstActivation, the settings loaded into the context, UntitledCount := 0. Document
    // windows come from `factory`.
    TMainForm(TWindowContext &context, const TDocumentFactory &factory, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Caption "Glimra", empty status panels, every document command off.
    void ResetMainWindow();
    // Caption, status panels and command states as the active document window gives them.
    void DescribeActiveDocument();
    // Puts a path, or a stored caption ("&3 path"), at the top of the Reopen list.
    void AddToReopenList(const std::string &entry);
    // The Reopen list's captions top down ("&0 path", "&1 path", ...).
    std::vector<std::string> ReopenCaptions() const;
    void ToggleCycling();
    void StopCycling();
    bool IsCycling() const { return FCycling; }
    void OpenDocument(const std::string &path);
    // Enables or disables a command's menu item and toolbar button in one step.
    void SetCommandEnabled(TCommand command, bool enabled);
    bool IsCommandEnabled(TCommand command) const;
    // Applies every document command's state (DocumentStates or NoDocumentStates); a command
    // refused for a reason shows the reason as its hint.
    void SetCommandStates(const TCommandStates &states);
    void SetStatusPanel(int index, const std::string &text);
    std::string StatusPanel(int index) const;

    // ---- Documents.
    // The document window of the current MDI sub-window; nullptr when there is none. The
    // one place that asks the MDI area which window is active; each window is told.
    TDocumentWindow *ActiveDocument() const;
    // Open document windows in creation order (those already closing left out).
    std::vector<TDocumentWindow *> DocumentWindows() const;
    // Makes an empty window of `kind` through the factory, connects its signals, takes it
    // into the MDI area (which owns it from then on), cascades it below the open windows and
    // runs its FormCreate with the untitled number; the caller shows it. nullptr, after a
    // message, when that failed or the kind has no window in this build.
    QMdiSubWindow *CreateDocument(TDocumentKind kind);
    void ActivateDocument(TDocumentWindow *window);
    // The open container window of the file at `path`; nullptr when there is none.
    TDocumentWindow *ContainerWindow(const std::string &path) const;
    QMdiArea *MdiArea() const { return FMdiArea; }
    // Every document window's undo stack; the active window's is the active one.
    QUndoGroup *UndoGroup() const { return FUndoGroup; }

    // ---- Commands, one routine each, shared by menu item and toolbar button.
    void RunCommand(TCommand command);
    void New();
    void Open();
    void CloseActiveDocument();
    void CloseAllDocuments();
    void ShowHelp();
    void CycleTimerTimer();
    int CycleInterval() const;

    // ---- Components, by their names.
    QAction *CommandAction(TCommand command) const { return FActions[Index(command)]; }
    QToolButton *CommandButton(TCommand command) const;
    QMenu *ReopenMenu() const { return FReopenMenu; }
    QMenu *WindowMenu() const { return FWindowMenu; }
    // Lists the open windows below the Window menu's commands, the active one checked.
    void UpdateWindowMenu();
    QToolBar *ToolBar() const { return FToolBar; }
    QTimer *CycleTimer() const { return FCycleTimer; }
    QLabel *StatusLabel(int index) const { return FPanels[static_cast<size_t>(index)]; }
    // The toolbar's light level (0 to 63, then "Full") and View > Light Level's submenu.
    QSpinBox *LightLevelBox() const { return FLightLevelBox; }
    QMenu *LightLevelMenu() const { return FLightLevelMenu; }

    // ---- Placement, as the settings keep it.
    // Bounds of the window in its normal (not maximized) state.
    TWindowBounds Bounds() const;
    void SetBounds(const TWindowBounds &bounds);
    bool IsMaximized() const;
    void SetMaximized(bool maximized); // false: the normal state

    // The command-line arguments after the program name.
    QStringList CommandLine;

    bool FirstActivation = true;
    // The number in the "Untitled" name of the next new document: 0 at start, one more after
    // every use of the New dialog.
    int UntitledCount = 0;

    // The dialogs of the main window's own commands.
    TNewForm *NewForm = nullptr;
    TOptionsForm *OptionsForm = nullptr;
    TAboutForm *AboutForm = nullptr;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Files dropped on the window open as if chosen in the Open dialog.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    static size_t Index(TCommand command) { return static_cast<size_t>(command); }
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void FormActivate();
    void ReopenItemClick(QAction *item);
    void SubWindowActivated(QMdiSubWindow *window);
    void RouteToDocument(TCommand command);
    void DocumentStateChanged(TDocumentWindow *window);
    void DocumentClosing(TDocumentWindow *window);
    // Runs `work`, showing any error it raises in an error box.
    void ShowingErrors(const std::function<void()> &work);
    void NotAvailable(TDocumentKind kind);
    // The light view's controls as the active window's facts give them.
    void ShowLightView(const TDocumentFacts &facts, const TCommandStates &states);
    void SetLightLevel(int level);
    // "&Undo" and "&Redo" followed by the active stack's step names.
    void ShowUndoTexts();

    TWindowContext &FContext;
    const TDocumentFactory &FFactory;
    QMdiArea *FMdiArea = nullptr;
    QUndoGroup *FUndoGroup = nullptr;
    QToolBar *FToolBar = nullptr;
    QMenu *FReopenMenu = nullptr;
    QMenu *FLightLevelMenu = nullptr;
    QSpinBox *FLightLevelBox = nullptr;
    QMenu *FWindowMenu = nullptr;
    QTimer *FCycleTimer = nullptr;
    bool FCycling = false;
    bool FShownOnce = false;
    std::array<QAction *, CommandCount> FActions{};
    std::array<QLabel *, StatusPanelCount> FPanels{};
};

// The Open dialog's filters, index 1 to 7.
extern const char *const OpenFilter;
