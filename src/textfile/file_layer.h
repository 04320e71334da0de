#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "textfile/in_use_wait.h"

namespace shiftlet {

// An open operating-system file. Every failing call throws ConversionFailure naming the path and
// the system's reason. The destructor closes a file that Close() has not, ignoring errors, so that
// an unwinding failure never throws twice.
class OpenFile {
 public:
  virtual ~OpenFile() = default;

  // Size of the file when it was opened (0 when the system cannot tell), as a hint for reading it
  // whole and to refuse a file too large to read before reading it.
  virtual std::uint64_t SizeHint() = 0;
  // Reads up to `size` bytes; returns how many, 0 only at the end of the file.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  // Writes all `size` bytes.
  virtual void Write(const char* data, std::size_t size) = 0;
  // Makes what was written durable on the disk.
  virtual void Flush() = 0;
  // Closes the file, reporting any error the system gives on closing.
  virtual void Close() = 0;
};

// The few file operations the text files need, one implementation per operating system
// (src/platform/). Tests wrap it to make any one call fail.
class FileLayer {
 public:
  virtual ~FileLayer() = default;

  // Opens an existing regular file for reading, in binary: no byte is translated. A link to one
  // is followed. Anything else (a folder, a device, a pipe, a socket, a Windows device name) is
  // refused with what it is, and without waiting on it: nothing can make the open block.
  virtual std::unique_ptr<OpenFile> OpenForReading(const std::string& path) = 0;

  // Opens what is at `path` for reading as OpenForReading does, to compare what a write would put
  // there with what is there already; null when no regular file is there (nothing, a folder, a
  // device, a pipe: what CheckWritableInPlace then names). Throws when there is one that cannot
  // be read: a file whose content nobody can see is not taken to differ.
  virtual std::unique_ptr<OpenFile> OpenToCompare(const std::string& path) = 0;

  // Fails unless `path` could be written in place by a ReplacementFile: a read-only file, anything
  // that exists and is neither a regular file nor a link (a folder, a device, a pipe, a socket, a
  // Windows device name; the failure says which), a folder that does not exist or in which whoever
  // runs the program may not create files, or a target whose temporary (and, on Windows, backup)
  // name would not fit the system's limits fails here, naming the target or its folder and never a
  // temporary name. A failure for want of rights, or for a missing folder
  // ("the folder F does not exist"), says so in ConversionFailure::WhatCaused. So does a file
  // in a shared folder that only its owner may replace. A missing file in an existing folder
  // passes. Nothing is opened but a regular file, a link itself (never what it names) and the
  // folder, and nothing is created or changed.
  virtual void CheckWritableInPlace(const std::string& path) = 0;

  // The same question, asked of `path` as it will be once this program has put a file there
  // (a new one, or one in place of what is there, with the owner and the mode or attributes
  // Replace gives it, which may come from the file a link there names): what a dry run that holds
  // that file in memory asks, so that it fails where the real run would fail on writing the file
  // a second time. A layer whose new files are like any other asks CheckWritableInPlace.
  virtual void CheckWritableOnceCreated(const std::string& path) { CheckWritableInPlace(path); }

  // Creates a new, empty file for writing, in binary. Returns null when something already exists
  // at `path` (so the caller can try another name); throws on any other error.
  virtual std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) = 0;

  // Puts the complete file at `source` in place of `target` in one step: anyone opening `target`
  // sees either its old content or the new, never a mix. A target that existed keeps its
  // permissions (attributes on Windows). `source` no longer exists afterwards.
  virtual void Replace(const std::string& source, const std::string& target) = 0;

  // Which directory entry `path` names, as a key that is equal for every path naming that entry
  // and differs for any other: the identity of its folder on the disk (links among the folders
  // followed), and the name its folder lists for an existing file, whichever name reached it (in
  // another case where the folder ignores case, a short 8.3 name on Windows). A link in the last
  // place is its own entry, not the file it names, as a replace by rename treats it. A missing
  // file's key is made from its name as given (on Windows without case, as a folder compares
  // names unless made case-sensitive); a path whose folder the system cannot identify is keyed by
  // its text. Never fails; nothing is created or changed.
  virtual std::string EntryKey(const std::string& path) = 0;

  // The name its folder lists for the existing file `path` reaches by its last name (a link
  // itself, never what it names): where the folder ignores case, the case the folder keeps, so
  // that "MIGRATED.MENU.QNF" gives "migrated.menu.qnf". "" when there is no such file, or the layer
  // cannot tell. Never fails; nothing is created or changed.
  virtual std::string ListedName(const std::string& /*path*/) { return ""; }

  // Removes the file at `path` (a link itself, never what it names). Throws ConversionFailure
  // naming the path and the system's reason when it cannot. On Windows a reparse point is refused.
  virtual void Remove(const std::string& path) = 0;

  // The identity of the file `path` names itself (a link itself, never what it names): the same
  // for every name of one file, another for any other file, a file put in its place included. ""
  // when nothing is there, or the layer cannot tell. Never fails; nothing is changed.
  virtual std::string FileIdOf(const std::string& /*path*/) { return ""; }

  // Removes the file at `path` as Remove does, but only while it is still the file whose FileIdOf
  // was `identity`, so that what was asked about is what goes: anything put there since is left,
  // and the failure says so. Where the system can, the file is checked on the handle that
  // removes it.
  virtual void RemoveIfStill(const std::string& path, const std::string& identity);

  // Whether `path` itself is a link: a symbolic link on POSIX; on Windows a symbolic link, a
  // junction or any other reparse point, whose content the system may take from elsewhere. What
  // it names is never opened. False when nothing is there, or for a layer without links. Never
  // fails.
  virtual bool IsLink(const std::string& /*path*/) { return false; }

  // Where a read of `path` goes next when `path` is a symbolic link: the path it names (taken
  // from the link's folder when relative); "" when `path` is no link, or the layer does not say.
  // A dry run follows it to find a file it wrote in memory that the real run would read through
  // the link. Never fails; nothing is opened but the link itself.
  virtual std::string LinkedPath(const std::string& /*path*/) { return ""; }

  // Removes a file, ignoring errors: used only to clean up after a failure.
  virtual void RemoveQuietly(const std::string& path) noexcept = 0;

  // How long the opens, replaces and removals of existing files wait for a file another program
  // holds before they fail with ConversionFailure::InUse naming the file and the holder. Only
  // Windows' files can be held so; a layer whose files cannot be ignores it.
  virtual void WaitForFilesInUse(const InUseWait& /*wait*/) {}

  // Who holds the existing file at `path` now so that it could not be replaced or removed: its
  // holder as ConversionFailure::InUse names it ("Velmora (process 1234)", or "another program"),
  // or "" when nobody does, nothing is there, or the layer's files cannot be held. Asked as a
  // replace asks it, at once and without waiting; nothing is written.
  virtual std::string InUseBy(const std::string& /*path*/) { return ""; }

  // What calls that succeeded had to leave on the disk that the user never asked for (a replaced
  // file's backup that could not be removed), each a sentence naming the file; taking them empties
  // the list. Nothing, for a layer that leaves nothing.
  virtual std::vector<std::string> TakeFilesLeftBehind() { return {}; }
};

// Why RemoveIfStill left a file: "cannot remove P: it is no longer the file that was checked...".
std::string ChangedSinceCheckedReason(const std::string& path);

}  // namespace shiftlet
