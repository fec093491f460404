#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "common/temp_dir.h"
#include "os/paths.h"
#include "render/config/config.h"
#include "render/config/host.h"
#include "vt_fixture.h"

using namespace vttest;

namespace {

const char *const kVariables[] = {
    "VANTOR_DOS_GFX", "VT_DRIVERS",     "VT_DEVICES",     "VT_DEFAULT_DEVICE",  "VANTOR_PATH",      "VANTOR_DRIVERS",
    "VANTOR_DEVICES", "VANTOR_DEFAULT_DEVICE", "VANTOR_USE_MMX", "VANTOR_DEVELOPER_B", "VANTOR_USE_MMX_B", "RUVO_WINDIR",
};

// A private folder with no settings file or key file, and no variables set;
// tests set their sources and begin again.
class VtConfig : public VtTest {
protected:
    ruvotest::TempDir dir;
    void SetUp() override {
        for (const char *v : kVariables)
            unsetenv(v);
        VtTest::SetUp();
    }
    void TearDown() override {
        VtTest::TearDown();
        for (const char *v : kVariables)
            unsetenv(v);
    }
    void restart() {
        ASSERT_EQ(VtEnd(), VT_E_OK);
        EXPECT_EQ(Counting::live, 0);
        VtAllocatorSet(&countingAllocator);
        VtDiagHandlerSet(&recordingDiag);
        ASSERT_EQ(VtBegin(), VT_E_OK);
    }
    static std::string query(vt_token t) {
        char buf[512];
        return VtSystemConfigQueryString(t, buf, sizeof buf) == VT_E_OK ? buf : "<absent>";
    }
};

void spit(const char *name, const std::string &text) {
    std::ofstream(name, std::ios::binary) << text;
    osFlushPathCache();
}

} // namespace

TEST_F(VtConfig, DefaultsWithNothingConfigured) {
    EXPECT_EQ(query(VTT_VANTOR_PATH_STR),
              "dat;../dat;../../dat;../../../dat;../../../../dat;dll;../dll;../../dll;../../../dll;../../../../dll");
    EXPECT_EQ(query(VTT_DEFAULT_DEVICE_STR), "DDRAW");
    EXPECT_EQ(query(VTT_VANTOR_DRIVERS_STR), "<absent>");
    char small[4];
    EXPECT_EQ(VtSystemConfigQueryString(VTT_DEFAULT_DEVICE_STR, small, sizeof small), VT_E_OK);
    EXPECT_STREQ(small, "DDR");
}

TEST_F(VtConfig, LaterSourcesOverrideEarlierOnes) {
    struct Case {
        bool ini1, ini2, reg;
        const char *want;
    } cases[] = {
        {true, true, true, "reg"},
        {true, true, false, "ini-version"},
        {true, false, false, "ini-vantor"},
        {false, false, false, "env"},
    };
    setenv("VANTOR_PATH", "env", 1);
    for (const Case &c : cases) {
        std::string ini;
        if (c.ini1)
            ini += "[Vantor]\nVANTOR_PATH=ini-vantor\n";
        if (c.ini2)
            ini += "[1.3.0]\nvantor_path = \"ini-version\"\n";
        spit("Vantor.ini", ini);
        spit("ruvo.reg", c.reg ? "SOFTWARE\\Corvanth\\Vantor\\1.3.0\\VANTOR_PATH=reg\n"
                                 "SOFTWARE\\Corvanth\\Vantor\\1.3.0\\Sub\\VANTOR_PATH=subkey\n"
                               : "");
        restart();
        EXPECT_EQ(query(VTT_VANTOR_PATH_STR), c.want);
    }
}

