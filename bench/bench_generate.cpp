// Times Generate, in the roll engine alone and through the main window (offscreen), for rolls of growing
// size. The engine writes out the whole record: its cost should grow linearly, the per-die figures stay
// flat. The window shows a record rendered from the dice as they are looked at: its time stays flat.
//   bench_generate [repetitions-of-the-largest-roll]
#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "engine/text_source.h"
#include "platform/qt_platform.h"
#include "windows/common/check_box.h"
#include "windows/common/text_box.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"

using namespace tumblecast;

namespace {

double engineSeconds(std::uint64_t dice, std::uint64_t times, std::uint64_t& bytes)
{
    RollRequest request;
    request.dice = dice;
    request.sides = 999998;
    request.perDie = true;
    request.modify = 999999;
    request.modifyText = "999999";
    request.times = times;
    const PhiloxSource source;
    BufferSource out;
    QElapsedTimer timer;
    timer.start();
    RollRecord(request, source, 0).forEachPiece(TextOffset(), ~0ull, [&out](std::string_view piece) {
        out.append(piece);
    });
    bytes = out.size();
    return timer.nsecsElapsed() / 1e9;
}

double windowSeconds(Form1& form, int dice, int times, std::uint64_t& bytes)
{
    const Form1Controls& ui = form.controls();
    ui.Text2->setText(QString::number(dice));
    ui.Text3->setText(QStringLiteral("999998"));
    ui.Check1->setValue(CheckValue::Checked);
    ui.Text4->setText(QStringLiteral("999999"));
    ui.Check3->setValue(CheckValue::Checked);
    ui.Text6->setText(QString::number(times));
    QElapsedTimer timer;
    timer.start();
    form.Command4_Click();
    const double seconds = timer.nsecsElapsed() / 1e9;
    bytes = ui.Text1->source().size();
    QApplication::processEvents();
    return seconds;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int largest = argc > 1 ? std::atoi(argv[1]) : 100;

    QtPlatform platform;
    PhiloxSource dice;
    Form1 form(platform, dice);
    form.show();
    QApplication::processEvents();

    std::printf("%-28s %10s %12s %12s %12s\n", "roll (dice x times)", "dice", "MB of text", "seconds",
                "ns per die");
    for (const int times : {1, 10, largest}) {
        std::uint64_t bytes = 0;
        const double s = engineSeconds(9999, static_cast<std::uint64_t>(times), bytes);
        const double n = 9999.0 * times;
        std::printf("engine    9999 x %-10d %10.0f %12.1f %12.3f %12.1f\n", times, n, bytes / 1e6, s,
                    s * 1e9 / n);
    }
    for (const auto& [d, times] :
         {std::pair{3, 1}, std::pair{9999, 1}, std::pair{9999, 10}, std::pair{9999, largest}}) {
        std::uint64_t bytes = 0;
        const double s = windowSeconds(form, d, times, bytes);
        const double n = double(d) * times;
        std::printf("Generate  %4d x %-10d %10.0f %12.1f %12.3f %12.1f\n", d, times, n, bytes / 1e6, s,
                    s * 1e9 / n);
    }
    return 0;
}
