// Host settings: the network installation flag, the update service key and the work mode values.
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
}  // namespace

class HostSettingsTest : public MachineTest {};

TEST_F(HostSettingsTest, OnlyTheValueFourMarksANetworkInstallation)
{
    const std::string path = std::string("HKLM\\") + kHost;
    const struct {
        const char* pszName;
        DWORD dwType;
        std::string bytes;
        bool bNetwork;
    } cases[] = {{"dword 4", REG_DWORD, std::string("\x04\0\0\0", 4), true},
                 {"dword 3", REG_DWORD, std::string("\x03\0\0\0", 4), false},
                 {"dword 5", REG_DWORD, std::string("\x05\0\0\0", 4), false},
                 {"dword 0", REG_DWORD, std::string("\0\0\0\0", 4), false},
                 {"high bytes set", REG_DWORD, std::string("\x04\0\0\x01", 4), false},
                 {"text 4", REG_SZ, std::string("4\0", 2), false},
                 // Shorter data fills the start of a zeroed field, whatever its type.
                 {"two bytes", REG_BINARY, std::string("\x04\0", 2), true},
                 {"one byte", REG_BINARY, std::string("\x04", 1), true},
                 {"too long", REG_BINARY, std::string("\x04\0\0\0\0\0\0\0", 8), false}};
    for (const auto& c : cases) {
        SimSetBinary(path, "StandaloneNetworkType", c.dwType, c.bytes);
        EXPECT_EQ(IsNetworkInstall(kHost) != FALSE, c.bNetwork) << c.pszName;
    }
    EXPECT_EQ(Sim().calls[0], "RegOpenKeyExA(" + path + ",0x20019)");
    EXPECT_EQ(Sim().calls[1], "RegQueryValueExA(" + path + ",\"StandaloneNetworkType\",4)");
}

TEST_F(HostSettingsTest, AMissingOrDeniedKeyOrValueIsNotANetworkInstallation)
{
    EXPECT_FALSE(IsNetworkInstall(kHost));
    const std::string path = std::string("HKLM\\") + kHost;
    SimSetDword(path, "Other", 4);
    EXPECT_FALSE(IsNetworkInstall(kHost));
    SimSetDword(path, "StandaloneNetworkType", 4);
    Sim().registry[path].bDenied = true;
    EXPECT_FALSE(IsNetworkInstall(kHost));
}

TEST_F(HostSettingsTest, TheUpdateServiceKeyOfTheProductIsDeleted)
{
    const std::string base = "HKLM\\Software\\Tessaran\\Kestrune\\";
    SimCreateKey(base + "{A}");
    SimCreateKey(base + "{B}");
    SimCreateKey(base + "{C}\\Sub");
    DeleteUpdateServiceKey("{A}");
    EXPECT_FALSE(SimKeyExists(base + "{A}"));
    EXPECT_TRUE(SimKeyExists(base + "{B}"));
    // A key with subkeys cannot be deleted; the failure is ignored.
    DeleteUpdateServiceKey("{C}");
    EXPECT_TRUE(SimKeyExists(base + "{C}\\Sub"));
    DeleteUpdateServiceKey("{Missing}");
    EXPECT_EQ(Sim().calls, (std::vector<std::string>{"RegDeleteKeyA(" + base + "{A})", "RegDeleteKeyA(" + base + "{C})",
                                                     "RegDeleteKeyA(" + base + "{Missing})"}));
}

TEST_F(HostSettingsTest, TheCurrentProfileAndTheDefaultOneAreCleared)
{
    SimSetString(kProfilesPath, "", "Work");
    const std::string work = AddProfile("Work");
    const std::string unnamed = AddProfile("<<Unnamed Profile>>");
    ClearWorkMode(kProfiles);
    EXPECT_FALSE(SimValueExists(work, "Today_WorkMode"));
    EXPECT_FALSE(SimValueExists(unnamed, "Today_WorkMode"));
    EXPECT_TRUE(SimValueExists(work, "Other"));
    EXPECT_TRUE(SimValueExists(unnamed, "Other"));
    EXPECT_EQ(Sim().calls, (std::vector<std::string>{
                               "RegOpenKeyExA(" + kProfilesPath + ",0x20019)",
                               "RegQueryValueExA(" + kProfilesPath + ",\"\",256)",
                               "RegCloseKey(" + kProfilesPath + ")",
                               "RegOpenKeyExA(" + work + ",0x20006)",
                               "RegDeleteValueA(" + work + ",\"Today_WorkMode\")",
                               "RegCloseKey(" + work + ")",
                               "RegOpenKeyExA(" + unnamed + ",0x20006)",
                               "RegDeleteValueA(" + unnamed + ",\"Today_WorkMode\")",
                               "RegCloseKey(" + unnamed + ")",
                           }));
}