TEST_F(VtConfig, SettingLines) {
    setenv("VT_DRIVERS", "shortdrv", 1);
    setenv("VT_DEVICES", "shortdev,a=1", 1);
    setenv("VT_DEFAULT_DEVICE", "SHORT", 1);
    setenv("VANTOR_DOS_GFX", "DOSDEV", 1);
    setenv("VANTOR_DEVICES", "  TESTDEV,w=320;OTHER,x", 1);
    setenv("VANTOR_USE_MMX_B", "false", 1);
    setenv("VANTOR_DEVELOPER_B", "true", 1);
    spit("Vantor.ini", "[vantor]\nVANTOR_DRIVERS=\"a;b\"\nVANTOR_USE_MMX=true junk\n; a comment\n"
                       "VANTOR_DEFAULT_DEVICE:INI_DEV\n");
    restart();
    EXPECT_EQ(query(VTT_DEFAULT_DEVICE_STR), "INI_DEV") << "the short keys set nothing; the ini overrides";
    EXPECT_EQ(query(VTT_VANTOR_DEVICES_STR), "TESTDEV,w=320;OTHER,x") << "raw text, leading blanks skipped";
    EXPECT_EQ(query(VTT_VANTOR_DRIVERS_STR), "a;b");
    vt_value v;
    ASSERT_EQ(VtSystemConfigQuery(VTT_VANTOR_USE_MMX_B, &v), VT_E_OK);
    EXPECT_EQ(v.b, 0) << "the line with garbage after it was skipped";
    ASSERT_EQ(VtSystemConfigQuery(VTT_VANTOR_DEVELOPER_B, &v), VT_E_OK);
    EXPECT_EQ(v.b, 1);
    EXPECT_EQ(VtAssociativeArrayQuery(VtSystemConfig(), VtTokenFind("VT_DRIVERS"), &v), VT_E_FAIL);

    vt_host_info info;
    ASSERT_EQ(HostInfo(&info, sizeof info), VT_E_OK);
    EXPECT_EQ(info.capabilities & VT_HOST_CAPS_MMX, 0u);
    EXPECT_NE(info.capabilities & VT_HOST_CAPS_FPU, 0u);

    // Only VANTOR_DOS_GFX among the device keys.
    unsetenv("VANTOR_DEVICES");
    spit("Vantor.ini", "");
    restart();
    EXPECT_EQ(query(VTT_DEFAULT_DEVICE_STR), "DOSDEV");
}

TEST_F(VtConfig, StoreGrowsByTen) {
    vt_associative_array *a = VtAssociativeArrayAllocate(VtFrameworkRoot());
    ASSERT_NE(a, nullptr);
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(VtAssociativeArraySetEntry(a, VTT_VANTOR_PATH_STR, VtValueP("a path")), VT_E_OK);
    EXPECT_EQ(a->num_elements, 1);
    EXPECT_EQ(a->max_elements, 10);
    for (vt_token t = VTT_WIDTH_I32; t < VTT_WIDTH_I32 + 11; t++)
        VtAssociativeArraySetEntry(a, t, VtValueU32(t));
    EXPECT_EQ(a->num_elements, 12);
    EXPECT_EQ(a->max_elements, 20);
    EXPECT_EQ(VtAssociativeArrayRemove(a, VTT_VANTOR_PATH_STR), VT_E_OK);
    EXPECT_EQ(VtAssociativeArrayRemove(a, VTT_VANTOR_PATH_STR), VT_E_FAIL);
    vt_value v;
    ASSERT_EQ(VtAssociativeArrayQuery(a, VTT_WIDTH_I32, &v), VT_E_OK);
    EXPECT_EQ(v.t, VTT_WIDTH_I32) << "later entries moved down";
    VtResFree(a);
}

