// Appending on POSIX systems: O_APPEND makes each write() land at the end of the file as it is at
// that moment, whoever else appends.

#include "platform/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

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

}  // namespace

std::unique_ptr<AppendFile> OpenForAppending(const std::string& path) {
  const int descriptor =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);  // less the umask
  if (descriptor < 0) {
    throw std::runtime_error(std::strerror(errno));
  }
  return std::make_unique<PosixAppendFile>(descriptor);
}

}  // namespace shiftlet
