// A whole Generate through the window's click on a 10 MB template whose every line holds view
// paths and placeholders, against one setPlainText of the final output; then the time and peak
// memory of one Generate over an idle window, for that template and for a 200 MB one.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "BenchSupport.h"
#include "Components.h"
#include "DefaultComponents.h"
#include "GeneratorWindow.h"
#include "SampleValues.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::bench;

namespace {

constexpr qsizetype kTemplateBytes = 10'000'000;
constexpr qsizetype kHugeTemplateBytes = 200'000'000;
constexpr double kMemoryTarget = 7.0;
constexpr double kHugeTimeTarget = 2.0;

const QByteArray kTemplateLine =
    "  <Map id=\"{0}\" source=\"{4}\" target=\"{7}\" raw=\"Sales/Add Order\" "
    "back=\"https://example.com/open?v=Stock/Edit Item&g={8}\" type=\"{10}\" />\n";

void writeTemplate(const QString& path, qsizetype bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qFatal("cannot write %s", qPrintable(path));
    }
    const QByteArray block = kTemplateLine.repeated(10'000);
    for (qsizetype written = 0; written < bytes; written += block.size()) {
        file.write(block);
    }
}

void fillFields(GeneratorWindow& window) {
    for (const auto& [field, value] : test::kSampleValues) {
        window.field(field)->setText(QString::fromLatin1(value));
    }
}

std::unique_ptr<GeneratorWindow> shownWindow() {
    auto window = std::make_unique<GeneratorWindow>();
    window->setFailureDialog(
        [](QWidget*, const QString& text) { qFatal("Generate failed: %s", qPrintable(text)); });
    fillFields(*window);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        qFatal("the window was not shown");
    }
    return window;
}

const char* verdict(bool met) {
    return met ? "met" : "NOT MET";
}

// One Generate's time against one setPlainText of its output. Only the 200 MB run is judged here:
// the 10 MB figure is measured once, and its target is judged on repeated runs in the table at
// the end, so it is printed without one.
void printTimeRatio(const char* label, double seconds, double fillSeconds, bool judged) {
    const double ratio = seconds / fillSeconds;
    std::printf("%s: Generate took %.2f s = %.2fx one setPlainText of its output", label, seconds,
                ratio);
    if (judged) {
        std::printf("; target <= %.1fx: %s", kHugeTimeTarget, verdict(ratio <= kHugeTimeTarget));
    }
    std::printf("\n");
}

// The time and the memory one Generate needs above an idle window, the memory as a multiple of
// the template's size, and for comparison the time and memory of putting its output into an idle
// window's output field. A 200 MB Generate runs once: its time is measured here.
void measureOneGenerate(const QString& path, qsizetype templateBytes, const char* label) {
    test::installTemplatePath(path);
    const auto window = shownWindow();
    QCoreApplication::processEvents();
    resetPeakResident();
    const std::int64_t idle = residentBytes();
    QElapsedTimer timer;
    timer.start();
    window->runGenerate();
    QCoreApplication::processEvents();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const std::int64_t growth = peakResidentBytes() - idle;
    double fillSeconds = 0;
    {
        const QString output = window->output()->toPlainText();
        const auto idleWindow = shownWindow();
        QCoreApplication::processEvents();
        resetPeakResident();
        const std::int64_t before = residentBytes();
        timer.restart();
        idleWindow->output()->setPlainText(output);
        QCoreApplication::processEvents();
        fillSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        std::printf("%s: setPlainText of the output alone: %.2f s, peak %s above an idle window\n",
                    label, fillSeconds, megabytes(peakResidentBytes() - before).c_str());
    }
    printTimeRatio(label, seconds, fillSeconds, templateBytes == kHugeTemplateBytes);
    const double ratio = static_cast<double>(growth) / static_cast<double>(templateBytes);
    std::printf(
        "%s: peak memory %s above the idle window (%s) = %.2fx the template's %s; target <= "
        "%.0fx: %s\n",
        label, megabytes(growth).c_str(), megabytes(idle).c_str(), ratio,
        megabytes(templateBytes).c_str(), kMemoryTarget, verdict(ratio <= kMemoryTarget));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installDefaultComponents();
    test::installSilentLogger();
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Template.txt"));
    writeTemplate(path, kTemplateBytes);

    measureOneGenerate(path, kTemplateBytes, "10 MB template");
    if (qEnvironmentVariableIsEmpty("BENCH_SKIP_HUGE")) {
        const QString hugePath = dir.filePath(QStringLiteral("Huge.txt"));
        writeTemplate(hugePath, kHugeTemplateBytes);
        measureOneGenerate(hugePath, kHugeTemplateBytes, "200 MB template");
        QFile::remove(hugePath);
    }

    test::installTemplatePath(path);
    const auto shown = shownWindow();
    shown->runGenerate();
    const QString finalText = shown->output()->toPlainText();
    GeneratorWindow* window = shown.get();
    registerBenchmark("Generate/10MB", kTemplateBytes, [window] {
        window->runGenerate();
        QCoreApplication::processEvents();
    });
    registerBenchmark("setPlainText/10MB", kTemplateBytes, [window, finalText] {
        window->output()->setPlainText(finalText);
        QCoreApplication::processEvents();
    });
    return runAndCompare(
        argc, argv,
        {{"Generate/10MB", "setPlainText/10MB", 1.5, "time of one setPlainText of the output"}});
}
