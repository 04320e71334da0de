// Files on Windows, through the Win32 calls themselves (their ANSI forms, so paths are bytes in
// the system's code page, as everywhere else in the program): binary I/O, exclusive creation,
// a flush before the replace, and a replace that keeps what Windows keeps for the target. What is
// asked of a file before it is acted on is asked of a handle on it, and acted on through that
// handle, or checked again on one: a name in a folder other users can write may lead elsewhere by
// the time it is used. A file another program holds a moment (Velmora itself, a virus scanner) is
// waited for.

#include "platform/win32/win32_file_layer.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "paths/path_text.h"
#include "paths/windows_device_names.h"
#include "platform/system_file_layer.h"
#include "platform/win32/ansi_text.h"
#include "platform/win32/reparse_data.h"
#include "platform/win32/system_error_text.h"
#include "textfile/conversion_failure.h"
#include "textfile/replacement_file.h"

namespace shiftlet {

namespace {

[[noreturn]] void Fail(const char* what, const std::string& path, DWORD error) {
  const std::string reason = std::string(what) + " " + path + ": " + SystemErrorText(error);
  if (error == ERROR_ACCESS_DENIED) {
    throw ConversionFailure::AccessDenied(reason);  // elevation may give the rights
  }
  throw ConversionFailure(reason);
}

// A read-only file says "access denied" too, but no rights make it writable.
[[noreturn]] void FailReadOnly(const char* what, const std::string& path) {
  throw ConversionFailure(std::string(what) + " " + path + ": " +
                          SystemErrorText(ERROR_ACCESS_DENIED));
}

[[noreturn]] void FailNotRegular(const char* what, const std::string& path, const char* kind) {
  throw ConversionFailure(std::string(what) + " " + path + ": it is " + kind +
                          ", not a regular file");
}

// What a handle that is not a file on a disk was opened on (GetFileType's answer), for the failure
// that refuses it.
const char* KindOfHandle(DWORD type) {
  switch (type) {
    case FILE_TYPE_CHAR:
      return "a character device";
    case FILE_TYPE_PIPE:
      return "a pipe";
    default:
      return "a device";
  }
}

// What each call's last try met: its error (ERROR_SUCCESS when it succeeded), and whether that
// was a file in use, still so after the wait.
struct Tried {
  DWORD error;
  bool inUse;
};

// The access a replace asks of its target: ReplaceFileA opens it for reading and removal, and
// needs write access to it.
constexpr DWORD kReplaceAccess = GENERIC_READ | GENERIC_WRITE | DELETE | SYNCHRONIZE;

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A replace of a file that is not a link first moves it to this name plus a temporary tag beside
// it (ReserveBackup), the longest name the run makes.
constexpr std::string_view kBackupSuffix = ".old";

// The length of ANSI text as Windows counts it in its limits: in UTF-16 units.
std::size_t Utf16Length(const std::string& text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return text.size();
  }
  const int units =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  return units > 0 ? static_cast<std::size_t>(units) : text.size();
}

// The limits of names in `folder`: a whole path below MAX_PATH (ANSI calls take no longer one),
// and a name no longer than its volume's longest component where the volume says.
NameLimits LimitsOf(const std::string& folder) {
  NameLimits limits{0, MAX_PATH - 1, "characters"};
  char root[MAX_PATH + 1] = {};
  DWORD longestComponent = 0;
  if (GetVolumePathNameA(folder.c_str(), root, sizeof root) &&
      GetVolumeInformationA(root, nullptr, 0, nullptr, &longestComponent, nullptr, nullptr, 0)) {
    limits.longestName = longestComponent;
  }
  return limits;
}

// Attributes a replaced file keeps. Read-only is not among them: a read-only target is refused.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Win32File final : public OpenFile {
 public:
  Win32File(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32File() override {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
    }
  }

