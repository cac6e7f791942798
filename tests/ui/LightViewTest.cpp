// The view through a colormap in the real editor: the commands' states with their reasons as
// hints, the level keys and box, the status text, the lit picture, and the CMP window's marks.
// The colormap of CMPBytes sends the even indices to 10 at every level and keeps the odd
// ones, so the odd indices (and 10) are full-bright.

#include <QKeyEvent>
#include <QSpinBox>

#include "UiFixture.h"

using namespace uitest;

namespace {

using LightViewTest = TEditorTest;

const auto Rgb = [](const TPaletteEntry &e) { return qRgb(e.Red, e.Green, e.Blue); };

} // namespace

TEST_F(LightViewTest, RefusedCommandsSayWhy)
{
    const auto hint = [this](C c) { return Main->CommandAction(c)->toolTip().toStdString(); };
    Open(Put("deep.bm", BMBytes({{4, 4, 1}}, 16)));
    EXPECT_FALSE(Main->IsCommandEnabled(C::LightDarker) || Main->LightLevelBox()->isEnabled());
    EXPECT_EQ(hint(C::SelectColormap),
              "A 16-bit frame has no palette indices to look up in a colormap");
    Open(Put("flat.bm", BMBytes({{4, 4, 1}})));
    EXPECT_TRUE(Main->IsCommandEnabled(C::SelectColormap));
    EXPECT_EQ(hint(C::LightDarker), "Choose a colormap with View > Colormap... first");
    Desk.Dialogs.Accept({Put("night.cmp", CMPBytes(0))});
    Run(C::SelectColormap);
    EXPECT_TRUE(Main->IsCommandEnabled(C::LightDarker) && Main->LightLevelBox()->isEnabled());
    EXPECT_EQ(hint(C::LightDarker) + "|" + hint(C::Translucent),
              "Darker|The colormap has no transparency tables");
    EXPECT_EQ(Settings.BMColormapPath, Dir.File("night.cmp"));
    // A file that is no colormap leaves the choice as it was.
    Desk.Dialogs.Accept({Put("not.cmp", {1, 2, 3})});
    Run(C::SelectColormap);
    EXPECT_EQ(Settings.BMColormapPath, Dir.File("night.cmp"));
    EXPECT_EQ(Messages().size(), 1u);
    // View > Colormap... offers the colormaps inside the open containers first.
    Open(Put("res.gob", GOBBytes({{"a.mat", {}}, {"misc\\cmp\\dflt.cmp", CMPBytes(0)}})));
    EXPECT_EQ(Context.OpenContainerMembers(".cmp"),
              std::vector<std::string>{Dir.File("res.gob") + "::misc/cmp/dflt.cmp"});
}

// The display palette is the colormap itself; frame 1 is index 2, frame 2 index 3.
TEST_F(LightViewTest, KeysBoxStatusAndPicture)
{
    Settings.MATPalettePath = Put("night.cmp", CMPBytes(1));
    auto *mat = Open<TMATForm>(Put("t.mat", TextureMAT({{8, 8, 1, 2}, {8, 8, 1, 3}})));
    const auto key = [this, mat](Qt::Key k) {
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier);
        QApplication::sendEvent(mat, &release);
        return Panel(7) + "|";
    };
    const auto pixel = [mat] { return mat->Image()->Picture().pixel(0, 0); };
    const TPalette ramp = Ramp();
    std::string seen = key(Qt::Key_BracketLeft);
    EXPECT_EQ(seen + key(Qt::Key_BracketRight),
              "Light: 63 (night.cmp)|Display Palette: night.cmp|");
    EXPECT_EQ(pixel(), Rgb(ramp[2]));
    Main->LightLevelBox()->setValue(8);
    EXPECT_EQ(Panel(7), "Light: 8 (night.cmp)");
    EXPECT_EQ(pixel(), Rgb(ramp[10]));
    Run(C::NextFrame);
    EXPECT_EQ(Panel(7), "Light: 8 (night.cmp)");
    EXPECT_EQ(pixel(), Rgb(ramp[3]));
    Run(C::MarkFullBright);
    EXPECT_EQ(pixel(), qRgb((ramp[3].Red + 255) / 2, ramp[3].Green / 2, (ramp[3].Blue + 255) / 2));
    Run(C::MarkFullBright);
    // Translucent over index 5: table 3 sends 5 to 8.
    mat->Backdrop.First = 5;
    Run(C::Translucent);
    EXPECT_TRUE(Main->CommandAction(C::Translucent)->isChecked());
    EXPECT_EQ(pixel(), Rgb(ramp[8]));
    EXPECT_FALSE(mat->Modified);
}

TEST_F(LightViewTest, CMPWindowMarksFullBrightCells)
{
    Settings.CMPCellSize = 12;
    auto *cmp = Open<TCMPForm>(Put("c.cmp", CMPBytes(0)));
    const auto centre = [cmp](int i) {
        return cmp->CMPImage->grab().toImage().pixel(i % 16 * 12 + 6, i / 16 * 12 + 6);
    };
    EXPECT_EQ(centre(3), Rgb(Ramp()[3]));
    Run(C::MarkFullBright);
    EXPECT_TRUE(Main->CommandAction(C::MarkFullBright)->isChecked());
    const std::vector<QRgb> marked{centre(3), centre(10), centre(2), centre(255)};
    EXPECT_EQ(marked, (std::vector<QRgb>{qRgb(255, 255, 255), qRgb(255, 255, 255), Rgb(Ramp()[2]),
                                         qRgb(255, 255, 255)}));
}
