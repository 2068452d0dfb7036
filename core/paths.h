#pragma once
// Path rules shared by every layer. Paths are strings in the platform's own
// form; folders the program builds end with the platform separator.
#include <string>
#include <string_view>

namespace qm::path {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Either kind of separator counts when taking paths apart: a Windows path
// can arrive through the registry on any platform.
bool isSeparator(char c);

// `folder` with exactly one separator at its end ("" stays "").
std::string withTrailingSeparator(std::string_view folder);
// `folder` without its trailing separators, except for a root ("/", "C:\").
std::string withoutTrailingSeparator(std::string_view folder);
// `folder` and `name` with exactly one separator between them; a drive root
// or "/" stays single. An empty folder gives `name`.
std::string join(std::string_view folder, std::string_view name);
// Parent as the game-discovery rule defines it: drop the trailing separator,
// then cut before the last remaining separator (that separator is dropped
// too). Empty for a root or a path with no separator left.
std::string parentOfFolder(std::string_view folder);
// The part after the last separator.
std::string fileName(std::string_view path);
// Everything up to and including the last separator ("" when there is none).
std::string folderPart(std::string_view path);
// The text from the last "." of the file name on (".u"), or "".
std::string extension(std::string_view path);
// File name without its extension (cut at the last ".").
std::string baseName(std::string_view path);
// The path with its extension replaced (or added) by `ext` (".txt").
std::string replaceExtension(std::string_view path, std::string_view ext);
// Replaces every separator of either kind by the platform separator.
std::string native(std::string_view path);

// A real file name as an index may hold it is only usable when it names a
// file inside one folder: not empty, not "." or "..", no separator of
// either kind, no drive colon, no control character.
bool isPlainFileName(std::string_view name);

// ASCII case folding, the rule the game's file system uses for names.
char toLowerAscii(char c);
std::string toLower(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool startsWithIgnoreCase(std::string_view s, std::string_view prefix);
bool endsWithIgnoreCase(std::string_view s, std::string_view suffix);

// Matches `name` against a pattern with `*` (any run) and `?` (one
// character), without regard to ASCII case.
bool wildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace qm::path