  std::uint64_t SizeHint() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size) || size.QuadPart < 0) {
      return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  std::size_t Read(char* buffer, std::size_t size) override {
    const DWORD wanted = static_cast<DWORD>(
        size < std::numeric_limits<DWORD>::max() ? size : std::numeric_limits<DWORD>::max());
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, wanted, &got, nullptr)) {
      Fail("cannot read", path_, GetLastError());
    }
    return got;
  }

  void Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(
          size < std::numeric_limits<DWORD>::max() ? size : std::numeric_limits<DWORD>::max());
      DWORD put = 0;
      if (!WriteFile(handle_, data, chunk, &put, nullptr)) {
        Fail("cannot write", path_, GetLastError());
      }
      if (put == 0) {
        Fail("cannot write", path_, ERROR_WRITE_FAULT);
      }
      data += put;
      size -= put;
    }
  }

  void Flush() override {
    if (!FlushFileBuffers(handle_)) {
      Fail("cannot flush", path_, GetLastError());
    }
  }

  void Close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (handle != INVALID_HANDLE_VALUE && !CloseHandle(handle)) {
      Fail("cannot close", path_, GetLastError());
    }
  }

 private:
  HANDLE handle_;
  std::string path_;
};

// Whether a failure to read a path's attributes means nothing is there. Any other failure (access
// denied, a bad name, a device not ready) says nothing about what is there, so it is an error.
bool NamesNothing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Only symbolic links and junctions are replaced as links, by a rename. Other reparse points (a
// file compacted by `compact /exe`, deduplicated, or a cloud placeholder) hold the file's own
// content and are replaced as ordinary files.
bool IsReplacedAsLink(const FILE_ATTRIBUTE_TAG_INFO& kind) {
  return (kind.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (kind.ReparseTag == IO_REPARSE_TAG_SYMLINK ||
          kind.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT);
}

// The access to remove a file through its handle, and to check first which file it is.
constexpr DWORD kToRemove = DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// Whether the file open as `file` is `expected` and, with `empty`, holds nothing.
bool IsFile(HANDLE file, const FileIdentity& expected, bool empty = false) {
  FileFacts facts;
  return ReadFileFacts(file, facts) && facts.identity == expected && (!empty || facts.size == 0);
}

// Wildcards FindFirstFileA reads in a name: DOS's forms of ?, * and . too.
constexpr const char* kWildcards = "*?<>\"";

// A path a link led to that may be asked about: on this machine, and no device.
bool MayFollowTo(const std::string& path, const CodePage& codePage) {
  const bool share = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
                     (path[1] == '\\' || path[1] == '/');
  return !share && WindowsDeviceIn(path, codePage) == WindowsDevice::kNone;
}

// The name its folder lists for the file at `path`; "" for none. Never looked up by a name a search
// would take for a pattern, nor a device's.
std::string ListedNameOnDisk(const std::string& path, const CodePage& codePage) {
  const std::string name = NameOf(path, kWindowsPaths, codePage);
  if (!NamesAnEntry(name) || name.find_first_of(kWildcards) != std::string::npos ||
      WindowsDeviceIn(path, codePage) != WindowsDevice::kNone) {
    return "";
  }
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return "";
  }
  FindClose(search);
  return found.cFileName;
}

// The volume and file index of the folder at `path`, which every name of it shares; empty when it
// cannot be opened. Opening a folder needs FILE_FLAG_BACKUP_SEMANTICS; reading its attributes
// needs no other right.
std::string FolderIdentity(const std::string& path) {
  const HANDLE handle = CreateFileA(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | kNoPipeImpersonation, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return "";
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL known = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return "";
  }
  return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) +
         ":" + std::to_string(info.nFileIndexLow);
}

// A name as the file system compares names, without case: its characters (read in the ANSI code
// page, as the ANSI calls read them) upper-cased as Windows does without a language's rules, in
// UTF-8. A name the code page cannot read stays as it is.
std::string UpperCaseName(const std::string& name) {
  const int size = static_cast<int>(name.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
  if (wide <= 0) {
    return name;
  }
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), size, text.data(), wide);
  std::wstring upper(text.size(), L'\0');
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.data(), wide, upper.data(), wide) !=
      wide) {
    return name;
  }
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, upper.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string key(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, upper.data(), wide, key.data(), bytes, nullptr, nullptr);
  return key;
}

class Win32FileLayer final : public FileLayer {
 public:
  Win32FileLayer(FileLayerCalls calls, const CodePage& codePage)
      : calls_(std::move(calls)), codePage_(codePage) {}

  void WaitForFilesInUse(const InUseWait& wait) override { wait_ = wait; }

