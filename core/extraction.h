#pragma once
// Extraction of cache entries: a cache file gets its real name back and goes
// into the game folder for its type (a move that takes the entry out of the
// cache), or into a folder the user picks (a copy that leaves it there).
#include <functional>
#include <string>

#include "cache_list.h"
#include "dialogs.h"
#include "discovery.h"
#include "game.h"

namespace qm {

// The run record of one extraction action: the "to all" answers hold for
// the rest of the action, and a target folder turns the moves into copies.
struct TExtractRun {
    bool DotUYesToAll = false;
    bool DotUNoToAll = false;
    bool FolderYesToAll = false;
    bool FolderNoToAll = false;
    std::string TargetFolder;
};

// A question with Yes, No, No to All and Yes to All. An earlier No to All
// skips without asking, an earlier Yes to All goes on without asking; Yes
// goes on, Yes to All goes on and remembers, No to All skips and remembers,
// and any other answer (No, or closing the question) skips: the entry
// `name` is then passed over with EntrySkipped.
using FourButtonAsker = std::function<DlgButton(const DlgButtons&)>;
void goOnOrSkip(bool& yesToAll, bool& noToAll, const std::string& name, const FourButtonAsker& ask);

// Mutator import after extracting a code package: whether the one-time
// question is still due, and whether the option is on.
struct MutatorImportChoice {
    bool askFirst = false;
    bool on = false;
};

// The game and the user's choices that one extraction works with.
struct ExtractionSetup {
    CacheAccess cache;
    Dialogs& dialogs;
    GameFolder game;
    std::string gameName;
    std::string contentRoot;   // the game folder or the selected mod's
    bool modSelected = false;  // a mod, not the game itself, is selected
    // Shows what is being done; called before each file operation.
    std::function<void(const std::string&)> progress;
};

// Where a file of that name goes: the folder for its type under the content
// root, or under the game folder when the content root lacks it.
std::string DestinationFolder(FileSystem& fs, const GameFolder& game, const std::string& contentRoot,
                              const std::string& fileName);

struct Extracted {
    std::string target;        // where the package is now
    bool leftCache = false;    // moved: its key and line are gone
    bool importDue = false;    // a code package to import mutators from
};

// Extracts the entry of `line`. Failures raise Error with the text the user
// sees (EntrySkipped for an entry the user chose to pass over); the entry
// is then unchanged: its file, key and line are all still there.
Extracted ExtractEntry(const ExtractionSetup& setup, TExtractRun& run, MutatorImportChoice& import,
                       const CacheLine& line);

}  // namespace qm
