#pragma once
// Where the program's read-me is: beside the program (a build folder, a game
// folder it was copied into), else in the documentation folder of an
// installation.
#include <string>
#include <string_view>

namespace qm::readme {

// The program's own path with its extension replaced by ".txt", or with
// ".txt" added where it has none: "Quillmere.exe" gives "Quillmere.txt",
// "/opt/q/quillmere" gives "/opt/q/quillmere.txt".
std::string besideProgram(std::string_view executable);

// `relative` (a path from the program's folder, such as
// "../share/doc/quillmere/quillmere.txt") resolved against the program's
// folder, with its ".." steps taken: "/usr/bin/quillmere" gives
// "/usr/share/doc/quillmere/quillmere.txt". Empty when `relative` is.
std::string installed(std::string_view executable, std::string_view relative);

}  // namespace qm::readme
