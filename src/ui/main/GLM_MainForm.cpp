#include "ui/main/GLM_MainForm.h"

#include <algorithm>
#include <exception>
#include <filesystem>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoGroup>
#include <QUrl>

#include "core/GLM_FileNames.h"
#include "core/GLM_HelpFile.h"
#include "core/documents/GLM_ImageDocument.h"
#include "formats/GLM_Globals.h"
#include "formats/LEC_FileIO.h"
#include "formats/LEC_GOB.h"
#include "platform/GLM_Platform.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/kit/GLM_ModalForm.h"
#include "ui/kit/GLM_Panning.h"
#include "ui/kit/GLM_RadioGroup.h"
#include "ui/main/GLM_AboutBox.h"
#include "ui/main/GLM_NewForm.h"
#include "ui/main/GLM_OptionsForm.h"
#include "ui/main/GLM_ToolbarIcons.h"

const char *const OpenFilter =
    "All Supported Files|*.bm; *.cmp; *.mat; *.sft; *.gob; *.goo|BM Graphics (*.bm)|*.bm|"
    "CMP Palettes (*.cmp)|*.cmp|MATTextures (*.mat)|*.mat|SFT Fonts (*.sft)|*.sft|"
    "GOB Containers (*.gob; *.goo)|*.gob; *.goo|All Files (*.*)|*.*";

namespace {

const char *const MainCaption = "Glimra";
// Each new window lies this much lower and further right than the one before it.
constexpr int CascadeStep = 22;
constexpr int ToolBarHeight = 30;
constexpr int ButtonSize = 24;
constexpr int LeadingGap = 5;
constexpr int DividerWidth = 8;
constexpr int LightBoxWidth = 56; // "Full" and the arrows; the toolbar still fits 640 pixels

// The local files among dropped items, in the order they were dropped.
std::vector<std::string> DroppedFiles(const QMimeData *data)
{
    std::vector<std::string> files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    return files;
}

QMdiSubWindow *SubWindowOf(TDocumentWindow *window)
{
    return window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr;
}

// The status panels side by side at their own widths. A box layout squeezes them into a
// narrow window and draws their texts over one another; here the panels beyond the right
// edge are cut off instead, as a status bar wider than its window is. A text longer than its
// panel (a long palette name, a large size) widens that panel rather than being clipped.
class TStatusPanels : public QWidget
{
public:
    static constexpr int Gap = 2;

    explicit TStatusPanels(QWidget *parent) : QWidget(parent) {}

    QLabel *AddPanel(int width)
    {
        auto *panel = new QLabel(this);
        panel->setFixedWidth(width);
        FPanels.push_back(panel);
        FWidths.push_back(width);
        return panel;
    }

    void SetText(size_t index, const QString &text)
    {
        QLabel *panel = FPanels[index];
        panel->setText(text);
        const int frame = 2 * panel->frameWidth() + 2 * panel->margin() + 4;
        const int width =
            std::max(FWidths[index], panel->fontMetrics().horizontalAdvance(text) + frame);
        if (width != panel->width()) {
            panel->setFixedWidth(width);
            updateGeometry();
            Arrange();
        }
    }

