#include "app/uFormResults.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <exception>

#include "core/dialogs.h"
#include "core/filesystem.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace qm {

namespace {

constexpr int kWaitSliceMs = 100;
constexpr const char* kLogFilter = "Log files (*.log)|*.log|All Files (*.*)|*.*";

// Console programs write in the console's code page: OEM on Windows, the
// locale's encoding elsewhere.
QString decodeConsoleText(const QByteArray& bytes) {
#ifdef _WIN32
    if (bytes.isEmpty()) return {};
    const int n = MultiByteToWideChar(CP_OEMCP, 0, bytes.constData(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return QString::fromLocal8Bit(bytes);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, bytes.constData(), static_cast<int>(bytes.size()), wide.data(), n);
    return QString::fromWCharArray(wide.data(), n);
#else
    return QString::fromLocal8Bit(bytes);
#endif
}

std::string applicationTitle() { return QCoreApplication::applicationName().toStdString(); }

}  // namespace

TFormResults::TFormResults(const Services& services, QWidget* owner) : QDialog(owner), S(services) {
    setObjectName("FormResults");
    setWindowTitle("Results");
    setModal(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    MemoResults = new QPlainTextEdit(this);
    MemoResults->setObjectName("MemoResults");
    MemoResults->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MemoResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoResults->setContextMenuPolicy(Qt::CustomContextMenu);
    column->addWidget(MemoResults, 1);

    PanelBottom = new QWidget(this);
    PanelBottom->setObjectName("PanelBottom");
    PanelBottom->setFixedHeight(41);
    PanelBottom->installEventFilter(this);
    column->addWidget(PanelBottom, 0);

    ButtonClose = new QPushButton("&Close", PanelBottom);
    ButtonClose->setObjectName("ButtonClose");
    ButtonClose->setGeometry(0, 8, 75, 25);
    ButtonClose->setDefault(true);
    connect(ButtonClose, &QPushButton::clicked, this, [this] { accept(); });

    PopupMenuResults = new QMenu(this);
    PopupMenuResults->setObjectName("PopupMenuResults");
    MenuItemSaveLog = PopupMenuResults->addAction("&Save Log");
    MenuItemSaveLog->setObjectName("MenuItemSaveLog");
    N1 = PopupMenuResults->addSeparator();
    N1->setObjectName("N1");
    MenuItemClearLog = PopupMenuResults->addAction("&Clear Log");
    MenuItemClearLog->setObjectName("MenuItemClearLog");

    auto guardedHandler = [this](void (TFormResults::*handler)()) {
        return [this, handler] {
            try {
                (this->*handler)();
            } catch (const std::exception& ex) {
                S.dialogs->failureReport(applicationTitle(), ex.what());
            }
        };
    };
    connect(MenuItemSaveLog, &QAction::triggered, this, guardedHandler(&TFormResults::MenuItemSaveLogClick));
    connect(MenuItemClearLog, &QAction::triggered, this, guardedHandler(&TFormResults::MenuItemClearLogClick));
    connect(MemoResults, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenuResults->popup(MemoResults->viewport()->mapToGlobal(at)); });

    resize(366, 372);
    FormCreate();
}

TFormResults::~TFormResults() = default;

void TFormResults::FormCreate() { MemoResults->clear(); }

void TFormResults::SetCommand(const std::string& commandLine) {
    CommandLine = commandLine;
    RunOnShow = true;
}

void TFormResults::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TFormResults::FormShow() {
    ButtonClose->setFocus();
    if (!RunOnShow) return;
    useRunLook();
    // From here until the run has ended the window cannot be dismissed, also
    // before the posted request arrives.
    FRunning = true;
    QCoreApplication::postEvent(this, new QEvent(runConsoleAppEventType()));
    ButtonClose->setEnabled(false);
}

void TFormResults::useRunLook() {
    MemoResults->setFrameShape(QFrame::NoFrame);
    QPalette pal = MemoResults->palette();
    pal.setColor(QPalette::Base, palette().color(QPalette::Window));
    MemoResults->setPalette(pal);
    // Long output lines scroll sideways instead of wrapping.
    MemoResults->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool TFormResults::event(QEvent* e) {
    if (e->type() == runConsoleAppEventType()) {
        CMRunConsoleApp(e);
        return true;
    }
    return QDialog::event(e);
}

void TFormResults::CMRunConsoleApp(QEvent* e) {
    QDialog::event(e);
    try {
        RunConsoleApp();
    } catch (const std::exception& ex) {
        S.dialogs->failureReport(applicationTitle(), ex.what());
    }
}

void TFormResults::RunConsoleApp() {
    // Whatever happens below, the window can be closed again afterwards, and
    // a close request that arrived meanwhile takes effect in the modal loop.
    struct RunScope {
        TFormResults& w;
        explicit RunScope(TFormResults& form) : w(form) {
            w.FRunning = true;
            w.ButtonClose->setEnabled(false);
            // Keys typed into the box must not mix with the output.
            w.MemoResults->setReadOnly(true);
        }
        ~RunScope() {
            w.MemoResults->setReadOnly(false);
            w.ButtonClose->setEnabled(true);
            w.ButtonClose->setFocus();
            w.FRunning = false;
            if (w.FCloseRequested) {
                w.FCloseRequested = false;
                QPointer<TFormResults> form(&w);
                QMetaObject::invokeMethod(
                    &w, [form] { if (form) form->close(); }, Qt::QueuedConnection);
            }
        }
        RunScope(const RunScope&) = delete;
        RunScope& operator=(const RunScope&) = delete;
    } scope(*this);

    MemoResults->appendPlainText("Executing '" + QString::fromStdString(CommandLine) + "'...");
    MemoResults->appendPlainText(QString());

    QByteArray output;
    if (!collectOutput(output)) return;
    for (const QString& piece : chunkOutput(output)) MemoResults->appendPlainText(piece);
}

bool TFormResults::collectOutput(QByteArray& output) {
    // No shell: the command line is split into the program and its
    // arguments the way the games' own command lines quote paths.
    QStringList parts = QProcess::splitCommand(QString::fromStdString(CommandLine));
    if (parts.isEmpty()) {
        MemoResults->appendPlainText("The tool could not be started: the command line is empty.");
        return false;
    }
    QProcess child(this);
    child.setProgram(parts.takeFirst());
    child.setArguments(parts);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QIODevice::ReadWrite);
    if (!child.waitForStarted(-1)) {
        // Otherwise the window would read as if the tool had run and said
        // nothing.
        MemoResults->appendPlainText("The tool could not be started: " + child.program() + ": " + child.errorString());
        return false;
    }
    // The tools take everything on their command lines; their input is empty.
    child.closeWriteChannel();
    // The output is drained while the child runs, so no amount of it can
    // make the child wait for a reader; between slices the window is
    // painted and answers input.
    while (child.state() != QProcess::NotRunning) {
        child.waitForFinished(kWaitSliceMs);
        output += child.readAllStandardOutput();
        QCoreApplication::processEvents();
    }
    output += child.readAllStandardOutput();
    QCoreApplication::processEvents();
    return true;
}

QStringList TFormResults::chunkOutput(const QByteArray& output) {
    QStringList pieces;
    qsizetype at = 0;
    for (;;) {
        QByteArray piece = output.mid(at, kResultsChunkBytes);
        const qsizetype taken = piece.size();
        const qsizetype zero = piece.indexOf('\0');
        if (zero >= 0) piece.truncate(zero);
        QString text = decodeConsoleText(piece);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        pieces << text;
        if (taken < kResultsChunkBytes) break;
        at += taken;
    }
    return pieces;
}

void TFormResults::PanelBottomResize() {
    ButtonClose->move((PanelBottom->width() - ButtonClose->width()) / 2, ButtonClose->y());
}

bool TFormResults::eventFilter(QObject* watched, QEvent* e) {
    if (watched == PanelBottom && e->type() == QEvent::Resize) PanelBottomResize();
    return QDialog::eventFilter(watched, e);
}

void TFormResults::closeEvent(QCloseEvent* e) {
    if (FRunning) {
        FCloseRequested = true;
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void TFormResults::keyPressEvent(QKeyEvent* e) {
    // Close is both the default (Enter) and the cancel button (Esc): the
    // keys do what the button does, and nothing while it is disabled.
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        if (ButtonClose->isEnabled()) ButtonClose->click();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TFormResults::MenuItemSaveLogClick() {
    const std::optional<std::string> file = S.dialogs->saveFile(kLogFilter, "log");
    if (!file) return;
    QString text = MemoResults->toPlainText();
#ifdef _WIN32
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
#endif
    const QByteArray bytes = text.toLocal8Bit();
    const Status st = S.fs->writeFile(*file, std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (!st) {
        S.dialogs->message(DlgKind::Error, "Could not save the log to " + *file + ": " + st.reason, {DlgButton::OK});
        return;
    }
    S.dialogs->plainMessage(applicationTitle(), *file);
}

void TFormResults::MenuItemClearLogClick() { MemoResults->clear(); }

}  // namespace qm
