#include "CliSampleArt.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <string>

// Everything here is plain arithmetic on integers and doubles (square roots at most), so the
// same build paints the same indices on every run.

namespace {

// ---- Noise -------------------------------------------------------------------------------

uint32_t Hash(int32_t x, int32_t y, int32_t z, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u + 0x632BE5ABu;
    for (const uint32_t v : {uint32_t(x), uint32_t(y), uint32_t(z)}) {
        h ^= v + 0x7F4A7C15u + (h << 6) + (h >> 2);
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
    }
    h *= 0xC2B2AE35u;
    return h ^ (h >> 16);
}

// A number in [0, 1) that depends only on its arguments.
double Random(int x, int y, int z, uint32_t seed)
{
    return Hash(x, y, z, seed) / 4294967296.0;
}

double Smooth(double t)
{
    return t * t * (3 - 2 * t);
}

double Lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

int Wrap(int v, int period)
{
    v %= period;
    return v < 0 ? v + period : v;
}

// Value noise on a lattice of `cell` pixels that repeats every `period` cells.
double Noise2(double x, double y, double cell, int period, uint32_t seed)
{
    const double fx = x / cell, fy = y / cell;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const double tx = Smooth(fx - ix), ty = Smooth(fy - iy);
    const auto at = [&](int dx, int dy) {
        return Random(Wrap(ix + dx, period), Wrap(iy + dy, period), 0, seed);
    };
    return Lerp(Lerp(at(0, 0), at(1, 0), tx), Lerp(at(0, 1), at(1, 1), tx), ty);
}

// Octaves of Noise2 from `cell` down, each half the size and weight, tiling over `side`.
double Fractal(double x, double y, int side, double cell, int octaves, uint32_t seed)
{
    double sum = 0, total = 0, weight = 1;
    for (int o = 0; o < octaves && cell >= 1; ++o, cell /= 2, weight /= 2) {
        sum += weight * Noise2(x, y, cell, std::max(1, int(side / cell)), seed + o);
        total += weight;
    }
    return sum / total;
}

double Noise3(double x, double y, double z, uint32_t seed)
{
    const int ix = int(std::floor(x)), iy = int(std::floor(y)), iz = int(std::floor(z));
    const double tx = Smooth(x - ix), ty = Smooth(y - iy), tz = Smooth(z - iz);
    const auto at = [&](int dx, int dy, int dz) { return Random(ix + dx, iy + dy, iz + dz, seed); };
    const auto plane = [&](int dz) {
        return Lerp(Lerp(at(0, 0, dz), at(1, 0, dz), tx), Lerp(at(0, 1, dz), at(1, 1, dz), tx), ty);
    };
    return Lerp(plane(0), plane(1), tz);
}

double Fractal3(double x, double y, double z, int octaves, uint32_t seed)
{
    double sum = 0, total = 0, weight = 1;
    for (int o = 0; o < octaves; ++o, x *= 2, y *= 2, z *= 2, weight /= 2) {
        sum += weight * Noise3(x, y, z, seed + o);
        total += weight;
    }
    return sum / total;
}

// ---- Palettes ----------------------------------------------------------------------------

struct TRampColours
{
    TPaletteEntry Dark, Mid, Light;
};

// Shade t (0 to 1) of a ramp: dark to mid over the first 60 %, mid to light after.
TPaletteEntry Shade(const TRampColours &r, double t)
{
    const auto mix = [](uint8_t a, uint8_t b, double f) {
        return static_cast<uint8_t>(std::lround(a + (b - a) * f));
    };
    const bool low = t < 0.6;
    const TPaletteEntry &a = low ? r.Dark : r.Mid, &b = low ? r.Mid : r.Light;
    const double f = low ? t / 0.6 : (t - 0.6) / 0.4;
    return {mix(a.Red, b.Red, f), mix(a.Green, b.Green, f), mix(a.Blue, b.Blue, f)};
}

void FillRamps(TPalette &palette, int first, int length, const TRampColours *ramps, int count)
{
    for (int r = 0; r < count; ++r)
        for (int k = 0; k < length; ++k)
            palette[first + r * length + k] = Shade(ramps[r], double(k) / (length - 1));
}

// The lamps: black, then bright colours that stay lit in the dark.
const TPaletteEntry LampColours[16] = {
    {0, 0, 0},       {255, 40, 24},   {255, 128, 16},  {255, 200, 40},
    {255, 255, 150}, {64, 255, 72},   {170, 255, 160}, {24, 220, 255},
    {150, 235, 255}, {48, 96, 255},   {200, 96, 255},  {255, 72, 190},
    {255, 255, 255}, {255, 236, 200}, {205, 230, 255}, {255, 90, 40},
};

// Ramp 1 is the screen glow; 2 to 15 the materials.
const TRampColours GameRamps[15] = {
    {{0, 34, 52}, {30, 170, 220}, {220, 255, 255}},   // 1 screen glow
    {{12, 12, 12}, {126, 126, 126}, {240, 240, 240}}, // 2 grey
    {{10, 12, 18}, {94, 106, 122}, {214, 224, 238}},  // 3 steel
    {{16, 14, 11}, {120, 110, 95}, {228, 218, 198}},  // 4 stone
    {{20, 10, 4}, {110, 68, 36}, {222, 178, 130}},    // 5 brown
    {{28, 22, 10}, {176, 148, 96}, {250, 238, 204}},  // 6 sand
    {{24, 8, 2}, {150, 70, 30}, {242, 172, 112}},     // 7 rust
    {{30, 3, 3}, {170, 32, 26}, {255, 164, 144}},     // 8 red
    {{14, 16, 6}, {104, 110, 52}, {216, 222, 162}},   // 9 olive
    {{4, 20, 6}, {50, 130, 52}, {192, 246, 172}},     // 10 green
    {{2, 18, 20}, {30, 120, 118}, {172, 242, 232}},   // 11 teal
    {{4, 8, 30}, {40, 72, 170}, {172, 202, 255}},     // 12 blue
    {{16, 4, 24}, {100, 52, 140}, {222, 182, 250}},   // 13 purple
    {{30, 14, 12}, {190, 122, 102}, {255, 222, 202}}, // 14 skin
    {{30, 20, 2}, {200, 160, 32}, {255, 250, 182}},   // 15 gold
};

// Lamp colours of ramp 0 by name.
constexpr uint8_t LampRed = 1, LampAmber = 3, LampGreen = 5, LampCyan = 7, LampBlue = 9,
                  LampWhite = 12;

// ---- Pictures ----------------------------------------------------------------------------

class TCanvas
{
public:
    TCanvas(int width, int height) : Width(width), Height(height), Pixels(size_t(width) * height) {}
    uint8_t &At(int x, int y) { return Pixels[size_t(y) * Width + x]; }
    const int Width, Height;
    std::vector<uint8_t> Pixels;
};

// A raised rectangle: light top and left edges, dark bottom and right ones.
void Bevel(TCanvas &c, int x0, int y0, int x1, int y1, int ramp, double shade, double depth)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            double s = shade;
            if (y == y0 || x == x0)
                s += depth;
            else if (y == y1 || x == x1)
                s -= depth;
            c.At(x, y) = RampIndex(ramp, s);
        }
}

