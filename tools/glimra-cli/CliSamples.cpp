// make-samples (hidden): writes the bundled sample set. The committed samples/ folder is
// this command's output; a test checks that the two stay the same.

#include "CliArgs.h"
#include "CliCommon.h"
#include "CliSampleArt.h"

#include "core/GLM_Import.h"
#include "formats/LEC_CMP.h"

#include <QGuiApplication>

#include <algorithm>
#include <filesystem>

namespace {

const char *Help =
    "Usage: glimra-cli make-samples DIR [--builtin-font]\n"
    "\n"
    "Writes the sample files into DIR, painted in code (no game file is used):\n"
    "colormap.cmp (a game palette of 16 shade ramps with light and transparency tables),\n"
    "texture8.mat (a stone wall and a metal plate, 128 x 128 with four mipmap levels),\n"
    "console.mat (a blinking console, 8 frames), color.mat (colour frames), sample8.bm (a\n"
    "planet, 3 frames, with its own palette), sample16.bm (the planet at 16 bits),\n"
    "texture16t.mat (a 16-bit grate with transparent holes) and font8.sft (the printable\n"
    "ASCII characters drawn from DejaVu Sans Bold, or from a built-in 5 x 7 font when that is\n"
    "missing or --builtin-font is given). The MATs are drawn for colormap.cmp's palette.\n";

// Indices turned into the picture an import reads back into the same indices (every
// palette colour is there once).
TBitmapPicture PictureOf(int width, int height, const std::vector<uint8_t> &indices,
                         const TPalette &palette)
{
    TBitmapPicture picture;
    picture.Width = width;
    picture.Height = height;
    for (const uint8_t i : indices)
        picture.RGB.insert(picture.RGB.end(), {palette[i].Red, palette[i].Green, palette[i].Blue});
    return picture;
}

void WriteBM8(const std::string &dir)
{
    const TPalette palette = PlanetPalette();
    TBM bm;
    bm.Palette = palette;
    bm.Header.PaletteIncluded = TBMHeader::PaletteFollows;
    bm.Header.XOffset = 4;
    bm.Header.YOffset = -2;
    for (int frame = 0; frame < 3; ++frame)
        ImportBMFrame(bm, PictureOf(PlanetWidth, PlanetHeight, PlanetFrame(frame), palette),
                      palette);
    bm.SaveToFile(dir + "/sample8.bm");
}

void WriteBM16(const std::string &dir)
{
    TBM bm;
    bm.SetDefaults16();
    bm.Header.TransColor = ColorTo565(MakeColor(255, 0, 255));
    ImportBMFrame(bm, PictureOf(PlanetWidth, PlanetHeight, PlanetFrame(0), PlanetPalette()),
                  TPalette{});
    bm.SaveToFile(dir + "/sample16.bm");
}

// The fill colour of the sample textures: mid stone.
constexpr int TextureFill = Stone * SampleRampLength + 8;

void WriteTextureMAT8(const std::string &dir, const TPalette &palette)
{
    constexpr int Side = 128;
    TMAT mat;
    TNewFrameSettings settings;
    settings.AutoMipmaps = true;
    settings.NumberMipmaps = 4;
    settings.NewFillColor = TextureFill;
    ImportMATFrame(mat, PictureOf(Side, Side, StoneWall(Side), palette), palette, settings);
    ImportMATFrame(mat, PictureOf(Side, Side, MetalPlate(Side), palette), palette, settings);
    mat.SaveToFile(dir + "/texture8.mat");
}

void WriteConsoleMAT(const std::string &dir, const TPalette &palette)
{
    TMAT mat;
    TNewFrameSettings settings;
    settings.NewFillColor = Steel * SampleRampLength + 6;
    for (int frame = 0; frame < ConsoleFrames; ++frame)
        ImportMATFrame(mat, PictureOf(ConsoleSide, ConsoleSide, ConsoleFrame(frame), palette),
                       palette, settings);
    mat.SaveToFile(dir + "/console.mat");
}

// A 64 x 64 grate of the metal plate with rows of slots: black, which a transparent 16-bit
// texture leaves out.
void WriteTransparentMAT16(const std::string &dir, const TPalette &palette)
{
    constexpr int Side = 64;
    TMAT mat;
    mat.SetDefaults16();
    TNewFrameSettings settings;
    settings.NewTrans = true;
    settings.AutoMipmaps = true;
    settings.NumberMipmaps = 3;
    settings.NewFillColor = ColorTo565(MakeColor(128, 128, 128));
    TBitmapPicture picture = PictureOf(Side, Side, MetalPlate(Side), palette);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            if (x % 16 >= 4 && x % 16 < 12 && y % 8 >= 2 && y % 8 < 6 && y < Side - 14)
                std::fill_n(&picture.RGB[(size_t(y) * Side + x) * 3], 3, 0);
    ImportMATFrame(mat, picture, TPalette{}, settings);
    mat.SaveToFile(dir + "/texture16t.mat");
}

void WriteColorMAT(const std::string &dir)
{
    TMAT mat;
    mat.SetColorType();
    for (const int ramp : {Steel, Rust, Blue, Green})
        AddMATColorFrame(mat, ramp * SampleRampLength + 9);
    mat.SaveToFile(dir + "/color.mat");
}

void WriteCMP(const std::string &dir, const TPalette &palette)
{
    TCMP cmp;
    cmp.Palette = palette;
    cmp.Header.HasTransparency = 1;
    cmp.CalcLightLevels();
    cmp.CalcTransTables();
    cmp.SaveToFile(dir + "/colormap.cmp");
}

void WriteFont(const std::string &dir, bool builtin)
{
    TSFT sft = SampleFont(builtin);
    sft.SaveToFile(dir + "/font8.sft");
}

} // namespace

int RunMakeSamples(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--builtin-font", "", false}});
    if (cli.Help)
        return PrintHelp(Help);
    if (cli.Positionals.size() != 1)
        throw EUsageError("make-samples needs DIR");
    const std::string dir = cli.Positionals[0];
    // Qt draws text only inside an application; an off-screen one needs no display.
    int argc = 3;
    char name[] = "glimra-cli", option[] = "-platform", platform[] = "offscreen";
    char *argv[] = {name, option, platform, nullptr};
    const QGuiApplication application(argc, argv);
    OnFile(dir, [&] {
        std::filesystem::create_directories(dir);
        const TPalette palette = GameRampPalette();
        WriteBM8(dir);
        WriteBM16(dir);
        WriteTextureMAT8(dir, palette);
        WriteConsoleMAT(dir, palette);
        WriteTransparentMAT16(dir, palette);
        WriteColorMAT(dir);
        WriteCMP(dir, palette);
        WriteFont(dir, cli.Has("--builtin-font"));
    });
    return 0;
}
