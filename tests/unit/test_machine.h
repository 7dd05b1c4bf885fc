// A test fixture on a fresh simulated machine loaded with a launcher configuration.
#pragma once

#include "framework/exceptions.h"
#include "platform/sim/sim.h"
#include "res/resource.h"

#include <functional>
#include <gtest/gtest.h>

// The shipped description texts and messages, as the tests use them.
extern const char* const kNeutralDescription;
extern const char* const kTitleSuffix;
// The run's log in the tests that ask for one; its folder is on every fresh machine.
extern const char* const kLog;

class MachineTest : public ::testing::Test {
protected:
    // A fresh machine with the message rows the launcher shows.
    void SetUp() override;
    void TearDown() override;

    // The description resource with the given text, and a small package.
    static void AddResources(const std::string& description, const std::string& package = "MSCF package bytes");
    // One product's six rows at index i, tag "U1".
    static void AddProductRows(unsigned i, const std::string& code, const std::string& accepted = "7.0.43.5,7.0.61.1,");
    // Products 0 .. n-1: their rows, and each installed at 7.0.43.5.
    static void InstallProducts(int nProducts);
    // An installed product with the given features, all in the given state.
    static SimProduct& Install(const std::string& code, const std::string& version,
                               const std::vector<std::string>& features = {}, INSTALLSTATE state = INSTALLSTATE_LOCAL);
    // Runs the launcher as the standard entry does (program name added); returns the exit code.
    static int RunLauncher(const std::vector<std::string>& args = {});
    // The texts of the message boxes shown so far.
    static std::vector<std::string> MessageTexts();
    // The command lines of the configure calls so far.
    static std::vector<std::string> ConfigureCommandLines();
    // The shipped failure and success texts for a code and a title.
    static std::string Failure(int nCode, const std::string& title);
    static std::string Success(const std::string& title);
    // The run's log, or "<no log>".
    static std::string LogText();
};

// Whether the action raises a framework exception of type E.
template <typename E = CException>
bool Raises(const std::function<void()>& action)
{
    try {
        action();
    } catch (CException* e) {
        const bool bRaised = dynamic_cast<E*>(e) != nullptr;
        e->Delete();
        return bRaised;
    }
    return false;
}

// Product codes of the tests: the same GUID with a different third group.
std::string ProductCode(int n);
