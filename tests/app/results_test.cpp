// The results window: console runs of the stand-in tool, report use, the
// keys and the frame during a run, the layout and the pop-up menu.
#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <utility>
#include <memory>
#include <string>

#include "app/services.h"
#include "app/uFormResults.h"
#include "platform/platform.h"
#include "support/scoped_env.h"
#include "support/modal_driver.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace qm::test {
namespace {

const std::string kUcc = QM_STAND_IN_UCC;

// What the stand-in prints for QM_UCC_OUTPUT_BYTES=n.
std::string pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

// The text box after one run of `command` that printed `output`: the
// header, an empty line, then one line per 2400-byte piece and a shorter
// (possibly empty) last piece.
std::string runText(const std::string& command, const std::string& output) {
    std::string t = "Executing '" + command + "'...\n";
    for (size_t at = 0;; at += 2400) {
        const std::string piece = output.substr(std::min(at, output.size()), 2400);
        t += "\n" + piece;
        if (piece.size() < 2400) break;
    }
    return t;
}

class ResultsWindow : public ::testing::Test {
protected:
    ResultsWindow() {
        fs = platform::makeFileSystem();
        services.fs = fs.get();
        services.dialogs = &dialogs;
        owner.resize(600, 500);
        window = std::make_unique<TFormResults>(services, &owner);
    }

