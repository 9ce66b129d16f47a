#pragma once
// An advisory lock held for as long as the object lives; the first holder wins and nobody waits.

#include <memory>

#include "platform/text_bytes.h"

namespace pw {

class FileLock {
  public:
    virtual ~FileLock() = default;
};

// Locks a file or a folder for this process; nothing when another holder has it or the path
// cannot be opened. Released when the lock object is destroyed (or the process ends).
std::unique_ptr<FileLock> tryLockExclusive(const Text& path);

}  // namespace pw
