#include "core/GLM_CommandTable.h"

#include "core/GLM_FileNames.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_MAT.h"

namespace {

using C = TCommand;

// clang-format off
constexpr std::array<TCommand, 30> Documented{
    C::Save, C::SaveAs, C::SaveBitmap, C::SaveAllBitmaps, C::Close, C::CloseAll, C::Undo, C::Redo,
    C::AddFrames, C::AddMipmap, C::DeleteFrame, C::ShiftToPreviousFrame, C::ShiftToNextFrame,
    C::SelectPalette, C::EditProperties, C::PreviousFrame, C::NextFrame, C::CycleFrames,
    C::ZoomIn, C::ZoomOut,
    C::LightBrighter, C::LightDarker, C::SelectColormap, C::Translucent, C::SelectBackdrop,
    C::MarkFullBright,
    C::Cascade, C::Tile, C::NextWindow, C::PreviousWindow,
};

constexpr TPopupItem Rule{C::New, nullptr};

constexpr TPopupItem BMPopup[]{
    {C::PreviousFrame, "&Previous Frame"}, {C::NextFrame, "&Next Frame"},
    {C::CycleFrames, "&Cycle Frames"}, {C::ZoomIn, "&Zoom In"}, {C::ZoomOut, "Zoom &Out"}, Rule,
    {C::AddFrames, "&Add Frames..."}, {C::DeleteFrame, "&Delete Frame"}, Rule,
    {C::ShiftToPreviousFrame, "Shift To Pre&vious Frame"},
    {C::ShiftToNextFrame, "Shift To Ne&xt Frame"}, Rule,
    {C::SelectPalette, "&Select Palette..."}, {C::EditProperties, "&Edit Properties..."}, Rule,
    {C::SaveBitmap, "Save &Bitmap..."}, {C::SaveAllBitmaps, "Sa&ve All Bitmaps..."},
};
constexpr TPopupItem CMPPopup[]{
    {C::PreviousFrame, "&Previous Frame"}, {C::NextFrame, "&Next Frame"},
    {C::CycleFrames, "Cycle &Frames"}, {C::ZoomIn, "&Zoom In"}, {C::ZoomOut, "Zoom &Out"}, Rule,
    {C::ChangeCellColor, "&Change Cell Color"}, {C::SelectPalette, "&Select Palette"},
    {C::EditProperties, "&Edit Properties"},
};
constexpr TPopupItem MATPopup[]{
    {C::PreviousFrame, "&Previous Frame"}, {C::NextFrame, "&Next Frame"},
    {C::CycleFrames, "&Cycle Frames"}, {C::ZoomIn, "&Zoom In"}, {C::ZoomOut, "Zoom &Out"}, Rule,
    {C::AddFrames, "&Add Frames..."}, {C::AddMipmap, "Add &Mipmap..."},
    {C::DeleteFrame, "&Delete Frame"}, Rule,
    {C::ShiftToPreviousFrame, "Shift To Pre&vious Frame"},
    {C::ShiftToNextFrame, "Shift To Ne&xt Frame"}, Rule,
    {C::SelectPalette, "&Select Palette"}, {C::EditProperties, "&Edit Properties"}, Rule,
    {C::SaveBitmap, "Save &Bitmap..."}, {C::SaveAllBitmaps, "Sa&ve All Bitmaps..."},
};
constexpr TPopupItem SFTPopup[]{
    {C::ZoomIn, "&Zoom In"}, {C::ZoomOut, "Zoom &Out"}, Rule,
    {C::AddFrames, "&Add Frame..."}, {C::DeleteFrame, "&Delete Frame"}, Rule,
    {C::SelectPalette, "&Select Palette..."}, {C::EditProperties, "&Edit Properties..."}, Rule,
    {C::SaveBitmap, "Save &Bitmap..."},
};
constexpr TPopupItem GOBPopup[]{
    {C::OpenMember, "&Open"}, Rule,
    {C::ExtractMembers, "E&xtract..."}, {C::AddFiles, "&Add Files..."},
    {C::DeleteMembers, "&Delete"}, {C::RenameMember, "&Rename..."}, Rule,
    {C::ZoomIn, "&Larger Thumbnails"}, {C::ZoomOut, "&Smaller Thumbnails"},
    {C::SelectPalette, "&Colormap..."}, {C::EditProperties, "&Properties..."},
};
// clang-format on

// A command has an operation exactly when some kind's windows carry it out.
constexpr bool OperationsMatchKinds()
{
    for (const TCommandInfo &info : Commands)
        if ((info.Operation != nullptr) != (info.Kinds != NoKinds))
            return false;
    return true;
}
static_assert(OperationsMatchKinds(), "a command names an operation no kind has, or the reverse");
static_assert(Commands[MainCommandCount].Command == C::ChangeCellColor,
              "the popup-only commands come after the main window's");
static_assert(static_cast<int>(TFileKind::BM) == static_cast<int>(TDocumentKind::BM) &&
                  static_cast<int>(TFileKind::CMP) == static_cast<int>(TDocumentKind::CMP) &&
                  static_cast<int>(TFileKind::MAT) == static_cast<int>(TDocumentKind::MAT) &&
                  static_cast<int>(TFileKind::SFT) == static_cast<int>(TDocumentKind::SFT),
              "file kinds and document kinds are listed in the same order");

// A popup item calls the window's operation, so its kind must have it (Cycle Frames aside,
// which asks the main window).
constexpr bool PopupIsRouted(std::span<const TPopupItem> items, TDocumentKind kind)
{
    for (const TPopupItem &item : items)
        if (!item.IsSeparator() && item.Command != C::CycleFrames && !HasRoute(item.Command, kind))
            return false;
    return true;
}
static_assert(PopupIsRouted(BMPopup, TDocumentKind::BM) &&
                  PopupIsRouted(CMPPopup, TDocumentKind::CMP) &&
                  PopupIsRouted(MATPopup, TDocumentKind::MAT) &&
                  PopupIsRouted(SFTPopup, TDocumentKind::SFT) &&
                  PopupIsRouted(GOBPopup, TDocumentKind::GOB),
              "a popup item names an operation its kind does not have");

} // namespace

