#pragma once
// The results window: a modal text box that either runs a console command
// and shows what it printed, or shows report lines a caller put in.
#include <QByteArray>
#include <QDialog>
#include <QEvent>
#include <string>

#include "app/services.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace qm {

// CM_RUNCONSOLEAPP: posted by the window to itself when it is shown armed,
// so the run starts inside the modal loop, after the window is on screen.
inline constexpr int CM_RUNCONSOLEAPP = 0x8001;
inline QEvent::Type runConsoleAppEventType() { return static_cast<QEvent::Type>(QEvent::User + CM_RUNCONSOLEAPP); }

// The output of a run is shown in pieces of this many bytes, one per line.
inline constexpr int kResultsChunkBytes = 2400;

class TFormResults : public QDialog {
    Q_OBJECT
public:
    // `services` supplies the dialogs and the file system ("&Save Log");
    // `owner` is the window the results window is centred over.
    TFormResults(const Services& services, QWidget* owner);
    ~TFormResults() override;

    // Arms the window: every later show runs `commandLine`.
    void SetCommand(const std::string& commandLine);
    // Runs CommandLine and appends the header and the output to the text box.
    void RunConsoleApp();
    // Keeps the Close button horizontally centred in the bottom strip.
    void PanelBottomResize();
    void MenuItemSaveLogClick();
    void MenuItemClearLogClick();

    // True while a run is in progress (the window cannot be dismissed).
    bool isRunning() const { return FRunning; }

    // The text the run shows for the collected bytes `output`: pieces of
    // kResultsChunkBytes bytes, then a shorter (possibly empty) last piece;
    // each piece ends at its first zero byte.
    static QStringList chunkOutput(const QByteArray& output);

    std::string CommandLine;
    bool RunOnShow = false;

    // ---- components, named as their objectName ----
    QPlainTextEdit* MemoResults = nullptr;
    QWidget* PanelBottom = nullptr;
    QPushButton* ButtonClose = nullptr;
    QMenu* PopupMenuResults = nullptr;
    QAction* MenuItemSaveLog = nullptr;
    QAction* N1 = nullptr;
    QAction* MenuItemClearLog = nullptr;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void FormCreate();
    void FormShow();
    void CMRunConsoleApp(QEvent* e);
    void useRunLook();
    // Collects the child's standard output while it runs; false when the
    // command could not be started.
    bool collectOutput(QByteArray& output);

    Services S;
    bool FRunning = false;
    bool FCloseRequested = false;  // a frame close arrived during a run
};

}  // namespace qm