// A screw head or rivet of radius r, lit from the top left.
double RivetShade(double dx, double dy, double r)
{
    return 0.55 - 0.3 * (dx + dy) / r - (dx * dx + dy * dy > 0.6 * r * r ? 0.12 : 0);
}

} // namespace

uint8_t RampIndex(int ramp, double shade)
{
    const int k = int(std::lround(std::clamp(shade, 0.0, 1.0) * (SampleRampLength - 1)));
    return static_cast<uint8_t>(ramp * SampleRampLength + k);
}

void RequireDistinctColours(const TPalette &palette, const char *name)
{
    std::set<TColor> seen;
    for (const TPaletteEntry &e : palette)
        seen.insert(MakeColor(e.Red, e.Green, e.Blue));
    if (seen.size() != palette.size())
        throw std::logic_error(std::string(name) + " palette colours are not all different");
}

TPalette GameRampPalette()
{
    TPalette palette{};
    std::copy(std::begin(LampColours), std::end(LampColours), palette.begin());
    FillRamps(palette, SampleRampLength, SampleRampLength, GameRamps, 15);
    RequireDistinctColours(palette, "sample");
    return palette;
}

std::vector<uint8_t> StoneWall(int side)
{
    // Four courses of three blocks, every other course shifted, with mortar between them.
    constexpr int Courses = 4, Mortar = 2;
    const int courseHeight = side / Courses;
    TCanvas c(side, side);
    for (int y = 0; y < side; ++y) {
        const int course = y / courseHeight, v = y % courseHeight;
        int joints[3];
        joints[0] = (course % 2) * side / 6 + int(Random(course, 0, 0, 11) * 10);
        joints[1] = joints[0] + side / 3 + int(Random(course, 1, 0, 11) * 16) - 8;
        joints[2] = joints[0] + 2 * side / 3 + int(Random(course, 2, 0, 11) * 16) - 8;
        const int widths[3] = {joints[1] - joints[0], joints[2] - joints[1],
                               side - (joints[2] - joints[0])};
        for (int x = 0; x < side; ++x) {
            int u = Wrap(x - joints[0], side), block = 0;
            while (block < 2 && u >= widths[block])
                u -= widths[block++];
            const double grain = Fractal(x, y, side, 32, 5, 1);
            if (u < Mortar || v < Mortar) {
                c.At(x, y) = RampIndex(Grey, 0.08 + 0.18 * grain);
                continue;
            }
            const int id = course * 3 + block;
            const int bu = u - Mortar, bv = v - Mortar;
            const int bw = widths[block] - Mortar, bh = courseHeight - Mortar;
            const int edge = std::min({bu, bv, bw - 1 - bu, bh - 1 - bv});
            // Chipped edges show the mortar's dark behind them.
            if (edge < 2 && Fractal(x, y, side, 8, 2, 21) > 0.66) {
                c.At(x, y) = RampIndex(Grey, 0.14);
                continue;
            }
            const bool grey = Random(id, 1, 0, 5) < 0.2;
            double s = 0.34 + 0.2 * Random(id, 0, 0, 5) + (grain - 0.5) * 0.55 +
                       (Random(x, y, 0, 9) - 0.5) * 0.07 - (grey ? 0.06 : 0);
            if (bv < 2 || bu < 2)
                s += 0.15;
            else if (bv >= bh - 2 || bu >= bw - 2)
                s -= 0.13;
            if (Random(x, y, 3, 13) < 0.04) // pits
                s -= 0.16;
            // A crack down some blocks, wandering a little.
            const double crack =
                6 + Random(id, 3, 0, 5) * (bw - 12) + (Noise2(0, bv, 4, 64, 17 + id) - 0.5) * 6;
            if (Random(id, 2, 0, 5) < 0.4 && bv > bh / 4 && std::abs(bu - crack) < 0.6)
                s = 0.1;
            int ramp = grey ? Grey : Stone;
            // Moss in the damp lower parts of some blocks.
            if (bv > bh * 11 / 20 && Fractal(x, y, side, 32, 3, 31) > 0.63) {
                ramp = Olive;
                s *= 0.8;
            }
            c.At(x, y) = RampIndex(ramp, s);
        }
    }
    return c.Pixels;
}

