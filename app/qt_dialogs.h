#pragma once
// The dialog seam's Qt half, and the shell and clock of a real run.
#include "core/dialogs.h"
#include "app/services.h"

class QWidget;

namespace qm {

class QtDialogs : public Dialogs {
public:
    DlgButton message(DlgKind kind, const std::string& text, const DlgButtons& buttons) override;
    void plainMessage(const std::string& title, const std::string& text) override;
    void failureReport(const std::string& title, const std::string& text) override;
    std::optional<std::string> browseForFolder(const std::string& title) override;
    std::optional<std::string> selectFolder() override;
    std::optional<std::string> saveFile(const std::string& filter, const std::string& defaultExtension) override;
};

class QtShell : public Shell {
public:
    Status open(const std::string& document) override;
};

class SystemClock : public Clock {
public:
    DateTime now() override;
};

// "Log files (*.log)|*.log|All Files (*.*)|*.*" -> Qt's ";;" filter form.
std::string toQtFilter(const std::string& filter);

}  // namespace qm
