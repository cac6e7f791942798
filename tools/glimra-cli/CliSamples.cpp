// make-samples (hidden): writes the bundled sample set. The committed samples/ folder is
// this command's output; a test checks that the two stay the same.

#include "CliArgs.h"
#include "CliCommon.h"

#include "core/GLM_Import.h"
#include "formats/LEC_CMP.h"

#include <QColor>

#include <filesystem>
#include <set>

namespace {

const char *Help =
    "Usage: glimra-cli make-samples DIR\n"
    "\n"
    "Writes the sample files into DIR: sample8.bm (8-bit, own palette, 3 frames),\n"
    "sample16.bm, texture8.mat (8-bit texture, 2 frames with mipmaps), texture16t.mat\n"
    "(16-bit transparent texture), color.mat (colour MAT), colormap.cmp (with transparency\n"
    "tables) and font8.sft (8-bit font with a character table).\n";

// Index 0 black, 1..15 a grey ramp up to white, then 16 hues at 15 brightness levels: 256
// different colours, so a picture drawn through it maps back to the same indices.
TPalette SamplePalette()
{
    TPalette palette{};
    for (int i = 1; i < 16; ++i) {
        const auto v = static_cast<uint8_t>(17 * i);
        palette[i] = {v, v, v};
    }
    for (int hue = 0; hue < 16; ++hue) {
        for (int level = 1; level <= 15; ++level) {
            const QColor c = QColor::fromHsv(hue * 360 / 16, 255, 17 * level);
            palette[16 + hue * 15 + level - 1] = {static_cast<uint8_t>(c.red()),
                                                  static_cast<uint8_t>(c.green()),
                                                  static_cast<uint8_t>(c.blue())};
        }
    }
    std::set<TColor> seen;
    for (const TPaletteEntry &e : palette)
        seen.insert(MakeColor(e.Red, e.Green, e.Blue));
    if (seen.size() != 256)
        throw std::logic_error("sample palette colours are not all different");
    return palette;
}

QImage PictureOf(int width, int height, const TPalette &palette, int (*index)(int, int, int),
                 int frame)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TPaletteEntry &e = palette[index(x, y, frame) & 0xFF];
            picture.setPixel(x, y, qRgb(e.Red, e.Green, e.Blue));
        }
    return picture;
}

// Diagonal bands through the hues, brighter towards the bottom.
int Bands(int x, int y, int frame)
{
    const int hue = ((x + y) / 4 + frame * 5) % 16;
    const int level = 1 + (y * 14) / 31;
    return 16 + hue * 15 + std::min(level, 15) - 1;
}

// A grey checkerboard with a coloured frame line.
int Checker(int x, int y, int)
{
    if (x == 0 || y == 0 || x == 23 || y == 15)
        return 16 + 7 * 15 + 14;
    return ((x / 4 + y / 4) % 2) ? 15 : 5;
}

// Concentric rings.
int Rings(int x, int y, int frame)
{
    const int dx = x - 8, dy = y - 8;
    return 16 + ((dx * dx + dy * dy) / 8 + frame) % 16 * 15 + 12;
}

void WriteBM8(const std::string &dir, const TPalette &palette)
{
    TBM bm;
    bm.Palette = palette;
    bm.Header.PaletteIncluded = TBMHeader::PaletteFollows;
    bm.Header.XOffset = 4;
    bm.Header.YOffset = -2;
    ImportBMFrame(bm, PictureFromImage(PictureOf(32, 32, palette, Bands, 0)), palette);
    ImportBMFrame(bm, PictureFromImage(PictureOf(24, 16, palette, Checker, 1)), palette);
    ImportBMFrame(bm, PictureFromImage(PictureOf(16, 16, palette, Rings, 2)), palette);
    bm.SaveToFile(dir + "/sample8.bm");
}

QImage Gradient(int side)
{
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            picture.setPixel(x, y, qRgb(x * 255 / (side - 1), y * 255 / (side - 1),
                                        255 - x * 255 / (side - 1)));
    return picture;
}

void WriteBM16(const std::string &dir)
{
    TBM bm;
    bm.SetDefaults16();
    bm.Header.TransColor = ColorTo565(MakeColor(255, 0, 255));
    ImportBMFrame(bm, PictureFromImage(Gradient(32)), TPalette{});
    bm.SaveToFile(dir + "/sample16.bm");
}