std::vector<uint8_t> MetalPlate(int side)
{
    const int panel = side / 2;
    const double rivetR = 2.6;
    const int inset = 7;
    TCanvas c(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int px = x % panel, py = y % panel;
            // Brushed along the rows: noise stretched 16 times across them.
            const double brush = Noise2(x, y * 16.0, 16, side / 16, 41);
            const double grain = Fractal(x, y, side, 32, 4, 43);
            double s = 0.5 + (grain - 0.5) * 0.3 + (brush - 0.5) * 0.16;
            int ramp = Steel;
            if (px == 0 || py == 0)
                s = 0.08;
            else if (px == 1 || py == 1)
                s = 0.8;
            else if (px == panel - 1 || py == panel - 1)
                s = 0.28;
            for (const int cy : {inset, panel - 1 - inset})
                for (const int cx : {inset, panel - 1 - inset}) {
                    const double dx = px - cx, dy = py - cy, d2 = dx * dx + dy * dy;
                    if (d2 <= rivetR * rivetR)
                        s = RivetShade(dx, dy, rivetR);
                    else if (d2 <= (rivetR + 1) * (rivetR + 1) && dx + dy > 0)
                        s -= 0.2;
                    // Rust runs down from some rivets, thinning out.
                    const double run = 6 + 14 * Random(x / panel, y / panel, cx + cy, 47);
                    const double width = 1.4 * (1 - dy / run) + Noise2(x, y, 3, side / 2, 49) - 0.5;
                    if (run > 11 && dy > rivetR && dy < run && std::abs(dx) < width)
                        ramp = Rust, s = 0.18 + 0.3 * grain;
                }
            // A worn hazard band across the lower panels.
            if (y >= side - 34 && y < side - 24 && Fractal(x, y, side, 8, 3, 51) < 0.64) {
                const bool yellow = ((x + y) / 6) % 2 == 0;
                ramp = yellow ? Gold : Grey;
                s = yellow ? 0.62 + (grain - 0.5) * 0.3 : 0.12;
            }
            c.At(x, y) = RampIndex(ramp, s);
        }
    return c.Pixels;
}

