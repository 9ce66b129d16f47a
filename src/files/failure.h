#pragma once
// A file a job could not read, write, delete or list, with the system's reason, so that the
// user is told which file failed and why.

#include <system_error>
#include <vector>

#include "platform/files.h"

namespace pw {

enum class FailureKind { Read, Write, Delete, List };

struct Failure {
    FailureKind kind;
    Text path;
    std::error_code reason;
};

using Failures = std::vector<Failure>;

}  // namespace pw