    TempDir tmp;
    std::unique_ptr<FileSystem> fs;
    ScriptedDialogs dialogs;
    Services services;
    QWidget owner;
    std::unique_ptr<TFormResults> window;
};

TEST_F(ResultsWindow, RunShowsTheOutputInPiecesOf2400Bytes) {
    for (size_t bytes : {size_t(0), size_t(1), size_t(2399), size_t(2400), size_t(2401), size_t(4800),
                         size_t(1024 * 1024)}) {
        SCOPED_TRACE(bytes);
        ScopedEnv env("QM_UCC_OUTPUT_BYTES", std::to_string(bytes));
        TFormResults w(services, &owner);
        const std::string command = kUcc + " dumpint Pkg.u";
        w.SetCommand(command);
        ResultsWindowDriver driver;
        EXPECT_EQ(w.exec(), QDialog::Accepted);
        ASSERT_EQ(driver.texts.size(), 1u);
        EXPECT_EQ(driver.texts[0], runText(command, pattern(bytes)));
        EXPECT_EQ(w.MemoResults->toPlainText().toStdString(), driver.texts[0]);
    }
}

TEST_F(ResultsWindow, PrintedLinesStayAndStandardErrorIsNotShown) {
    // The stand-in also writes a line to standard error on every call.
    const std::string command = kUcc + " exportcache \"/some folder/Mutators.u\"";
    window->SetCommand(command);
    ResultsWindowDriver driver;
    window->exec();
    ASSERT_EQ(driver.texts.size(), 1u);
    EXPECT_EQ(driver.texts[0], runText(command,
                                       "ucc stand-in: exportcache /some folder/Mutators.u\n"
                                       "Exporting cache entries of Mutators.u to Mutators.ucl\n"));
}

TEST_F(ResultsWindow, ChildReadsAnEmptyStandardInput) {
    // A child that reads its input to the end must get an end at once.
    ScopedEnv env("QM_UCC_READ_STDIN", "1");
    const std::string command = kUcc + " probe";
    window->SetCommand(command);
    ResultsWindowDriver driver;
    driver.timeoutMs = 5000;
    window->exec();
    ASSERT_EQ(driver.texts.size(), 1u);
    EXPECT_EQ(driver.texts[0], runText(command, "ucc stand-in: probe\nstdin: 0 bytes\n"));
}

TEST_F(ResultsWindow, CommandThatCannotStartSaysWhy) {
    const std::string missing = "execvp: No such file or directory";
    const std::pair<std::string, std::string> cases[] = {
        {tmp / "no such tool" + " dumpint x.u", tmp / "no: " + missing},
        {tmp / "missing-ucc", tmp / "missing-ucc: " + missing},
        {std::string(), "the command line is empty."},
    };
    for (const auto& [command, why] : cases) {
        SCOPED_TRACE(command);
        TFormResults w(services, &owner);
        w.SetCommand(command);
        ResultsWindowDriver driver;
        EXPECT_EQ(w.exec(), QDialog::Accepted);
        ASSERT_EQ(driver.texts.size(), 1u);
        EXPECT_EQ(driver.texts[0], "Executing '" + command + "'...\n\nThe tool could not be started: " + why);
        EXPECT_TRUE(w.ButtonClose->isEnabled());
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

TEST_F(ResultsWindow, SecondShowAppendsBelowTheFirstRun) {
    const std::string first = kUcc + " dumpint First.u";
    const std::string second = kUcc + " exportcache Second.u";
    ResultsWindowDriver driver;
    window->SetCommand(first);
    window->exec();
    window->SetCommand(second);
    window->exec();
    ASSERT_EQ(driver.texts.size(), 2u);
    const std::string run1 =
        runText(first, "ucc stand-in: dumpint First.u\nDumping localization of First.u to First.int\n");
    const std::string run2 =
        runText(second, "ucc stand-in: exportcache Second.u\nExporting cache entries of Second.u to Second.ucl\n");
    EXPECT_EQ(driver.texts[0], run1);
    EXPECT_EQ(driver.texts[1], run1 + "\n" + run2);
    // A run shows its output unwrapped on the window's own background.
    EXPECT_EQ(window->MemoResults->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(window->MemoResults->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(window->MemoResults->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window->MemoResults->palette().color(QPalette::Base), window->palette().color(QPalette::Window));
}

TEST_F(ResultsWindow, ReportUseShowsTheCallersLinesWithClosingAtOnce) {
    window->MemoResults->setPlainText("first line\nsecond line");
    ResultsWindowDriver driver;
    EXPECT_EQ(window->exec(), QDialog::Accepted);
    ASSERT_EQ(driver.texts.size(), 1u);
    EXPECT_EQ(driver.texts[0], "first line\nsecond line");
    EXPECT_FALSE(driver.sawRunning[0]);
    EXPECT_EQ(window->MemoResults->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_NE(window->MemoResults->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(window->windowTitle(), "Results");
    EXPECT_EQ(window->ButtonClose->text(), "&Close");
    // Every component can be found by its name.
    for (const char* name : {"MemoResults", "PanelBottom", "ButtonClose", "PopupMenuResults", "MenuItemSaveLog", "N1",
                             "MenuItemClearLog"})
        EXPECT_NE(window->findChild<QObject*>(name), nullptr) << name;
}

// Close, Enter and Esc do nothing while the tool runs, and close the window
// once its output is shown.
TEST_F(ResultsWindow, CloseKeysAreInertDuringARunAndWorkAfterIt) {
    ScopedEnv slow("QM_UCC_SLEEP_MS", "400");
    const std::string command = kUcc + " dumpint Slow.u";
    const std::string expected =
        runText(command, "ucc stand-in: dumpint Slow.u\nDumping localization of Slow.u to Slow.int\n");
    const std::pair<const char*, std::function<void(TFormResults&)>> closers[] = {
        {"button", [](TFormResults& w) { w.ButtonClose->click(); }},
        {"enter", [](TFormResults& w) { QTest::keyClick(&w, Qt::Key_Return); }},
        {"esc", [](TFormResults& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
    };
    for (const auto& closer : closers) {
        SCOPED_TRACE(closer.first);
        const std::function<void(TFormResults&)>& closeBy = closer.second;
        TFormResults w(services, &owner);
        w.SetCommand(command);
        ResultsWindowDriver driver;
        bool stayedOpen = false;
        driver.onRunning = [&](TFormResults& win) {
            EXPECT_FALSE(win.ButtonClose->isEnabled());
            for (const auto& [other, press] : closers) press(win);
            // Typing into the box during a run does not mix with the output.
            QTest::keyClick(win.MemoResults, Qt::Key_Return);
            QTest::keyClicks(win.MemoResults, "typed");
            stayedOpen = win.isVisible() && win.isRunning();
        };
        driver.onDone = [&](TFormResults& win) { closeBy(win); };
        EXPECT_EQ(w.exec(), QDialog::Accepted);
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(driver.texts.size(), 1u);
        EXPECT_TRUE(driver.sawRunning[0]);
        EXPECT_EQ(driver.texts[0], expected);
    }
}

TEST_F(ResultsWindow, FrameCloseDuringARunTakesEffectWhenItEnds) {
    ScopedEnv slow("QM_UCC_SLEEP_MS", "400");
    const std::string command = kUcc + " exportcache Late.u";
    window->SetCommand(command);
    ResultsWindowDriver driver;
    bool stayedOpen = false;
    QPointer<TFormResults> guard(window.get());
    driver.onRunning = [&](TFormResults& w) {
        w.close();
        stayedOpen = w.isVisible();
        QTimer::singleShot(10000, [guard] {
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << "the close request was lost";
                guard->done(QDialog::Rejected);
            }
        });
    };
    // No click: only the pending close request may end the modal show.
    driver.onDone = [](TFormResults&) {};
    window->exec();
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->MemoResults->toPlainText().toStdString(),
              runText(command, "ucc stand-in: exportcache Late.u\nExporting cache entries of Late.u to Late.ucl\n"));
}

TEST_F(ResultsWindow, CloseButtonStaysCentredInTheBottomStrip) {
    window->show();
    for (int width : {366, 367, 480, 701, 250}) {
        SCOPED_TRACE(width);
        window->resize(width, 372);
        QApplication::processEvents();
        ASSERT_EQ(window->PanelBottom->width(), window->width());
        EXPECT_EQ(window->ButtonClose->x(), (width - 75) / 2);
        EXPECT_EQ(window->ButtonClose->y(), 8);
        EXPECT_EQ(window->ButtonClose->size(), QSize(75, 25));
        EXPECT_EQ(window->PanelBottom->height(), 41);
    }
    window->hide();
}

TEST_F(ResultsWindow, SaveLogWritesTheTextBoxToTheChosenFile) {
    window->MemoResults->setPlainText("line one\nline two");
    const std::string target = tmp / "results.log";
    dialogs.files.push_back(target);
    window->MenuItemSaveLog->trigger();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    // The file written is named in a plain message.
    EXPECT_EQ(dialogs.shown[1].what, "plain");
    EXPECT_EQ(dialogs.shown[1].text, target);
    EXPECT_EQ(dialogs.shown[0].what, "save");
    EXPECT_EQ(dialogs.shown[0].title, "Log files (*.log)|*.log|All Files (*.*)|*.*");
    EXPECT_EQ(dialogs.shown[0].text, "log");
#ifdef _WIN32
    EXPECT_EQ(readFile(target), "line one\r\nline two");
#else
    EXPECT_EQ(readFile(target), "line one\nline two");
#endif
}

TEST_F(ResultsWindow, SaveLogCancelledOrFailingWritesNothing) {
    window->MemoResults->setPlainText("kept");
    dialogs.files.push_back(std::nullopt);
    window->MenuItemSaveLog->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);

    const std::string unwritable = tmp / "no such folder/results.log";
    dialogs.files.push_back(unwritable);
    window->MenuItemSaveLog->trigger();
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[2].kind, DlgKind::Error);
    EXPECT_EQ(dialogs.shown[2].text.rfind("Could not save the log to " + unwritable + ": ", 0), 0u)
        << dialogs.shown[2].text;
    EXPECT_FALSE(tmp.exists("no such folder"));
    EXPECT_EQ(window->MemoResults->toPlainText(), "kept");
}

TEST_F(ResultsWindow, ClearLogEmptiesTheTextBox) {
    window->MemoResults->setPlainText("a\nb");
    window->MenuItemClearLog->trigger();
    EXPECT_EQ(window->MemoResults->toPlainText(), "");
}

}  // namespace
}  // namespace qm::test
