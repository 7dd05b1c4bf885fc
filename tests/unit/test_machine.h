// A test fixture on a fresh simulated machine loaded with a launcher configuration.
#pragma once

#include "platform/sim/sim.h"

#include <gtest/gtest.h>

// The shipped description texts and messages, as the tests use them.
extern const char* const kNeutralDescription;
extern const char* const kTitleSuffix;

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Messages 300 and 301 and the other message rows.
    static void AddMessageRows();
    // The description resource with the given text, and a small package.
    static void AddResources(const std::string& description, const std::string& package = "MSCF package bytes");
};
