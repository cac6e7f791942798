#include <gtest/gtest.h>

#include "platform/GLM_TestPlatform.h"
#include "shell/GLM_Settings.h"

TEST(Settings, FirstRunDefaults)
{
    TTestPlatform desk;
    ClearSettings();
    LoadSettings(nullptr);
    EXPECT_EQ(CycleRate, 5);
}
