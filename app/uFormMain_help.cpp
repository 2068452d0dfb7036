// The Help menu: the read-me, the maker's web pages, the About box and the
// update check.
#include <QTimer>
#include <memory>

#include "app/uFormAbout.h"
#include "app/uFormMain.h"
#include "app/uVersion.h"
#include "core/readme.h"
#include "core/update.h"

namespace qm {

namespace {

constexpr const char* kUpdateQuestion = "An Update is available.  Do you want to download it now?";
constexpr const char* kNoUpdate = "No Updates are available";

}  // namespace

links::WebLinks TFormMain::webLinks() const { return links::webLinks(S.serverOverride); }

std::string TFormMain::ReadmePath() const {
    const std::string beside = readme::besideProgram(S.executablePath);
    if (S.fs->fileExists(beside)) return beside;
    const std::string installed = readme::installed(S.executablePath, QM_README_FROM_PROGRAM);
    if (!installed.empty() && S.fs->fileExists(installed)) return installed;
    return beside;
}

void TFormMain::miReadmeClick() { OpenDocument(ReadmePath()); }
void TFormMain::miForumsClick() { OpenDocument(webLinks().forums); }
void TFormMain::miWebsiteClick() { OpenDocument(webLinks().website); }
void TFormMain::miProductInfoClick() { OpenDocument(webLinks().productPage); }
void TFormMain::miDonateClick() { OpenDocument(webLinks().donate); }

void TFormMain::miAboutClick() {
    // A new box each time, owned by the window and freed when it closes,
    // also when showing it fails.
    auto about = std::make_unique<TFormAbout>(S, webLinks().website, this);
    about->exec();
}

bool TFormMain::CheckForUpdate() {
    try {
        version::Numbers running;
        int32_t build = 0;
        std::string specialBuild;
        // Compared with 0.0.0 every published version would look newer.
        if (!GetFileVersion(S.executablePath, running.major, running.minor, running.release, build, specialBuild))
            throw Error("The program's own version cannot be read.");

        std::string body;
        Status fetched;
        {
            // The window paints while the request waits, but takes no input
            // and cannot start a second check or close under it.
            BusyScope busy(*this);
            fetched = S.http->get(webLinks().updateDocument, body);
        }
        if (!fetched) throw Error(fetched.reason);

        const update::Published published = update::publishedVersion(body);
        if (!published.version) throw Error(published.problem);
        return update::isNewer(*published.version, running);
    } catch (const std::exception& ex) {
        ask(DlgKind::Error,
            std::string("Error checking for update: ") + ex.what() + "\nMake sure you are connected to the Internet.",
            {DlgButton::OK});
        throw;
    }
}

void TFormMain::miCheckForUpdateClick(QObject* sender) {
    try {
        if (CheckForUpdate()) {
            if (ask(DlgKind::Confirmation, kUpdateQuestion, {DlgButton::Yes, DlgButton::No}) == DlgButton::Yes)
                tmrUpdateCheck->start();
        } else if (sender) {
            S.dialogs->plainMessage(applicationTitle(), kNoUpdate);
        }
    } catch (...) {
        // A failed check has shown its own error dialog; nothing more.
    }
}

void TFormMain::GetUpdate() { OpenDocument(webLinks().productPage); }

void TFormMain::tmrUpdateCheckTimer() {
    tmrUpdateCheck->stop();
    GetUpdate();
    // The ordinary end: the window is destroyed after the loop, which saves
    // the settings.
    ButtonCloseClick();
}

}  // namespace qm
