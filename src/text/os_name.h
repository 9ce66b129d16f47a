#pragma once
// The product name of a Windows version, from the numbers the system reports. Drops from a file
// manager need the privilege filter opened on every system after Windows XP.

#include <cstdint>

#include "text/codepage.h"

namespace pw {

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
    uint8_t productType = 0;  // 1: workstation
    uint16_t suiteMask = 0;
    uint16_t architecture = 0;  // 9: x64
    unsigned editionType = 0;   // asked of the system only above major 5
    int serverR2 = 0;           // the system metric telling Server 2003 R2
    Text registryProductName;   // used for a 10.0 server
};

Text osNameProbe(const OsVersion& version);

// Whether the running system is Windows XP (its name begins so); a system that is not Windows
// never is.
bool systemIsWindowsXp();

}  // namespace pw
