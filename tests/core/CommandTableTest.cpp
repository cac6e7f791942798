// The command table as the windows use it: the enabled states each kind's facts give, and
// each kind's popup menu.

#include <functional>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "core/GLM_CommandTable.h"

namespace {

using C = TCommand;
using K = TDocumentKind;
using Names = std::set<std::string>;

// The enabled commands by name ("Save1" -> "Save").
Names Enabled(const std::function<bool(C)> &isEnabled)
{
    Names names;
    for (size_t i = 0; i < CommandCount; ++i)
        if (isEnabled(C(i))) {
            const std::string menuName = CommandInfo(C(i)).MenuName;
            names.insert(menuName.substr(0, menuName.size() - 1));
        }
    return names;
}

} // namespace

// Column by column, at the limits that flip each entry.
TEST(CommandStates, FollowTheTableForEveryKind)
{
    const auto states = [](K kind, int frames, int zoom = 1, int bits = 8, int mipmaps = 1,
                           bool texture = true, bool full = true) {
        const TCommandStates s = DocumentStates({kind, frames, zoom, bits, mipmaps, texture, full});
        return Enabled([&s](C c) { return s[c]; });
    };
    const auto with = [](const std::string &more) {
        // Any document window can be closed, described and reached from the Window menu.
        Names names{"Close", "CloseAll",   "EditProperties", "Cascade",
                    "Tile",  "NextWindow", "PreviousWindow"};
        std::stringstream in(more);
        for (std::string word; in >> word;)
            names.insert(word);
        return names;
    };
    const auto has = [](const Names &names, const char *name) { return names.count(name) == 1; };
    EXPECT_TRUE(Enabled([](C c) { return NoDocumentStates()[c]; }).empty());
    for (K kind : {K::BM, K::MAT, K::SFT}) // empty: frames and a palette only
        EXPECT_EQ(states(kind, 0), with("AddFrames SelectPalette"));

    // BM: two frames unlock stepping and shifting; 50 frames is full.
    EXPECT_EQ(states(K::BM, 1, 1, 16), with("Save SaveAs SaveBitmap AddFrames DeleteFrame ZoomIn"));
    EXPECT_EQ(states(K::BM, 2, 10),
              with("Save SaveAs SaveBitmap SaveAllBitmaps AddFrames DeleteFrame "
                   "ShiftToPreviousFrame ShiftToNextFrame SelectPalette PreviousFrame NextFrame "
                   "CycleFrames ZoomOut"));
    EXPECT_FALSE(has(states(K::BM, 50, 5), "AddFrames"));
    EXPECT_TRUE(has(states(K::BM, 49, 5), "AddFrames"));

    // CMP: no bitmaps and no frame editing; stepping always; zoom by Z alone.
    EXPECT_EQ(states(K::CMP, 0),
              with("Save SaveAs SelectPalette PreviousFrame NextFrame CycleFrames ZoomIn "
                   "ChangeCellColor"));
    EXPECT_FALSE(has(states(K::CMP, 0, 10), "ZoomIn"));
    EXPECT_TRUE(has(states(K::CMP, 0, 10), "ZoomOut"));

    // MAT: one frame with two levels steps and exports all, but cannot shift; 16 is full.
    EXPECT_EQ(states(K::MAT, 1, 2, 16, 2),
              with("Save SaveAs SaveBitmap SaveAllBitmaps AddFrames DeleteFrame PreviousFrame "
                   "NextFrame CycleFrames ZoomIn ZoomOut"));
    EXPECT_TRUE(has(states(K::MAT, 2), "ShiftToNextFrame"));
    EXPECT_FALSE(has(states(K::MAT, 16), "AddFrames"));
    EXPECT_TRUE(has(states(K::MAT, 1, 1, 8, 1, true, false), "AddMipmap"));
    EXPECT_FALSE(has(states(K::MAT, 1, 1, 8, 1, false, false), "AddMipmap"));
    EXPECT_FALSE(has(states(K::MAT, 0, 1, 8, 0, true, false), "AddMipmap"));

    // SFT: never steps or exports all; takes a bitmap only while it has none.
    EXPECT_EQ(states(K::SFT, 1, 3, 16), with("Save SaveAs SaveBitmap DeleteFrame ZoomIn ZoomOut"));
}

// Order, separators and the kind's own captions ("&Add Frame..." in the SFT window, "Cycle
// &Frames" in the CMP window, "&Select Palette" without dots in the MAT and CMP windows).
TEST(PopupItems, OrderAndCaptionsPerKind)
{
    const auto menu = [](K kind) {
        std::string text;
        for (const TPopupItem &item : PopupItems(kind))
            text += std::string(item.IsSeparator() ? "-" : item.Caption) + "|";
        return text;
    };
    EXPECT_EQ(menu(K::BM), "&Previous Frame|&Next Frame|&Cycle Frames|&Zoom In|Zoom &Out|-|"
                           "&Add Frames...|&Delete Frame|-|Shift To Pre&vious Frame|"
                           "Shift To Ne&xt Frame|-|&Select Palette...|&Edit Properties...|-|"
                           "Save &Bitmap...|Sa&ve All Bitmaps...|");
    EXPECT_EQ(menu(K::CMP), "&Previous Frame|&Next Frame|Cycle &Frames|&Zoom In|Zoom &Out|-|"
                            "&Change Cell Color|&Select Palette|&Edit Properties|");
    EXPECT_EQ(menu(K::MAT), "&Previous Frame|&Next Frame|&Cycle Frames|&Zoom In|Zoom &Out|-|"
                            "&Add Frames...|Add &Mipmap...|&Delete Frame|-|"
                            "Shift To Pre&vious Frame|Shift To Ne&xt Frame|-|&Select Palette|"
                            "&Edit Properties|-|Save &Bitmap...|Sa&ve All Bitmaps...|");
    EXPECT_EQ(menu(K::SFT), "&Zoom In|Zoom &Out|-|&Add Frame...|&Delete Frame|-|"
                            "&Select Palette...|&Edit Properties...|-|Save &Bitmap...|");
    EXPECT_EQ(PopupItems(K::SFT)[3].Command, C::AddFrames); // "&Add Frame..." adds frames
    EXPECT_EQ(DocumentKindOf("/x/B.BM"), K::BM);
    EXPECT_EQ(DocumentKindOf("/x.mat/notes"), std::nullopt);
}
