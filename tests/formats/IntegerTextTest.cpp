// Strict integer conversion of typed text: guards against numbers accepted with junk around
// them, silent overflow, and a message other than the standard one.

#include "formats/GLM_IntegerText.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

TEST(IntegerText, AcceptsPlainDecimalsWithinRangeAndRefusesTheRest)
{
    const std::pair<const char *, int32_t> good[] = {
        {"12", 12}, {"-3", -3},         {"+4", 4},
        {"  7", 7}, {"007", 7},         {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}};
    for (const auto &[text, value] : good)
        EXPECT_EQ(StrToInt(text), value) << text;
    for (const std::string text : {"", " ", "-", "abc", "1.5", "12 ", "1e3", "0x10",
                                   "2147483648", "-2147483649", "99999999999999999999"})
        EXPECT_EQ(testutil::MessageOf([&] { StrToInt(text); }),
                  "'" + text + "' is not a valid integer value");
}
