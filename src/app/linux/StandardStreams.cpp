#include "app/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace vantrel {

void OpenStandardStreams() {
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is the one that is closed.
    const int null = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) close(null);
  }
}

}  // namespace vantrel
