// The Help menu: the read-me and the maker's pages it opens, and the About
// box, driven as a user drives them (menu items triggered, keys, the box's
// own button).
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "app/qt_dialogs.h"
#include "app/uFormAbout.h"
#include "core/readme.h"
#include "core/version.h"
#include "support/form_access.h"
#include "support/game_fixture.h"

namespace qm::test {
namespace {

// ---- web pages and the read-me ----

TEST(HelpMenu, EachItemOpensItsPage) {
    struct Case {
        const char* item;
        std::string path;
    } cases[] = {
        {"miForums", "/viewforum.php?f=5"},
        {"miWebsite", "/"},
        {"miProductInfo", "/products.php#quillmere"},
        {"miDonate", "/donate.html"},
    };
    for (const std::string server : {"", "http://127.0.0.1:8080"}) {
        GameFixture g;
        g.services.serverOverride = server;
        TFormMain& form = g.start();
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.item) + " " + server);
            g.shell.opened.clear();
            auto* item = form.findChild<QAction*>(c.item);
            ASSERT_NE(item, nullptr);
            item->trigger();
            const std::string host = std::string(c.item) == "miForums" ? "http://forums.harthollow.net"
                                                                        : "http://www.harthollow.net";
            EXPECT_EQ(g.shell.opened, std::vector<std::string>{(server.empty() ? host : server) + c.path});
        }
    }
}

TEST(HelpMenu, TheReadmeBesideTheProgramElseTheInstalledOne) {
    GameFixture g;
    TFormMain& form = g.start();
    const std::string beside = g.gameDir + "System/quillmere.txt";
    const std::string installed = g.gameDir + "share/doc/quillmere/quillmere.txt";

    // Only the installed one: a program in <prefix>/bin finds <prefix>/share/doc/quillmere.
    g.root.write("Game/share/doc/quillmere/quillmere.txt", "read me");
    ui(form).miReadme->trigger();
    EXPECT_EQ(g.shell.opened, std::vector<std::string>{installed});

    // Beside the program it wins.
    g.root.write("Game/System/quillmere.txt", "read me");
    g.shell.opened.clear();
    ui(form).miReadme->trigger();
    EXPECT_EQ(g.shell.opened, std::vector<std::string>{beside});
    EXPECT_TRUE(g.dialogs.shown.size() <= 1);  // at most the first-run question
}

TEST(HelpMenu, AMissingReadmeShowsTheErrorDialogAndNothingElse) {
    GameFixture g;
    QtShell shell;  // the real one: it refuses a missing file before asking the desktop
    g.services.shell = &shell;
    TFormMain& form = g.start();
    g.dialogs.shown.clear();
    ui(form).miReadme->trigger();
    ASSERT_EQ(g.dialogs.shown.size(), 1u);
    EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Error);
    EXPECT_EQ(g.dialogs.shown[0].text, "The system cannot find the file specified.");
    EXPECT_EQ(g.dialogs.shown[0].buttons, DlgButtons{DlgButton::OK});
}

TEST(HelpMenu, TheBuildPutsTheReadmeBesideTheProgram) {
    const std::string text = readFile(readme::besideProgram(QM_PROGRAM_FILE));
    EXPECT_EQ(text.rfind("Quillmere", 0), 0u);
    EXPECT_NE(text.find("Where settings live"), std::string::npos);
    EXPECT_NE(text.find("QUILLMERE_SERVER"), std::string::npos);
}

// ---- the About box ----

// What a user sees of one About box, read while it is open; then Enter
// closes it.
struct AboutSeen {
    bool shown = false;
    bool modal = false;
    QString caption;
    QSize size, minimum, maximum;
    QPoint centre, ownerCentre;
    std::map<std::string, QString> labels;
    std::map<std::string, QRect> geometry;
    bool okDefault = false;
    QString okCaption;
    int result = -1;
    QPointer<TFormAbout> box;
};

AboutSeen showAbout(TFormMain& form, const std::function<void(TFormAbout&)>& close = {}) {
    AboutSeen seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<TFormAbout*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || seen.shown) return;
        seen.shown = true;
        seen.box = box;
        seen.modal = box->isModal();
        seen.caption = box->windowTitle();
        seen.size = box->size();
        seen.minimum = box->minimumSize();
        seen.maximum = box->maximumSize();
        seen.centre = box->frameGeometry().center();
        seen.ownerCentre = form.frameGeometry().center();
        for (QLabel* l : {box->ProductName, box->lblVersion, box->lblOS, box->lblCopyright, box->lblComments,
                          box->lblDisclaimer})
            seen.labels[l->objectName().toStdString()] = l->text();
        for (QWidget* w : {static_cast<QWidget*>(box->Panel1), static_cast<QWidget*>(box->ProgramIcon),
                           static_cast<QWidget*>(box->ProductName), static_cast<QWidget*>(box->lblDisclaimer),
                           static_cast<QWidget*>(box->lblVersion), static_cast<QWidget*>(box->lblOS),
                           static_cast<QWidget*>(box->OKButton)})
            seen.geometry[w->objectName().toStdString()] = w->geometry();
        seen.okDefault = box->OKButton->isDefault();
        seen.okCaption = box->OKButton->text();
        QObject::connect(box, &QDialog::finished, [&seen](int r) { seen.result = r; });
        if (close)
            close(*box);
        else
            QTest::keyClick(box, Qt::Key_Return);
    });
    poll.start();
    QTimer stuck;  // a box that does not close fails the test
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] {
        ADD_FAILURE() << "the About box did not close";
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    stuck.start(5000);
    ui(form).miAbout->trigger();
    return seen;
}

