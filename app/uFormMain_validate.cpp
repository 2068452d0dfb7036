// Cache validation: after the user agrees, the index pass (a rebuild of the
// list that drops entries without a file) and the file pass run, and their
// report shows in the results window.
#include <QPlainTextEdit>

#include "app/uFormMain.h"
#include "app/uFormResults.h"
#include "core/validation.h"

namespace qm {

void TFormMain::ButtonValidateClick() {
    // The log lives as long as this call; the field points at it only
    // meanwhile, also when a step fails.
    std::vector<std::string> log;
    struct LogScope {
        TFormMain& form;
        LogScope(TFormMain& f, std::vector<std::string>* lines) : form(f) { form.FValidationLog = lines; }
        ~LogScope() { form.FValidationLog = nullptr; }
        LogScope(const LogScope&) = delete;
        LogScope& operator=(const LogScope&) = delete;
    } scope(*this, &log);
    TFormResults results(S, this);

    if (ask(DlgKind::Confirmation, kValidateQuestion, {DlgButton::OK, DlgButton::Cancel}) == DlgButton::OK) {
        RefreshCacheList(true);
        ValidateCacheFiles(cacheAccess(), *S.dialogs, log);
    }

    QStringList lines;
    lines.reserve(static_cast<qsizetype>(log.size()));
    for (const std::string& line : log) lines << QString::fromStdString(line);
    results.MemoResults->setPlainText(lines.join(QLatin1Char('\n')));
    results.exec();
}

void TFormMain::miValidateClick() { ButtonValidateClick(); }

}  // namespace qm
