// import: a new BM, MAT or SFT made from pictures, as Add Frames makes frames.

#include "CliArgs.h"
#include "CliChars.h"
#include "CliCommon.h"

#include "core/GLM_Import.h"
#include "core/GLM_PaletteMatch.h"
#include "core/GLM_PaletteSource.h"

#include <optional>

namespace {

const char *Help =
    "Usage: glimra-cli import OUT.bm|OUT.mat|OUT.sft IMAGE... [--bits 8|16]\n"
    "                         [--palette NAME] [--internal] [--color] [--transparent]\n"
    "                         [--mipmaps N] [--fill N] [--chars FIRST-LAST|TABLE.json]\n"
    "\n"
    "Makes a new file from pictures (Windows bitmaps or PNG), one frame per picture, in\n"
    "the order given. 8-bit pixels take the first palette entry of exactly their colour\n"
    "(255 when the palette has none); 16-bit pixels keep the top bits of each channel.\n"
    "MAT texture frames follow the editor's size rules: both sides even and at least 2\n"
    "(a picture that breaks them fails the import), a warning above 1024.\n"
    "\n"
    "  --bits 8|16      colour depth of the new file (default 8)\n"
    "  --palette NAME   palette to match 8-bit pixels against: Dflt, Uicolormap or a\n"
    "                   palette file; default Uicolormap for BM and SFT, Dflt for MAT\n"
    "  --internal       BM: store that palette in the file as its own\n"
    "  --color          MAT: a colour MAT; each picture must be a single colour\n"
    "  --transparent    MAT: black pixels of new texture frames are transparent\n"
    "  --mipmaps N      MAT: generate levels up to N in all (1 to 4, default 1: none)\n"
    "  --fill N         MAT: fill colour of texture frames (palette index, or RGB565)\n"
    "  --chars FIRST-LAST   SFT: characters FIRST to LAST (codes 0 to 65535), sharing\n"
    "                   the strip in equal widths; the width must divide evenly\n"
    "  --chars TABLE.json   SFT: the character table in the form info --json prints:\n"
    "                   [[code, offset, width], ...] in list order, each inside the strip\n"
    "An SFT takes exactly one picture: its character strip. Without --chars the font has\n"
    "no characters, and the game cannot load it until it has some.\n";

void CheckNotFor(const TCliArgs &cli, const char *kind, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (cli.Has(name))
            throw EUsageError(std::string("option '") + name + "' does not apply to " + kind);
}

void CheckCapacity(const std::string &out, size_t pictures, int limit, const char *kind)
{
    if (pictures > static_cast<size_t>(limit))
        throw EFileFailure(out, std::string("A ") + kind + " holds at most " +
                                    std::to_string(limit) + " frames, " +
                                    std::to_string(pictures) + " pictures given");
}

// A picture standing for a colour frame must be one colour; gives that colour.
TColor SingleColor(const TBitmapPicture &picture)
{
    if (picture.Width < 1 || picture.Height < 1)
        throw EInOutError(EInOutError::Other, "Picture is empty");
    const TPaletteEntry first = picture.PixelColor(0, 0);
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x)
            if (!(picture.PixelColor(x, y) == first))
                throw EInOutError(EInOutError::Other,
                                  "A colour frame picture must be one colour");
    return MakeColor(first.Red, first.Green, first.Blue);
}

// The strip, the character table --chars gives, and a warning when there is none.
void ImportFont(const std::optional<TCharsOption> &chars, const std::string &out,
                const std::string &image, const TPalette &palette, bool is16)
{
    std::vector<TSFTCharDef> table;
    if (chars && !chars->TablePath.empty()) {
        const std::string &path = chars->TablePath;
        OnFile(path, [&] {
            TFileReader reader(path);
            std::string text(reader.Size(), '\0');
            if (!text.empty())
                reader.Read(text.data(), text.size());
            table = ParseCharTable(text);
        });
    }
    TSFT sft;
    if (is16)
        sft.SetDefaults16();
    OnFile(image, [&] {
        ImportSFTStrip(sft, ReadBitmapFile(image), palette);
        if (chars && chars->TablePath.empty())
            table = EqualWidthChars(chars->First, chars->Last, sft.Width);
    });
    if (chars && !chars->TablePath.empty())
        OnFile(chars->TablePath, [&] { CheckCharsInStrip(table, sft.Width); });
    for (const TSFTCharDef &def : table)
        sft.Chars.Add(def);
    OnFile(out, [&] { sft.SaveToFile(out); });
    if (!sft.HasCharacters())
        ReportWarning(out, NoCharactersWarning);
}

} // namespace

