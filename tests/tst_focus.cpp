#include <QApplication>
#include <QStyleFactory>
#include <QTest>

#include "GeneratorWindow.h"
#include "Watchdog.h"

using namespace brindlewick;
using namespace brindlewick::test;

// Whether a keyboard user can see where Tab has taken the focus: each control is rendered before
// and after Tab reaches it, and the two must differ in more pixels than a text cursor covers.

namespace {

int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

// Counts the paint events of the widgets it watches.
class PaintCounter final : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

class TestFocus : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void focusIsVisible_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("the Generate button") << "cmdOK";
        QTest::newRow("a field") << "txtProjAID";
        QTest::newRow("the output") << "txtOutput";
    }
    void focusIsVisible() {
        QFETCH(QString, control);
        GeneratorWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* widget = window.findChild<QWidget*>(control);
        const QImage unfocused = widget->grab().toImage();

        for (int tabs = 0; tabs < 20 && !widget->hasFocus(); ++tabs) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QVERIFY(widget->hasFocus());
        const QImage focused = widget->grab().toImage();

        // A text cursor is a line no wider than two pixels; a focus mark goes round the control.
        QCOMPARE_GT(differingPixels(unfocused, focused), 2 * focused.height());
    }

    // Under every style Qt offers, the window paints what it shows and then, while nothing
    // happens, nothing more: a paint that asks for the next one keeps a core busy for good.
    void idleWindowPaintsNothing_data() {
        QTest::addColumn<QString>("style");
        for (const QString& style : QStyleFactory::keys()) {
            QTest::newRow(qPrintable(style)) << style;
        }
    }
    void idleWindowPaintsNothing() {
        QFETCH(QString, style);
        const Watchdog watchdog(std::chrono::seconds(60), "showing the window");
        QApplication::setStyle(style);
        // The caret's blink is the one change an idle window shows; it stands still here.
        QApplication::setCursorFlashTime(0);
        GeneratorWindow window;
        PaintCounter counter;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            widget->installEventFilter(&counter);
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(counter.paints > 0);
        QTest::qWait(100);  // the window's first paints
        counter.paints = 0;
        QTest::qWait(500);  // idle
        QCOMPARE(counter.paints, 0);
    }
};

QTEST_MAIN(TestFocus)
#include "tst_focus.moc"