// The real program (2.1.0 Build 65) dated 5 March 2024.
void installProgram(GameFixture& g) {
    std::filesystem::copy_file(QM_PROGRAM_FILE, g.services.executablePath);
    setModified(g.services.executablePath, DateTime{2024, 3, 5, 18, 30, 0});
}

TEST(AboutBox, LayoutAndTexts) {
    GameFixture g;
    installProgram(g);
    TFormMain& form = g.start();
    form.show();
    const AboutSeen seen = showAbout(form);
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.caption, "About");
    EXPECT_EQ(seen.size, QSize(326, 219));
    EXPECT_EQ(seen.minimum, seen.size);  // not resizable
    EXPECT_EQ(seen.maximum, seen.size);
    EXPECT_LE((seen.centre - seen.ownerCentre).manhattanLength(), 2);
    EXPECT_EQ(seen.labels.at("ProductName"), "Quillmere");
    EXPECT_EQ(seen.labels.at("lblVersion"), "Version 2.1.0 Build 65    3/5/2024");
    EXPECT_EQ(seen.labels.at("lblDisclaimer"),
              "Warning: This software is to be used \"as is\".  No warranty is written or implied.");
    EXPECT_EQ(seen.labels.at("lblComments"), "http://127.0.0.1:1/");  // the website item's address
    EXPECT_FALSE(seen.labels.at("lblCopyright").isEmpty());
    // On Linux the system's name, and the kernel release as the second line.
    const QString os = seen.labels.at("lblOS");
    EXPECT_TRUE(os.startsWith("Running on ")) << os.toStdString();
    EXPECT_TRUE(os.endsWith("\n " + QSysInfo::kernelVersion())) << os.toStdString();
    EXPECT_EQ(seen.geometry.at("Panel1"), QRect(8, 8, 313, 177));
    EXPECT_EQ(seen.geometry.at("ProgramIcon"), QRect(2, 8, 111, 116));
    EXPECT_EQ(seen.geometry.at("ProductName"), QRect(120, 16, 185, 33));
    EXPECT_EQ(seen.geometry.at("lblDisclaimer"), QRect(8, 144, 285, 26));
    EXPECT_EQ(seen.geometry.at("OKButton"), QRect(143, 188, 75, 25));
    // The version and the system line start where the box places them and
    // stay inside the panel, one below the other, above the copyright line.
    const QRect version = seen.geometry.at("lblVersion"), system = seen.geometry.at("lblOS");
    EXPECT_EQ(version.topLeft(), QPoint(120, 48));
    EXPECT_EQ(system.x(), 120);
    EXPECT_GE(system.y(), std::max(72, version.bottom() + 1));
    EXPECT_LE(version.right(), 313);
    EXPECT_LE(system.right(), 313);
    EXPECT_TRUE(seen.okDefault);
    EXPECT_EQ(seen.okCaption, "OK");
    EXPECT_EQ(seen.result, QDialog::Accepted);  // Enter pressed OK
    EXPECT_TRUE(seen.box.isNull());             // freed after use
}

TEST(AboutBox, AMissingProgramFileAndASpecialBuild) {
    version::Resource special;
    special.fixed = version::FixedInfo{{3, 0, 1, 7}, {1, 0, 0, 0}, 0x3F, 0x2, 0x4, 0x1};
    special.translations = {{0x0409, 0x04E4}};
    special.strings = {{"040904E4", "FileVersion", "3.0.1.7"}};
    struct Case {
        const char* what;
        std::string program;  // "" : no file
        std::string version;
    } cases[] = {
        // No file date: the line ends with the four blanks; no version: zeros.
        {"missing", "", "Version 0.0.0 Build 0    "},
        {"pre-release", "MZ" + version::writeBlock(special), "Version 3.0.1 Build 7    3/5/2024\nPre-Release"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameFixture g;
        if (!c.program.empty()) {
            g.root.write("Game/System/quillmere", c.program);
            setModified(g.services.executablePath, DateTime{2024, 3, 5, 9, 0, 0});
        }
        TFormMain& form = g.start();
        const AboutSeen seen = showAbout(form);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.labels.at("lblVersion"), QString::fromStdString(c.version));
    }
}

TEST(AboutBox, EachShowingIsANewBoxAndTheCloseBoxClosesIt) {
    GameFixture g;
    installProgram(g);
    TFormMain& form = g.start();
    form.show();
    const AboutSeen first = showAbout(form, [](TFormAbout& box) { box.close(); });
    ASSERT_TRUE(first.shown);
    EXPECT_EQ(first.result, QDialog::Rejected);
    EXPECT_TRUE(first.box.isNull());
    const AboutSeen second = showAbout(form, [](TFormAbout& box) { box.OKButton->click(); });
    ASSERT_TRUE(second.shown);
    EXPECT_EQ(second.result, QDialog::Accepted);
    EXPECT_TRUE(second.box.isNull());
    EXPECT_EQ(second.labels, first.labels);
    EXPECT_TRUE(form.findChildren<TFormAbout*>().isEmpty());
}

}  // namespace
}  // namespace qm::test