std::vector<uint8_t> ConsoleFrame(int frame)
{
    TCanvas c(ConsoleSide, ConsoleSide);
    const int last = ConsoleSide - 1;
    for (int y = 0; y < ConsoleSide; ++y)
        for (int x = 0; x < ConsoleSide; ++x) {
            double s = 0.4 + (Fractal(x, y, ConsoleSide, 16, 3, 61) - 0.5) * 0.12;
            if (x == 0 || y == 0)
                s = 0.72;
            else if (x == last || y == last)
                s = 0.12;
            c.At(x, y) = RampIndex(Steel, s);
        }
    for (const int cy : {3, last - 3})
        for (const int cx : {3, last - 3})
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    if (dx * dx + dy * dy <= 3)
                        c.At(cx + dx, cy + dy) = dx == dy ? RampIndex(Grey, 0.1)
                                                          : RampIndex(Grey, RivetShade(dx, dy, 2));

    // The screen: a sunk bezel, glowing lines that scroll one line a frame, a blinking cursor.
    Bevel(c, 4, 5, 43, 31, Grey, 0.18, -0.1);
    for (int y = 7; y <= 29; ++y)
        for (int x = 6; x <= 41; ++x)
            c.At(x, y) = RampIndex(GlowRamp, y % 2 ? 0.07 : 0.0);
    for (int row = 0; row < 7; ++row) {
        const int line = row + frame, y = 9 + 3 * row;
        const int length = 8 + int(Random(line, 0, 0, 63) * 26);
        for (int x = 8; x < 8 + length && x <= 39; ++x) {
            const bool gap = Random(line, x / 4, 1, 63) < 0.22 || Random(line, x, 2, 63) < 0.25;
            for (int dy = 0; dy < 2 && !gap; ++dy)
                c.At(x, y + dy) = RampIndex(GlowRamp, 0.7 + 0.3 * Random(x, y + dy, line, 65));
        }
        if (row == 6 && frame % 2 == 0)
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    c.At(std::min(8 + length + 1, 38) + dx, y + dy) = LampWhite;
    }

    // Two gauges whose bars rise and fall.
    Bevel(c, 46, 5, 58, 31, Grey, 0.08, -0.06);
    for (int bar = 0; bar < 2; ++bar) {
        const int height = 4 + (frame * (3 + 4 * bar) + 2 + 3 * bar) % 19;
        for (int y = 29; y > 29 - height; --y)
            for (int x = 48 + 6 * bar; x <= 50 + 6 * bar; ++x)
                c.At(x, y) = RampIndex(Green, y == 30 - height ? 0.85 : 0.55);
    }
    for (int y = 9; y <= 29; y += 4)
        c.At(52, y) = c.At(53, y) = RampIndex(Grey, 0.5);

    // Six lamps: lit ones glow (ramp 0), dark ones are dim glass.
    const uint8_t lit[6] = {LampRed, LampAmber, LampGreen, LampCyan, LampBlue, LampRed};
    const int dark[6] = {Red, Gold, Green, Teal, Blue, Red};
    const uint8_t pattern[ConsoleFrames] = {0b101001, 0b010011, 0b100101, 0b011010,
                                            0b101100, 0b010101, 0b110010, 0b001011};
    for (int i = 0; i < 6; ++i) {
        const int x0 = 6 + 9 * i, y0 = 35;
        const bool on = (pattern[frame % ConsoleFrames] >> i) & 1;
        Bevel(c, x0, y0, x0 + 5, y0 + 5, Grey, 0.15, -0.08);
        for (int y = y0 + 1; y <= y0 + 4; ++y)
            for (int x = x0 + 1; x <= x0 + 4; ++x)
                c.At(x, y) = on ? lit[i] : RampIndex(dark[i], 0.22);
        c.At(x0 + 2, y0 + 2) = on ? LampWhite : RampIndex(dark[i], 0.4);
    }

    // Two rows of keys; one is held down in each frame.
    for (int k = 0; k < 12; ++k) {
        const int x0 = 5 + 9 * (k % 6), y0 = 45 + 8 * (k / 6);
        const int ramp = k == 5 ? Red : k == 11 ? Gold : Grey;
        const bool down = k == (frame * 5) % 12;
        Bevel(c, x0, y0, x0 + 7, y0 + 5, ramp, down ? 0.32 : 0.5, down ? -0.12 : 0.2);
    }
    return c.Pixels;
}

