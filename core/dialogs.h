#pragma once
// The dialog seam. Every dialog the program shows goes through it (the rules
// in core ask their questions through it too), so tests
// replace it with a scripted one that records what was asked.
#include <optional>
#include <string>
#include <vector>

namespace qm {

enum class DlgKind { Warning, Error, Information, Confirmation };
// None: the dialog was closed without pressing one of its buttons.
enum class DlgButton { None, OK, Cancel, Yes, No, YesToAll, NoToAll };
using DlgButtons = std::vector<DlgButton>;

// "Warning", "Error", "Information", "Confirm".
const char* dialogTitle(DlgKind kind);
const char* buttonCaption(DlgButton button);

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message with its kind's title and icon and the buttons in the
    // order given; returns the button pressed.
    virtual DlgButton message(DlgKind kind, const std::string& text, const DlgButtons& buttons) = 0;
    // A plain message box: `title` (the application title), no icon, OK.
    virtual void plainMessage(const std::string& title, const std::string& text) = 0;
    // The application-wide failure report: `title`, an error icon, OK.
    virtual void failureReport(const std::string& title, const std::string& text) = 0;
    // Folder-browse dialog with a title; nothing when cancelled.
    virtual std::optional<std::string> browseForFolder(const std::string& title) = 0;
    // Folder-selection dialog that accepts a folder that does not exist yet
    // and creates it, with its parents, after asking.
    virtual std::optional<std::string> selectFolder() = 0;
    // Save-file dialog that asks before an existing file is replaced.
    // `filter` in the "Text (*.ext)|*.ext|..." form.
    virtual std::optional<std::string> saveFile(const std::string& filter, const std::string& defaultExtension) = 0;
};

}  // namespace qm
