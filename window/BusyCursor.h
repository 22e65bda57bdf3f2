#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace brindlewick {

// Shows the busy cursor over the whole application from construction until restore() or the
// end of its scope, whichever comes first, so that every way out of a run puts the normal
// cursor back.
class BusyCursor {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { restore(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void restore() {
        if (shown_) {
            QGuiApplication::restoreOverrideCursor();
            shown_ = false;
        }
    }

  private:
    bool shown_ = true;
};

}  // namespace brindlewick
