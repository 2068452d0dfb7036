#include "app/qt_dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "platform/platform.h"

namespace qm {

const char* dialogTitle(DlgKind kind) {
    switch (kind) {
        case DlgKind::Warning: return "Warning";
        case DlgKind::Error: return "Error";
        case DlgKind::Information: return "Information";
        case DlgKind::Confirmation: return "Confirm";
    }
    return "";
}

const char* buttonCaption(DlgButton button) {
    switch (button) {
        case DlgButton::OK: return "OK";
        case DlgButton::Cancel: return "Cancel";
        case DlgButton::Yes: return "&Yes";
        case DlgButton::No: return "&No";
        case DlgButton::YesToAll: return "Yes to &All";
        case DlgButton::NoToAll: return "N&o to All";
        case DlgButton::None: break;
    }
    return "";
}

namespace {

QWidget* owner() { return QApplication::activeWindow(); }

QMessageBox::ButtonRole roleOf(DlgButton b) {
    switch (b) {
        case DlgButton::OK:
        case DlgButton::Yes:
        case DlgButton::YesToAll: return QMessageBox::YesRole;
        case DlgButton::Cancel: return QMessageBox::RejectRole;
        default: return QMessageBox::NoRole;
    }
}

}  // namespace

DlgButton QtDialogs::message(DlgKind kind, const std::string& text, const DlgButtons& buttons) {
    QMessageBox box(owner());
    box.setWindowTitle(dialogTitle(kind));
    box.setText(QString::fromStdString(text));
    switch (kind) {
        case DlgKind::Warning: box.setIcon(QMessageBox::Warning); break;
        case DlgKind::Error: box.setIcon(QMessageBox::Critical); break;
        case DlgKind::Information: box.setIcon(QMessageBox::Information); break;
        case DlgKind::Confirmation: box.setIcon(QMessageBox::Question); break;
    }
    std::vector<std::pair<QAbstractButton*, DlgButton>> made;
    for (DlgButton b : buttons) {
        QPushButton* pb = box.addButton(buttonCaption(b), roleOf(b));
        made.emplace_back(pb, b);
    }
    if (!made.empty()) box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    // Closing the box with its frame answers none of the named buttons;
    // Esc does the same unless there is a Cancel button.
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    for (auto& [pb, b] : made)
        if (b == DlgButton::Cancel) box.setEscapeButton(pb);
    box.exec();
    for (auto& [pb, b] : made)
        if (box.clickedButton() == pb) return b;
    return DlgButton::None;
}

void QtDialogs::plainMessage(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, owner());
    box.exec();
}

void QtDialogs::failureReport(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, owner());
    box.exec();
}

std::optional<std::string> QtDialogs::browseForFolder(const std::string& title) {
    QString dir = QFileDialog::getExistingDirectory(owner(), QString::fromStdString(title), QString(),
                                                    QFileDialog::ShowDirsOnly);
    if (dir.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dir).toStdString();
}

std::optional<std::string> QtDialogs::selectFolder() {
    // The user may type a folder that does not exist yet; it is created,
    // with its parents, once the user agrees.
    QFileDialog dlg(owner(), "Select Folder");
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly, true);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    for (;;) {
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
        const QString chosen = dlg.selectedFiles().front();
        if (QFileInfo(chosen).isDir()) return QDir::toNativeSeparators(chosen).toStdString();
        QMessageBox ask(QMessageBox::Question, "Confirm",
                        QString("The folder \"%1\" does not exist.  Create it?").arg(QDir::toNativeSeparators(chosen)),
                        QMessageBox::Yes | QMessageBox::No, owner());
        if (ask.exec() != QMessageBox::Yes) continue;
        if (QDir().mkpath(chosen)) return QDir::toNativeSeparators(chosen).toStdString();
        QMessageBox::critical(owner(), "Error",
                              QString("Could not create the folder \"%1\".").arg(QDir::toNativeSeparators(chosen)));
    }
}

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
