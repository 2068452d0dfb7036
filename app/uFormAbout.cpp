#include "app/uFormAbout.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <cstdio>
#include <qdrawutil.h>

#include "app/logo.h"
#include "app/uVersion.h"
#include "core/datetime.h"
#include "core/filesystem.h"
#include "core/paths.h"

namespace qm {

namespace {

constexpr const char* kDisclaimer =
    "Warning: This software is to be used \"as is\".  No warranty is written or implied.";
constexpr const char* kCopyright = "Copyright \u00a9 Harthollow";

// A panel with a lowered outer and a raised inner bevel.
class BevelPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        qDrawShadePanel(&p, rect(), palette(), true, 1);
        qDrawShadePanel(&p, rect().adjusted(1, 1, -1, -1), palette(), false, 1);
    }
};

// A label right of the logo at height `y`, as wide as its text; a text longer
// than the panel leaves room for (a long system name, another font) wraps
// within the panel instead of running off its edge.
void fitBeside(QLabel* label, int y) {
    const int room = label->parentWidget()->width() - 120 - 4;
    label->setWordWrap(false);
    label->adjustSize();
    if (label->width() > room) {
        label->setWordWrap(true);
        label->resize(room, label->heightForWidth(room));
    }
    label->move(120, y);
}

QLabel* makeLabel(QWidget* parent, const char* name, int x, int y) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->move(x, y);
    return l;
}

}  // namespace

TFormAbout::TFormAbout(const Services& services, const std::string& website, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint),
      S(services) {
    setObjectName("FormAbout");
    setWindowTitle("About");
    setModal(true);
    // Pixel sizes: the box is not scaled with the system's text size.
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(326, 219);

    Panel1 = new BevelPanel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(8, 8, 313, 177);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setGeometry(2, 8, 111, 116);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap::fromImage(logo::image(logo::kSize)));

    ProductName = makeLabel(Panel1, "ProductName", 120, 16);
    ProductName->setFixedSize(185, 33);
    ProductName->setWordWrap(true);
    ProductName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);

    lblVersion = makeLabel(Panel1, "lblVersion", 120, 48);
    lblOS = makeLabel(Panel1, "lblOS", 120, 72);
    lblCopyright = makeLabel(Panel1, "lblCopyright", 88, 112);
    lblCopyright->setText(QString::fromUtf8(kCopyright));
    lblCopyright->adjustSize();
    lblComments = makeLabel(Panel1, "lblComments", 88, 128);
    lblComments->setWordWrap(true);
    lblComments->setText(QString::fromStdString(website));
    lblComments->setFixedWidth(313 - 88 - 8);
    lblComments->adjustSize();
    lblDisclaimer = makeLabel(Panel1, "lblDisclaimer", 8, 144);
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setFixedSize(285, 26);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setText(kDisclaimer);

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(143, 188, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TFormAbout::FormCreate() {
    // 1: the program file's date; nothing when it cannot be read.
    std::string date;
    try {
        const auto entry = S.fs->findFirstFile(path::folderPart(S.executablePath),
                                               path::fileName(S.executablePath), "");
        if (entry) date = formatShortDate(entry->time);
    } catch (...) {
        date.clear();
    }

    // 2
    std::string osName, servicePack;
    int32_t osMajor = 0, osMinor = 0, osBuild = 0;
    GetOSInfo(*S.registry, osName, osMajor, osMinor, osBuild, servicePack);
    std::string os = "Running on " + osName;
    if (!servicePack.empty()) os += "\n " + servicePack;
    lblOS->setText(QString::fromStdString(os));

    // 3
    int32_t major = 0, minor = 0, release = 0, build = 0;
    std::string specialBuild;
    GetFileVersion(S.executablePath, major, minor, release, build, specialBuild);
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%d.%d.%d Build %d", major, minor, release, build);
    std::string version = std::string("Version ") + numbers + "    " + date;
    if (!specialBuild.empty()) version += "\n" + specialBuild;
    lblVersion->setText(QString::fromStdString(version));
    fitBeside(lblVersion, 48);
    // The system line keeps below the version, however many lines that took.
    fitBeside(lblOS, std::max(72, lblVersion->geometry().bottom() + 1));

    // 4
    if (parentWidget()) ProductName->setText(parentWidget()->windowTitle());
}

void TFormAbout::showEvent(QShowEvent* e) {
    // Centred over the main window each time it is shown.
    if (!e->spontaneous() && parentWidget()) {
        const QRect owner = parentWidget()->window()->frameGeometry();
        const QRect frame = frameGeometry();
        move(owner.center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
    QDialog::showEvent(e);
}

}  // namespace qm
