#include <QApplication>
#include <QTest>

#include "GeneratorWindow.h"

using namespace brindlewick;

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
};

QTEST_MAIN(TestFocus)
#include "tst_focus.moc"
