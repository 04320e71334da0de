// Appending on POSIX systems: O_APPEND makes each write() land at the end of the file as it is at
// that moment, whoever else appends.

#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/posix/file_kind.h"

namespace shiftlet {

namespace {

class PosixAppendFile final : public AppendFile {
 public:
  explicit PosixAppendFile(int descriptor) : descriptor_(descriptor) {}
  ~PosixAppendFile() override { ::close(descriptor_); }
  PosixAppendFile(const PosixAppendFile&) = delete;
  PosixAppendFile& operator=(const PosixAppendFile&) = delete;

  bool AppendLine(std::string_view text) override {
    std::string line(text);
    line += '\n';
    // One write: finishing a short one with a second would let another program's bytes in between.
    for (;;) {
      const ssize_t put = ::write(descriptor_, line.data(), line.size());
      if (put >= 0) {
        return static_cast<std::size_t>(put) == line.size();
      }
      if (errno != EINTR) {
        return false;
      }
    }
  }

 private:
  int descriptor_;
};

// Whether `info` is the null device, which takes a log that is to be thrown away.
bool IsNullDevice(const struct stat& info) {
  struct stat null {};
  return S_ISCHR(info.st_mode) && ::stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) &&
         info.st_rdev == null.st_rdev;
}

// A log is a regular file, the null device, or a pipe someone reads. Any other device (a terminal,
// a serial line) is refused with what it is, before it is opened: opening some has effects of its
// own, and a write to one may never end.
void RefuseAsLog(const struct stat& info) {
  if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode) && !IsNullDevice(info)) {
    throw std::runtime_error(std::string("it is ") + KindOf(info.st_mode) + ", not a regular file");
  }
}

}  // namespace

std::unique_ptr<AppendFile> OpenForAppending(const std::string& path) {
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists) {
    RefuseAsLog(info);
  }
  // O_NONBLOCK: a pipe nobody reads fails the open (ENXIO) rather than block it; O_NOCTTY: a
  // terminal put there since must not become ours.
  const int descriptor =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY,
             0666);  // less the umask
  if (descriptor < 0) {
    if (errno == ENXIO && exists && S_ISFIFO(info.st_mode)) {
      throw std::runtime_error("it is a pipe that nobody reads");
    }
    throw std::runtime_error(std::strerror(errno));
  }
  auto file = std::make_unique<PosixAppendFile>(descriptor);
  if (::fstat(descriptor, &info) != 0) {
    throw std::runtime_error(std::strerror(errno));
  }
  RefuseAsLog(info);  // what was opened, which may have been put there since
  const int flags = ::fcntl(descriptor, F_GETFL);
  if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    throw std::runtime_error(std::strerror(errno));
  }
  return file;
}

}  // namespace shiftlet
