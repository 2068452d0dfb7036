// Program entry: the application object, the main window, the message loop.
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <exception>
#include <memory>

#include "app/logo.h"
#include "app/platform_services.h"
#include "app/qt_dialogs.h"
#include "app/uFormMain.h"
#include "platform/platform.h"

namespace {

// The last line of defence: a failure that escapes an event handler of any
// window is shown in the failure report, and the program goes on. The main
// window's own handlers catch theirs before it gets here.
class Application : public QApplication {
public:
    Application(int& argc, char** argv, qm::Dialogs& dialogs) : QApplication(argc, argv), dialogs_(dialogs) {}

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& ex) {
            dialogs_.failureReport(applicationName().toStdString(), ex.what());
        } catch (...) {
            dialogs_.failureReport(applicationName().toStdString(), "Unknown failure");
        }
        return false;
    }

private:
    qm::Dialogs& dialogs_;
};

}  // namespace

int main(int argc, char** argv) {
    qm::QtDialogs dialogs;
    Application app(argc, argv, dialogs);
    QApplication::setApplicationName("Quillmere");
    // The desktop entry's name, so that a desktop shows its icon for the window.
    QGuiApplication::setDesktopFileName("net.harthollow.Quillmere");
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(qm::logo::image(size)));
    QApplication::setWindowIcon(icon);
    const qm::PlatformServices platform(qm::platform::defaultRegistryStorePath());
    qm::QtShell shell;
    qm::SystemClock clock;
    const qm::Services services = platform.services(dialogs, shell, clock);

    int rc = 0;
    {
        auto window = std::make_unique<qm::TFormMain>(services);
        window->show();
        rc = app.exec();
    }  // the window's destruction saves the settings
    return rc;
}
