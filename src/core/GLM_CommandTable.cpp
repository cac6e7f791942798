#include "core/GLM_CommandTable.h"

#include <algorithm>

namespace {

constexpr std::array<bool, 4> None{false, false, false, false};
constexpr std::array<bool, 4> All{true, true, true, true};
constexpr std::array<bool, 4> NoCMP{true, false, true, true};
constexpr std::array<bool, 4> BMMAT{true, false, true, false};
constexpr std::array<bool, 4> NoSFT{true, true, true, false};
constexpr std::array<bool, 4> MATOnly{false, false, true, false};

using C = TCommand;
using W = TDocumentWindow;

// In TCommand order.
constexpr std::array<TCommandInfo, CommandCount> Commands{{
    {C::New, "New1", "&New...", "NewButton", "New", true, nullptr, None},
    {C::Open, "Open1", "&Open...", "OpenButton", "Open", true, nullptr, None},
    {C::Reopen, "Reopen1", "&Reopen", nullptr, nullptr, false, nullptr, None},
    {C::Save, "Save1", "&Save", "SaveButton", "Save", true, &W::SaveFile, All},
    {C::SaveAs, "SaveAs1", "Save &As...", nullptr, nullptr, true, &W::SaveFileAs, All},
    {C::SaveBitmap, "SaveBitmap1", "Save &Bitmap...", "SaveBitmapButton", "Save Bitmap", true,
     &W::SaveBitmap, NoCMP},
    {C::SaveAllBitmaps, "SaveAllBitmaps1", "Save All Bit&maps...", "SaveAllBitmapsButton",
     "Save All Bitmaps", true, &W::SaveAllBitmaps, BMMAT},
    {C::Close, "Close1", "&Close", nullptr, nullptr, false, nullptr, None},
    {C::CloseAll, "CloseAll1", "Clos&e All", nullptr, nullptr, false, nullptr, None},
    {C::Options, "Options1", "O&ptions...", "OptionsButton", "Options", true, nullptr, None},
    {C::Exit, "Exit1", "E&xit", nullptr, nullptr, false, nullptr, None},
    {C::AddFrames, "AddFrames1", "&Add Frames...", "AddFramesButton", "Add Frame", true,
     &W::AddFrames, NoCMP},
    {C::AddMipmap, "AddMipmap1", "Add &Mipmap...", "AddMipmapButton", "Add Mipmap", true,
     &W::AddMipmap, MATOnly},
    {C::DeleteFrame, "DeleteFrame1", "&Delete Frame", "DeleteFrameButton", "Delete Frame", true,
     &W::DeleteFrame, NoCMP},
    {C::ShiftToPreviousFrame, "ShiftToPreviousFrame1", "Shift To Pre&vious Frame",
     "ShiftToPreviousFrameButton", "Shift To Previous Frame", true, &W::ShiftToPreviousFrame,
     BMMAT},
    {C::ShiftToNextFrame, "ShiftToNextFrame1", "Shift To Ne&xt Frame", "ShiftToNextFrameButton",
     "Shift To Next Frame", true, &W::ShiftToNextFrame, BMMAT},
    {C::SelectPalette, "SelectPalette1", "&Select Palette...", "SelectPaletteButton",
     "Select Palette", true, &W::SelectPalette, All},
    {C::EditProperties, "EditProperties1", "&Edit Properties...", "EditPropertiesButton",
     "Edit Properties", true, &W::EditProperties, All},
    {C::PreviousFrame, "PreviousFrame1", "&Previous Frame", "PreviousFrameButton", "Previous Frame",
     true, &W::PreviousFrame, NoSFT},
    {C::NextFrame, "NextFrame1", "&Next Frame", "NextFrameButton", "Next Frame", true,
     &W::NextFrame, NoSFT},
    {C::CycleFrames, "CycleFrames1", "&Cycle Frames", "CycleFramesButton", "Cycle Frames", false,
     nullptr, None},
    {C::ZoomIn, "ZoomIn1", "&Zoom In", "ZoomInButton", "Zoom In", true, &W::ZoomIn, All},
    {C::ZoomOut, "ZoomOut1", "Zoom &Out", "ZoomOutButton", "Zoom Out", true, &W::ZoomOut, All},
    {C::Contents, "Contents1", "&Contents", "HelpButton", "Help Contents", true, nullptr, None},
    {C::About, "About1", "&About", "AboutButton", "About Glimra", true, nullptr, None},
}};

// clang-format off
constexpr std::array<TCommand, 18> Documented{
    C::Save, C::SaveAs, C::SaveBitmap, C::SaveAllBitmaps, C::Close, C::CloseAll,
    C::AddFrames, C::AddMipmap, C::DeleteFrame, C::ShiftToPreviousFrame, C::ShiftToNextFrame,
    C::SelectPalette, C::EditProperties, C::PreviousFrame, C::NextFrame, C::CycleFrames,
    C::ZoomIn, C::ZoomOut,
};
// clang-format on

constexpr bool TableIsConsistent()
{
    for (size_t i = 0; i < Commands.size(); ++i) {
        if (static_cast<size_t>(Commands[i].Command) != i)
            return false;
        if (!Commands[i].Operation && Commands[i].Routes != None)
            return false;
    }
    return true;
}
static_assert(TableIsConsistent(), "the table is indexed by TCommand; routes need operations");

} // namespace

const TCommandInfo &CommandInfo(TCommand command)
{
    return Commands[static_cast<size_t>(command)];
}

bool HasRoute(TCommand command, TDocumentKind kind)
{
    // Routes has a column for the four game kinds only; any other kind has no route.
    const std::array<bool, 4> &routes = CommandInfo(command).Routes;
    const auto column = static_cast<size_t>(kind);
    return column < routes.size() && routes[column];
}

const std::array<TCommand, 18> &DocumentCommands()
{
    return Documented;
}

bool IsDocumentCommand(TCommand command)
{
    return std::find(Documented.begin(), Documented.end(), command) != Documented.end();
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
        addFrames = f < MaxBMFrames;
        break;
    case TDocumentKind::CMP:
        save = selectPalette = stepping = true;
        saveBitmap = deleteFrame = false;
        in = zoomIn;
        out = zoomOut;
        break;
    case TDocumentKind::MAT:
        saveAll = stepping = f > 1 || d.Mipmaps > 1;
        shift = f > 1;
        addFrames = f < MaxMATFrames;
        addMipmap = f > 0 && d.IsTexture && !d.MipmapsFull;
        break;
    case TDocumentKind::SFT:
        addFrames = f == 0;
        break;
    case TDocumentKind::Unknown:
        break;
    }
    s.Set(C::Save, save);
    s.Set(C::SaveAs, save);
    s.Set(C::SaveBitmap, saveBitmap);
    s.Set(C::SaveAllBitmaps, saveAll);
    s.Set(C::Close, true);
    s.Set(C::CloseAll, true);
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
    return s;
}
