#pragma once
// Paths taken apart as text, as the user gave them: nothing is looked up,
// made absolute or resolved, so that a message naming a part of a path shows
// it in the user's own form (on Windows with the drive letter as given and
// either separator).
#include <string>

namespace pelmora {

// path without its last component and the separators before it: "/a" of
// "/a/b/", "/" of "/a", "C:\" of "C:\a" on Windows; empty when path is a
// root or a single relative component.
std::string ParentPath(const std::string& path);

// The last component of path, trailing separators left out: "b" of "/a/b/";
// empty for a root.
std::string LastComponent(const std::string& path);

}  // namespace pelmora
