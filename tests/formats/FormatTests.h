#pragma once
// Shared by the format tests: documents go through real files in a temporary folder, and a
// rejected file must leave the object as it was (a window never shows a half-read document).

#include "GameFiles.h"
#include "formats/LEC_FileIO.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace testutil {

template <class T> class FormatTest : public ::testing::Test
{
protected:
    std::vector<uint8_t> Saved(T &doc)
    {
        doc.SaveToFile(Dir.File("out"));
        return ReadFile(Dir.File("out"));
    }
    std::vector<uint8_t> RoundTrip(const std::vector<uint8_t> &bytes, T &doc)
    {
        WriteFile(Dir.File("in"), bytes);
        doc.LoadFromFile(Dir.File("in"));
        return Saved(doc);
    }
    void ExpectRejected(T &doc, const std::vector<uint8_t> &bytes, const std::string &message)
    {
        const T before = doc;
        WriteFile(Dir.File("bad"), bytes);
        EXPECT_EQ(MessageOf([&] { doc.LoadFromFile(Dir.File("bad")); }), message)
            << bytes.size() << " bytes";
        EXPECT_TRUE(doc == before) << "changed by a rejected file of " << bytes.size() << " bytes";
    }
    // `good` loads; cut at each of `cuts`, or one byte short, it is "Read beyond end of file".
    void ExpectCutsRejected(T &doc, const std::vector<uint8_t> &good,
                            std::initializer_list<size_t> cuts)
    {
        T copy = doc;
        EXPECT_EQ(MessageOf([&] { RoundTrip(good, copy); }), "no error");
        for (size_t cut : cuts)
            ExpectRejected(doc, {good.begin(), good.begin() + cut}, "Read beyond end of file");
        ExpectRejected(doc, {good.begin(), good.end() - 1}, "Read beyond end of file");
    }

    TempDir Dir;
};

} // namespace testutil
