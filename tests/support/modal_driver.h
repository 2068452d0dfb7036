#pragma once
// Drives the results window in GUI tests. TFormResults::exec() blocks, so a
// timer polls for the modal results window while the code under test runs:
// once per show it waits until the Close button is usable, records the text
// box and clicks Close.
//
//   qm::test::ResultsWindowDriver driver;
//   form.ExportDotUToUTCache(path);          // shows the window twice
//   ASSERT_EQ(driver.texts.size(), 2u);
//
// Hooks let a test act while a run is in progress (Close disabled) or at its
// end instead of the click.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/uFormResults.h"

namespace qm::test {

class ResultsWindowDriver : public QObject {
public:
    // Once per show, at the first poll that finds a run in progress.
    std::function<void(TFormResults&)> onRunning;
    // Once per show, when Close has become usable. Without it the driver
    // clicks Close; with it the hook decides (and must close the window).
    std::function<void(TFormResults&)> onDone;
    // The text box at the moment Close became usable, one per show.
    std::vector<std::string> texts;
    // Per show: whether a run was seen in progress (Close disabled).
    std::vector<bool> sawRunning;
    // A show that has not finished after this long fails the test; its
    // child processes are killed so the test can end.
    int timeoutMs = 30000;

    ResultsWindowDriver() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == window_ && e->type() == QEvent::Hide) handled_ = false;
        return QObject::eventFilter(watched, e);
    }

private:
    void poll() {
        auto* w = qobject_cast<TFormResults*>(QApplication::activeModalWidget());
        if (!w || !w->isVisible()) return;
        if (w != window_) {
            if (window_) window_->removeEventFilter(this);
            window_ = w;
            w->installEventFilter(this);
            handled_ = false;
        }
        if (handled_) return;
        if (!started_) {
            started_ = true;
            running_ = false;
            clock_.start();
        }
        const bool done = w->ButtonClose->isEnabled() && !w->isRunning();
        if (!done) {
            if (!running_) {
                running_ = true;
                if (onRunning) onRunning(*w);
            }
            if (clock_.elapsed() > timeoutMs) {
                ADD_FAILURE() << "the results window did not finish within " << timeoutMs << " ms";
                for (QProcess* p : w->findChildren<QProcess*>()) p->kill();
                clock_.restart();
            }
            return;
        }
        handled_ = true;
        started_ = false;
        texts.push_back(w->MemoResults->toPlainText().toStdString());
        sawRunning.push_back(running_);
        if (onDone) {
            onDone(*w);
        } else {
            w->ButtonClose->click();
        }
    }

    QTimer timer_;
    // Held as a plain QObject: the filter still sees events while the window
    // is in its base-class destructor, when it no longer is a TFormResults.
    QPointer<QObject> window_;
    bool handled_ = false;
    bool started_ = false;
    bool running_ = false;
    QElapsedTimer clock_;
};

}  // namespace qm::test