TEST_F(VtConfig, StoreWritesTheSettingsBack) {
    std::string longPath(300, 'p');
    VtSystemConfigSetString(VTT_VANTOR_PATH_STR, longPath.c_str());
    VtSystemConfigSet(VTT_VANTOR_USE_MMX_B, VtValueU32(0));
    VtSystemConfigSetString(VTT_VANTOR_DRIVERS_STR, "x;y");
    ASSERT_EQ(VtSystemConfigStore(VTT_INI_STR, "Vantor.ini", "1.3.0"), VT_E_OK);
    std::ifstream f("Vantor.ini");
    std::stringstream s;
    s << f.rdbuf();
    EXPECT_NE(s.str().find("[1.3.0]\n"), std::string::npos) << s.str();
    EXPECT_NE(s.str().find("DEFAULT_DEVICE_STR=\"DDRAW\"\n"), std::string::npos);
    EXPECT_NE(s.str().find("VANTOR_USE_MMX_B=FALSE\n"), std::string::npos);
    EXPECT_NE(s.str().find("VANTOR_PATH_STR=" + longPath + "\n"), std::string::npos);
    restart();
    EXPECT_EQ(query(VTT_VANTOR_PATH_STR), longPath) << "a long value survives the round trip";
    EXPECT_EQ(query(VTT_VANTOR_DRIVERS_STR), "x;y");

    ASSERT_EQ(VtSystemConfigStore(VTT_REGISTRY_STR, nullptr, "SOFTWARE\\Corvanth\\Vantor\\1.3.0"), VT_E_OK);
    char buf[1024];
    ASSERT_EQ(HostRegistryQuery(nullptr, "software\\corvanth\\vantor\\1.3.0", buf, sizeof buf), VT_E_OK);
    EXPECT_STREQ(buf, ("VANTOR_PATH_STR=" + longPath).c_str());
    EXPECT_EQ(HostRegistryQuery(nullptr, "software\\corvanth\\vantor\\1.3.0", buf, 20), VT_E_OVERFLOW);
    EXPECT_EQ(HostRegistryQuery(nullptr, "SOFTWARE\\Nobody", buf, sizeof buf), VT_E_FAIL);

    Diag::clear();
    EXPECT_EQ(VtSystemConfigStore(VTT_WIDTH_I32, "x", "y"), VT_E_FAIL);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_NE(Diag::failures[0].find("Invalid system config load token. Must be REGISTRY or INI"), std::string::npos);
}

TEST_F(VtConfig, HostInfoAndIniSections) {
    vt_host_info info;
    memset(&info, 0xAB, sizeof info);
    EXPECT_EQ(sizeof(vt_host_info), 56u);
    EXPECT_EQ(HostInfo(&info, 16), VT_E_OVERFLOW);
    EXPECT_EQ(info.size, 56u);
    EXPECT_EQ(info.capabilities, 0xABABABABu) << "only 16 bytes copied";
    ASSERT_EQ(HostInfo(&info, sizeof info), VT_E_OK);
    EXPECT_STREQ(info.identifier, "Microsoft WIN32");
    EXPECT_EQ(info.processor_family, VTT_INTEL);
    EXPECT_GE(info.processor_type, VTT_INTEL_486);

    spit("Vantor.ini", "[A]\nk=v\nlonger=value\n[B]\n");
    EXPECT_TRUE(HostIniSectionExists("vantor.INI", "a"));
    EXPECT_FALSE(HostIniSectionExists("Vantor.ini", "B"));
    char buf[32];
    EXPECT_EQ(HostIniSectionQuery("Vantor.ini", "A", buf, sizeof buf), VT_E_OK);
    EXPECT_EQ(std::string(buf, 18), std::string("k=v\0longer=value\0", 18));
    EXPECT_EQ(HostIniSectionQuery("Vantor.ini", "A", buf, 8), VT_E_OVERFLOW);
    EXPECT_EQ(HostIniSectionWrite("Vantor.ini", "B", "x=1\0", 4), VT_E_FAIL) << "no final empty string";
    EXPECT_EQ(HostIniSectionWrite("Vantor.ini", "B", "x=1\0\0", 5), VT_E_OK);
    EXPECT_EQ(HostIniSectionQuery("Vantor.ini", "b", buf, sizeof buf), VT_E_OK);
    EXPECT_STREQ(buf, "x=1");
    EXPECT_EQ(HostImageLookupOrdinal(nullptr, 1), nullptr);
    EXPECT_EQ(HostLock(nullptr, 0), VT_E_FAIL);
}