TPalette PlanetPalette()
{
    const TRampColours ramps[4] = {
        {{0, 0, 0}, {70, 30, 104}, {240, 172, 232}},      // space and nebula
        {{2, 6, 22}, {24, 72, 152}, {150, 216, 255}},     // ocean
        {{12, 8, 3}, {152, 106, 56}, {250, 236, 190}},    // land
        {{18, 18, 27}, {150, 166, 202}, {255, 255, 255}}, // cloud, ice, moon and stars
    };
    TPalette palette{};
    FillRamps(palette, 0, 64, ramps, 4);
    RequireDistinctColours(palette, "planet");
    return palette;
}

std::vector<uint8_t> PlanetFrame(int frame)
{
    enum { Space, Ocean, Land, Cloud };
    const auto index = [](int ramp, double shade) {
        return static_cast<uint8_t>(ramp * 64 + std::lround(std::clamp(shade, 0.0, 1.0) * 63));
    };
    // Light from the upper left, towards the viewer.
    const double lx = -0.8, ly = -0.35, lz = 0.45, ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    // A turn about the vertical axis, with rational sine and cosine.
    const double t = 0.14 * frame, cosine = (1 - t * t) / (1 + t * t), sine = 2 * t / (1 + t * t);
    TCanvas c(PlanetWidth, PlanetHeight);
    for (int y = 0; y < PlanetHeight; ++y)
        for (int x = 0; x < PlanetWidth; ++x) {
            const double nebula = Fractal(x, y, 256, 32, 5, 71);
            uint8_t out = index(Space, 0.02 + std::max(0.0, nebula - 0.42) * 0.9);
            if (Random(x, y, 0, 73) > 0.984) {
                const double twinkle = Random(x, y, frame, 75) > 0.75 ? 0.6 : 1;
                out = index(Cloud, (0.5 + 0.5 * Random(x, y, 1, 73)) * twinkle);
            }
            const auto sphere = [&](double cx, double cy, double r, double &nx, double &ny,
                                    double &nz) {
                nx = (x + 0.5 - cx) / r, ny = (y + 0.5 - cy) / r;
                const double d2 = nx * nx + ny * ny;
                nz = d2 < 1 ? std::sqrt(1 - d2) : 0;
                return d2;
            };
            double nx, ny, nz;
            if (sphere(26, 24, 8, nx, ny, nz) < 1) {
                const double light = std::max(0.0, (nx * lx + ny * ly + nz * lz) / ll);
                const double crater = Fractal3(nx * 3 + 9, ny * 3, nz * 3, 3, 77);
                out = index(Cloud, (0.06 + 0.8 * light) * (0.7 + 0.5 * crater));
            }
            const double d2 = sphere(82, 54, 36, nx, ny, nz);
            if (d2 < 1) {
                const double light = std::max(0.0, (nx * lx + ny * ly + nz * lz) / ll);
                const double rx = nx * cosine + nz * sine, rz = nz * cosine - nx * sine;
                const double land = Fractal3(rx * 2.2 + 5, ny * 2.2, rz * 2.2, 5, 81);
                const double cloud = Fractal3(rx * 3.4, ny * 5 + 3, rz * 3.4, 4, 83);
                int ramp = Ocean;
                double bright = 0.42 + 0.3 * land;
                if (cloud > 0.63 || std::abs(ny) > 0.88 + 0.08 * land)
                    ramp = Cloud, bright = 0.9;
                else if (land > 0.52)
                    ramp = Land, bright = 0.5 + 0.9 * (land - 0.52);
                out = index(ramp, bright * (0.05 + 0.95 * light));
            } else if (d2 < 1.13) {
                // The air: a thin bright rim on the lit side.
                const double d = std::sqrt(d2), rim = (std::sqrt(1.13) - d) / (std::sqrt(1.13) - 1);
                const double light = std::max(0.0, (nx * lx + ny * ly) / (d * ll));
                if (rim * light > 0.12)
                    out = index(Ocean, 0.5 + 0.5 * rim * light);
            }
            c.At(x, y) = out;
        }
    return c.Pixels;
}

