#pragma once

#include <string>
#include <string_view>

namespace shiftlet {

// Where a symbolic link leads, read from its reparse data.
struct LinkTarget {
  std::wstring path;      // empty: not followed
  bool relative = false;  // named from the link's folder
};

// Where the symbolic link whose reparse data (FSCTL_GET_REPARSE_POINT's answer) is `data` leads,
// as the system follows it: its substitute name. The print name is free text its maker chose and
// the system never reads. "\??\C:\x" is "C:\x", and "\??\UNC\srv\share\x" is "\\srv\share\x".
// Nothing is followed (an empty path) for data that is no symbolic link's or is cut short, for a
// name the system reads only through its object manager ("\??\Volume{...}\x", "\Device\..."),
// and for a relative name rooted at the link's drive ("\x").
LinkTarget SymbolicLinkTargetOf(std::string_view data);

}  // namespace shiftlet
