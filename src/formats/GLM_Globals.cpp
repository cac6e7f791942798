#include "formats/GLM_Globals.h"

#include <cmath>
#include <initializer_list>

#ifdef _WIN32
#include <windows.h>
#endif

TColor MakeColor(int red, int green, int blue)
{
    return static_cast<TColor>(red + green * 256 + blue * 65536);
}

uint16_t ColorTo565(TColor color)
{
    const uint32_t r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
    return static_cast<uint16_t>(((r & 0xF8) << 8) + ((g & 0xFC) << 3) + ((b & 0xF8) >> 3));
}

TColor Color565ToColor(uint16_t value)
{
    const auto r = static_cast<uint8_t>((value >> 11) << 3);
    const auto g = static_cast<uint8_t>((value >> 5) << 2);
    const auto b = static_cast<uint8_t>(value << 3);
    return MakeColor(SnapLevel(r), SnapLevel(g), SnapLevel(b));
}

uint8_t SnapLevel(uint8_t x)
{
    if (x < 64)
        return 0;
    if (x < 128)
        return 64;
    if (x < 160)
        return 128;
    if (x < 192)
        return 160;
    if (x < 248)
        return 192;
    return 255;
}

std::string ColorText(TColor color)
{
    return "RGB: " + std::to_string(RedOf(color)) + " " + std::to_string(GreenOf(color)) + " " +
           std::to_string(BlueOf(color));
}

std::string Color565Text(uint16_t value)
{
    return ColorText(Color565ToColor(value));
}

namespace {

uint8_t Widen5(unsigned value)
{
    value &= 31;
    return static_cast<uint8_t>((value << 3) | (value >> 2));
}

uint8_t Widen6(unsigned value)
{
    value &= 63;
    return static_cast<uint8_t>((value << 2) | (value >> 4));
}

} // namespace

TPaletteEntry PixelWordColor(uint16_t word, bool argb1555)
{
    if (argb1555)
        return {Widen5(word >> 10), Widen5(word >> 5), Widen5(word)};
    return {Widen5(word >> 11), Widen6(word >> 5), Widen5(word)};
}

std::string LongPathName(const std::string &path)
{
#ifdef _WIN32
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), n);
    wchar_t buffer[32768];
    const DWORD len = GetLongPathNameW(wide.c_str(), buffer, 32768);
    // A bare file name stays as given, as does anything that cannot be found.
    if (len == 0 || len >= 32768 || path.find_first_of("\\:") == std::string::npos)
        return path;
    const int m = WideCharToMultiByte(CP_UTF8, 0, buffer, len, nullptr, 0, nullptr, nullptr);
    std::string result(m, '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer, len, result.data(), m, nullptr, nullptr);
    return result;
#else
    // File systems here have no short 8.3 names: every path is already its long form.
    return path;
#endif
}

namespace {

struct TRamp
{
    int First, Last;
    TPaletteEntry From, To;
};

void FillRamp(TPalette &p, const TRamp &r)
{
    const int steps = r.Last - r.First;
    for (int i = r.First; i <= r.Last; ++i) {
        const int k = i - r.First;
        auto mix = [&](int a, int b) {
            return static_cast<uint8_t>(
                steps == 0 ? a : a + std::lround(double(b - a) * k / steps));
        };
        p[i] = {mix(r.From.Red, r.To.Red), mix(r.From.Green, r.To.Green),
                mix(r.From.Blue, r.To.Blue)};
    }
}

void FillRamps(TPalette &p, std::initializer_list<TRamp> ramps)
{
    for (const TRamp &r : ramps)
        FillRamp(p, r);
}

TPalette CommonPart()
{
    TPalette p{};
    FillRamps(p, {
        {0, 0, {0, 0, 0}, {0, 0, 0}},
        {1, 5, {0, 255, 0}, {0, 59, 0}},
        {6, 10, {255, 0, 0}, {59, 0, 0}},
        {11, 15, {247, 255, 0}, {95, 0, 0}},
        {16, 20, {255, 255, 255}, {135, 175, 255}},
        {21, 30, {255, 171, 0}, {255, 15, 0}},
        {31, 31, {0, 0, 255}, {0, 0, 255}},
        {32, 63, {253, 253, 253}, {0, 0, 0}},
        {64, 95, {191, 199, 223}, {11, 11, 15}},
        {96, 103, {255, 207, 179}, {87, 35, 15}},
        {104, 111, {255, 255, 0}, {67, 0, 0}},
        {112, 119, {223, 255, 167}, {143, 147, 0}},
        {120, 127, {199, 99, 31}, {103, 31, 0}},
        {128, 135, {251, 0, 0}, {57, 0, 0}},
        {136, 143, {127, 163, 199}, {0, 0, 23}},
        {144, 159, {195, 115, 71}, {51, 23, 7}},
        {160, 175, {255, 231, 179}, {39, 23, 0}},
        {176, 183, {131, 231, 103}, {35, 71, 15}},
        {184, 191, {255, 167, 255}, {55, 0, 91}},
    });
    return p;
}

TPalette MakeDflt()
{
    TPalette p = CommonPart();
    for (int i = 192; i <= 254; ++i)
        p[i] = {255, 0, 255};
    p[255] = {255, 255, 255};
    return p;
}

TPalette MakeUicolormap()
{
    TPalette p = CommonPart();
    FillRamps(p, {
        {192, 199, {200, 123, 135}, {120, 60, 90}},
        {200, 223, {126, 213, 236}, {4, 14, 84}},
        {224, 228, {212, 0, 0}, {47, 0, 0}},
        {229, 229, {0, 0, 0}, {0, 0, 0}},
        {230, 238, {143, 91, 47}, {63, 35, 11}},
        {239, 246, {255, 143, 0}, {155, 63, 0}},
        {247, 254, {255, 255, 191}, {191, 171, 0}},
        {255, 255, {255, 255, 255}, {255, 255, 255}},
    });
    return p;
}

} // namespace

const TPalette &DfltPalette()
{
    static const TPalette palette = MakeDflt();
    return palette;
}

const TPalette &UicolormapPalette()
{
    static const TPalette palette = MakeUicolormap();
    return palette;
}