namespace {

// ---- Font --------------------------------------------------------------------------------

// 5 x 7 glyphs of the printable ASCII characters from 33 to 126, rows top down.
const char *const BuiltinGlyphs[94] = {
    "..#..|..#..|..#..|..#..|..#..|.....|..#..", ".#.#.|.#.#.|.#.#.|.....|.....|.....|.....",
    ".#.#.|.#.#.|#####|.#.#.|#####|.#.#.|.#.#.", "..#..|.####|#.#..|.###.|..#.#|####.|..#..",
    "##...|##..#|...#.|..#..|.#...|#..##|...##", ".##..|#..#.|#.#..|.#...|#.#.#|#..#.|.##.#",
    "..#..|..#..|..#..|.....|.....|.....|.....", "...#.|..#..|.#...|.#...|.#...|..#..|...#.",
    ".#...|..#..|...#.|...#.|...#.|..#..|.#...", ".....|..#..|#.#.#|.###.|#.#.#|..#..|.....",
    ".....|..#..|..#..|#####|..#..|..#..|.....", ".....|.....|.....|.....|.##..|..#..|.#...",
    ".....|.....|.....|#####|.....|.....|.....", ".....|.....|.....|.....|.....|.##..|.##..",
    ".....|....#|...#.|..#..|.#...|#....|.....", ".###.|#...#|#..##|#.#.#|##..#|#...#|.###.",
    "..#..|.##..|..#..|..#..|..#..|..#..|.###.", ".###.|#...#|....#|...#.|..#..|.#...|#####",
    "#####|...#.|..#..|...#.|....#|#...#|.###.", "...#.|..##.|.#.#.|#..#.|#####|...#.|...#.",
    "#####|#....|####.|....#|....#|#...#|.###.", "..##.|.#...|#....|####.|#...#|#...#|.###.",
    "#####|....#|...#.|..#..|.#...|.#...|.#...", ".###.|#...#|#...#|.###.|#...#|#...#|.###.",
    ".###.|#...#|#...#|.####|....#|...#.|.##..", ".....|.##..|.##..|.....|.##..|.##..|.....",
    ".....|.##..|.##..|.....|.##..|..#..|.#...", "...#.|..#..|.#...|#....|.#...|..#..|...#.",
    ".....|.....|#####|.....|#####|.....|.....", ".#...|..#..|...#.|....#|...#.|..#..|.#...",
    ".###.|#...#|....#|...#.|..#..|.....|..#..", ".###.|#...#|....#|.##.#|#.#.#|#.#.#|.###.",
    ".###.|#...#|#...#|#####|#...#|#...#|#...#", "####.|#...#|#...#|####.|#...#|#...#|####.",
    ".###.|#...#|#....|#....|#....|#...#|.###.", "###..|#..#.|#...#|#...#|#...#|#..#.|###..",
    "#####|#....|#....|####.|#....|#....|#####", "#####|#....|#....|####.|#....|#....|#....",
    ".###.|#...#|#....|#.###|#...#|#...#|.####", "#...#|#...#|#...#|#####|#...#|#...#|#...#",
    ".###.|..#..|..#..|..#..|..#..|..#..|.###.", "..###|...#.|...#.|...#.|...#.|#..#.|.##..",
    "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#", "#....|#....|#....|#....|#....|#....|#####",
    "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#", "#...#|#...#|##..#|#.#.#|#..##|#...#|#...#",
    ".###.|#...#|#...#|#...#|#...#|#...#|.###.", "####.|#...#|#...#|####.|#....|#....|#....",
    ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#", "####.|#...#|#...#|####.|#.#..|#..#.|#...#",
    ".####|#....|#....|.###.|....#|....#|####.", "#####|..#..|..#..|..#..|..#..|..#..|..#..",
    "#...#|#...#|#...#|#...#|#...#|#...#|.###.", "#...#|#...#|#...#|#...#|#...#|.#.#.|..#..",
    "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#.", "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#",
    "#...#|#...#|.#.#.|..#..|..#..|..#..|..#..", "#####|....#|...#.|..#..|.#...|#....|#####",
    ".###.|.#...|.#...|.#...|.#...|.#...|.###.", ".....|#....|.#...|..#..|...#.|....#|.....",
    ".###.|...#.|...#.|...#.|...#.|...#.|.###.", "..#..|.#.#.|#...#|.....|.....|.....|.....",
    ".....|.....|.....|.....|.....|.....|#####", ".#...|..#..|...#.|.....|.....|.....|.....",
    ".....|.....|.###.|....#|.####|#...#|.####", "#....|#....|#.##.|##..#|#...#|#...#|####.",
    ".....|.....|.###.|#....|#....|#...#|.###.", "....#|....#|.##.#|#..##|#...#|#...#|.####",
    ".....|.....|.###.|#...#|#####|#....|.###.", "..##.|.#..#|.#...|###..|.#...|.#...|.#...",
    ".....|.####|#...#|#...#|.####|....#|.###.", "#....|#....|#.##.|##..#|#...#|#...#|#...#",
    "..#..|.....|.##..|..#..|..#..|..#..|.###.", "...#.|.....|..##.|...#.|...#.|#..#.|.##..",
    "#....|#....|#..#.|#.#..|##...|#.#..|#..#.", ".##..|..#..|..#..|..#..|..#..|..#..|.###.",
    ".....|.....|##.#.|#.#.#|#.#.#|#...#|#...#", ".....|.....|#.##.|##..#|#...#|#...#|#...#",
    ".....|.....|.###.|#...#|#...#|#...#|.###.", ".....|.....|####.|#...#|####.|#....|#....",
    ".....|.....|.##.#|#..##|.####|....#|....#", ".....|.....|#.##.|##..#|#....|#....|#....",
    ".....|.....|.###.|#....|.###.|....#|####.", ".#...|.#...|###..|.#...|.#...|.#..#|..##.",
    ".....|.....|#...#|#...#|#...#|#..##|.##.#", ".....|.....|#...#|#...#|#...#|.#.#.|..#..",
    ".....|.....|#...#|#...#|#.#.#|#.#.#|.#.#.", ".....|.....|#...#|.#.#.|..#..|.#.#.|#...#",
    ".....|.....|#...#|#...#|.####|....#|.###.", ".....|.....|#####|...#.|..#..|.#...|#####",
    "...#.|..#..|..#..|.#...|..#..|..#..|...#.", "..#..|..#..|..#..|..#..|..#..|..#..|..#..",
    ".#...|..#..|..#..|...#.|..#..|..#..|.#...", ".....|.....|.#...|#.#.#|...#.|.....|.....",
};

constexpr int FirstChar = 32, LastChar = 126;

// Ink: yellow at the top of the line to orange-red at the bottom, from the ramps the editor's
// built-in palettes share; a near-black shadow one pixel down and right; background 0.
constexpr uint8_t Fire[7] = {104, 21, 22, 23, 24, 25, 27}, ShadowIndex = 61;

// Each character's ink as a mask of cell width x height, with its advance.
struct TGlyphs
{
    int Height = 0;
    int CapTop = 0, Baseline = 0; // the rows the colours run over
    int SpaceWidth = 0;
    std::vector<std::vector<uint8_t>> Ink; // one per character, Widths[i] x Height
    std::vector<int> Widths;
};

TGlyphs BuiltinFont()
{
    TGlyphs g;
    g.Height = g.Baseline = 7;
    g.SpaceWidth = 3;
    for (int code = FirstChar; code <= LastChar; ++code) {
        if (code == ' ') {
            g.Widths.push_back(g.SpaceWidth);
            g.Ink.emplace_back(size_t(g.SpaceWidth) * g.Height, 0);
            continue;
        }
        const std::string rows = BuiltinGlyphs[code - FirstChar - 1];
        // Only the columns that carry ink, so narrow characters take less room.
        int left = 5, right = -1;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 5; ++x)
                if (rows[size_t(y) * 6 + x] == '#')
                    left = std::min(left, x), right = std::max(right, x);
        const int width = right - left + 2;
        std::vector<uint8_t> ink(size_t(width) * g.Height, 0);
        for (int y = 0; y < 7; ++y)
            for (int x = left; x <= right; ++x)
                ink[size_t(y) * width + x - left] = rows[size_t(y) * 6 + x] == '#';
        g.Widths.push_back(width);
        g.Ink.push_back(std::move(ink));
    }
    return g;
}

