// Mutator import with the game's tool.
#include <QComboBox>
#include <exception>

#include "app/uFormMain.h"
#include "app/uFormResults.h"
#include "core/filesystem.h"
#include "core/game_tool.h"
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

}  // namespace

void TFormMain::ExportDotUToUTCache(const std::string& path) {
    if (!S.fs->fileExists(path)) return;
    try {
        // 2
        const std::string quotedTool = commandArgument(resolveGameTool(*S.fs, FGameDir).program);
        // 3, 4
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
