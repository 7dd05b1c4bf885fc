// Host settings: the network installation flag and the work mode values.
#include "hostsettings/hostsettings.h"
#include "tests/unit/test_machine.h"

#include <functional>

namespace {
const char kHost[] = "Software\\Vendor\\Host";
const char kProfiles[] = "Software\\Vendor\\Host\\Profiles";
const std::string kProfilesPath = std::string("HKCU\\") + kProfiles;

// The configuration key of a profile, with its work mode value and another value.
std::string AddProfile(const std::string& profile, bool bWithWorkMode = true)
{
    const std::string path = kProfilesPath + "\\" + profile + "\\General Configuration";
    SimSetDword(path, "Other", 1);
    if (bWithWorkMode)
        SimSetDword(path, "Today_WorkMode", 2);
    return path;
}

std::vector<std::string> Deletions() { return SimCallsStartingWith("RegDeleteValueA"); }

// The access a key opened only for reading is asked for, as the call log shows it.
std::string ReadAccess()
{
    std::string access;
    SimAppendArg(access, SimHex{KEY_READ});
    return access;
}
}  // namespace

using HostSettingsTest = MachineTest;

TEST_F(HostSettingsTest, OnlyTheNumberFourMarksANetworkInstallation)
{
    const std::string path = std::string("HKLM\\") + kHost;
    const struct {
        const char* pszName;
        DWORD dwType;
        std::string bytes;
        bool bNetwork;
    } cases[] = {{"dword 4", REG_DWORD, std::string("\x04\0\0\0", 4), true},
                 {"dword 3", REG_DWORD, std::string("\x03\0\0\0", 4), false},
                 {"high bytes set", REG_DWORD, std::string("\x04\0\0\x01", 4), false},
                 {"text 4", REG_SZ, std::string("4\0", 2), false},
                 // Shorter data fills the start of a zeroed field, whatever its type.
                 {"one byte", REG_BINARY, std::string("\x04", 1), true},
                 {"empty", REG_BINARY, std::string(), false},
                 {"too long", REG_BINARY, std::string("\x04\0\0\0\0\0\0\0", 8), false}};
    for (const auto& c : cases) {
        SimSetBinary(path, "StandaloneNetworkType", c.dwType, c.bytes);
        EXPECT_EQ(IsNetworkInstall(kHost) != FALSE, c.bNetwork) << c.pszName;
    }
    EXPECT_EQ(Sim().calls[0], "RegOpenKeyExA(" + path + "," + ReadAccess() + ")");
    Sim().registry[path].bDenied = true;
    EXPECT_FALSE(IsNetworkInstall(kHost));
    EXPECT_FALSE(IsNetworkInstall("Software\\Missing"));
}

TEST_F(HostSettingsTest, TheCurrentProfileIsClearedThenTheDefaultOneOnce)
{
    const struct {
        std::string current;
        bool bCurrentHasValue;
    } cases[] = {{"Work", true},
                 {"Work", false},
                 {std::string(255, 'n'), true},  // the longest name that fits its buffer with the NUL
                 {"<<Unnamed Profile>>", true},
                 {"<<unnamed profile>>", true}};
    for (const auto& c : cases) {
        SimReset();
        SimSetString(kProfilesPath, "", c.current);
        const bool bDefault = c.current[0] == '<';
        const std::string current = AddProfile(bDefault ? "Work" : c.current, c.bCurrentHasValue);
        const std::string unnamed = AddProfile("<<Unnamed Profile>>");
        ClearWorkMode(kProfiles);
        // A profile that is not current keeps its value.
        EXPECT_EQ(SimValueExists(current, "Today_WorkMode"), bDefault) << c.current;
        EXPECT_FALSE(SimValueExists(unnamed, "Today_WorkMode")) << c.current;
        EXPECT_TRUE(SimValueExists(current, "Other") && SimValueExists(unnamed, "Other")) << c.current;
        EXPECT_EQ(Deletions().size(), bDefault ? 1u : 2u) << c.current;
    }
}

TEST_F(HostSettingsTest, NothingIsDeletedWithoutAUsableCurrentProfile)
{
    // clang-format off
    const struct {
        const char* pszName;
        std::function<void()> setUp;
    } cases[] = {
        {"no profiles key", [] {}},
        {"no default value", [] { SimCreateKey(kProfilesPath); }},
        {"current profile has no configuration key", [] { SimSetString(kProfilesPath, "", "Missing"); }},
        {"current configuration key denied",
         [] { SimSetString(kProfilesPath, "", "Work"); Sim().registry[AddProfile("Work")].bDenied = true; }},
        {"name of 256 bytes without a NUL",
         [] { SimSetBinary(kProfilesPath, "", REG_SZ, std::string(256, 'n')); AddProfile(std::string(256, 'n')); }},
        {"name longer than the buffer", [] { SimSetString(kProfilesPath, "", std::string(300, 'n')); }},
    };
    // clang-format on
    for (const auto& c : cases) {
        SimReset();
        const std::string unnamed = AddProfile("<<Unnamed Profile>>");
        c.setUp();
        ClearWorkMode(kProfiles);
        EXPECT_TRUE(Deletions().empty()) << c.pszName;
        EXPECT_TRUE(SimValueExists(unnamed, "Today_WorkMode")) << c.pszName;
    }
}

TEST_F(HostSettingsTest, TheLongestProfilesKeyThatFitsItsBufferIsUsedAndALongerOneRefused)
{
    const std::string longest = "Software\\" + std::string(246, 'p');
    ASSERT_EQ(longest.size(), 255u);
    ClearWorkMode(longest.c_str());
    ClearWorkMode((longest + "p").c_str());
    EXPECT_EQ(Sim().calls, std::vector<std::string>{"RegOpenKeyExA(HKCU\\" + longest + "," + ReadAccess() + ")"});
}
