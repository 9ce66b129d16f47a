#include "text/os_name.h"

#include <algorithm>
#include <array>
#include <string>

#include "text/system_texts.h"

namespace pw {
namespace {

constexpr uint16_t kSuiteStorageServer = 0x2000;
constexpr uint16_t kSuiteHomeServer = 0x8000;
constexpr uint16_t kArchitectureX64 = 9;
constexpr uint8_t kWorkstation = 1;

Text server2003Name(const OsVersion& v) {
    if (v.serverR2 != 0) return "Windows Server 2003 R2, ";
    if (v.suiteMask & kSuiteStorageServer) return "Windows Storage Server 2003";
    if (v.suiteMask & kSuiteHomeServer) return "Windows Home Server";
    if (v.productType == kWorkstation && v.architecture == kArchitectureX64)
        return "Windows XP Professional x64 Edition";
    return "Windows Server 2003, ";
}

Text baseName(const OsVersion& v) {
    const bool workstation = v.productType == kWorkstation;
    auto is = [&](unsigned major, unsigned minor) { return v.major == major && v.minor == minor; };
    auto pick = [&](const char* ws, const char* server) { return Text(workstation ? ws : server); };
    if (is(10, 0)) return workstation ? Text("Windows 10") : v.registryProductName;
    if (is(6, 0)) return pick("Windows Vista", "Windows Server 2008");
    if (is(6, 1)) return pick("Windows 7", "Windows Server 2008 R2");
    if (is(6, 2)) return pick("Windows 8", "Windows Server 2012");
    if (is(6, 3)) return pick("Windows 8.1", "Windows Server 2012 R2");
    if (is(5, 0)) return "Windows 2000";
    if (is(5, 1)) return "Windows XP";
    if (is(5, 2)) return server2003Name(v);
    if (is(4, 10)) return "Windows 98";
    return {};
}

bool knownEdition(unsigned edition) {
    static constexpr std::array<unsigned, 24> kKnown = {
        1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 25, 48};
    return std::find(kKnown.begin(), kKnown.end(), edition) != kKnown.end();
}

}  // namespace

Text osNameProbe(const OsVersion& version) {
    Text name = baseName(version);
    if (version.major > 5 && !knownEdition(version.editionType))
        name = lit(texts::kOsNameUnknown) + std::to_string(version.major) + "." +
               std::to_string(version.minor);
    return name;
}

bool systemIsWindowsXp() {
    return false;
}

}  // namespace pw
