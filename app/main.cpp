// Program entry: the application object, the main window, the message loop.
#include <QApplication>
#include <memory>

#include "app/qt_dialogs.h"
#include "app/uFormMain.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    auto fs = qm::platform::makeFileSystem();
    auto ini = qm::platform::makeIniFiles();
    auto registry = qm::platform::makeRegistry(qm::platform::defaultRegistryStorePath());
    qm::QtDialogs dialogs;
    qm::QtShell shell;
    qm::SystemClock clock;

    qm::Services services;
    services.fs = fs.get();
    services.ini = ini.get();
    services.registry = registry.get();
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.clock = &clock;
    services.executablePath = qm::platform::executablePath();
    services.systemDriveRoot = qm::platform::systemDriveRoot();

    int rc = 0;
    {
        auto window = std::make_unique<qm::TFormMain>(services);
        window->show();
        rc = app.exec();
    }  // the window's destruction saves the settings
    return rc;
}
