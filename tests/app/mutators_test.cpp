// Mutator import: the two command lines the game's tool gets, run through
// the results window against the stand-in tool in a temp game folder.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "support/scoped_env.h"
#include "support/form_access.h"
#include "support/game_fixture.h"
#include "support/modal_driver.h"

namespace qm::test {
namespace {

const std::string kSep(1, path::kSeparator);

std::string quoted(const std::string& s) { return s.find(' ') == std::string::npos ? s : "\"" + s + "\""; }

// The text box after one run: header, empty line, then what the tool
// printed (nothing more when it could not be started).
// A run's text; without output the tool could not be started, which the
// window says with the system's reason.
std::string runText(const std::string& command, const std::optional<std::string>& output) {
    std::string t = "Executing '" + command + "'...\n";
    if (output)
        t += "\n" + *output;
    else
        t += "\nThe tool could not be started: " + command.substr(0, command.find(' ')) +
             ": execvp: No such file or directory";
    return t;
}

// Puts the stand-in tool into `systemFolder` under `name`.
void installTool(const std::string& systemFolder, const std::string& name) {
    namespace fs = std::filesystem;
    fs::create_directories(systemFolder);
    fs::copy_file(QM_STAND_IN_UCC, systemFolder + name, fs::copy_options::overwrite_existing);
    fs::permissions(systemFolder + name, fs::perms::owner_all, fs::perm_options::add);
}

struct ImportCase {
    const char* what;
    const char* gameFolder;  // under the temp root; "" = the fixture's own
    const char* tool;        // file name under System; "" = no tool
    const char* mod;         // "" = the game itself selected
    bool modHasSystem;
    const char* packageFolder;  // where the extracted package lies, under the temp root; "" = game's System
};

#ifdef _WIN32
const char* const kPlainTool = "ucc.exe";
#else
const char* const kPlainTool = "ucc";
#endif

class MutatorImport : public ::testing::TestWithParam<ImportCase> {};

TEST_P(MutatorImport, RunsDumpintThenExportcacheInOneWindow) {
    const ImportCase& c = GetParam();
    GameFixture g(gkUT2004);
    if (*c.mod) g.addMod(c.mod, c.modHasSystem ? std::vector<std::string>{"System"} : std::vector<std::string>{});
    TFormMain& form = g.start();
    if (*c.mod) g.selectMod(ui(form).cmbMod->findText(c.mod));
    if (*c.gameFolder) ui(form).FGameDir = g.root.mkdir(c.gameFolder) + kSep;
    const std::string gameDir = ui(form).FGameDir;
    const std::string system = gameDir + "System" + kSep;
    if (*c.tool) installTool(system, c.tool);
    const std::string folder = *c.packageFolder ? g.root.mkdir(c.packageFolder) + kSep : system;
    const std::string package = g.root.write(folder.substr(g.root.path().size()) + "Mutators.u", "code");
    g.dialogs.shown.clear();

    const std::string record = g.root / "record.txt";
    ScopedEnv env("QM_UCC_RECORD", record);
    ResultsWindowDriver driver;
    std::vector<std::string> statuses;
    std::vector<QWidget*> owners;
    driver.onDone = [&](TFormResults& w) {
        statuses.push_back(form.statusText());
        owners.push_back(w.parentWidget());
        w.ButtonClose->click();
    };
    form.ExportDotUToUTCache(package);

    const bool withMod = *c.mod && c.modHasSystem;
    const std::string tool = quoted(system + (*c.tool ? c.tool : "ucc"));
    const std::string args1 = "dumpint " + quoted(package) + (withMod ? " -mod=" + quoted(c.mod) : "");
    const std::string args2 = "exportcache " + quoted(package);
    std::optional<std::string> out1, out2;
    if (*c.tool) {
        out1 = "ucc stand-in: dumpint " + package + (withMod ? " -mod=" + std::string(c.mod) : "") +
               "\nDumping localization of Mutators.u to Mutators.int\n";
        out2 = "ucc stand-in: exportcache " + package + "\nExporting cache entries of Mutators.u to Mutators.ucl\n";
    }
    const std::string first = runText(tool + " " + args1, out1);
    ASSERT_EQ(driver.texts.size(), 2u);
    EXPECT_EQ(driver.texts[0], first);
    EXPECT_EQ(driver.texts[1], first + "\n" + runText(tool + " " + args2, out2));
    EXPECT_EQ(statuses, (std::vector<std::string>{"Calling ucc " + args1, "Calling ucc " + args2}));
    EXPECT_EQ(owners, (std::vector<QWidget*>{&form, &form}));
    // The tool got every path as one argument.
    if (*c.tool)
        EXPECT_EQ(readFile(record), "dumpint\t" + package + "\t" + (withMod ? "-mod=" + std::string(c.mod) + "\t" : "") +
                                        "\nexportcache\t" + package + "\t\n");
    else
        EXPECT_EQ(readFile(record), "");
    // The tool's problems show in the window only.
    EXPECT_TRUE(g.dialogs.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, MutatorImport,
    ::testing::Values(
        ImportCase{"game", "", kPlainTool, "", false, ""},
#ifndef _WIN32
        ImportCase{"native_tool_preferred", "", "ucc-bin", "", false, ""},
#endif
        ImportCase{"mod_with_system", "", kPlainTool, "MyMod", true, ""},
        ImportCase{"mod_without_system", "", kPlainTool, "MyMod", false, ""},
        ImportCase{"blanks_in_game_and_mod", "Game With Blanks", kPlainTool, "My Mod", true, "Extract To Here"},
        ImportCase{"extracted_elsewhere", "", kPlainTool, "", false, "Chosen Folder"},
        ImportCase{"tool_missing", "", "", "MyMod", true, ""}),
    [](const ::testing::TestParamInfo<ImportCase>& info) { return std::string(info.param.what); });

TEST(MutatorImportMissingFile, DoesNothingAndShowsNothing) {
    GameFixture g(gkUT2004);
    TFormMain& form = g.start();
    installTool(g.gameDir + "System" + kSep, kPlainTool);
    g.dialogs.shown.clear();
    const std::string before = form.statusText();
    ResultsWindowDriver driver;
    form.ExportDotUToUTCache(g.gameDir + "System" + kSep + "Gone.u");
    EXPECT_TRUE(driver.texts.empty());
    EXPECT_TRUE(g.dialogs.shown.empty());
    EXPECT_EQ(form.statusText(), before);
}

}  // namespace
}  // namespace qm::test