std::optional<TDocumentKind> DocumentKindOf(const std::string &path)
{
    if (IsContainerName(path))
        return TDocumentKind::GOB;
    // TFileKind lists the same four kinds in the same order, then Unknown.
    const TFileKind kind = FileKindOf(path);
    if (kind == TFileKind::Unknown)
        return std::nullopt;
    return static_cast<TDocumentKind>(kind);
}

const char *DocumentKindName(TDocumentKind kind)
{
    if (kind == TDocumentKind::GOB)
        return "GOB";
    return FileKindName(static_cast<TFileKind>(kind));
}

const std::array<TCommand, 30> &DocumentCommands()
{
    return Documented;
}

std::string CommandText(TCommand command)
{
    std::string text;
    for (const char *c = CommandInfo(command).Caption; *c; ++c)
        if (*c != '&')
            text += *c;
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

std::span<const TPopupItem> PopupItems(TDocumentKind kind)
{
    switch (kind) {
    case TDocumentKind::BM:
        return BMPopup;
    case TDocumentKind::CMP:
        return CMPPopup;
    case TDocumentKind::MAT:
        return MATPopup;
    case TDocumentKind::SFT:
        return SFTPopup;
    case TDocumentKind::GOB:
        return GOBPopup;
    }
    return {};
}

void TCommandStates::Refuse(TCommand command, const std::string &reason)
{
    Set(command, false);
    FReasons[Index(command)] = reason;
}

TCommandStates NoDocumentStates()
{
    return {};
}

TCommandStates DocumentStates(const TDocumentFacts &d)
{
    TCommandStates s;
    const int f = d.Frames;
    const bool zoomIn = d.Zoom != MaxZoom;
    const bool zoomOut = d.Zoom != 1;
    const bool paletted = d.BitsPerPixel == 8;
    bool save = f > 0, saveBitmap = f > 0, saveAll = false, addFrames = false;
    bool addMipmap = false, deleteFrame = f > 0, shift = false, selectPalette = paletted;
    bool stepping = false, in = f > 0 && zoomIn, out = f > 0 && zoomOut;
    switch (d.Kind) {
    case TDocumentKind::BM:
        saveAll = shift = stepping = f >= 2;
        addFrames = f < TBM::MaxImages;
        break;
    case TDocumentKind::CMP:
        save = selectPalette = stepping = true;
        saveBitmap = deleteFrame = false;
        in = zoomIn;
        out = zoomOut;
        s.Set(C::ChangeCellColor, true);
        break;
    case TDocumentKind::MAT:
        saveAll = stepping = f > 1 || d.Mipmaps > 1;
        shift = f > 1;
        addFrames = f < TMAT::MaxRecords;
        addMipmap = f > 0 && d.IsTexture && !d.MipmapsFull;
        break;
    case TDocumentKind::SFT:
        addFrames = f == 0;
        break;
    case TDocumentKind::GOB:
        // Frames counts the members; any container can be saved and take files.
        save = selectPalette = true;
        saveBitmap = deleteFrame = false;
        in = zoomIn;
        out = zoomOut;
        s.Set(C::OpenMember, d.Selected == 1);
        s.Set(C::ExtractMembers, f > 0);
        s.Set(C::AddFiles, true);
        s.Set(C::DeleteMembers, d.Selected > 0);
        s.Set(C::RenameMember, d.Selected == 1);
        break;
    }
    s.Set(C::Save, save);
    s.Set(C::SaveAs, save);
    s.Set(C::SaveBitmap, saveBitmap);
    s.Set(C::SaveAllBitmaps, saveAll);
    s.Set(C::Close, true);
    s.Set(C::CloseAll, true);
    s.Set(C::Undo, d.CanUndo);
    s.Set(C::Redo, d.CanRedo);
    s.Set(C::AddFrames, addFrames);
    s.Set(C::AddMipmap, addMipmap);
    s.Set(C::DeleteFrame, deleteFrame);
    s.Set(C::ShiftToPreviousFrame, shift);
    s.Set(C::ShiftToNextFrame, shift);
    s.Set(C::SelectPalette, selectPalette);
    s.Set(C::EditProperties, true);
    s.Set(C::PreviousFrame, stepping);
    s.Set(C::NextFrame, stepping);
    s.Set(C::CycleFrames, stepping);
    s.Set(C::ZoomIn, in);
    s.Set(C::ZoomOut, out);
    // The Window menu's commands need a window to arrange or reach.
    for (C command : {C::Cascade, C::Tile, C::NextWindow, C::PreviousWindow})
        s.Set(command, true);
    if (d.Kind == TDocumentKind::CMP) {
        s.Set(C::MarkFullBright, true);
        return s;
    }
    if (d.Kind == TDocumentKind::GOB)
        return s; // a container draws its thumbnails through the colormap Select Palette picks
    // The colormap is chosen for the kind, so it may be chosen while the frame cannot use it;
    // the rest of the view through it waits for a frame that can. Full-bright colours are
    // the colormap's, so without one there are none to mark.
    const std::string &light = d.LightRefusal;
    const std::string &trans = light.empty() ? d.TranslucentRefusal : light;
    paletted ? s.Set(C::SelectColormap, true) : s.Refuse(C::SelectColormap, light);
    for (C command : {C::LightBrighter, C::LightDarker, C::MarkFullBright})
        light.empty() ? s.Set(command, true) : s.Refuse(command, light);
    for (C command : {C::Translucent, C::SelectBackdrop})
        trans.empty() ? s.Set(command, true) : s.Refuse(command, trans);
    if (light.empty()) {
        s.Set(C::LightBrighter, d.LightLevel < PaletteViewLevel);
        s.Set(C::LightDarker, d.LightLevel > 0);
    }
    return s;
}

QList<QKeySequence> CommandShortcuts(TCommand command)
{
    using K = QKeySequence;
    const auto standard = [](K::StandardKey key) { return K::keyBindings(key); };
    switch (command) {
    case C::New:
        return standard(K::New);
    case C::Open:
        return standard(K::Open);
    case C::Save:
        return standard(K::Save);
    case C::SaveAs:
        return standard(K::SaveAs);
    case C::Close:
        return standard(K::Close);
    case C::Undo:
        return standard(K::Undo);
    case C::Redo:
        return standard(K::Redo);
    case C::Exit:
        return standard(K::Quit);
    case C::PreviousFrame:
        return {K(Qt::Key_PageUp)};
    case C::NextFrame:
        return {K(Qt::Key_PageDown)};
    case C::ZoomIn:
        return standard(K::ZoomIn);
    case C::ZoomOut:
        return standard(K::ZoomOut);
    case C::NextWindow:
        return standard(K::NextChild);
    case C::PreviousWindow:
        return standard(K::PreviousChild);
    case C::Contents:
        return standard(K::HelpContents);
    default:
        return {};
    }
}
