#include <QApplication>

#include "CommandLine.h"
#include "CommandLineRun.h"
#include "DefaultComponents.h"
#include "GeneratorWindow.h"
#include "StandardDescriptors.h"

namespace {

const QString kApplicationName = QStringLiteral("brindlewick");

int runWindow(int argc, char* argv[]) {
    QApplication app(argc, argv);
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

// Whether the window has a display to open on. Without one, QApplication aborts with advice
// to reinstall the program.
bool hasDisplay(const brindlewick::CommandLine& commandLine) {
    return commandLine.displayNamed || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

// The command line is read before any application object exists, so that help, version and
// generate run without a display; only the window needs QApplication.
int main(int argc, char* argv[]) {
    // Before any Qt object, so that none takes the number of a closed standard descriptor.
    brindlewick::openClosedStandardDescriptors();
    brindlewick::noteInheritedDescriptors();
    brindlewick::installDefaultComponents();
    brindlewick::CommandLine commandLine =
        brindlewick::parseCommandLine(brindlewick::argumentsOf(argc, argv));
    if (commandLine.mode == brindlewick::RunMode::Window) {
        if (hasDisplay(commandLine)) {
            return runWindow(argc, argv);
        }
        commandLine.mode = brindlewick::RunMode::NoDisplay;
    }
    QCoreApplication app(argc, argv);
    // The name of the data folders the template is looked up in, as in the window.
    QCoreApplication::setApplicationName(kApplicationName);
    return brindlewick::runCommandLine(commandLine);
}
