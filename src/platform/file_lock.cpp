#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/native_names.h"

namespace pw {
namespace {

class FlockLock : public FileLock {
  public:
    explicit FlockLock(int fd) : fd_(fd) {}
    ~FlockLock() override { ::close(fd_); }  // closing the descriptor releases the lock

  private:
    int fd_;
};

}  // namespace

std::unique_ptr<FileLock> tryLockExclusive(const Text& path) {
    // Read-only works for folders too; flock needs no write access.
    const int fd = ::open(toNativeName(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    int rc;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FlockLock>(fd);
}

}  // namespace pw