  std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override {
    // Windows opens a device for a reserved name in any folder and for a device path, where a
    // read may never end and a write fails later for a reason that does not say why: both are
    // refused by their name, before anything is opened.
    RefuseWindowsDevice("cannot open", path, codePage_);
    // Said by name here: the open below cannot take a folder (that needs
    // FILE_FLAG_BACKUP_SEMANTICS), and would only say "access denied".
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      FailNotRegular("cannot open", path, "a folder");
    }
    const HANDLE handle = OpenWhileInUse("cannot open", path, GENERIC_READ, [&] {
      return calls_.openExisting(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                 FILE_ATTRIBUTE_NORMAL);
    });
    auto file = std::make_unique<Win32File>(handle, path);
    // What was opened, whatever its name: only a file on a disk is read, never a console, a pipe
    // or a device whose reads may not end.
    const DWORD type = GetFileType(handle);
    if (type != FILE_TYPE_DISK) {
      FailNotRegular("cannot open", path, KindOfHandle(type));
    }
    return file;
  }

  std::unique_ptr<OpenFile> OpenToCompare(const std::string& path) override {
    if (WindowsDeviceIn(path, codePage_) != WindowsDevice::kNone) {
      return nullptr;  // never opened: the write refuses it by name
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return nullptr;
    }
    return OpenForReading(path);
  }

  void CheckWritableInPlace(const std::string& path) override {
    RefuseWindowsDevice("cannot write", path, codePage_);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      if (!NamesNothing(error)) {
        Fail("cannot write", path, error);
      }
      // A missing file is created in its folder, which must exist: the one place that says so.
      const std::string folder = FolderOf(path);
      const DWORD folderAttributes = GetFileAttributesA(folder.c_str());
      if (folderAttributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD folderError = GetLastError();
        if (NamesNothing(folderError)) {
          throw ConversionFailure::MissingFolder(folder);
        }
        Fail("cannot write", path, folderError);
      }
      if ((folderAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw ConversionFailure::MissingFolder(folder);
      }
      CheckRoomBeside(path, kTemporaryTagSize);
      return;
    }
    // Said by name: opening a folder would only say "access denied", and send an administrator
    // after rights that would not help.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      FailNotRegular("cannot write", path, "a folder");
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      FailReadOnly("cannot write", path);
    }
    // A link is moved aside by a rename; any other file by ReplaceFileA, to a backup name.
    const bool link = IsReplacedAsLink(KindOf("cannot read the attributes of", path));
    CheckRoomBeside(path, link ? kTemporaryTagSize : kBackupSuffix.size() + kTemporaryTagSize);
    // Opening without truncating changes nothing and asks the real question (access rights,
    // another program holding the file, waited for), with the rights and sharing the replace
    // itself asks. A link is replaced itself, never written through, so the question is asked of
    // the link alone: may it be removed? Asked last, so that a file in use is the only answer
    // left to give.
    const DWORD access = link ? DELETE : kReplaceAccess;
    CloseHandle(OpenWhileInUse("cannot write", path, access,
                               [&] { return OpenAsReplaced(path, link, access); }));
  }

  std::string InUseBy(const std::string& path) override {
    if (WindowsDeviceIn(path, codePage_) != WindowsDevice::kNone) {
      return "";
    }
    FILE_ATTRIBUTE_TAG_INFO kind{};
    {
      const UniqueHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE);
      if (!entry || !calls_.readKind(entry.Get(), kind) ||
          (kind.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return "";  // nothing there, a folder, or what the run fails on for a reason of its own
      }
    }
    // The removal a replace makes of the target, and nothing more: a holder that lets a file be
    // removed (FILE_SHARE_DELETE) does not stop the replace.
    const HANDLE handle = OpenAsReplaced(path, IsReplacedAsLink(kind), DELETE);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      return "";
    }
    return Held(path, GetLastError(), DELETE) ? ConversionFailure::NamedHolder(HolderOf(path)) : "";
  }

  void CheckWritableOnceCreated(const std::string& path) override {
    CheckWritableInPlace(path);
    // Once there it is an ordinary file, whatever was there before (nothing, or a link the rename
    // replaced), without the read-only attribute: it is replaced with its backup name beside it.
    CheckRoomBeside(path, kBackupSuffix.size() + kTemporaryTagSize);
  }

  std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override {
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | kNoPipeImpersonation, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
        return nullptr;
      }
      Fail("cannot create", path, error);
    }
    // A name can open a device or a pipe rather than create a file (a device name the checks did
    // not know): nothing is written to it. Removing by that name removes no device.
    const DWORD type = GetFileType(handle);
    if (type != FILE_TYPE_DISK) {
      CloseHandle(handle);
      DeleteFileA(path.c_str());
      FailNotRegular("cannot create", path, KindOfHandle(type));
    }
    KeepCreated(path, handle);
    return std::make_unique<Win32File>(handle, path);
  }

  void Replace(const std::string& source, const std::string& target) override {
    const UniqueHandle temporary = TemporaryHandle(source);
    created_.erase(target);  // a file this layer made, replaced in turn: no longer held
    // The target is asked about on a handle kept until it is replaced: what it is, and which file,
    // so that the backup removed afterwards is the file checked here and no other.
    UniqueHandle old = OpenEntry(target, FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    if (!old) {
      if (!NamesNothing(old.Error())) {
        Fail("cannot replace", target, old.Error());
      }
      MoveIntoPlace(source, target);  // a new file: nothing of the target's to keep
      return;
    }
    FileFacts facts;
    FILE_ATTRIBUTE_TAG_INFO kind{};
    if (!ReadFileFacts(old.Get(), facts) || !calls_.readKind(old.Get(), kind)) {
      Fail("cannot replace", target, GetLastError());
    }
    if ((facts.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      FailReadOnly("cannot replace", target);
    }
    if (IsReplacedAsLink(kind)) {
      // ReplaceFileA may follow a link and overwrite the file it names, which the user never
      // chose (a link planted in a shared folder would turn an elevated run against any file).
      // The rename replaces the link itself with the new file; it never follows one, so the
      // link need not be held, and a rename over a file still open fails.
      old.Close();
      MoveIntoPlace(source, target);
      return;
    }
    if ((kind.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      FailNotRegular("cannot replace", target, "a folder");
    }
    TakeOverAttributes(temporary, source, facts);
    const Reservation backup = ReserveBackup(target);
    // No flags. REPLACEFILE_WRITE_THROUGH is documented as unsupported: the new content was
    // flushed before, and NTFS journals the rename. REPLACEFILE_IGNORE_MERGE_ERRORS and
    // REPLACEFILE_IGNORE_ACL_ERRORS would let the new file go in with the temporary file's access
    // rights instead of the target's, silently dropping a grant Velmora's users rely on (or
    // adding one the administrator removed); failing keeps the old file as it was instead.
    const Tried replaced = WhileInUse(
        [&]() -> DWORD {
          return calls_.replaceFile(target.c_str(), source.c_str(), backup.path.c_str(), 0)
                     ? ERROR_SUCCESS
                     : GetLastError();
        },
        [&](DWORD error) { return ReplaceHeld(source, target, backup, error); });
    if (replaced.error == ERROR_SUCCESS) {
      RemoveReplacedOriginal(target, backup.path, facts.identity);
      return;
    }
    RecoverFromFailedReplace(source, target, backup, facts.identity, replaced);
  }

  std::vector<std::string> TakeFilesLeftBehind() override { return std::exchange(leftBehind_, {}); }

  std::string EntryKey(const std::string& path) override {
    const std::string name = NameOf(path, kWindowsPaths, codePage_);
    // Keyed by its text, never looked up: a device is not opened, and a name with a wildcard
    // would list another file.
    if (!NamesAnEntry(name) || name.find_first_of(kWildcards) != std::string::npos ||
        WindowsDeviceIn(path, codePage_) != WindowsDevice::kNone) {
      return "path " + path;
    }
    const std::string folderIdentity = FolderIdentity(FolderOf(path));
    if (folderIdentity.empty()) {
      return "path " + path;
    }
    // An existing file's name as the folder lists it, whichever name reached it (another case, a
    // short name): the file system's answer, right in a folder made case-sensitive too.
    if (const std::string listed = ListedName(path); !listed.empty()) {
      return "entry " + folderIdentity + "\\listed " + listed;
    }
    // A missing file's name, compared as folders compare names unless made case-sensitive.
    return "entry " + folderIdentity + "\\new " + UpperCaseName(name);
  }

  std::string ListedName(const std::string& path) override {
    return ListedNameOnDisk(path, codePage_);
  }

  // Nothing is said of where a link leads that would be opened next, unless it stays on this
  // machine and names no device: whatever the dry run asks of a followed name, an elevated check
  // never signs in to another machine, nor talks to a pipe, for a link someone planted.
  std::string LinkedPath(const std::string& path) override {
    if (WindowsDeviceIn(path, codePage_) != WindowsDevice::kNone) {
      return "";
    }
    const LinkTarget link = ReadLinkTarget(path);
    const std::string target = link.path.empty() ? "" : AnsiText(link.path);
    if (target.empty()) {
      return "";
    }
    const std::string followed =
        link.relative
            ? JoinPath(ParentFolderOf(path, kWindowsPaths, codePage_), '\\', target, codePage_)
            : target;
    return MayFollowTo(followed, codePage_) ? followed : "";
  }

  std::string FileIdOf(const std::string& path) override {
    if (WindowsDeviceIn(path, codePage_) != WindowsDevice::kNone) {
      return "";
    }
    const UniqueHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    FileFacts facts;
    return entry && ReadFileFacts(entry.Get(), facts) ? facts.identity.Text() : "";
  }

  bool IsLink(const std::string& path) override {
    if (WindowsDeviceIn(path, codePage_) != WindowsDevice::kNone) {
      return false;
    }
    const UniqueHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    FILE_ATTRIBUTE_TAG_INFO kind{};
    return entry && calls_.readKind(entry.Get(), kind) &&
           (kind.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }

  void Remove(const std::string& path) override { RemoveEntry(path, nullptr); }

  void RemoveIfStill(const std::string& path, const std::string& identity) override {
    RemoveEntry(path, &identity);
  }

  void RemoveQuietly(const std::string& path) noexcept override {
    created_.erase(path);
    if (std::find(onlyCopies_.begin(), onlyCopies_.end(), path) == onlyCopies_.end()) {
      DeleteFileA(path.c_str());
    }
  }

 private:
  // "C:\\a" for "C:\\a\\x.qnf", "C:\\" for "C:\\x.qnf", "C:" (that drive's current folder) for
  // "C:x.qnf", "." for "x.qnf".
  std::string FolderOf(const std::string& path) const {
    return FolderToCreateIn(path, kWindowsPaths, codePage_);
  }

  // Whatever writes `path` first creates files beside it under names up to `added` characters
  // longer: the folder must let whoever runs the program add files, and those names must fit.
  // Asked before anything is created, so the failure names no temporary file.
  void CheckRoomBeside(const std::string& path, std::size_t added) const {
    const std::string folder = FolderOf(path);
    const HANDLE handle = calls_.openFolderToAddFile(folder.c_str());
    if (handle == INVALID_HANDLE_VALUE) {
      Fail("cannot create files in", folder, GetLastError());
    }
    CloseHandle(handle);
    const std::string name = NameOf(path, kWindowsPaths, codePage_);
    const std::string tooLong =
        NamesBesideTooLong(Utf16Length(name), Utf16Length(path), added, LimitsOf(folder));
    if (!tooLong.empty()) {
      throw ConversionFailure("cannot write " + path + ": " + tooLong);
    }
  }

  // A rename within the folder: atomic, and written through before it returns. What it replaces
  // (a link, or a file made since the run looked) may be held a moment.
  void MoveIntoPlace(const std::string& source, const std::string& target) {
    FailUnlessFree(WhileInUse(
                       [&]() -> DWORD {
                         return calls_.moveFile(source.c_str(), target.c_str(),
                                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                                    ? ERROR_SUCCESS
                                    : GetLastError();
                       },
                       [&](DWORD error) { return Held(target, error, DELETE); }),
                   "cannot replace", target);
  }

  // Makes `call` (which gives its error, ERROR_SUCCESS when it succeeded) until it succeeds, or
  // fails for another reason than a file in use (`inUse`), or the wait is over.
  Tried WhileInUse(const std::function<DWORD()>& call,
                   const std::function<bool(DWORD)>& inUse) const {
    DWORD error = ERROR_SUCCESS;
    bool held = false;
    RetryWhileInUse(wait_, calls_.sleep, [&] {
      error = call();
      held = error != ERROR_SUCCESS && inUse(error);
      return !held;
    });
    return {error, held};
  }

  // Opens `path` with `access` through `open` (INVALID_HANDLE_VALUE with the error set when it
  // fails), again while another program holds it; throws when it does not open.
  HANDLE OpenWhileInUse(const char* what, const std::string& path, DWORD access,
                        const std::function<HANDLE()>& open) const {
    HANDLE handle = INVALID_HANDLE_VALUE;
    FailUnlessFree(WhileInUse(
                       [&]() -> DWORD {
                         handle = open();
                         return handle != INVALID_HANDLE_VALUE ? ERROR_SUCCESS : GetLastError();
                       },
                       [&](DWORD error) { return Held(path, error, access); }),
                   what, path);
    return handle;
  }

  // Removes the file at `path` through a handle opened to remove it, once `removable`, asked of
  // that handle, says it is the file to go (it may throw to refuse it, or say false to leave it
  // as it is). While another program holds the file, both are made again on a new handle, asked
  // anew: none is kept open between tries.
  Tried RemoveWhileInUse(const std::string& path,
                         const std::function<bool(HANDLE)>& removable) const {
    return WhileInUse(
        [&]() -> DWORD {
          const UniqueHandle file = OpenEntry(path, kToRemove);
          if (!file) {
            return file.Error();
          }
          if (!removable(file.Get())) {
            return ERROR_SUCCESS;
          }
          return calls_.deleteFile(file.Get()) ? ERROR_SUCCESS : GetLastError();
        },
        [&](DWORD error) { return Held(path, error, DELETE); });
  }

  // Throws for a call that failed: ConversionFailure::InUse when the file was in use to the end.
  void FailUnlessFree(const Tried& tried, const char* what, const std::string& path) const {
    if (tried.error == ERROR_SUCCESS) {
      return;
    }
    if (tried.inUse) {
      throw ConversionFailure::InUse(path, HolderOf(path));
    }
    Fail(what, path, tried.error);
  }

  // Whether `error` means another program holds `path` for now, so that trying again may succeed:
  // a sharing or lock violation, or an access denied that the run's rights do not explain (a
  // file pending deletion, or held by a scanner) where the file is not read-only; no rights and
  // no waiting change a read-only file.
  bool Held(const std::string& path, DWORD error, DWORD access) const {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
      return true;
    }
    if (error != ERROR_ACCESS_DENIED) {
      return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      // A file pending deletion refuses even this, while its folder lists it until the last
      // program holding it lets go.
      return GetLastError() == ERROR_ACCESS_DENIED && !ListedNameOnDisk(path, codePage_).empty();
    }
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
           calls_.rightsAllow(path.c_str(), FolderOf(path).c_str(), access);
  }

  // Who holds `path`, as the system names them; "" for nobody named.
  std::string HolderOf(const std::string& path) const {
    return DescribeHolders(calls_.holdersOf(path));
  }

  // Opens `path` with `access` as a replace of it does, sharing everything: a link itself, never
  // what it names.
  HANDLE OpenAsReplaced(const std::string& path, bool link, DWORD access) const {
    return calls_.openExisting(
        path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        link ? FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS : FILE_ATTRIBUTE_NORMAL);
  }

  // What the run asks of the entry at `path` itself, on a handle: its attributes and reparse tag.
  FILE_ATTRIBUTE_TAG_INFO KindOf(const char* what, const std::string& path) const {
    const UniqueHandle entry = OpenEntry(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    if (!entry) {
      Fail(what, path, entry.Error());
    }
    FILE_ATTRIBUTE_TAG_INFO kind{};
    if (!calls_.readKind(entry.Get(), kind)) {
      Fail(what, path, GetLastError());
    }
    return kind;
  }

  // Where the symbolic link at `path` leads, from its reparse data: nothing but the link itself is
  // opened.
  LinkTarget ReadLinkTarget(const std::string& path) const {
    const UniqueHandle link = OpenEntry(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    FILE_ATTRIBUTE_TAG_INFO kind{};
    if (!link || !calls_.readKind(link.Get(), kind) ||
        (kind.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
        kind.ReparseTag != IO_REPARSE_TAG_SYMLINK) {
      return {};
    }
    std::string data(16 * 1024, '\0');  // MAXIMUM_REPARSE_DATA_BUFFER_SIZE
    DWORD got = 0;
    if (!DeviceIoControl(link.Get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                         static_cast<DWORD>(data.size()), &got, nullptr)) {
      return {};
    }
    data.resize(got);
    return SymbolicLinkTargetOf(data);
  }

  // A file this layer creates is later given its target's attributes through a handle of its own,
  // reopened from the one that created it (no name is looked up again, so nothing put in its
  // place meanwhile is touched), that asks for its attributes alone and shares everything, so
  // it keeps nobody out. Kept with which file it is, until it is replaced or removed.
  void KeepCreated(const std::string& path, HANDLE handle) {
    Created created{
        UniqueHandle(ReOpenFile(handle, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0)),
        {}};
    FileFacts facts;
    if (ReadFileFacts(handle, facts)) {
      created.identity = facts.identity;
    }
    created_[path] = std::move(created);
  }

  // The handle on the file about to be put in place: the one kept since this layer created it;
  // for a file made otherwise, its name opened, never what a link there names.
  UniqueHandle TemporaryHandle(const std::string& source) {
    const auto found = created_.find(source);
    if (found != created_.end()) {
      UniqueHandle kept = std::move(found->second.attributes);
      created_.erase(found);
      if (kept) {
        return kept;
      }
    }
    return OpenEntry(source, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE);
  }

  // Gives the new file the old one's attributes and creation time before the replace, through its
  // own handle. ReplaceFileA carries them over itself on Windows; doing it here too keeps them
  // where it does not (Wine) and on the rename that ends a failed replace.
  void TakeOverAttributes(const UniqueHandle& temporary, const std::string& source,
                          const FileFacts& old) const {
    FILE_ATTRIBUTE_TAG_INFO kind{};
    if (!temporary || !calls_.readKind(temporary.Get(), kind)) {
      Fail("cannot set the attributes of", source, temporary ? GetLastError() : temporary.Error());
    }
    if ((kind.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      FailNotRegular("cannot set the attributes of", source, "a link");
    }
    FILE_BASIC_INFO basic{};  // times left 0 are left as they are
    basic.CreationTime.LowPart = old.creation.dwLowDateTime;
    basic.CreationTime.HighPart = static_cast<LONG>(old.creation.dwHighDateTime);
    const DWORD kept = old.attributes & kKeptAttributes;
    basic.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(temporary.Get(), FileBasicInfo, &basic, sizeof basic)) {
      Fail("cannot set the attributes of", source, GetLastError());
    }
  }

  // A name beside `target` for ReplaceFileA to move the original to, so that the original always
  // has a known name until the new file is in place. The name is taken by creating an empty file
  // exclusively, so that nobody else's file is ever used; ReplaceFileA replaces it. Which file it
  // is tells it apart later from the original, and from anyone else's.
  struct Reservation {
    std::string path;
    FileIdentity identity;
  };
  Reservation ReserveBackup(const std::string& target) {
    TemporaryFile backup = CreateTemporaryBeside(*this, target + std::string(kBackupSuffix));
    backup.file->Close();
    Reservation reservation{backup.path, {}};
    const auto found = created_.find(backup.path);
    if (found != created_.end()) {
      reservation.identity = found->second.identity;
      created_.erase(found);
    }
    return reservation;
  }

  // Whether a ReplaceFileA that failed with `error` may be tried again: its target in use, both
  // files still under their names, and the backup name still holding the empty file reserved (a
  // failure that moved one is put right at once instead; a retry must never replace the
  // original, moved there, with what came to the target's name since). Only the codes Windows
  // gives when it moved nothing, or a holder stopped it: never ERROR_UNABLE_TO_MOVE_REPLACEMENT_2,
  // which has moved the original to the backup name.
  bool ReplaceHeld(const std::string& source, const std::string& target, const Reservation& backup,
                   DWORD error) const {
    const bool movedNothing =
        error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
    if (!(movedNothing || Held(target, error, kReplaceAccess)) || !Exists(target) ||
        !Exists(source)) {
      return false;
    }
    const UniqueHandle reserved = OpenEntry(backup.path, FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    return reserved && IsFile(reserved.Get(), backup.identity, true);
  }

  // The new file is in place whatever becomes of the old content; but a copy of it left in
  // Velmora's folder is said, not kept in silence. Only the file checked as the target is
  // removed: anything else under the backup name came from a target changed meanwhile (a link
  // put there would have led ReplaceFileA to the file it names), and is left for a look.
  void RemoveReplacedOriginal(const std::string& target, const std::string& backup,
                              const FileIdentity& original) {
    bool other = false;
    const Tried removed = RemoveWhileInUse(backup, [&](HANDLE file) {
      other = !IsFile(file, original);
      return !other;
    });
    if (other) {
      leftBehind_.push_back("what was at " + target + " when it was replaced is left in " + backup +
                            ": it is not the file checked there, which was changed meanwhile");
    } else if (removed.error != ERROR_SUCCESS) {
      leftBehind_.push_back("the old content of " + target + " is left in " + backup +
                            ", which could not be removed: " + SystemErrorText(removed.error));
    }
  }

  // What a failed ReplaceFileA leaves when given a backup name, as documented:
  // - ERROR_UNABLE_TO_REMOVE_REPLACED, ERROR_UNABLE_TO_MOVE_REPLACEMENT, and any other code: both
  //   files keep their names.
  // - ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the original is under the backup name, the new file
  //   still under its temporary name.
  // ReplaceFileA moves the original nowhere but to the backup name. So whatever the code, the
  // backup name is asked which file it holds. The empty file that was reserved goes. The original
  // is moved back to the target's name when that is free (a process may have made a file there
  // meanwhile); the new file stays under its temporary name for the caller to remove. Should the
  // original not go back, it is never removed, and the failure says where it is. Anything else
  // there is left as it is. A target still in use after the wait has kept its name: the failure
  // says who holds it.
  void RecoverFromFailedReplace(const std::string& source, const std::string& target,
                                const Reservation& backup, const FileIdentity& original,
                                const Tried& tried) {
    const std::string failure = "cannot replace " + target + ": " + SystemErrorText(tried.error);
    const auto kept = [&] {
      return tried.inUse ? ConversionFailure::InUse(target, HolderOf(target))
                         : ConversionFailure(failure);
    };
    {
      const UniqueHandle held = OpenEntry(backup.path, kToRemove);
      if (held && IsFile(held.Get(), backup.identity, true)) {
        calls_.deleteFile(held.Get());
        throw kept();
      }
      if (!held) {
        throw kept();
      }
      if (!IsFile(held.Get(), original)) {
        throw ConversionFailure(failure + "; " + backup.path +
                                " holds a file put there meanwhile, left as it is");
      }
    }
    onlyCopies_.push_back(backup.path);
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
      throw ConversionFailure(failure + "; its original is in " + backup.path + ", as " + target +
                              " holds a file put there meanwhile");
    }
    // No MOVEFILE_REPLACE_EXISTING: if something is at the target after all, it stays.
    if (calls_.moveFile(backup.path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
      onlyCopies_.pop_back();
      throw ConversionFailure(failure);
    }
    const DWORD restoreError = GetLastError();
    onlyCopies_.push_back(source);
    throw ConversionFailure(
        failure + "; its original is in " + backup.path + " and its new content in " + source +
        " (putting the original back failed: " + SystemErrorText(restoreError) + ")");
  }

  // Removes the entry at `path` through the handle it is checked on: never a folder or a reparse
  // point, and, given an `identity`, only that file.
  void RemoveEntry(const std::string& path, const std::string* identity) {
    RefuseWindowsDevice("cannot remove", path, codePage_);
    created_.erase(path);
    const Tried removed = RemoveWhileInUse(path, [&](HANDLE entry) {
      FileFacts facts;
      FILE_ATTRIBUTE_TAG_INFO kind{};
      if (!ReadFileFacts(entry, facts) || !calls_.readKind(entry, kind)) {
        Fail("cannot remove", path, GetLastError());
      }
      if ((kind.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        FailNotRegular("cannot remove", path, "a folder");
      }
      if ((kind.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        FailNotRegular("cannot remove", path, "a link or another reparse point");
      }
      if (identity != nullptr && facts.identity.Text() != *identity) {
        throw ConversionFailure(ChangedSinceCheckedReason(path));
      }
      return true;
    });
    FailUnlessFree(removed, "cannot remove", path);
  }

  // A file this layer created, until it is replaced or removed.
  struct Created {
    UniqueHandle attributes;
    FileIdentity identity;
  };

  FileLayerCalls calls_;
  CodePage codePage_;
  InUseWait wait_ = InUseWait::None();
  std::vector<std::string> onlyCopies_;  // never removed: see RecoverFromFailedReplace
  std::map<std::string, Created> created_;
  std::vector<std::string> leftBehind_;
};

}  // namespace

std::unique_ptr<FileLayer> MakeWin32FileLayer(FileLayerCalls calls, const CodePage& codePage) {
  return std::make_unique<Win32FileLayer>(std::move(calls), codePage);
}

std::unique_ptr<FileLayer> MakeSystemFileLayer(const CodePage& codePage) {
  return MakeWin32FileLayer(FileLayerCalls{}, codePage);
}

std::unique_ptr<FileLayer> MakeSystemFileLayer() {
  return MakeSystemFileLayer(SystemCodePage());
}

std::string RightsAdvice() {
  return "run it from an elevated prompt, as the conversion will run";
}

}  // namespace shiftlet