// DejaVu Sans Bold through Qt's font engine, without smoothing so that every pixel is ink or
// not; nothing when the machine lacks the font or Qt cannot draw text here.
bool DejaVuFont(TGlyphs &g)
{
    if (!QGuiApplication::instance())
        return false;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (QFontInfo(font).family() != QStringLiteral("DejaVu Sans"))
        return false;
    const QFontMetrics metrics(font);
    g.Height = metrics.ascent() + metrics.descent();
    g.Baseline = metrics.ascent();
    g.CapTop = metrics.ascent() - metrics.capHeight();
    g.SpaceWidth = metrics.horizontalAdvance(QLatin1Char(' '));
    for (int code = FirstChar; code <= LastChar; ++code) {
        const int width = metrics.horizontalAdvance(QChar(code)) + 1;
        QImage cell(width, g.Height, QImage::Format_Grayscale8);
        cell.fill(0);
        QPainter painter(&cell);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(0, metrics.ascent(), QString(QChar(code)));
        painter.end();
        std::vector<uint8_t> ink(size_t(width) * g.Height);
        for (int y = 0; y < g.Height; ++y)
            for (int x = 0; x < width; ++x)
                ink[size_t(y) * width + x] = cell.constScanLine(y)[x] >= 128;
        g.Widths.push_back(width);
        g.Ink.push_back(std::move(ink));
    }
    return true;
}

} // namespace

TSFT SampleFont(bool builtin)
{
    TGlyphs g;
    if (builtin || !DejaVuFont(g))
        g = BuiltinFont();
    const int height = g.Height + 1; // the shadow's row
    TSFT sft;
    sft.Header.CharGap = builtin ? 1 : 0;
    sft.Header.SpaceLength = g.SpaceWidth;
    sft.BMHeader.NumImages = 1;
    sft.Height = height;
    for (const int w : g.Widths)
        sft.Width += w;
    sft.Pixels.assign(size_t(sft.Width) * height, 0);
    int offset = 0;
    for (int i = 0; i <= LastChar - FirstChar; ++i) {
        const int w = g.Widths[i];
        const auto ink = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < w && y < g.Height && g.Ink[i][size_t(y) * w + x];
        };
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t &p = sft.Pixels[size_t(y) * sft.Width + offset + x];
                if (ink(x, y))
                    p = Fire[std::clamp((y - g.CapTop) * 7 / (g.Baseline - g.CapTop), 0, 6)];
                else if (ink(x - 1, y - 1))
                    p = ShadowIndex;
            }
        sft.Chars.Add({static_cast<uint16_t>(FirstChar + i), offset, w});
        offset += w;
    }
    return sft;
}
