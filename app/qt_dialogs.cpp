#include "app/qt_dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "platform/platform.h"

namespace qm {

namespace {

QWidget* owner() { return QApplication::activeWindow(); }

// A message box that can also be closed without an answer (its frame's close
// box, or Esc where no button takes Esc), which then counts as none of its
// buttons. Qt's own box refuses to close when it has no escape button.
class AnswerBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void closeEvent(QCloseEvent* e) override {
        if (escapeButton())
            QMessageBox::closeEvent(e);
        else
            QDialog::closeEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (!escapeButton() && e->matches(QKeySequence::Cancel)) {
            reject();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
};

}  // namespace

DlgButton QtDialogs::message(DlgKind kind, const std::string& text, const DlgButtons& buttons) {
    AnswerBox box(owner());
    box.setWindowTitle(dialogTitle(kind));
    // Names from the index are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    switch (kind) {
        case DlgKind::Warning: box.setIcon(QMessageBox::Warning); break;
        case DlgKind::Error: box.setIcon(QMessageBox::Critical); break;
        case DlgKind::Information: box.setIcon(QMessageBox::Information); break;
        case DlgKind::Confirmation: box.setIcon(QMessageBox::Question); break;
    }
    std::vector<std::pair<QAbstractButton*, DlgButton>> made;
    // One role for all of them keeps the buttons in the order given; the
    // roles' own order would move "Yes to All" next to "Yes".
    for (DlgButton b : buttons) {
        QPushButton* pb = box.addButton(buttonCaption(b), QMessageBox::ActionRole);
        made.emplace_back(pb, b);
    }
    if (!made.empty()) box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    // Esc and the frame's close box answer Cancel where there is one; a box
    // with one button takes it as its answer.
    for (auto& [pb, b] : made)
        if (b == DlgButton::Cancel || made.size() == 1) box.setEscapeButton(pb);
    box.exec();
    for (auto& [pb, b] : made)
        if (box.clickedButton() == pb) return b;
    return DlgButton::None;
}

void QtDialogs::plainMessage(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString(), QMessageBox::Ok, owner());
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    box.exec();
}

void QtDialogs::failureReport(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString(), QMessageBox::Ok, owner());
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    box.exec();
}

namespace {

// A folder dialog that starts in the user's home and takes a folder typed
// into its name field on the first press of its button, instead of only
// opening it. The picker for Extract To also takes the name of a folder
// that does not exist yet: it asks, then creates the folder with its parents.
class FolderPicker : public QFileDialog {
public:
    FolderPicker(QWidget* parent, const QString& title, bool createMissing)
        : QFileDialog(parent, title, QDir::homePath()), createMissing_(createMissing) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly, true);
        setOption(QFileDialog::DontUseNativeDialog, true);
    }

    // The folder chosen; empty when the dialog was cancelled.
    QString chosen() const { return chosen_; }

protected:
    void accept() override {
        QString folder = typedFolder();
        if (folder.isEmpty()) {
            const QStringList selected = selectedFiles();
            if (!selected.isEmpty()) folder = selected.front();
        }
        if (folder.isEmpty()) return;
        if (!QFileInfo(folder).isDir()) {
            if (!createMissing_) return;
            const QString shown = QDir::toNativeSeparators(folder);
            QMessageBox ask(QMessageBox::Question, "Confirm",
                            QString("The folder \"%1\" does not exist.  Do you want to create it?").arg(shown),
                            QMessageBox::Yes | QMessageBox::No, this);
            ask.setTextFormat(Qt::PlainText);
            if (ask.exec() != QMessageBox::Yes) return;
            if (!QDir().mkpath(folder)) {
                QMessageBox failed(QMessageBox::Critical, "Error",
                                   QString("Could not create the folder \"%1\".").arg(shown), QMessageBox::Ok, this);
                failed.setTextFormat(Qt::PlainText);
                failed.exec();
                return;
            }
        }
        chosen_ = folder;
        QDialog::accept();
    }

private:
    // The text of the name field as a path (relative to the folder shown).
    QString typedFolder() const {
        const auto* field = findChild<QLineEdit*>("fileNameEdit");
        const QString text = field ? field->text().trimmed() : QString();
        if (text.isEmpty()) return {};
        return QDir::cleanPath(QDir(directory()).absoluteFilePath(QDir::fromNativeSeparators(text)));
    }

    bool createMissing_;
    QString chosen_;
};

std::optional<std::string> pickFolder(const QString& title, bool createMissing) {
    FolderPicker dlg(owner(), title, createMissing);
    if (dlg.exec() != QDialog::Accepted || dlg.chosen().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dlg.chosen()).toStdString();
}

}  // namespace

std::optional<std::string> QtDialogs::browseForFolder(const std::string& title) {
    return pickFolder(QString::fromStdString(title), false);
}

std::optional<std::string> QtDialogs::selectFolder() { return pickFolder("Select Folder", true); }

std::string toQtFilter(const std::string& filter) {
    // Pairs of "description|pattern": Qt shows the description, which
    // already names the pattern.
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i];
    return out.join(";;").toStdString();
}

std::optional<std::string> QtDialogs::saveFile(const std::string& filter, const std::string& defaultExtension) {
    QFileDialog dlg(owner());
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilter(QString::fromStdString(toQtFilter(filter)));
    dlg.setDefaultSuffix(QString::fromStdString(defaultExtension));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dlg.selectedFiles().front()).toStdString();
}

Status QtShell::open(const std::string& document) {
    const QString doc = QString::fromStdString(document);
    const bool isAddress = doc.contains("://");
    if (!isAddress && !QFileInfo::exists(doc)) return Status::failure("The system cannot find the file specified.");
    const QUrl url = isAddress ? QUrl(doc) : QUrl::fromLocalFile(doc);
    if (!QDesktopServices::openUrl(url))
        return Status::failure("No application is associated with the specified file for this operation.");
    return Status::success();
}

DateTime SystemClock::now() { return platform::localNow(); }

}  // namespace qm