void WriteTextureMAT8(const std::string &dir)
{
    const TPalette &palette = DfltPalette();
    TMAT mat;
    TNewFrameSettings settings;
    settings.AutoMipmaps = true;
    settings.NumberMipmaps = 4;
    settings.NewFillColor = 31;
    // Draw with the first 32 entries and the ramps 64..191, whose colours are unique.
    auto pattern = [&](int frame) {
        QImage picture(32, 32, QImage::Format_RGB32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int index = frame == 0 ? 64 + ((x / 4) * 16 + y / 2) % 128
                                             : 1 + ((x / 8) + (y / 8) * 4) % 31;
                const TPaletteEntry &e = palette[index];
                picture.setPixel(x, y, qRgb(e.Red, e.Green, e.Blue));
            }
        return picture;
    };
    ImportMATFrame(mat, PictureFromImage(pattern(0)), palette, settings);
    ImportMATFrame(mat, PictureFromImage(pattern(1)), palette, settings);
    mat.SaveToFile(dir + "/texture8.mat");
}

void WriteTransparentMAT16(const std::string &dir)
{
    TMAT mat;
    mat.SetDefaults16();
    TNewFrameSettings settings;
    settings.NewTrans = true;
    settings.AutoMipmaps = true;
    settings.NumberMipmaps = 3;
    settings.NewFillColor = ColorTo565(MakeColor(128, 128, 128));
    QImage picture = Gradient(32);
    // A black disc in the middle: transparent in the game.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if ((x - 16) * (x - 16) + (y - 16) * (y - 16) < 64)
                picture.setPixel(x, y, qRgb(0, 0, 0));
    ImportMATFrame(mat, PictureFromImage(picture), TPalette{}, settings);
    mat.SaveToFile(dir + "/texture16t.mat");
}

void WriteColorMAT(const std::string &dir)
{
    TMAT mat;
    mat.SetColorType();
    for (const int index : {1, 6, 31, 16})
        AddMATColorFrame(mat, index);
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

// 5 x 7 glyphs of the hexadecimal digits, top row first.
const char *const HexGlyphs[16][7] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}, // 0
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}, // 1
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}, // 2
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}, // 3
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}, // 4
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}, // 5
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}, // 6
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}, // 7
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}, // 8
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}, // 9
    {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}, // A
    {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}, // B
    {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}, // C
    {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}, // D
    {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}, // E
    {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}, // F
};

void WriteFont(const std::string &dir)
{
    constexpr int Cell = 6, GlyphWidth = 5, Height = 8;
    const uint8_t ink = 16, paper = 0; // white and black in the editor's built-in palettes
    TSFT sft;
    sft.Header.CharGap = 1;
    sft.Header.SpaceLength = 4;
    sft.BMHeader.NumImages = 1;
    sft.Width = 16 * Cell;
    sft.Height = Height;
    sft.Pixels.assign(static_cast<size_t>(sft.Width) * Height, paper);
    for (int g = 0; g < 16; ++g) {
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < GlyphWidth; ++x)
                if (HexGlyphs[g][y][x] == '#')
                    sft.Pixels[static_cast<size_t>(y) * sft.Width + g * Cell + x] = ink;
        const auto code = static_cast<uint16_t>(g < 10 ? '0' + g : 'A' + g - 10);
        sft.Chars.Add({code, g * Cell, GlyphWidth});
    }
    sft.SaveToFile(dir + "/font8.sft");
}

} // namespace

int RunMakeSamples(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {});
    if (cli.Help)
        return PrintHelp(Help);
    if (cli.Positionals.size() != 1)
        throw EUsageError("make-samples needs DIR");
    const std::string dir = cli.Positionals[0];
    OnFile(dir, [&] {
        std::filesystem::create_directories(dir);
        const TPalette palette = SamplePalette();
        WriteBM8(dir, palette);
        WriteBM16(dir);
        WriteTextureMAT8(dir);
        WriteTransparentMAT16(dir);
        WriteColorMAT(dir);
        WriteCMP(dir, palette);
        WriteFont(dir);
    });
    return 0;
}