    QSize sizeHint() const override
    {
        int width = 0, height = 0;
        for (const QLabel *panel : FPanels) {
            width += panel->width() + Gap;
            height = std::max(height, panel->sizeHint().height());
        }
        return {std::max(width - Gap, 0), height};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *) override { Arrange(); }

private:
    void Arrange()
    {
        int x = 0;
        for (QLabel *panel : FPanels) {
            panel->setGeometry(x, 0, panel->width(), height());
            x += panel->width() + Gap;
        }
    }

private:
    std::vector<QLabel *> FPanels;
    std::vector<int> FWidths; // each panel's own width, the least it shows
};

// The light level from 0 up to 63, and "Full" above it for the palette view.
class TLightLevelBox : public QSpinBox
{
public:
    explicit TLightLevelBox(QWidget *parent) : QSpinBox(parent)
    {
        setRange(0, PaletteViewLevel);
        setValue(PaletteViewLevel);
    }

protected:
    QString textFromValue(int value) const override
    {
        return value >= PaletteViewLevel ? QStringLiteral("Full") : QString::number(value);
    }
    int valueFromText(const QString &text) const override
    {
        bool ok = false;
        const int value = text.toInt(&ok);
        return ok ? value : PaletteViewLevel;
    }
    QValidator::State validate(QString &text, int &) const override
    {
        if (QStringLiteral("Full").startsWith(text, Qt::CaseInsensitive))
            return text.compare("Full", Qt::CaseInsensitive) == 0 ? QValidator::Acceptable
                                                                  : QValidator::Intermediate;
        bool ok = false;
        const int value = text.toInt(&ok);
        return ok && value >= 0 && value < PaletteViewLevel ? QValidator::Acceptable
                                                            : QValidator::Invalid;
    }
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Creation

TMainForm::TMainForm(TWindowContext &context, const TDocumentFactory &factory, QWidget *parent)
    : QMainWindow(parent), FContext(context), FFactory(factory)
{
    setObjectName("MainForm");
    setWindowTitle(MainCaption);
    setWindowIcon(ProgramIcon());
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(true);
    const QRect available = screen()->availableGeometry();
    const TClientSize first = FirstRunWindowSize(available.width(), available.height());
    resize(first.Width, first.Height);

    FMdiArea = new QMdiArea(this);
    FMdiArea->setObjectName("MdiArea");
    // Windows larger than the workspace, or moved past it, stay reachable.
    FMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    new TPanning(FMdiArea->viewport(), [this] { return FMdiArea; });
    setCentralWidget(FMdiArea);
    connect(FMdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::SubWindowActivated);

    FUndoGroup = new QUndoGroup(this);

    // View > Colormap... offers the colormaps inside the open containers.
    FContext.OpenContainerMembers = [this](const std::string &extension) {
        std::vector<std::string> paths;
        if (const std::optional<TDocumentKind> kind = DocumentKindOf(extension))
            for (const TDocumentWindow *window : DocumentWindows())
                for (std::string &path : window->MemberPaths(*kind))
                    paths.push_back(std::move(path));
        return paths;
    };

    FCycleTimer = new QTimer(this);
    FCycleTimer->setObjectName("CycleTimer");
    connect(FCycleTimer, &QTimer::timeout, this, &TMainForm::CycleTimerTimer);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    SetCommandStates(NoDocumentStates());
    SetCommandEnabled(TCommand::Reopen, false);

    AboutForm = new TAboutForm(context, this);
    NewForm = new TNewForm(context, this);
    OptionsForm = new TOptionsForm(context, this);

    // FormCreate.
    FirstActivation = true;
    const TWindowState stored = FContext.Settings.Load(FContext.Platform.Settings(),
                                                       FContext.Platform.Messages(), Bounds());
    // The normal bounds go first, so that a maximized window restores to them.
    if (stored.Bounds)
        SetBounds(*stored.Bounds);
    SetMaximized(stored.Maximized || IsMaximized());
    for (const std::string &entry : stored.Reopen)
        AddToReopenList(entry);
    UntitledCount = 0;
}

TMainForm::~TMainForm()
{
    // The children go after this body; keep their last signals away from a half-gone window.
    disconnect(FMdiArea, nullptr, this, nullptr);
    FContext.OpenContainerMembers = nullptr;
    FCycleTimer->stop();
}

void TMainForm::CreateActions()
{
    for (size_t i = 0; i < MainCommandCount; ++i) {
        const auto command = static_cast<TCommand>(i);
        const TCommandInfo &info = CommandInfo(command);
        if (command == TCommand::Reopen) {
            FReopenMenu = new QMenu(info.Caption, this);
            FReopenMenu->setObjectName(info.MenuName);
            FActions[i] = FReopenMenu->menuAction();
            FActions[i]->setObjectName(info.MenuName);
            continue;
        }
        auto *action = new QAction(info.Caption, this);
        action->setObjectName(info.MenuName);
        if (info.Hint)
            action->setToolTip(info.Hint);
        action->setIcon(CommandIcon(command));
        action->setIconVisibleInMenu(false);
        action->setShortcuts(CommandShortcuts(command));
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        FActions[i] = action;
    }
}

void TMainForm::CreateMenus()
{
    using C = TCommand;
    menuBar()->setObjectName("MainMenu1");
    const auto menu = [this](const char *name, const char *caption) {
        QMenu *m = menuBar()->addMenu(caption);
        m->setObjectName(name);
        return m;
    };
    const auto items = [this](QMenu *m, std::initializer_list<C> commands) {
        for (C command : commands)
            m->addAction(CommandAction(command));
    };
    QMenu *file = menu("File1", "&File");
    items(file, {C::New, C::Open});
    file->addMenu(FReopenMenu);
    file->addSeparator();
    items(file, {C::Save, C::SaveAs, C::SaveBitmap, C::SaveAllBitmaps, C::Close, C::CloseAll});
    file->addSeparator();
    items(file, {C::Options});
    file->addSeparator();
    items(file, {C::Exit});

    QMenu *edit = menu("Edit1", "&Edit");
    items(edit, {C::Undo, C::Redo});
    edit->addSeparator();
    items(edit, {C::AddFrames, C::AddMipmap, C::DeleteFrame});
    edit->addSeparator();
    items(edit, {C::ShiftToPreviousFrame, C::ShiftToNextFrame});
    edit->addSeparator();
    items(edit, {C::SelectPalette, C::EditProperties});

    QMenu *view = menu("View1", "&View");
    items(view, {C::PreviousFrame, C::NextFrame, C::CycleFrames, C::ZoomIn, C::ZoomOut});
    // Seeing the frame as the game does: the hints of refused items say why.
    view->addSeparator();
    view->setToolTipsVisible(true);
    FLightLevelMenu = view->addMenu("&Light Level");
    FLightLevelMenu->setObjectName("LightLevel1");
    FLightLevelMenu->setToolTipsVisible(true);
    items(FLightLevelMenu, {C::LightBrighter, C::LightDarker});
    FLightLevelMenu->addSeparator();
    // Every eighth level; the toolbar's box and the keys reach the rest.
    for (int level : {PaletteViewLevel, 63, 56, 48, 40, 32, 24, 16, 8, 0}) {
        QAction *item = FLightLevelMenu->addAction(
            level == PaletteViewLevel ? QString("&Full") : QString::number(level));
        item->setCheckable(true);
        item->setData(level);
        connect(item, &QAction::triggered, this, [this, level] { SetLightLevel(level); });
    }
    items(view, {C::SelectColormap, C::Translucent, C::SelectBackdrop, C::MarkFullBright});
    CommandAction(C::Translucent)->setCheckable(true);
    CommandAction(C::MarkFullBright)->setCheckable(true);

    // The arranging commands, then every open window; rebuilt each time the menu opens.
    FWindowMenu = menu("Window1", "&Window");
    items(FWindowMenu, {C::Cascade, C::Tile, C::NextWindow, C::PreviousWindow});
    connect(FWindowMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateWindowMenu);

    QMenu *help = menu("Help1", "&Help");
    items(help, {C::Contents});
    help->addSeparator();
    items(help, {C::About});
}

void TMainForm::CreateToolBar()
{
    using C = TCommand;
    FToolBar = new QToolBar("ToolBar1", this);
    FToolBar->setObjectName("ToolBar1");
    FToolBar->setMovable(false);
    FToolBar->setFloatable(false);
    FToolBar->setFixedHeight(ToolBarHeight);
    FToolBar->setIconSize(QSize(16, 16));
    FToolBar->setContentsMargins(0, 0, 0, 0);
    addToolBar(Qt::TopToolBarArea, FToolBar);

    auto *gap = new QWidget(FToolBar);
    gap->setFixedWidth(LeadingGap);
    FToolBar->addWidget(gap);
    const std::initializer_list<std::initializer_list<C>> groups{
        {C::New, C::Open, C::Save, C::SaveBitmap, C::SaveAllBitmaps},
        {C::Undo, C::Redo},
        {C::PreviousFrame, C::NextFrame, C::CycleFrames, C::ZoomIn, C::ZoomOut},
        {C::AddFrames, C::AddMipmap, C::DeleteFrame, C::ShiftToPreviousFrame, C::ShiftToNextFrame},
        {C::SelectPalette, C::EditProperties},
        {},
        {C::Options, C::Contents, C::About},
    };
    int divider = 0;
    for (const auto &group : groups) {
        if (divider > 0) {
            auto *line = new QFrame(FToolBar);
            line->setObjectName(QString("Divider%1").arg(divider));
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            line->setFixedSize(DividerWidth, ButtonSize);
            FToolBar->addWidget(line);
        }
        ++divider;
        if (group.size() == 0) {
            FLightLevelBox = new TLightLevelBox(FToolBar);
            FLightLevelBox->setObjectName("LightLevelBox");
            FLightLevelBox->setFixedSize(LightBoxWidth, ButtonSize);
            FLightLevelBox->setEnabled(false);
            connect(FLightLevelBox, &QSpinBox::valueChanged, this, &TMainForm::SetLightLevel);
            FToolBar->addWidget(FLightLevelBox);
            continue;
        }
        for (C command : group) {
            FToolBar->addAction(CommandAction(command));
            auto *button =
                qobject_cast<QToolButton *>(FToolBar->widgetForAction(CommandAction(command)));
            button->setObjectName(CommandInfo(command).ButtonName);
            button->setFixedSize(ButtonSize, ButtonSize);
            button->setAutoRaise(true);
        }
    }
}

void TMainForm::CreateStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName("StatusBar");
    auto *panels = new TStatusPanels(bar);
    for (int i = 0; i < StatusPanelCount; ++i) {
        QLabel *panel = panels->AddPanel(i < StatusPanelCount - 1 ? 100 : 90);
        panel->setObjectName(QString("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        FPanels[static_cast<size_t>(i)] = panel;
    }
    bar->addWidget(panels, 1);
}

// ---------------------------------------------------------------------------------------------
// State shown to the user

void TMainForm::ResetMainWindow()
{
    setWindowTitle(MainCaption);
    for (int i = 0; i < StatusPanelCount; ++i)
        SetStatusPanel(i, {});
    SetCommandStates(NoDocumentStates());
    ShowUndoTexts();
}

void TMainForm::ShowUndoTexts()
{
    // The group follows the active window; with none, the captions stand alone.
    const TDocumentWindow *active = ActiveDocument();
    const auto show = [this](TCommand command, const QString &step) {
        const QString caption = CommandInfo(command).Caption;
        CommandAction(command)->setText(step.isEmpty() ? caption : caption + " " + step);
    };
    show(TCommand::Undo, active ? FUndoGroup->undoText() : QString());
    show(TCommand::Redo, active ? FUndoGroup->redoText() : QString());
}

void TMainForm::DescribeActiveDocument()
{
    TDocumentWindow *window = ActiveDocument();
    if (!window)
        return;
    ShowingErrors([this, window] {
        const TStatusTexts texts = window->StatusTexts();
        const TCommandStates states = DocumentStates(window->DocumentFacts());
        setWindowTitle(QString::fromStdString(window->MainCaption()));
        for (int i = 0; i < StatusPanelCount; ++i)
            SetStatusPanel(i, texts[static_cast<size_t>(i)]);
        SetCommandStates(states);
        ShowLightView(window->DocumentFacts(), states);
        ShowUndoTexts();
    });
}

void TMainForm::SetCommandEnabled(TCommand command, bool enabled)
{
    // Menu item and toolbar button share the action, so they change in the same step.
    CommandAction(command)->setEnabled(enabled);
}

bool TMainForm::IsCommandEnabled(TCommand command) const
{
    return CommandAction(command)->isEnabled();
}

void TMainForm::SetCommandStates(const TCommandStates &states)
{
    for (TCommand command : DocumentCommands()) {
        SetCommandEnabled(command, states[command]);
        const char *hint = CommandInfo(command).Hint;
        const std::string &reason = states.Reason(command);
        CommandAction(command)->setToolTip(
            QString::fromStdString(reason.empty() ? std::string(hint ? hint : "") : reason));
    }
    if (states == NoDocumentStates())
        ShowLightView(TDocumentFacts{}, states);
}

void TMainForm::ShowLightView(const TDocumentFacts &facts, const TCommandStates &states)
{
    // The level can be set while the frame can be seen through the colormap at all.
    const std::string &refusal = states.Reason(TCommand::LightBrighter);
    const bool enabled = states[TCommand::LightBrighter] || states[TCommand::LightDarker];
    const QSignalBlocker blocker(FLightLevelBox);
    FLightLevelBox->setValue(facts.LightLevel);
    FLightLevelBox->setEnabled(enabled);
    FLightLevelBox->setToolTip(QString::fromStdString(refusal.empty() ? "Light Level" : refusal));
    FLightLevelMenu->setEnabled(enabled);
    FLightLevelMenu->menuAction()->setToolTip(FLightLevelBox->toolTip());
    for (QAction *item : FLightLevelMenu->actions())
        if (item->isCheckable())
            item->setChecked(item->data().toInt() == facts.LightLevel);
    CommandAction(TCommand::Translucent)->setChecked(facts.Translucent);
    CommandAction(TCommand::MarkFullBright)->setChecked(facts.MarkFullBright);
}

void TMainForm::SetLightLevel(int level)
{
    // Not a command: the view changes, never the document, and cycling goes on.
    TDocumentWindow *window = ActiveDocument();
    if (window && HasRoute(TCommand::LightBrighter, window->Kind()))
        ShowingErrors([window, level] { window->SetLightLevel(level); });
}

void TMainForm::SetStatusPanel(int index, const std::string &text)
{
    if (index >= 0 && index < StatusPanelCount)
        // The panels' row is their parent and keeps them side by side.
        static_cast<TStatusPanels *>(FPanels[static_cast<size_t>(index)]->parentWidget())
            ->SetText(static_cast<size_t>(index), QString::fromStdString(text));
}

std::string TMainForm::StatusPanel(int index) const
{
    if (index < 0 || index >= StatusPanelCount)
        return {};
    return FPanels[static_cast<size_t>(index)]->text().toStdString();
}

QToolButton *TMainForm::CommandButton(TCommand command) const
{
    if (!CommandInfo(command).ButtonName)
        return nullptr;
    return qobject_cast<QToolButton *>(FToolBar->widgetForAction(CommandAction(command)));
}

// ---------------------------------------------------------------------------------------------
// Documents

TDocumentWindow *TMainForm::ActiveDocument() const
{
    QMdiSubWindow *sub = FMdiArea->currentSubWindow();
    auto *window = sub ? qobject_cast<TDocumentWindow *>(sub->widget()) : nullptr;
    return window && !window->IsClosed() ? window : nullptr;
}

std::vector<TDocumentWindow *> TMainForm::DocumentWindows() const
{
    std::vector<TDocumentWindow *> windows;
    for (QMdiSubWindow *sub : FMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto *window = qobject_cast<TDocumentWindow *>(sub->widget());
        if (window && !window->IsClosed())
            windows.push_back(window);
    }
    return windows;
}

QMdiSubWindow *TMainForm::CreateDocument(TDocumentKind kind)
{
    TDocumentWindow *window = FFactory.Create(kind);
    if (!window) {
        NotAvailable(kind);
        return nullptr;
    }
    connect(window, &TDocumentWindow::StateChanged, this,
            [this, window] { DocumentStateChanged(window); });
    connect(window, &TDocumentWindow::StopCyclingRequested, this, &TMainForm::StopCycling);
    connect(window, &TDocumentWindow::ToggleCyclingRequested, this, &TMainForm::ToggleCycling);
    connect(window, &TDocumentWindow::AddToReopenListRequested, this, &TMainForm::AddToReopenList);
    connect(window, &TDocumentWindow::Closing, this, &TMainForm::DocumentClosing);
    FUndoGroup->addStack(window->UndoStack());
    // A container window opens its members in windows made here, placed as any other.
    window->SetWindowMaker([this](TDocumentKind member) -> TDocumentWindow * {
        QMdiSubWindow *made = CreateDocument(member);
        if (!made)
            return nullptr;
        made->show();
        return qobject_cast<TDocumentWindow *>(made->widget());
    });
    QMdiSubWindow *sub = FMdiArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The sub-window's own menu claims Ctrl+F4 as well; with two owners of one key Qt runs
    // neither, so the keys stay with the commands.
    if (QMenu *system = sub->systemMenu())
        for (QAction *item : system->actions())
            item->setShortcut({});
    const int offset = (static_cast<int>(DocumentWindows().size()) - 1) * CascadeStep;
    sub->move(offset, offset);
    try {
        window->FormCreate(UntitledCount);
    } catch (const std::exception &e) {
        FContext.Platform.Messages().Error(e.what(), {}, this);
        sub->close();
        return nullptr;
    }
    return sub;
}

void TMainForm::UpdateWindowMenu()
{
    const QList<QAction *> all = FWindowMenu->actions();
    const qsizetype fixed = all.indexOf(CommandAction(TCommand::PreviousWindow)) + 1;
    for (qsizetype i = fixed; i < all.size(); ++i) {
        FWindowMenu->removeAction(all[i]);
        all[i]->deleteLater();
    }
    const std::vector<TDocumentWindow *> windows = DocumentWindows();
    if (!windows.empty())
        FWindowMenu->addSeparator();
    const TDocumentWindow *active = ActiveDocument();
    int number = 1;
    for (TDocumentWindow *window : windows) {
        // "&1 walk.bm [2:1]": the first nine get a key of their own.
        const QString caption = window->windowTitle().replace('&', "&&");
        QAction *item = FWindowMenu->addAction(
            number <= 9 ? QString("&%1 %2").arg(number).arg(caption) : caption);
        item->setCheckable(true);
        item->setChecked(window == active);
        QPointer<TDocumentWindow> target = window;
        connect(item, &QAction::triggered, this, [this, target] {
            if (target)
                ActivateDocument(target);
        });
        ++number;
    }
}

void TMainForm::ActivateDocument(TDocumentWindow *window)
{
    if (QMdiSubWindow *sub = SubWindowOf(window))
        FMdiArea->setActiveSubWindow(sub);
}

void TMainForm::SubWindowActivated(QMdiSubWindow *sub)
{
    // The main window always describes the active document window, and tells each window
    // whether it is the one.
    TDocumentWindow *active = ActiveDocument();
    for (TDocumentWindow *window : DocumentWindows())
        window->SetActive(window == active);
    FUndoGroup->setActiveStack(active ? active->UndoStack() : nullptr);
    if (sub)
        DescribeActiveDocument();
}

void TMainForm::DocumentStateChanged(TDocumentWindow *window)
{
    if (window == ActiveDocument())
        DescribeActiveDocument();
}

void TMainForm::DocumentClosing(TDocumentWindow *window)
{
    StopCycling();
    const std::vector<TDocumentWindow *> open = DocumentWindows();
    if (open.size() == 1 && open.front() == window)
        ResetMainWindow();
}

void TMainForm::ShowingErrors(const std::function<void()> &work)
{
    try {
        work();
    } catch (const std::exception &e) {
        FContext.Platform.Messages().Error(e.what(), {}, this);
    }
}

void TMainForm::NotAvailable(TDocumentKind kind)
{
    FContext.Platform.Messages().Information(std::string(DocumentKindName(kind)) +
                                                 " documents cannot be opened or created in this "
                                                 "version of Glimra.",
                                             {}, this);
}

// ---------------------------------------------------------------------------------------------
// Commands

void TMainForm::RunCommand(TCommand command)
{
    using C = TCommand;
    if (CommandInfo(command).StopsCycling)
        StopCycling();
    switch (command) {
    case C::New:
        New();
        break;
    case C::Open:
        Open();
        break;
    case C::Reopen:
        break; // only opens its submenu
    case C::Close:
        CloseActiveDocument();
        break;
    case C::CloseAll:
        CloseAllDocuments();
        break;
    case C::Options:
        if (OptionsForm->ShowModal() == mrOk)
            for (TDocumentWindow *window : DocumentWindows())
                window->SettingsChanged();
        break;
    case C::Exit:
        close();
        break;
    case C::CycleFrames:
        ToggleCycling();
        break;
    case C::Contents:
        ShowHelp();
        break;
    case C::About:
        AboutForm->ShowModal();
        break;
    case C::Cascade:
        FMdiArea->cascadeSubWindows();
        break;
    case C::Tile:
        FMdiArea->tileSubWindows();
        break;
    case C::NextWindow:
        FMdiArea->activateNextSubWindow();
        break;
    case C::PreviousWindow:
        FMdiArea->activatePreviousSubWindow();
        break;
    default:
        RouteToDocument(command);
        break;
    }
}

void TMainForm::RouteToDocument(TCommand command)
{
    TDocumentWindow *window = ActiveDocument();
    if (!window || !HasRoute(command, window->Kind()))
        return;
    ShowingErrors([window, command] { window->RunOperation(command); });
}

void TMainForm::New()
{
    StopCycling();
    int index = -1;
    if (NewForm->ShowModal() == mrOk)
        index = NewForm->FileGroup->ItemIndex();
    // The dialog lists the four kinds, then a container.
    if (index >= 0 && index <= static_cast<int>(DocumentKinds.size())) {
        const TDocumentKind kind = index < static_cast<int>(DocumentKinds.size())
                                       ? DocumentKinds[static_cast<size_t>(index)]
                                       : TDocumentKind::GOB;
        if (QMdiSubWindow *sub = CreateDocument(kind))
            sub->show();
    }
    ++UntitledCount; // also when the dialog was cancelled
}

void TMainForm::Open()
{
    StopCycling();
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Open;
    request.Title = "Open";
    request.Filter = OpenFilter;
    request.MultiSelect = true;
    request.InitialDir = FContext.Settings.DialogDirectory(TDialogKind::Open, TFileType::None);
    request.FilterIndex = FContext.Settings.LastOpenFilterIndex;
    request.Parent = this;
    if (!FContext.Platform.FileDialogs().Execute(request))
        return;
    std::vector<std::string> files = request.Files;
    if (files.empty() && !request.FileName.empty())
        files.push_back(request.FileName);
    if (files.empty())
        return;
    FContext.Settings.RememberDirectory(TDialogKind::Open, TFileType::None,
                                        request.FileName.empty() ? files.front()
                                                                 : request.FileName);
    FContext.Settings.LastOpenFilterIndex = request.FilterIndex;
    for (const std::string &file : files)
        OpenDocument(file);
}

void TMainForm::OpenDocument(const std::string &path)
{
    if (!FileExists(path)) {
        FContext.Platform.Messages().Warning(FileMessage(path, "File does not exist"), {}, this);
        return;
    }
    std::string container, member;
    if (SplitMemberPath(path, container, member)) {
        // A member opens through its container's window, so that its Save goes there.
        TDocumentWindow *home = ContainerWindow(container);
        if (!home) {
            OpenDocument(container);
            home = ContainerWindow(container);
        }
        if (home)
            ShowingErrors([home, &member] { home->OpenMemberNamed(member); });
        return;
    }
    if (const std::optional<TDocumentKind> kind = DocumentKindOf(path)) {
        if (QMdiSubWindow *sub = CreateDocument(*kind)) {
            try {
                qobject_cast<TDocumentWindow *>(sub->widget())->LoadFile(path);
            } catch (const std::exception &e) {
                // The window is never shown: no empty window behind the message, the active
                // one stays active, and the file gets no Reopen entry.
                FContext.Platform.Messages().Error(FileMessage(path, e.what()), {}, this);
                sub->close();
                return;
            }
            sub->show();
        }
    }
    AddToReopenList(path);
}

TDocumentWindow *TMainForm::ContainerWindow(const std::string &path) const
{
    for (TDocumentWindow *window : DocumentWindows()) {
        std::error_code ec;
        if (window->Kind() == TDocumentKind::GOB && !window->FilePath.empty() &&
            std::filesystem::equivalent(Utf8Path(window->FilePath), Utf8Path(path), ec))
            return window;
    }
    return nullptr;
}

void TMainForm::CloseActiveDocument()
{
    if (QMdiSubWindow *sub = SubWindowOf(ActiveDocument()))
        sub->close();
}

void TMainForm::CloseAllDocuments()
{
    for (;;) {
        const std::vector<TDocumentWindow *> open = DocumentWindows();
        if (open.empty())
            break;
        TDocumentWindow *window = ActiveDocument();
        if (!window)
            window = open.front();
        if (QMdiSubWindow *sub = SubWindowOf(window))
            sub->close();
        else
            window->close();
        // Let the closed window go before counting again.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void TMainForm::ShowHelp()
{
    StopCycling();
    const auto open = [this](const std::string &path) {
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(path, ec);
        // A file the desktop has no program for must not look as if it had opened.
        if (!FContext.Platform.Shell().OpenWithDefaultProgram(ec ? path : full.string()))
            FContext.Platform.Messages().Error("Cannot open help file " + ExtractFileName(path), {},
                                               this);
    };
    const std::string found = FindHelpFile(
        FContext.Settings.HelpFilePath, ProgramDataFolder(FContext.Platform.Shell().ProgramPath()));
    if (!found.empty()) {
        open(found);
        return;
    }
    FContext.Platform.Messages().Error(
        "Cannot find help file " + ExtractFileName(FContext.Settings.HelpFilePath), {}, this);
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Open;
    request.Title = "Open Help File";
    request.Filter = "All Files|*.*";
    request.InitialDir = FContext.Settings.DialogDirectory(TDialogKind::Open, TFileType::None);
    request.Parent = this;
    if (!FContext.Platform.FileDialogs().Execute(request))
        return;
    const std::string chosen = request.FileName.empty() && !request.Files.empty()
                                   ? request.Files.front()
                                   : request.FileName;
    if (chosen.empty())
        return;
    FContext.Settings.RememberDirectory(TDialogKind::Open, TFileType::None, chosen);
    FContext.Settings.HelpFilePath = chosen;
    open(FContext.Settings.HelpFilePath);
}

// ---------------------------------------------------------------------------------------------
// Reopen list

void TMainForm::AddToReopenList(const std::string &entry)
{
    std::string path = entry;
    if (!path.empty() && path[0] == '&')
        path = path.size() > 3 ? path.substr(3) : std::string();
    if (!FileExists(path))
        return;
    SetCommandEnabled(TCommand::Reopen, true);

    const QString qpath = QString::fromStdString(path);
    auto *item = new QAction("&0 " + qpath, FReopenMenu);
    connect(item, &QAction::triggered, this, [this, item] { ReopenItemClick(item); });
    const QList<QAction *> before = FReopenMenu->actions();
    FReopenMenu->insertAction(before.isEmpty() ? nullptr : before.front(), item);
    if (FReopenMenu->actions().size() == 1)
        return;

    const auto remove = [this](QAction *action) {
        FReopenMenu->removeAction(action);
        action->deleteLater(); // may be the item whose click is running
    };
    while (FReopenMenu->actions().size() > MaxReopenEntries)
        remove(FReopenMenu->actions().back());
    // The cut comes before the duplicate goes, so a path already in a full list leaves nine.
    for (qsizetype p = 1; p < FReopenMenu->actions().size(); ++p) {
        QAction *candidate = FReopenMenu->actions().at(p);
        if (candidate->text().mid(3) == qpath)
            remove(candidate);
    }
    const QList<QAction *> items = FReopenMenu->actions();
    for (qsizetype i = 1; i < items.size(); ++i)
        items[i]->setText(QString("&%1 ").arg(i) + items[i]->text().mid(3));
}

std::vector<std::string> TMainForm::ReopenCaptions() const
{
    std::vector<std::string> captions;
    for (QAction *item : FReopenMenu->actions())
        captions.push_back(item->text().toStdString());
    return captions;
}

void TMainForm::ReopenItemClick(QAction *item)
{
    // Does not stop cycling.
    OpenDocument(item->text().mid(3).toStdString());
}

// ---------------------------------------------------------------------------------------------
// Frame cycling

int TMainForm::CycleInterval() const
{
    return FContext.Settings.CycleRate >= 1 ? 1000 / FContext.Settings.CycleRate : 1000;
}

void TMainForm::ToggleCycling()
{
    FCycleTimer->setInterval(CycleInterval());
    if (FCycling) {
        StopCycling();
        return;
    }
    FCycling = true;
    // An interval of 0 never ticks (a zero-interval QTimer would fire on every idle pass).
    if (FCycleTimer->interval() > 0)
        FCycleTimer->start();
}

void TMainForm::StopCycling()
{
    FCycling = false;
    FCycleTimer->stop();
}

void TMainForm::CycleTimerTimer()
{
    // BM, CMP and MAT windows step; an SFT window has no frames to step through.
    TDocumentWindow *window = ActiveDocument();
    if (window && HasRoute(TCommand::NextFrame, window->Kind()))
        ShowingErrors([window] { window->RunOperation(TCommand::NextFrame); });
}

// ---------------------------------------------------------------------------------------------
// Activation and closing

bool TMainForm::event(QEvent *e)
{
    const bool result = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return result;
}

void TMainForm::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!FShownOnce) {
        FShownOnce = true;
        // A desktop without a window manager may never activate the window.
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TMainForm::FormActivate()
{
    if (!FirstActivation || CommandLine.isEmpty())
        return;
    // Cleared first: a message box shown while opening re-activates this window.
    FirstActivation = false;
    std::error_code ec;
    const std::string argument = CommandLine.front().toStdString();
    const std::filesystem::path full = std::filesystem::absolute(argument, ec);
    OpenDocument(LongPathName(ec ? argument : full.lexically_normal().string()));
}

void TMainForm::closeEvent(QCloseEvent *e)
{
    // A container closes its members' windows before its own question; they are not asked
    // twice.
    std::vector<QPointer<TDocumentWindow>> open;
    for (TDocumentWindow *window : DocumentWindows())
        open.emplace_back(window);
    for (const QPointer<TDocumentWindow> &window : open) {
        if (!window || window->IsClosed())
            continue;
        if (!window->QueryClose()) {
            e->ignore();
            return;
        }
    }
    const TWindowState state{Bounds(), IsMaximized(), ReopenCaptions()};
    FContext.Settings.Save(FContext.Platform.Settings(), FContext.Platform.Messages(), &state);
    e->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent *e)
{
    if (!DroppedFiles(e->mimeData()).empty())
        e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *e)
{
    const std::vector<std::string> files = DroppedFiles(e->mimeData());
    if (files.empty())
        return;
    e->acceptProposedAction();
    StopCycling();
    // Opened after the drop has finished, so that no message box runs inside it.
    QTimer::singleShot(0, this, [this, files] {
        for (const std::string &file : files)
            OpenDocument(file);
    });
}

// ---------------------------------------------------------------------------------------------
// Placement, as the settings keep it

TWindowBounds TMainForm::Bounds() const
{
    const QRect r = IsMaximized() ? normalGeometry() : geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

void TMainForm::SetBounds(const TWindowBounds &b)
{
    setGeometry(b.Left, b.Top, b.Width, b.Height);
}

bool TMainForm::IsMaximized() const
{
    return windowState().testFlag(Qt::WindowMaximized);
}

void TMainForm::SetMaximized(bool maximized)
{
    setWindowState(maximized ? (windowState() | Qt::WindowMaximized)
                             : (windowState() & ~Qt::WindowMaximized));
}
