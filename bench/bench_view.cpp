// Figures for the main window over the largest roll, offscreen, in one run:
// (a) Generate of the largest request typed into the fields, to its first painted screen; a 3D6 click;
// (b) the view scrolled to its last line and to a random line, then painted;
// (c) Export's streaming path: the record into a QSaveFile on /dev/shm, in MB/s;
// (d) the statistics window on a fresh record, the background pass over it, and then what a click on a far
// line, Ctrl+End and Select All cost, which need the offsets of everything before them.
// Peak memory is the growth of VmHWM over each step (reset before it where the kernel allows).
//   bench_view
#include <QApplication>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "engine/philox_source.h"
#include "platform/platform.h"
#include "roll/generate_roll.h"
#include "roll/roll_shown.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/text_box.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"

using namespace tumblecast;

namespace {

// No dialog may block a benchmark: messages are printed.
class QuietPlatform final : public Platform {
public:
    void message(const QString& prompt) override { std::printf("  (message: %s)\n", qPrintable(prompt)); }
    void beep() override {}
    std::optional<QString> saveFileName(const SaveDialogRequest&) override { return std::nullopt; }
    void setClipboardText(const QString& text) override { clipboard = text.size(); }
    QDate today() override { return QDate::currentDate(); }
    QString executableDir() override { return QCoreApplication::applicationDirPath(); }
    void endProgram() override {}
    qsizetype clipboard = 0;
};

long statusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

// Starts a step: the peak so far becomes the current size, where the kernel allows.
long resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmHWM:");
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double loadAverage()
{
    double load = -1;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) load = -1;
        std::fclose(f);
    }
    return load;
}

void paint(Form1& form)
{
    QApplication::processEvents();
    form.controls().Text1->viewport()->repaint();
    QApplication::processEvents();
}

const RollKind* shownRoll(const Form1& form)
{
    return form.rollShown() ? &form.rollShown()->kind() : nullptr;
}

