// The command table as the windows use it: the enabled states each kind's facts give.

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
        EXPECT_EQ(states(kind, 0), with("AddFrames SelectPalette SelectColormap"));

    // BM: two frames unlock stepping and shifting; 50 frames is full.
    EXPECT_EQ(states(K::BM, 1, 1, 16), with("Save SaveAs SaveBitmap AddFrames DeleteFrame ZoomIn"));
    EXPECT_EQ(states(K::BM, 2, 10),
              with("Save SaveAs SaveBitmap SaveAllBitmaps AddFrames DeleteFrame "
                   "ShiftToPreviousFrame ShiftToNextFrame SelectPalette PreviousFrame NextFrame "
                   "CycleFrames ZoomOut SelectColormap"));
    EXPECT_FALSE(has(states(K::BM, 50, 5), "AddFrames"));
    EXPECT_TRUE(has(states(K::BM, 49, 5), "AddFrames"));

    // CMP: no bitmaps and no frame editing; stepping always; zoom by Z alone.
    EXPECT_EQ(states(K::CMP, 0),
              with("Save SaveAs SelectPalette PreviousFrame NextFrame CycleFrames ZoomIn "
                   "ChangeCellColor MarkFullBright"));
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

    // GOB: saves and takes files at any time; Open and Rename need exactly one member.
    const auto gob = [](int members, int selected, int zoom) {
        const TCommandStates s = DocumentStates({.Kind = K::GOB, .Frames = members, .Zoom = zoom,
                                                 .Selected = selected});
        return Enabled([&s](C c) { return s[c]; });
    };
    EXPECT_EQ(gob(0, 0, 1), with("Save SaveAs SelectPalette ZoomIn AddFiles"));
    EXPECT_EQ(gob(2, 1, 10), with("Save SaveAs SelectPalette ZoomOut OpenMember ExtractMembers "
                                  "AddFiles DeleteMembers RenameMember"));
    EXPECT_EQ(gob(2, 2, 3), with("Save SaveAs SelectPalette ZoomIn ZoomOut ExtractMembers "
                                 "AddFiles DeleteMembers"));
    EXPECT_EQ(DocumentKindOf("/x/B.BM"), K::BM);
    EXPECT_EQ(DocumentKindOf("/x.mat/notes"), std::nullopt);
    EXPECT_EQ(DocumentKindOf("/x/A.GOO"), K::GOB);
    EXPECT_EQ(DocumentKindOf("/x/a.gob::mat/b.mat"), K::MAT);
}

// The view through a colormap: each refused command carries the reason it is refused for
// (the frame's before the colormap's); the level stops at its ends without a reason.
TEST(CommandStates, LightViewRefusalsAndLevelEnds)
{
    const auto refused = [](int bits, const char *light, const char *trans, int level) {
        TDocumentFacts facts{K::MAT, 1, 1, bits};
        facts.LightRefusal = light;
        facts.TranslucentRefusal = trans;
        facts.LightLevel = level;
        const TCommandStates s = DocumentStates(facts);
        std::string text;
        for (C c : {C::SelectColormap, C::LightBrighter, C::LightDarker, C::Translucent,
                    C::SelectBackdrop, C::MarkFullBright})
            if (!s[c])
                text += CommandInfo(c).Hint + (s.Reason(c).empty() ? "" : ":" + s.Reason(c)) + " ";
        return text;
    };
    const std::pair<std::string, std::string> cases[] = {
        {refused(16, "16", "t", 64), "Colormap:16 Brighter:16 Darker:16 Translucent:16 "
                                     "Backdrop:16 Mark Full-Bright:16 "},
        {refused(8, "no", "", 3), "Brighter:no Darker:no Translucent:no Backdrop:no "
                                  "Mark Full-Bright:no "},
        {refused(8, "", "t", PaletteViewLevel), "Brighter Translucent:t Backdrop:t "},
        {refused(8, "", "", 0), "Darker "},
        {refused(8, "", "", 63), ""},
    };
    for (const auto &[got, expected] : cases)
        EXPECT_EQ(got, expected);
}
