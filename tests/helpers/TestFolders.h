#pragma once

#include "Platform.h"

#include <gtest/gtest.h>

// A test that owns a fresh temporary folder and points the Wine prefix (drive C: and friends)
// into it, so no test touches the real home folder.
class TemporaryPrefixTest : public testing::Test
{
protected:
    void SetUp() override
    {
        root = juce::File::createTempFile ("qf_test");
        ASSERT_TRUE (root.createDirectory());
        prefix = root.getChildFile ("wine");
        ASSERT_TRUE (prefix.getChildFile ("drive_c").createDirectory());
        Platform::setWinePrefix (prefix);
    }

    void TearDown() override
    {
        Platform::setWinePrefix ({});
        root.deleteRecursively();
    }

    juce::File driveC() const { return prefix.getChildFile ("drive_c"); }

    juce::File root, prefix;
};
