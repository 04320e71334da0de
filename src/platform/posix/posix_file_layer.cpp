// Files on POSIX systems, through the system calls themselves so that every error is seen:
// exclusive creation, fsync before the rename, a checked close, and the folder synced after it.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/capability.h>
#include <sys/syscall.h>
#endif

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "paths/path_text.h"
#include "platform/posix/file_kind.h"
#include "platform/system_file_layer.h"
#include "textfile/conversion_failure.h"
#include "textfile/replacement_file.h"

namespace shiftlet {

namespace {

[[noreturn]] void Fail(const char* what, const std::string& path, int error) {
  const std::string reason = std::string(what) + " " + path + ": " + std::strerror(error);
  if (error == EACCES) {
    throw ConversionFailure::AccessDenied(reason);  // another user may have the rights
  }
  throw ConversionFailure(reason);
}

// A file with no write permission for anyone says "permission denied" too, but no other user's
// rights would make it writable: it is not an access denial.
[[noreturn]] void FailReadOnly(const std::string& path) {
  throw ConversionFailure("cannot write " + path + ": " + std::strerror(EACCES));
}

class PosixFile final : public OpenFile {
 public:
  PosixFile(int descriptor, std::string path) : descriptor_(descriptor), path_(std::move(path)) {}
  ~PosixFile() override {
    if (descriptor_ >= 0) {
      ::close(descriptor_);
    }
  }

  std::uint64_t SizeHint() override {
    struct stat info {};
    if (::fstat(descriptor_, &info) != 0 || info.st_size < 0) {
      return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
  }

  std::size_t Read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t got = ::read(descriptor_, buffer, size);
      if (got >= 0) {
        return static_cast<std::size_t>(got);
      }
      if (errno != EINTR) {
        Fail("cannot read", path_, errno);
      }
    }
  }

  void Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t put = ::write(descriptor_, data, size);
      if (put < 0) {
        if (errno == EINTR) {
          continue;
        }
        Fail("cannot write", path_, errno);
      }
      data += put;
      size -= static_cast<std::size_t>(put);
    }
  }

  void Flush() override {
    if (::fsync(descriptor_) != 0) {
      Fail("cannot flush", path_, errno);
    }
  }

  void Close() override {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (descriptor >= 0 && ::close(descriptor) != 0) {
      Fail("cannot close", path_, errno);
    }
  }

 private:
  int descriptor_;
  std::string path_;
};

[[noreturn]] void FailNotRegular(const char* what, const std::string& path, mode_t mode) {
  throw ConversionFailure(std::string(what) + " " + path + ": it is " + KindOf(mode) +
                          ", not a regular file");
}

// Whether the process holds a right that passes over a file's owner and mode (CAP_FOWNER: replace
// another's file in a sticky folder; CAP_DAC_OVERRIDE: write a file whose mode forbids it;
// CAP_CHOWN: give a file away). Where the system has no such rights apart, root holds them all.
enum class Right { kFileOwner, kOverrideMode, kGiveAway };
bool HoldsRight(Right right) {
#if defined(__linux__)
  const int capability = right == Right::kFileOwner      ? CAP_FOWNER
                         : right == Right::kOverrideMode ? CAP_DAC_OVERRIDE
                                                         : CAP_CHOWN;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (::syscall(SYS_capget, &header, data) == 0) {
    const auto word = static_cast<std::size_t>(capability / 32);
    return ((data[word].effective >> (capability % 32)) & 1U) != 0;
  }
#else
  static_cast<void>(right);
#endif
  return ::geteuid() == 0;
}

// The mode a new file gets: 0666 less the umask, read without changing it for long.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

class PosixFileLayer final : public FileLayer {
 public:
  explicit PosixFileLayer(const CodePage& codePage) : codePage_(codePage) {}

