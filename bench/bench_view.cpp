// Figures for the main window over the largest roll, offscreen, in one run:
// (a) Generate of the largest request typed into the fields, to its first painted screen; a 3D6 click;
// (b) the view scrolled to its last line and to a random line, then painted;
// (c) Export's streaming path: the record into a QSaveFile on /dev/shm, in MB/s;
// and what a click on a far line and Select All cost, which need the offsets of everything before them.
// Peak memory is the growth of VmHWM over each step (reset before it where the kernel allows).
//   bench_view
#include <QApplication>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QScrollBar>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "engine/random_source.h"
#include "engine/roll_record.h"
#include "platform/platform.h"
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

const RollRecord* record(const Form1& form)
{
    return dynamic_cast<const RollRecord*>(&form.controls().Text1->source());
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
    const RollRecord* shown = record(form);
    if (!shown) {
        std::printf("the result box holds no roll record\n");
        return 1;
    }
    std::printf("      %llu lines; repetitions measured: %llu\n",
                static_cast<unsigned long long>(shown->lineCount()),
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
    ui.Text1->source().forEachPiece(0, ~0ull, [&](std::string_view piece) {
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

    // Back to a fresh record, for what needs offsets: a click on the last screen measures everything before.
    form.Command4_Click();
    paint(form);
    bar->setValue(bar->maximum());
    paint(form);
    peak = resetPeak();
    timer.restart();
    QTest::mouseClick(ui.Text1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    paint(form);
    report("click on the last screen (measures all)", timer.nsecsElapsed() / 1e6, 0, peak);
    peak = resetPeak();
    timer.restart();
    QTest::keyClick(ui.Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(ui.Text1, Qt::Key_C, Qt::ControlModifier);
    paint(form);
    report("Ctrl+A, Ctrl+C (refused: too large)", timer.nsecsElapsed() / 1e6, 0, peak);

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
