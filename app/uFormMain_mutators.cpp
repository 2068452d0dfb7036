// Mutator import with the game's tool.
#include <QComboBox>
#include <exception>

#include "app/uFormMain.h"
#include "app/uFormResults.h"
#include "core/filesystem.h"
#include "core/paths.h"

namespace qm {

namespace {

// One argument of a command line: quoted when it holds a blank or a quote,
// so the runner hands it to the tool as one argument (a literal quote is
// written as three, the convention the runner's splitting follows).
std::string commandArgument(const std::string& text) {
    if (text.find_first_of(" \t\"") == std::string::npos && !text.empty()) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += "\"\"\"";
        else
            quoted += c;
    }
    return quoted + "\"";
}

// The real spelling of `name` in `folder` (the game folder may come from
// Windows with "system" or "SYSTEM"); `name` itself when it is not there.
std::string spelledAsOnDisk(FileSystem& fs, const std::string& folder, const std::string& name) {
    for (const DirEntry& e : fs.list(folder, name))
        if (path::equalsIgnoreCase(e.name, name)) return e.name;
    return name;
}

}  // namespace

void TFormMain::ExportDotUToUTCache(const std::string& path) {
    if (!S.fs->fileExists(path)) return;
    try {
        // The game's tool; the native Linux builds of the games ship it
        // as System/ucc-bin.
        const std::string system = FGameDir + spelledAsOnDisk(*S.fs, FGameDir, "System") + path::kSeparator;
        std::string tool = system + "ucc";
#ifndef _WIN32
        if (S.fs->fileExists(system + "ucc-bin")) tool = system + spelledAsOnDisk(*S.fs, system, "ucc-bin");
#endif
        const std::string quotedTool = commandArgument(tool);
        std::string arguments = "dumpint " + commandArgument(path);
        // A mod with its own System folder runs the tool as that mod.
        if (cmbMod->currentIndex() > 0) {
            const ModFolder* mod = selectedMod();
            if (mod && S.fs->folderExists(mod->path + "System")) arguments += " -mod=" + commandArgument(mod->name);
        }
        ShowStatus("Calling ucc " + arguments);
        TFormResults results(S, this);
        results.SetCommand(quotedTool + " " + arguments);
        results.exec();
        // The second run appends below the first one's output.
        arguments = "exportcache " + commandArgument(path);
        ShowStatus("Calling ucc " + arguments);
        results.SetCommand(quotedTool + " " + arguments);
        results.exec();
    } catch (const std::exception& ex) {
        ask(DlgKind::Error, ex.what(), {DlgButton::OK});
    }
}

}  // namespace qm
