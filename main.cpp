#include <QApplication>
#include <QList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "CommandLine.h"
#include "CommandLineRun.h"
#include "DefaultComponents.h"
#include "GeneratorWindow.h"
#include "StandardDescriptors.h"

namespace {

const QString kApplicationName = QStringLiteral("brindlewick");

// A message Qt gave while the window's application object was being made.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QList<HeldMessage> heldMessages;
QtMessageHandler qtMessageHandler = nullptr;

// Qt's reason for a failed start: the first message of a platform plugin itself (qt.qpa.xcb:
// "could not connect to display :99"), else the plugin loader's first (qt.qpa.plugin), which says
// only that a plugin of a fallback list is missing, else the first sentence of the fatal message.
QString startFailureReason(const QString& fatalText) {
    auto reason = std::ranges::find_if(heldMessages, [](const HeldMessage& message) {
        return message.category.startsWith("qt.qpa.") && message.category != "qt.qpa.plugin";
    });
    if (reason == heldMessages.end()) {
        reason = std::ranges::find_if(heldMessages, [](const HeldMessage& message) {
            return message.category.startsWith("qt.qpa");
        });
    }
    return reason != heldMessages.end() ? reason->text.trimmed() : fatalText.section(u'.', 0, 0);
}

// Holds Qt's messages while the window starts. When no platform plugin can start (a DISPLAY
// that nothing listens on, say), Qt ends with a fatal message that advises reinstalling and
// aborts; the program says instead, in its own line, what failed, and exits with 1.
void holdStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.append({type, context.category, text});
        return;
    }
    brindlewick::printWindowUnavailable(QStringLiteral("cannot open the window: ") +
                                        startFailureReason(text));
    std::fflush(stderr);
    std::_Exit(1);
}

// Gives Qt's messages back to its own handler once the window has started.
void releaseStartMessages() {
    qInstallMessageHandler(qtMessageHandler);
    for (const HeldMessage& message : heldMessages) {
        // Qt's notice that XDG_RUNTIME_DIR is not set (as root under sudo, in a container) and
        // that it uses a private folder of its own instead, which it makes and checks: the window
        // needs nothing of the user there, so the notice is left out.
        if (message.text.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set")) {
            continue;
        }
        qtMessageHandler(message.type,
                         QMessageLogContext(nullptr, 0, nullptr, message.category.constData()),
                         message.text);
    }
    heldMessages.clear();
}

int runWindow(int argc, char* argv[]) {
    qtMessageHandler = qInstallMessageHandler(holdStartMessage);
    QApplication app(argc, argv);
    releaseStartMessages();
    QApplication::setApplicationName(kApplicationName);
    // The installed desktop entry's name (packaging/), by which a Wayland compositor matches the
    // window to its entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("org.example.brindlewick"));

    brindlewick::GeneratorWindow window;
    window.show();
    // Set after the window is shown: on X11 Qt appends the display name to the title of a
    // window created while it is set, and the title must read exactly "Generate Linked Project".
    QApplication::setApplicationDisplayName(QStringLiteral("Brindlewick"));
    return app.exec();
}

}  // namespace

// The command line is read before any application object exists, so that help, version and
// generate run without a display; only the window needs QApplication.
int main(int argc, char* argv[]) {
    // Before any Qt object, so that none takes the number of a closed standard descriptor.
    brindlewick::noteStartDescriptors();
    brindlewick::installDefaultComponents();
    brindlewick::CommandLine commandLine =
        brindlewick::parseCommandLine(brindlewick::argumentsOf(argc, argv));
    if (commandLine.mode == brindlewick::RunMode::Window) {
        // Without a display to try, the program says so plainly rather than pass on the platform
        // plugin's failure to connect.
        if (commandLine.displayNamed || !qEnvironmentVariableIsEmpty("DISPLAY") ||
            !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
            !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            return runWindow(argc, argv);
        }
        commandLine.mode = brindlewick::RunMode::NoDisplay;
    }
    QCoreApplication app(argc, argv);
    // The name of the data folders the template is looked up in, as in the window.
    QCoreApplication::setApplicationName(kApplicationName);
    return brindlewick::runCommandLine(commandLine);
}
