// glimra-cli against broken files and failing disks: never a crash or a hang, always exit 1
// with a line naming the file, and outputs written whole or not at all.

#include "CliLimits.h"
#include "CliRun.h"
#include "SaveFaults.h"
#include "core/GLM_Bitmaps.h"
#include "formats/LEC_BM.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_MAT.h"
#include "formats/LEC_SFT.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <random>
#include <sstream>

using namespace clitest;
using namespace testutil;

namespace {

// Whether the library itself accepts the file: the one case where glimra-cli may succeed.
bool Loads(const std::string &path, const std::string &ext)
{
    try {
        if (ext == ".bm")
            std::make_unique<TBM>()->LoadFromFile(path);
        else if (ext == ".mat")
            std::make_unique<TMAT>()->LoadFromFile(path);
        else if (ext == ".cmp")
            std::make_unique<TCMP>()->LoadFromFile(path);
        else if (ext == ".sft")
            std::make_unique<TSFT>()->LoadFromFile(path);
        else
            ReadBitmapFile(path);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

// Half random bytes, half the sample cut short at a random point with a few bytes changed.
std::vector<std::vector<uint8_t>> HostileFiles(const std::vector<uint8_t> &sample, int count,
                                               std::mt19937 &rng)
{
    std::vector<std::vector<uint8_t>> files;
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> bytes;
        if (i % 2 == 0) {
            bytes.resize(rng() % 2048);
            for (uint8_t &b : bytes)
                b = uint8_t(rng());
        } else {
            bytes.assign(sample.begin(), sample.begin() + rng() % sample.size());
            for (int k = 0; k < 4 && !bytes.empty(); ++k)
                bytes[rng() % bytes.size()] = uint8_t(rng());
        }
        files.push_back(std::move(bytes));
    }
    return files;
}

// A bitmap of each depth Qt writes: 1, 8, 24 and 32 bits.
std::vector<uint8_t> QtBitmap(QImage::Format format)
{
    QImage image(38, 24, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 7, y * 11, (x ^ y) * 5));
    return EncodeTrueColorBitmap(image.convertToFormat(format), false);
}

void ExpectRefusedOrAccepted(const TLimitedRun &run, const std::string &input, bool loads,
                             const std::string &what)
{
    EXPECT_LT(run.CpuSeconds, 2.0) << what;
    if (loads) {
        EXPECT_TRUE(run.Code == 0 || run.Code == 1) << what << ": " << run.Err;
        return;
    }
    EXPECT_EQ(run.Code, 1) << what << ": " << run.Err;
    EXPECT_EQ(run.Err.rfind("glimra-cli: " + input + ": ", 0), 0u) << what << ": " << run.Err;
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << what << ": " << run.Err;
}

} // namespace

// Guards the promise that no file crashes Glimra: 200 broken files of each kind through
// info and resave, and 200 broken pictures through import.
TEST(CliHostileFiles, EveryBrokenFileIsRefusedWithOneLine)
{
    TempDir dir;
    std::mt19937 rng(14);
    int refused = 0, total = 0;
    const std::pair<const char *, const char *> kinds[] = {{".bm", "sample8.bm"},
                                                           {".mat", "texture8.mat"},
                                                           {".cmp", "colormap.cmp"},
                                                           {".sft", "font8.sft"}};
    for (const auto &[ext, sample] : kinds) {
        const auto files = HostileFiles(ReadFile(Sample(sample)), 200, rng);
        std::vector<std::string> info = {"info"};
        std::vector<std::string> named; // the line each refused file gets, up to its reason
        for (size_t i = 0; i < files.size(); ++i) {
            const std::string in = Put(dir, "in" + std::to_string(i) + ext, files[i]);
            const bool loads = Loads(in, ext);
            refused += !loads;
            ++total;
            info.push_back(in);
            if (!loads)
                named.push_back("glimra-cli: " + in + ": ");
            ExpectRefusedOrAccepted(RunLimited({"resave", in, dir.File("out" + std::string(ext))}),
                                    in, loads, "resave " + in);
        }
        // info takes the 200 files at once and names each one it refuses, in order.
        const TLimitedRun run = RunLimited(info);
        EXPECT_EQ(run.Code, 1) << ext;
        EXPECT_LT(run.CpuSeconds, 2.0) << ext;
        std::stringstream err(run.Err);
        size_t k = 0;
        for (std::string line; std::getline(err, line); ++k)
            EXPECT_EQ(line.rfind(k < named.size() ? named[k] : "?", 0), 0u) << line;
        EXPECT_EQ(k, named.size()) << ext;
    }
    const std::vector<uint8_t> pictures[] = {
        QtBitmap(QImage::Format_Mono), QtBitmap(QImage::Format_Indexed8),
        QtBitmap(QImage::Format_RGB888), QtBitmap(QImage::Format_ARGB32)};
    const char *const outputs[] = {"o.bm", "o.mat", "o.sft"};
    for (int i = 0; i < 200; ++i) {
        const auto file = HostileFiles(pictures[i % 4], 2, rng)[i / 4 % 2];
        const std::string in = Put(dir, "p" + std::to_string(i) + ".bmp", file);
        const bool loads = Loads(in, ".bmp");
        refused += !loads;
        ++total;
        const std::string out = dir.File(outputs[i % 3]);
        ExpectRefusedOrAccepted(RunLimited({"import", out, in}), in, loads, "import " + in);
    }
    // Most of them are broken (random bytes can make a valid BM: a negative image count reads
    // as no images); a generator that made valid files would test nothing.
    EXPECT_GT(refused, total * 3 / 4);
}

