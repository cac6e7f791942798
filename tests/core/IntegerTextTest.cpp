// Strict integer conversion of typed text: guards against numbers accepted with junk around
// them, silent overflow, and a message other than the standard one.
#include <gtest/gtest.h>

#include "core/GLM_IntegerText.h"

TEST(IntegerText, AcceptsPlainDecimalsWithinRange)
{
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt("-3"), -3);
    EXPECT_EQ(StrToInt("+4"), 4);
    EXPECT_EQ(StrToInt("  7"), 7);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(IntegerText, RefusesEverythingElseWithTheStandardMessage)
{
    for (const char *text : {"", " ", "-", "abc", "1.5", "12 ", "1e3", "0x10", "2147483648",
                             "-2147483649", "99999999999999999999"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError &e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}
