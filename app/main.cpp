#include <QApplication>

#include "Form1.h"
#include "MemoryTuning.h"

int main(int argc, char* argv[]) {
    brindlewick::keepLargeBlocksForReuse();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brindlewick"));
    // The installed desktop entry's name (packaging/), by which a Wayland compositor matches the
    // window to its entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("org.example.brindlewick"));

    brindlewick::Form1 window;
    window.show();
    // Set after the window is shown: on X11 Qt appends the display name to the title of a
    // window created while it is set, and the title must read exactly "Generate Linked Project".
    QApplication::setApplicationDisplayName(QStringLiteral("Brindlewick"));
    return app.exec();
}
