// The update check against a real HTTP server on 127.0.0.1: the HTTP client
// on its own (answers, error statuses, redirects, time-out, size limit),
// then the Help menu's check, the link label, the automatic check at
// start-up and the download that ends the program.
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/http_client.h"
#include "support/form_access.h"
#include "support/game_fixture.h"
#include "support/http_server.h"

namespace qm::test {
namespace {

const std::string kDocPath = "/pad/quillmere.xml";
const std::string kErrorHead = "Error checking for update: ";
const std::string kErrorTail = "\nMake sure you are connected to the Internet.";
const std::string kQuestion = "An Update is available.  Do you want to download it now?";

// ---- the HTTP client ----

struct Fetch {
    Status status;
    std::string body;
    qint64 ms = 0;
};

Fetch fetch(HttpClient& client, const std::string& url) {
    Fetch f;
    QElapsedTimer clock;
    clock.start();
    f.status = client.get(url, f.body);
    f.ms = clock.elapsed();
    return f;
}

TEST(HttpClient, AnswersAndFailures) {
    TestHttpServer server;
    ASSERT_TRUE(server.listening());
    const std::string big(100 * 1024, 'x');
    server.routes["/doc"] = TestHttpServer::Response(200, "OK", padDocument("2.1.4"));
    server.routes["/missing"] = TestHttpServer::Response(404, "Not Found", "<html>gone</html>");
    server.routes["/broken"] = TestHttpServer::Response(500, "Internal Server Error", "oops");
    server.routes["/moved"] = TestHttpServer::Response(302, "Found", "").header("Location", "/doc");
    server.routes["/loop"] = TestHttpServer::Response(302, "Found", "").header("Location", "/loop");
    server.routes["/big"] = TestHttpServer::Response(200, "OK", big);
    server.routes["/big-unannounced"] = TestHttpServer::Response(200, "OK", big).unannounced();
    server.routes["/limit"] = TestHttpServer::Response(200, "OK", std::string(64 * 1024, 'y'));
    server.routes["/slow"] = TestHttpServer::Response(200, "OK", padDocument("9.0.0")).delayed(3000);
    QtHttpClient client(300, 64 * 1024);

    struct Case {
        std::string path;
        bool ok;
        std::string textOrBody;  // the body on success, else the failure
    } cases[] = {
        {"/doc", true, padDocument("2.1.4")},
        {"/moved", true, padDocument("2.1.4")},  // redirects are followed
        {"/limit", true, std::string(64 * 1024, 'y')},  // exactly at the limit
        {"/missing", false, "The server answered 404 Not Found."},
        {"/broken", false, "The server answered 500 Internal Server Error."},
        {"/big", false, "The server's answer is larger than 64 KB."},
        {"/big-unannounced", false, "The server's answer is larger than 64 KB."},
        {"/slow", false, "The server did not answer within 0.3 seconds."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const Fetch f = fetch(client, server.base() + c.path);
        EXPECT_EQ(f.status.ok, c.ok) << f.status.reason;
        EXPECT_EQ(c.ok ? f.body : f.status.reason, c.textOrBody);
        if (!c.ok) {
            EXPECT_EQ(f.body, "");
        }
        EXPECT_LT(f.ms, 2500);  // the slow answer comes after 3 s: the time-out ended it
    }

    // A redirect loop ends with a failure that says so.
    const Fetch loop = fetch(client, server.base() + "/loop");
    EXPECT_FALSE(loop.status.ok);
    EXPECT_NE(loop.status.reason.find("redirect"), std::string::npos) << loop.status.reason;
}

TEST(HttpClient, NoServerOrNoWebAddress) {
    QtHttpClient client(2000, 1024);
    const Fetch down = fetch(client, TestHttpServer::downAddress() + "/pad/quillmere.xml");
    EXPECT_FALSE(down.status.ok);
    EXPECT_FALSE(down.status.reason.empty());
    for (const std::string url : {"ftp://127.0.0.1/pad.xml", "not an address", "http://"}) {
        const Fetch f = fetch(client, url);
        EXPECT_FALSE(f.status.ok) << url;
        EXPECT_EQ(f.status.reason, "\"" + url + "\" is not a web address.");
    }
}

TEST(HttpClient, TheThreadsEventsGoOnWhileItWaits) {
    TestHttpServer server;
    server.routes["/slow"] = TestHttpServer::Response(200, "OK", "done").delayed(400);
    QtHttpClient client(5000, 1024);
    int ticks = 0;
    QTimer painter;  // stands for the window's repaints
    QObject::connect(&painter, &QTimer::timeout, [&] { ++ticks; });
    painter.start(20);
    const Fetch f = fetch(client, server.base() + "/slow");
    EXPECT_TRUE(f.status.ok) << f.status.reason;
    EXPECT_EQ(f.body, "done");
    EXPECT_GE(f.ms, 350);
    EXPECT_GE(ticks, 5);
}

// ---- the check in the main window ----

void installProgram(GameFixture& g) { std::filesystem::copy_file(QM_PROGRAM_FILE, g.services.executablePath); }

std::vector<ShownDialog> dialogsOf(const GameFixture& g, const std::string& what) {
    std::vector<ShownDialog> out;
    for (const ShownDialog& d : g.dialogs.shown)
        if (d.what == what) out.push_back(d);
    return out;
}

// A started window whose program is the real one (2.1.0 Build 65), with the
// first-run question answered, checking against `server`.
struct UpdateFixture {
    explicit UpdateFixture(const TestHttpServer& server, bool autoCheck = false) {
        installProgram(g);
        auto key = g.registry->openOrCreate(RegRoot::LocalMachine, "SOFTWARE\\Harthollow\\Quillmere");
        key->writeInteger("FirstRun", 0);
        key->writeString("LastRunVersion", "2.1.0.65");
        key->writeInteger("AutoUpdateCheck", autoCheck ? 1 : 0);
        g.services.serverOverride = server.base();
    }
    GameFixture g;
};

TEST(UpdateCheck, TheMenuItemComparesWithTheRunningVersion) {
    struct Case {
        std::string published;
        bool update;
    } cases[] = {
        {"9.0.0", true}, {"2.1.1", true}, {"2.2", true},  {"3", true},      {"3.0.0", true},
        {"2.1.0", false}, {"2.1", false}, {"2", false},   {"1.9.9", false}, {"2.0.99", false},
        {"2.1.0.99", false},  // the build is not compared
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.published);
        TestHttpServer server;
        server.routes[kDocPath] = TestHttpServer::Response(200, "OK", padDocument(c.published));
        UpdateFixture u(server);
        TFormMain& form = u.g.start();
        ASSERT_TRUE(u.g.dialogs.shown.empty());
        u.g.dialogs.answers = {DlgButton::No};
        ui(form).miCheckForUpdate->trigger();

        EXPECT_EQ(server.requests, std::vector<std::string>{kDocPath});
        ASSERT_EQ(u.g.dialogs.shown.size(), 1u);
        const ShownDialog& d = u.g.dialogs.shown[0];
        if (c.update) {
            EXPECT_EQ(d.what, "message");
            EXPECT_EQ(d.kind, DlgKind::Confirmation);
            EXPECT_EQ(d.text, kQuestion);
            EXPECT_EQ(d.buttons, (DlgButtons{DlgButton::Yes, DlgButton::No}));
        } else {
            EXPECT_EQ(d.what, "plain");
            EXPECT_EQ(d.title, "Quillmere");
            EXPECT_EQ(d.text, "No Updates are available");
        }
        // No: the program goes on.
        EXPECT_FALSE(ui(form).tmrUpdateCheck->isActive());
        EXPECT_TRUE(u.g.shell.opened.empty());
    }
}

TEST(UpdateCheck, TheLinkLabelChecksLikeTheMenuItem) {
    TestHttpServer server;
    server.routes[kDocPath] = TestHttpServer::Response(200, "OK", padDocument("2.1.0"));
    UpdateFixture u(server);
    TFormMain& form = u.g.start();
    form.show();
    QTest::mouseClick(ui(form).lblCheckForUpdates, Qt::LeftButton);
    EXPECT_EQ(server.requests.size(), 1u);
    EXPECT_EQ(u.g.dialogs.texts(), std::vector<std::string>{"No Updates are available"});
    // Another button does nothing.
    QTest::mouseClick(ui(form).lblCheckForUpdates, Qt::RightButton);
    EXPECT_EQ(server.requests.size(), 1u);
}

TEST(UpdateCheck, AFailedCheckShowsOneErrorDialogAndNothingMore) {
    struct Case {
        std::string name;
        TestHttpServer::Response answer;
        std::string failure;
    } cases[] = {
        {"error status", {404, "Not Found", "<html>404</html>"}, "The server answered 404 Not Found."},
        {"web page", {200, "OK", "<html><body>Please sign in to use this network.</body></html>"},
         "The update document names no version (it has no <Program_Version> element)."},
        {"empty element", {200, "OK", "<Program_Version></Program_Version>"},
         "The update document's version \"</Program_Version>\" is not a version number."},
        {"not a number", {200, "OK", padDocument("2.x.5")},
         "The update document's version \"2.x.5\" is not a version number."},
        {"too slow", TestHttpServer::Response(200, "OK", padDocument("9.0.0")).delayed(2000),
         "The server did not answer within 0.2 seconds."},
        {"too large", {200, "OK", std::string(5000, ' ') + padDocument("9.0.0")},
         "The server's answer is larger than 4 KB."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server;
        server.routes[kDocPath] = c.answer;
        UpdateFixture u(server);
        QtHttpClient quick(200, 4 * 1024);
        u.g.services.http = &quick;
        TFormMain& form = u.g.start();
        u.g.dialogs.answers = {DlgButton::Yes};  // would accept an update, if one were offered
        ui(form).miCheckForUpdate->trigger();

        ASSERT_EQ(u.g.dialogs.shown.size(), 1u);
        const ShownDialog& d = u.g.dialogs.shown[0];
        EXPECT_EQ(d.what, "message");
        EXPECT_EQ(d.kind, DlgKind::Error);
        EXPECT_EQ(d.title, "Error");
        EXPECT_EQ(d.text, kErrorHead + c.failure + kErrorTail);
        EXPECT_EQ(d.buttons, DlgButtons{DlgButton::OK});
        EXPECT_FALSE(ui(form).tmrUpdateCheck->isActive());
        EXPECT_TRUE(u.g.shell.opened.empty());
        // The window takes input again.
        EXPECT_TRUE(form.menuBar()->isEnabled());
        EXPECT_TRUE(form.centralWidget()->isEnabled());
    }
}

TEST(UpdateCheck, NoServerShowsTheErrorDialog) {
    TestHttpServer unused;
    UpdateFixture u(unused);
    u.g.services.serverOverride = TestHttpServer::downAddress();
    TFormMain& form = u.g.start();
    ui(form).miCheckForUpdate->trigger();
    ASSERT_EQ(u.g.dialogs.shown.size(), 1u);
    const std::string& text = u.g.dialogs.shown[0].text;
    EXPECT_EQ(u.g.dialogs.shown[0].kind, DlgKind::Error);
    EXPECT_EQ(text.rfind(kErrorHead, 0), 0u) << text;
    EXPECT_GT(text.size(), kErrorHead.size() + kErrorTail.size());
    EXPECT_EQ(text.substr(text.size() - kErrorTail.size()), kErrorTail);
}

TEST(UpdateCheck, AnUnreadableOwnVersionIsAFailedCheck) {
    TestHttpServer server;
    server.routes[kDocPath] = TestHttpServer::Response(200, "OK", padDocument("9.0.0"));
    GameFixture g;  // no program file: its version cannot be read
    g.services.serverOverride = server.base();
    g.dialogs.answers = {DlgButton::No};  // the first-run question
    TFormMain& form = g.start();
    g.dialogs.shown.clear();
    ui(form).miCheckForUpdate->trigger();
    EXPECT_TRUE(server.requests.empty());
    EXPECT_EQ(g.dialogs.texts(),
              std::vector<std::string>{kErrorHead + "The program's own version cannot be read." + kErrorTail});
}

TEST(UpdateCheck, TheWindowTakesNoInputWhileTheRequestWaits) {
    TestHttpServer server;
    server.routes[kDocPath] = TestHttpServer::Response(200, "OK", padDocument("2.1.0")).delayed(100);
    UpdateFixture u(server);
    TFormMain& form = u.g.start();
    form.show();
    bool menusDuring = true, pageDuring = true, busyDuring = false;
    server.onRequest = [&](const std::string&) {
        menusDuring = form.menuBar()->isEnabled();
        pageDuring = form.centralWidget()->isEnabled();
        busyDuring = form.isBusy();
    };
    ui(form).miCheckForUpdate->trigger();
    EXPECT_FALSE(menusDuring);
    EXPECT_FALSE(pageDuring);
    EXPECT_TRUE(busyDuring);
    EXPECT_TRUE(form.menuBar()->isEnabled());
    EXPECT_TRUE(form.centralWidget()->isEnabled());
    EXPECT_FALSE(form.isBusy());
    EXPECT_EQ(u.g.dialogs.texts(), std::vector<std::string>{"No Updates are available"});
}

TEST(UpdateCheck, YesOpensTheProductPageASecondLaterAndEndsTheProgram) {
    TestHttpServer server;
    server.routes[kDocPath] = TestHttpServer::Response(200, "OK", padDocument("9.0.0"));
    UpdateFixture u(server);
    TFormMain& form = u.g.start();
    form.show();
    u.g.dialogs.answers = {DlgButton::Yes};
    QElapsedTimer clock;
    QTimer::singleShot(0, &form, [&] {
        ui(form).miCheckForUpdate->trigger();
        clock.start();
        // Nothing opens at once.
        EXPECT_TRUE(ui(form).tmrUpdateCheck->isActive());
        EXPECT_TRUE(u.g.shell.opened.empty());
    });
    QTimer stuck;  // a program that does not end fails the test
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    stuck.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_GE(clock.elapsed(), 950);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(u.g.shell.opened, std::vector<std::string>{server.base() + "/products.php#quillmere"});
    EXPECT_FALSE(ui(form).tmrUpdateCheck->isActive());
    EXPECT_EQ(u.g.dialogs.texts(), std::vector<std::string>{kQuestion});
}

TEST(UpdateCheck, AtStartUpOnlyAnUpdateOrAFailureSpeaks) {
    struct Case {
        std::string name;
        bool autoCheck;
        std::string published;  // "" : no server
        std::vector<std::string> texts;
    } cases[] = {
        {"no update", true, "2.1.0", {}},
        {"update", true, "9.0.0", {kQuestion}},
        {"option off", false, "9.0.0", {}},
        {"no server", true, "", {"failure"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server;
        server.routes[kDocPath] = TestHttpServer::Response(200, "OK", padDocument(c.published));
        UpdateFixture u(server, c.autoCheck);
        if (c.published.empty()) u.g.services.serverOverride = TestHttpServer::downAddress();
        u.g.dialogs.answers = {DlgButton::No};
        TFormMain& form = u.g.start();
        EXPECT_EQ(ui(form).miAutoCheckUpdate->isChecked(), c.autoCheck);
        EXPECT_TRUE(dialogsOf(u.g, "failure").empty());
        EXPECT_TRUE(dialogsOf(u.g, "plain").empty());
        EXPECT_EQ(server.requests.size(), c.autoCheck && !c.published.empty() ? 1u : 0u);
        if (c.texts == std::vector<std::string>{"failure"}) {
            ASSERT_EQ(u.g.dialogs.shown.size(), 1u);
            EXPECT_EQ(u.g.dialogs.shown[0].kind, DlgKind::Error);
            EXPECT_EQ(u.g.dialogs.shown[0].text.rfind(kErrorHead, 0), 0u);
        } else {
            EXPECT_EQ(u.g.dialogs.texts(), c.texts);
        }
        // The check was the last step: the cache list was built before it.
        EXPECT_NE(form.statusText(), "");
    }
}

TEST(UpdateCheck, TheOptionItemTogglesTheStartUpCheck) {
    TestHttpServer server;
    server.routes[kDocPath] = TestHttpServer::Response(200, "OK", padDocument("9.0.0"));
    UpdateFixture u(server);
    TFormMain& form = u.g.start();
    EXPECT_FALSE(ui(form).miAutoCheckUpdate->isChecked());
    ui(form).miAutoCheckUpdate->trigger();
    EXPECT_TRUE(ui(form).miAutoCheckUpdate->isChecked());
    EXPECT_TRUE(server.requests.empty());  // toggling checks nothing
    u.g.form.reset();                      // the exit saves the option
    u.g.dialogs.answers = {DlgButton::No};
    u.g.start();
    EXPECT_EQ(server.requests.size(), 1u);
    EXPECT_EQ(u.g.dialogs.texts(), std::vector<std::string>{kQuestion});
}

}  // namespace
}  // namespace qm::test
