#include "document/read_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirelle {
namespace {

std::string os_error(int code) {
  char buffer[256];
  // The GNU strerror_r returns the message, which may not be in buffer.
  return strerror_r(code, buffer, sizeof buffer);
}

}  // namespace

Outcome<std::string> read_file(const std::string& path) {
  if (path.find('\0') != std::string::npos)
    return Outcome<std::string>::failure("path contains a NUL character");
  int fd;
  do fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return Outcome<std::string>::failure(os_error(errno));
  std::string data;
  struct stat info;
  if (fstat(fd, &info) == 0 && info.st_size > 0) data.reserve(size_t(info.st_size));
  char chunk[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int code = errno;
      ::close(fd);
      return Outcome<std::string>::failure(os_error(code));
    }
    if (n == 0) break;
    data.append(chunk, size_t(n));
  }
  ::close(fd);
  return Outcome<std::string>::success(std::move(data));
}

}  // namespace quirelle
