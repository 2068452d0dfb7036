#pragma once
// Test halves of the seams: dialogs that answer from a script and record
// what was asked, a shell that records what it opened, a clock that stands.
#include <QCoreApplication>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "app/services.h"

namespace qm::test {

struct ShownDialog {
    std::string what;  // "message", "plain", "failure", "browse", "select", "save"
    DlgKind kind = DlgKind::Information;
    std::string title;
    std::string text;
    DlgButtons buttons;
};

class ScriptedDialogs : public Dialogs {
public:
    // Answers in order; when the queue is empty a message answers None and
    // a folder or file dialog is cancelled.
    std::deque<DlgButton> answers;
    std::deque<std::optional<std::string>> folders;  // browse and select
    std::deque<std::optional<std::string>> files;    // save
    std::vector<ShownDialog> shown;

    DlgButton message(DlgKind kind, const std::string& text, const DlgButtons& buttons) override {
        shown.push_back({"message", kind, dialogTitle(kind), text, buttons});
        pump();
        return next(answers, DlgButton::None);
    }
    void plainMessage(const std::string& title, const std::string& text) override {
        shown.push_back({"plain", DlgKind::Information, title, text, {DlgButton::OK}});
        pump();
    }
    void failureReport(const std::string& title, const std::string& text) override {
        shown.push_back({"failure", DlgKind::Error, title, text, {DlgButton::OK}});
        pump();
    }
    std::optional<std::string> browseForFolder(const std::string& title) override {
        shown.push_back({"browse", DlgKind::Information, title, "", {}});
        pump();
        return next(folders, std::optional<std::string>());
    }
    std::optional<std::string> selectFolder() override {
        shown.push_back({"select", DlgKind::Information, "", "", {}});
        pump();
        return next(folders, std::optional<std::string>());
    }
    std::optional<std::string> saveFile(const std::string& filter, const std::string& ext) override {
        shown.push_back({"save", DlgKind::Information, filter, ext, {}});
        pump();
        return next(files, std::optional<std::string>());
    }

    // The texts of the dialogs shown, in order.
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& d : shown) t.push_back(d.text);
        return t;
    }

private:
    // A modal dialog runs the thread's queue while it is open.
    static void pump() { QCoreApplication::processEvents(); }
    template <class T>
    static T next(std::deque<T>& q, T fallback) {
        if (q.empty()) return fallback;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

class RecordingShell : public Shell {
public:
    std::vector<std::string> opened;
    Status result = Status::success();
    Status open(const std::string& document) override {
        opened.push_back(document);
        return result;
    }
};

// Records every start; answers from `results` in order (a success when it
// is empty).
class RecordingLauncher : public Launcher {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
        std::string workingFolder;
    };
    std::vector<Start> starts;
    std::deque<Status> results;
    Status startDetached(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder) override {
        starts.push_back({program, arguments, workingFolder});
        if (results.empty()) return Status::success();
        Status s = results.front();
        results.pop_front();
        return s;
    }
};

class FixedClock : public Clock {
public:
    DateTime time{2026, 12, 11, 14, 5, 9};
    DateTime now() override { return time; }
};

}  // namespace qm::test