void report(const char* step, double ms, double target, long peakBefore)
{
    const long growth = statusKb("VmHWM:") - peakBefore;
    char goal[32] = "";
    if (target > 0) std::snprintf(goal, sizeof goal, "(target <= %.0f ms)", target);
    std::printf("  %-40s %9.2f ms %-20s peak RSS +%.1f MB\n", step, ms, goal, growth / 1024.0);
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QuietPlatform platform;
    PhiloxSource dice;
    Form1 form(platform, dice);
    const Form1Controls& ui = form.controls();
    form.show();
    QApplication::processEvents();
    std::printf("cores: %u, load average at start: %.2f\n", std::thread::hardware_concurrency(),
                loadAverage());

    ui.Text2->setText(QStringLiteral("9999"));
    ui.Text3->setText(QStringLiteral("999998"));
    ui.Check1->setValue(CheckValue::Checked);
    ui.Text4->setText(QStringLiteral("999999"));
    ui.Check2->setValue(CheckValue::Checked);
    ui.Text5->setText(QStringLiteral("999999"));
    ui.Check3->setValue(CheckValue::Checked);
    ui.Text6->setText(QStringLiteral("9999"));
    std::printf("9999 x 9999 dice of 999998 sides, modifier 999999, total modifier 999999\n");

    QElapsedTimer timer;
    long peak = resetPeak();
    timer.start();
    form.Command4_Click();
    paint(form);
    report("(a) Generate to the first painted screen", timer.nsecsElapsed() / 1e6, 100, peak);
    const RollKind* shown = shownRoll(form);
    if (!shown) {
        std::printf("the result box holds no roll\n");
        return 1;
    }
    std::printf("      %llu lines; repetitions measured: %llu\n",
                static_cast<unsigned long long>(shown->text().lineCount()),
                static_cast<unsigned long long>(shown->measuredRepetitions()));

    QScrollBar* bar = ui.Text1->verticalScrollBar();
    peak = resetPeak();
    timer.restart();
    bar->setValue(bar->maximum());
    paint(form);
    report("(b) scroll to the last line, painted", timer.nsecsElapsed() / 1e6, 50, peak);
    std::mt19937 random(20260501);
    const int somewhere = std::uniform_int_distribution<int>(0, bar->maximum())(random);
    peak = resetPeak();
    timer.restart();
    bar->setValue(somewhere);
    paint(form);
    report("(b) scroll to a random line, painted", timer.nsecsElapsed() / 1e6, 50, peak);
    std::printf("      repetitions measured: %llu\n",
                static_cast<unsigned long long>(shown->measuredRepetitions()));

    const char* path = "/dev/shm/tumblecast_bench_view.txt";
    peak = resetPeak();
    timer.restart();
    QSaveFile file(QString::fromLatin1(path));
    std::uint64_t written = 0;
    bool ok = file.open(QIODevice::WriteOnly);
    ui.Text1->source().forEachPiece(TextOffset(), ~0ull, [&](std::string_view piece) {
        ok = ok &&
             file.write(piece.data(), static_cast<qint64>(piece.size())) == static_cast<qint64>(piece.size());
        written += piece.size();
    });
    ok = ok && file.commit();
    const double exportSeconds = timer.nsecsElapsed() / 1e9;
    std::printf("  (c) Export to %s: %.2f GB in %.2f s, %.0f MB/s (target >= 500)  peak RSS +%.1f MB%s\n",
                path, written / 1e9, exportSeconds, written / exportSeconds / 1e6,
                (statusKb("VmHWM:") - peak) / 1024.0, ok ? "" : "  WRITE FAILED");
    std::remove(path);

    // (d) A fresh record and its statistics: the window at once with the expected side, then the
    // background pass over every die, while the event loop keeps answering. The pass measures the record on
    // its way, so what needs offsets (a far click, Ctrl+End, Ctrl+A) no longer waits for them.
    peak = resetPeak();
    timer.restart();
    double cpu = threadCpuMs();
    form.Command4_Click();
    paint(form);
    form.openStatistics();
    QWidget* statistics = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Statistics")) statistics = w;
    if (!statistics) {
        std::printf("no statistics window\n");
        return 1;
    }
    QApplication::processEvents();
    statistics->repaint();
    report("(d) Generate, statistics window painted", timer.nsecsElapsed() / 1e6, 100, peak);
    std::printf("      of which this thread's CPU: %.1f ms (the rest is waiting for a core)\n",
                threadCpuMs() - cpu);
    // The pass hands the record what it measured as soon as it ends: that moment is seen exactly.
    const RollKind* fresh = shownRoll(form);
    double worstStall = 0;
    while (fresh->measuredRepetitions() < 9999) {
        QElapsedTimer wait;
        wait.start();
        QTest::qWait(5);
        worstStall = std::max(worstStall, wait.nsecsElapsed() / 1e6 - 5);
    }
    report("(d) Generate to the pass's end", timer.nsecsElapsed() / 1e6, 1500, peak);
    std::printf("      the event loop's longest stall meanwhile: %.1f ms\n", worstStall);
    {
        const RollRequest largest = largestRequest(9999);
        peak = resetPeak();
        timer.restart();
        const RollShown alone(std::make_unique<GenerateRoll>(largest, dice, 0));
        while (!alone.rolled().finished) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        report("(d) the pass alone, on every core", timer.nsecsElapsed() / 1e6, 1500, peak);
    }

    bar->setValue(bar->maximum());
    paint(form);
    peak = resetPeak();
    timer.restart();
    QTest::mouseClick(ui.Text1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    paint(form);
    report("(d) click on the last screen", timer.nsecsElapsed() / 1e6, 50, peak);
    peak = resetPeak();
    timer.restart();
    QTest::keyClick(ui.Text1, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(ui.Text1, Qt::Key_End, Qt::ControlModifier);
    paint(form);
    report("(d) Ctrl+Home, Ctrl+End", timer.nsecsElapsed() / 1e6, 50, peak);
    peak = resetPeak();
    timer.restart();
    QTest::keyClick(ui.Text1, Qt::Key_A, Qt::ControlModifier);
    paint(form);
    report("(d) Ctrl+A", timer.nsecsElapsed() / 1e6, 50, peak);
    QTest::keyClick(ui.Text1, Qt::Key_C, Qt::ControlModifier);
    statistics->close();

    ui.Text2->setText(QStringLiteral("3"));
    ui.Text3->setText(QStringLiteral("6"));
    ui.Check1->setValue(CheckValue::Unchecked);
    ui.Check2->setValue(CheckValue::Unchecked);
    ui.Check3->setValue(CheckValue::Unchecked);
    paint(form);
    peak = resetPeak();
    timer.restart();
    QTest::mouseClick(ui.Command4, Qt::LeftButton);
    paint(form);
    report("(a) 3D6 click to the painted result", timer.nsecsElapsed() / 1e6, 5, peak);
    std::printf("  resident memory after the 3D6 roll: %.1f MB\n", statusKb("VmRSS:") / 1024.0);
    std::printf("load average at the end: %.2f\n", loadAverage());
    return 0;
}