// Guards the outputs: a disk that fills, a folder the user may not write to, a folder in the
// target's place and a vanished folder leave the old output byte-identical and no stray file.
TEST(CliHostileFiles, FailedOutputsKeepTheOldFile)
{
    const std::vector<uint8_t> old(500, 0x33);
    const std::string in = Sample("sample8.bm");
    const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
        {"o.bm", {"resave", in, "OUT"}},
        {"o.mat", {"import", "OUT", "PICTURE", "--palette", "Dflt"}},
        {"o.cmp", {"cmp", "OUT", "--from", "Dflt"}},
        {"o.pal", {"palette", Sample("colormap.cmp"), "OUT", "--format", "riff"}},
    };
    for (const auto &[name, pattern] : commands) {
        TempDir dir;
        const std::string picture = Put(dir, "pic.bmp", QtBitmap(QImage::Format_Indexed8));
        const auto args = [&](const std::string &out) {
            std::vector<std::string> a = pattern;
            for (std::string &s : a)
                s = s == "OUT" ? out : s == "PICTURE" ? picture : s;
            return a;
        };
        const std::string out = Put(dir, name, old);
        struct TCase
        {
            std::string What, Target, Reason;
            std::function<void()> Setup;
        };
        // A folder with the output's name pattern, so that the command takes it as its output.
        const std::string folder = "folder" + name.substr(name.find('.'));
        std::filesystem::create_directory(dir.Path / folder);
        std::filesystem::permissions(out, std::filesystem::perms::all);
        const TCase cases[] = {
            {"full disk", out, "Disk full",
             [] {
                 std::signal(SIGXFSZ, SIG_IGN);
                 const rlimit r{100, 100};
                 ::setrlimit(RLIMIT_FSIZE, &r);
             }},
            {"read-only folder", out, "File access denied",
             [] {
                 if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                     ::_exit(99);
             }},
            {"folder", dir.File(folder), "File access denied", {}},
            {"vanished folder", dir.File("gone/" + name), "File not found", {}},
        };
        for (const TCase &c : cases) {
            // Read-only for its owner too, for runs that are not root.
            using std::filesystem::perms;
            const perms readOnly =
                perms::owner_read | perms::owner_exec | perms::others_read | perms::others_exec;
            if (c.What == "read-only folder")
                std::filesystem::permissions(dir.Path, readOnly);
            const TLimitedRun run = RunLimited(args(c.Target), c.Setup);
            std::filesystem::permissions(dir.Path, perms::owner_all);
            EXPECT_EQ(run.Code, 1) << name << ", " << c.What << ": " << run.Err;
            EXPECT_EQ(run.Err, "glimra-cli: " + c.Target + ": " + c.Reason + "\n")
                << name << ", " << c.What;
            EXPECT_EQ(ReadFile(out), old) << name << ", " << c.What;
            EXPECT_EQ(FolderNames(dir.Path), (std::set<std::string>{folder, name, "pic.bmp"}))
                << name << ", " << c.What;
        }
    }
}
