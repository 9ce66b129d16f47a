#pragma once
// What an engine works with: the host that runs it, the files and the clock.

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/job_host.h"

namespace pw {

struct EngineContext {
    EngineContext(JobHost& host, FileSystem& files, Clock& clock)
        : host(host), files(files), clock(clock), stopRequested(host.stopFlag()) {}

    JobHost& host;
    FileSystem& files;
    Clock& clock;
    StopFlag& stopRequested;  // the host's
};

}  // namespace pw