int RunImport(const std::vector<std::string> &args)
{
    const TCliArgs cli(args, {{"--bits", "", true},
                              {"--palette", "", true},
                              {"--internal", "", false},
                              {"--color", "", false},
                              {"--transparent", "", false},
                              {"--mipmaps", "", true},
                              {"--fill", "", true},
                              {"--chars", "", true}});
    if (cli.Help)
        return PrintHelp(Help);
    if (cli.Positionals.size() < 2)
        throw EUsageError("import needs OUT and at least one IMAGE");
    const std::string out = cli.Positionals[0];
    const std::vector<std::string> images(cli.Positionals.begin() + 1, cli.Positionals.end());
    const TFileKind kind = FileKindOf(out);
    if (kind != TFileKind::BM && kind != TFileKind::MAT && kind != TFileKind::SFT)
        throw EUsageError("OUT must end in .bm, .mat or .sft");
    const bool is16 = cli.Choice("--bits", 8, {8, 16}) == 16;
    if (kind != TFileKind::MAT)
        CheckNotFor(cli, kind == TFileKind::BM ? "a BM" : "an SFT",
                    {"--color", "--transparent", "--mipmaps", "--fill"});
    if (kind != TFileKind::BM)
        CheckNotFor(cli, kind == TFileKind::MAT ? "a MAT" : "an SFT", {"--internal"});
    if (kind != TFileKind::SFT)
        CheckNotFor(cli, kind == TFileKind::MAT ? "a MAT" : "a BM", {"--chars"});
    if (kind == TFileKind::MAT && cli.Has("--color"))
        CheckNotFor(cli, "a colour MAT", {"--transparent", "--mipmaps", "--fill"});
    if (kind == TFileKind::SFT && images.size() != 1)
        throw EUsageError("an SFT takes exactly one IMAGE");
    const std::optional<TCharsOption> chars =
        cli.Has("--chars") ? std::optional(ParseCharsOption(cli.Value("--chars"))) : std::nullopt;

    const std::string paletteName = cli.Value("--palette", DefaultPaletteName(kind));
    TPalette palette;
    OnFile(paletteName, [&] { palette = LoadPaletteSource(paletteName); });

    // Everything is built in memory first: a failing picture leaves no file behind.
    if (kind == TFileKind::BM) {
        CheckCapacity(out, images.size(), TBM::MaxImages, "BM");
        TBM bm;
        if (is16)
            bm.SetDefaults16();
        if (cli.Has("--internal")) {
            bm.Palette = palette;
            bm.SetHasPalette(true);
        }
        for (const std::string &image : images)
            OnFile(image, [&] { ImportBMFrame(bm, ReadBitmapFile(image), palette); });
        OnFile(out, [&] { bm.SaveToFile(out); });
    } else if (kind == TFileKind::MAT) {
        CheckCapacity(out, images.size(), TMAT::MaxRecords, "MAT");
        TMAT mat;
        if (cli.Has("--color"))
            mat.SetColorType();
        if (is16)
            mat.SetDefaults16();
        TNewFrameSettings settings;
        settings.NewTrans = cli.Has("--transparent");
        settings.NumberMipmaps = static_cast<int>(cli.Int("--mipmaps", 1, 1, 4));
        settings.AutoMipmaps = settings.NumberMipmaps > 1;
        // A palette index at 8 bits, an RGB565 word at 16.
        const long long maxFill = is16 ? 0xFFFF : 255;
        settings.NewFillColor = static_cast<uint32_t>(cli.Int("--fill", 0, 0, maxFill));
        for (const std::string &image : images) {
            OnFile(image, [&] {
                const TBitmapPicture picture = ReadBitmapFile(image);
                if (cli.Has("--color")) {
                    const TColor c = SingleColor(picture);
                    const int32_t color = is16 ? static_cast<int32_t>(c)
                                               : TPaletteMatcher(palette).MatchPaletteIndex(
                                                     RedOf(c), GreenOf(c), BlueOf(c));
                    AddMATColorFrame(mat, color);
                    return;
                }
                const TImportResult result = ImportMATFrame(mat, picture, palette, settings);
                for (const TImportMessage &m : result.Messages) {
                    if (m.Kind == TImportMessageKind::Error)
                        throw EInOutError(EInOutError::Other, m.Text);
                    ReportWarning(image, m.Text);
                }
            });
        }
        OnFile(out, [&] { mat.SaveToFile(out); });
    } else {
        ImportFont(chars, out, images[0], palette, is16);
    }
    return 0;
}
