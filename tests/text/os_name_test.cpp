#include <gtest/gtest.h>

#include "text/os_name.h"

namespace pw::test {
namespace {

std::string name(unsigned major, unsigned minor, uint8_t productType, unsigned edition,
                 uint16_t suite = 0, uint16_t arch = 0, int r2 = 0, const char* registry = "") {
    OsVersion v;
    v.major = major;
    v.minor = minor;
    v.productType = productType;
    v.editionType = edition;
    v.suiteMask = suite;
    v.architecture = arch;
    v.serverR2 = r2;
    v.registryProductName = registry;
    return toUtf8(osNameProbe(v));
}

constexpr uint8_t kWs = 1, kServer = 3;

TEST(OsNameProbe, WorkstationsAndServersAfterXpByEdition) {
    EXPECT_EQ(name(6, 1, kWs, 48), "Windows 7");
    EXPECT_EQ(name(6, 1, kServer, 7), "Windows Server 2008 R2");
    EXPECT_EQ(name(6, 0, kWs, 1), "Windows Vista");
    EXPECT_EQ(name(6, 0, kServer, 8), "Windows Server 2008");
    EXPECT_EQ(name(6, 2, kWs, 25), "Windows 8");
    EXPECT_EQ(name(6, 3, kServer, 10), "Windows Server 2012 R2");
    EXPECT_EQ(name(10, 0, kWs, 4), "Windows 10");
    // A 10.0 server is named by the registry.
    EXPECT_EQ(name(10, 0, kServer, 7, 0, 9, 0, "Windows Server 2019 Standard"),
              "Windows Server 2019 Standard");

    // An edition the table does not list replaces the name, also for versions it does not know.
    EXPECT_EQ(name(10, 0, kWs, 101), "获取失败，请检查版本:10.0");
    EXPECT_EQ(name(6, 1, kWs, 24), "获取失败，请检查版本:6.1");
    EXPECT_EQ(name(6, 3, kWs, 0), "获取失败，请检查版本:6.3");
    EXPECT_EQ(name(11, 2, kWs, 1000), "获取失败，请检查版本:11.2");
    EXPECT_EQ(name(11, 2, kWs, 48), "");
    EXPECT_EQ(name(6, 4, kWs, 1), "");
}

TEST(OsNameProbe, XpAndOlderIgnoreTheEdition) {
    EXPECT_EQ(name(5, 1, kWs, 101), "Windows XP");
    EXPECT_EQ(name(5, 1, kServer, 0), "Windows XP");
    EXPECT_EQ(name(5, 0, kServer, 999), "Windows 2000");
    EXPECT_EQ(name(4, 10, kWs, 0), "Windows 98");
    EXPECT_EQ(name(4, 0, kWs, 0), "");
    EXPECT_EQ(name(5, 3, kWs, 0), "");
}

TEST(OsNameProbe, Version52TakesTheFirstRuleThatApplies) {
    constexpr uint16_t kStorage = 0x2000, kHome = 0x8000, kX64 = 9;
    // R2 wins over every suite bit; storage over home; both over the x64 workstation.
    EXPECT_EQ(name(5, 2, kWs, 0, kStorage | kHome, kX64, 1), "Windows Server 2003 R2, ");
    EXPECT_EQ(name(5, 2, kWs, 0, kStorage | kHome, kX64), "Windows Storage Server 2003");
    EXPECT_EQ(name(5, 2, kWs, 0, kHome, kX64), "Windows Home Server");
    EXPECT_EQ(name(5, 2, kWs, 0, 0, kX64), "Windows XP Professional x64 Edition");
    EXPECT_EQ(name(5, 2, kServer, 0, 0, kX64), "Windows Server 2003, ");
    EXPECT_EQ(name(5, 2, kWs, 0, 0, 0), "Windows Server 2003, ");
    // Bits next to the ones that count change nothing.
    EXPECT_EQ(name(5, 2, kServer, 0, 0x1000 | 0x4000), "Windows Server 2003, ");

    EXPECT_FALSE(systemIsWindowsXp());
}

}  // namespace
}  // namespace pw::test