  std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override {
    // Asked first so that a device is never opened (opening some has effects of its own)...
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
      FailNotRegular("cannot open", path, info.st_mode);
    }
    // ...and again of what was opened, which may have been put there since. O_NONBLOCK: a pipe
    // with no writer would block the open; O_NOCTTY: a terminal must not become ours.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
      Fail("cannot open", path, errno);
    }
    auto file = std::make_unique<PosixFile>(descriptor, path);
    if (::fstat(descriptor, &info) != 0) {
      Fail("cannot open", path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
      FailNotRegular("cannot open", path, info.st_mode);
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
      Fail("cannot open", path, errno);
    }
    return file;
  }

  std::unique_ptr<OpenFile> OpenToCompare(const std::string& path) override {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      return nullptr;  // nothing there, a dangling link, or what the write will name
    }
    return OpenForReading(path);
  }

  void CheckWritableInPlace(const std::string& path) override {
    struct stat info {};
    // lstat: a symbolic link is replaced itself (the rename puts the new file in its place), so
    // it is the link that is asked about, and nothing it names is opened.
    if (::lstat(path.c_str(), &info) != 0) {
      if (errno != ENOENT) {
        Fail("cannot write", path, errno);
      }
      // A missing file is created in its folder, which must exist: the one place that says so.
      const std::string folder = FolderOf(path);
      if (::stat(folder.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
          throw ConversionFailure::MissingFolder(folder);
        }
        Fail("cannot write", path, errno);
      }
      if (!S_ISDIR(info.st_mode)) {
        throw ConversionFailure::MissingFolder(folder);
      }
      CheckRoomBeside(path);
      return;
    }
    if (S_ISLNK(info.st_mode)) {
      CheckRoomBeside(path);  // in an existing folder, as it exists itself
      CheckMayReplaceEntry(path, info);
      return;
    }
    // The rename would put the new file in place of a device, a pipe or a socket, which nobody
    // asking for a menu file meant; a folder cannot be replaced by a file at all.
    if (!S_ISREG(info.st_mode)) {
      FailNotRegular("cannot write", path, info.st_mode);
    }
    // A file with no write permission for anyone is read-only, even to an administrator who could
    // write it anyway, as a read-only file is on Windows.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      FailReadOnly(path);
    }
    CheckRoomBeside(path);
    CheckMayReplaceEntry(path, info);
    // Opening for writing without truncating changes nothing and asks the real question.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
      // The runner's own file whose mode keeps its owner from writing is read-only to it: no other
      // user's rights would make this run write it.
      if (errno == EACCES && info.st_uid == ::geteuid()) {
        FailReadOnly(path);
      }
      Fail("cannot write", path, errno);
    }
    ::close(descriptor);
  }

  void CheckWritableOnceCreated(const std::string& path) override {
    // The folder, the names beside it and what is there now are asked as for the first write.
    CheckWritableInPlace(path);
    // Then the file the run puts there, as Replace makes it: with the mode of the file at the path
    // (through a link, as stat reads it), or, where there is none, 0666 less the umask; owned by
    // the runner unless it may give files away. The runner may then write it in place, and
    // replace it in a sticky folder, as its owner.
    struct stat target {};
    const bool replacing = ::stat(path.c_str(), &target) == 0;
    const mode_t mode = replacing ? (target.st_mode & 07777) : NewFileMode();
    const uid_t owner = replacing && HoldsRight(Right::kGiveAway) ? target.st_uid : ::geteuid();
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      FailReadOnly(path);
    }
    if (owner == ::geteuid() && (mode & S_IWUSR) == 0 && !HoldsRight(Right::kOverrideMode)) {
      FailReadOnly(path);
    }
  }

  std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override {
    const int descriptor =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);  // less the umask
    if (descriptor < 0) {
      if (errno == EEXIST) {
        return nullptr;
      }
      Fail("cannot create", path, errno);
    }
    return std::make_unique<PosixFile>(descriptor, path);
  }

  void Replace(const std::string& source, const std::string& target) override {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
      // Keep the target's owner where we may (only an administrator may give files away), else
      // its group where we may (one we belong to), and its permissions always; except that a
      // group that cannot be kept takes its rights with it, rather than hand them to ours.
      mode_t mode = info.st_mode & 07777;
      if (::chown(source.c_str(), info.st_uid, info.st_gid) != 0) {
        if (errno != EPERM) {
          Fail("cannot set the owner of", source, errno);
        }
        if (::chown(source.c_str(), static_cast<uid_t>(-1), info.st_gid) != 0) {
          if (errno != EPERM) {
            Fail("cannot set the group of", source, errno);
          }
          mode &= static_cast<mode_t>(~S_IRWXG);
        }
      }
      if (::chmod(source.c_str(), mode) != 0) {
        Fail("cannot set the permissions of", source, errno);
      }
    }
    if (::rename(source.c_str(), target.c_str()) != 0) {
      Fail("cannot replace", target, errno);
    }
    // Make the rename itself durable. The file is in place either way, so errors are ignored.
    const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
  }

  std::string EntryKey(const std::string& path) override {
    // The folder is followed through links to the one it is, so "a/./x", "b/../a/x" and a link to
    // a, then "/x", all name one entry. A missing file's name is its bytes; an existing one's is
    // the name its folder lists, which a folder that ignores case finds under other bytes too.
    const std::string name = NameOf(path, kPosixPaths, codePage_);
    const std::string folder = FolderOf(path);
    struct stat info {};
    if (!NamesAnEntry(name) || ::stat(folder.c_str(), &info) != 0) {
      return "path " + path;
    }
    const std::string listed = ListedName(path);
    return "entry " + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + "/" +
           (listed.empty() ? name : listed);
  }

  std::string ListedName(const std::string& path) override {
    const std::string name = NameOf(path, kPosixPaths, codePage_);
    const std::string folder = FolderOf(path);
    struct stat entry {};
    if (!NamesAnEntry(name) || ::lstat(path.c_str(), &entry) != 0) {
      return "";
    }
    const auto isGiven = [&](const std::string& listed) {
      struct stat other {};
      return ::lstat(JoinPath(folder, '/', listed, codePage_).c_str(), &other) == 0 &&
             other.st_dev == entry.st_dev && other.st_ino == entry.st_ino;
    };
    return ListedNameOf(name, Listing(folder), isGiven);
  }

  std::string LinkedPath(const std::string& path) override {
    std::string target(4096, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
      return "";
    }
    target.resize(static_cast<std::size_t>(length));
    return target.front() == '/'
               ? target
               : JoinPath(ParentFolderOf(path, kPosixPaths, codePage_), '/', target, codePage_);
  }

  std::string FileIdOf(const std::string& path) override {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
      return "";
    }
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
  }

  bool IsLink(const std::string& path) override {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  }

  void Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) {
      Fail("cannot remove", path, errno);
    }
  }

  void RemoveQuietly(const std::string& path) noexcept override { ::unlink(path.c_str()); }

 private:
  std::string FolderOf(const std::string& path) const {
    return FolderToCreateIn(path, kPosixPaths, codePage_);
  }

  // The names `folder` lists; none where it cannot be read.
  static std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    DIR* const listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
      return names;
    }
    while (const dirent* entry = ::readdir(listing)) {
      names.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    return names;
  }

  // The replace renames over the entry at `path` (`info`, from lstat): in a sticky folder (1777,
  // as /tmp and shared folders are) only the owner of the entry or of the folder may, or a process
  // with the right to act as any owner. Asked before anything is written, as the rename would
  // refuse it after.
  void CheckMayReplaceEntry(const std::string& path, const struct stat& info) const {
    const std::string folder = FolderOf(path);
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || (folderInfo.st_mode & S_ISVTX) == 0) {
      return;
    }
    const uid_t runner = ::geteuid();
    if (info.st_uid != runner && folderInfo.st_uid != runner && !HoldsRight(Right::kFileOwner)) {
      throw ConversionFailure::AccessDenied("cannot replace " + path + ": " + std::strerror(EPERM) +
                                            " (it is another user's, in " + folder +
                                            ", where only a file's owner may replace it)");
    }
  }

  // Whatever writes `path` first creates a temporary file beside it, under a longer name: the
  // folder must let whoever runs the program create files (faccessat answers for the effective
  // user, as the creation would), and that name must fit the folder's file system. Asked before
  // anything is created, so the failure names no temporary file.
  void CheckRoomBeside(const std::string& path) const {
    const std::string folder = FolderOf(path);
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
      Fail("cannot create files in", folder, errno);
    }
    const std::size_t nameLength = NameOf(path, kPosixPaths, codePage_).size();
    const std::string tooLong =
        NamesBesideTooLong(nameLength, path.size(), kTemporaryTagSize, LimitsOf(folder));
    if (!tooLong.empty()) {
      throw ConversionFailure("cannot write " + path + ": " + tooLong);
    }
  }

  // The longest name and path the folder's file system takes (pathconf's path length counts the
  // terminating NUL); 0 where it sets none or cannot say.
  static NameLimits LimitsOf(const std::string& folder) {
    const long name = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const long path = ::pathconf(folder.c_str(), _PC_PATH_MAX);
    return {name > 0 ? static_cast<std::size_t>(name) : 0,
            path > 1 ? static_cast<std::size_t>(path - 1) : 0, "bytes"};
  }

  CodePage codePage_;
};

}  // namespace

std::unique_ptr<FileLayer> MakeSystemFileLayer(const CodePage& codePage) {
  return std::make_unique<PosixFileLayer>(codePage);
}

std::unique_ptr<FileLayer> MakeSystemFileLayer() {
  return MakeSystemFileLayer(SystemCodePage());
}

std::string RightsAdvice() {
  return "run it as the user the conversion will run as";
}

}  // namespace shiftlet