TEST_F(HostSettingsTest, ACurrentProfileWithoutTheValueStillClearsTheDefaultOne)
{
    SimSetString(kProfilesPath, "", "Work");
    const std::string work = AddProfile("Work", false);
    const std::string unnamed = AddProfile("<<Unnamed Profile>>");
    ClearWorkMode(kProfiles);
    EXPECT_FALSE(SimValueExists(unnamed, "Today_WorkMode"));
    EXPECT_TRUE(SimValueExists(work, "Other"));
    EXPECT_EQ(Deletions().size(), 2u);
}

TEST_F(HostSettingsTest, TheDefaultProfileAsCurrentIsClearedOnce)
{
    for (const char* pszName : {"<<Unnamed Profile>>", "<<UNNAMED PROFILE>>", "<<unnamed profile>>"}) {
        SimReset();
        SimSetString(kProfilesPath, "", pszName);
        const std::string unnamed = AddProfile("<<Unnamed Profile>>");
        ClearWorkMode(kProfiles);
        EXPECT_FALSE(SimValueExists(unnamed, "Today_WorkMode")) << pszName;
        EXPECT_EQ(Deletions().size(), 1u) << pszName;
        EXPECT_EQ(SimCallsStartingWith("RegOpenKeyExA").size(), 2u) << pszName;
    }
}

TEST_F(HostSettingsTest, NothingIsDeletedWithoutAUsableCurrentProfile)
{
    const struct {
        const char* pszName;
        std::function<void()> setUp;
    } cases[] = {
        {"no profiles key", [] {}},
        {"no default value", [] { SimCreateKey(kProfilesPath); }},
        {"current profile has no configuration key", [] { SimSetString(kProfilesPath, "", "Missing"); }},
        {"current configuration key denied",
         [] {
             SimSetString(kProfilesPath, "", "Work");
             Sim().registry[AddProfile("Work")].bDenied = true;
         }},
        {"name of 256 bytes without a NUL",
         [] {
             const std::string name(256, 'n');
             SimSetBinary(kProfilesPath, "", REG_SZ, name);
             (void)AddProfile(name);
         }},
        {"name longer than the buffer", [] { SimSetString(kProfilesPath, "", std::string(300, 'n')); }},
    };
    for (const auto& c : cases) {
        SimReset();
        const std::string unnamed = AddProfile("<<Unnamed Profile>>");
        c.setUp();
        ClearWorkMode(kProfiles);
        EXPECT_TRUE(Deletions().empty()) << c.pszName;
        EXPECT_TRUE(SimValueExists(unnamed, "Today_WorkMode")) << c.pszName;
    }
}

TEST_F(HostSettingsTest, ALongestNameWithItsNulIsUsed)
{
    const std::string name(255, 'n');
    SimSetString(kProfilesPath, "", name);
    const std::string path = AddProfile(name);
    ClearWorkMode(kProfiles);
    EXPECT_FALSE(SimValueExists(path, "Today_WorkMode"));
}

TEST_F(HostSettingsTest, AProfilesKeyOfAtLeast256CharactersIsRefusedBeforeAnyOpen)
{
    const std::string longest = "Software\\" + std::string(246, 'p');
    ASSERT_EQ(longest.size(), 255u);
    SimSetString("HKCU\\" + longest, "", "Work");
    ClearWorkMode(longest.c_str());
    ASSERT_FALSE(Sim().calls.empty());
    EXPECT_EQ(Sim().calls.front(), "RegOpenKeyExA(HKCU\\" + longest + ",0x20019)");

    Sim().calls.clear();
    ClearWorkMode((longest + "p").c_str());
    EXPECT_TRUE(Sim().calls.empty());
}
