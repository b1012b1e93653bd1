// Prints what profile reads and writes cost on this machine: each write is a whole atomic rewrite under the
// lock file with a sync to disk, and the first start writes its 31 values in one.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

#include "profile/profile_file.h"
#include "profile/quick_slots.h"

namespace {

class NoBar final : public tumblecast::QuickSlotBar {
    void setQuickSlotsValue(int) override {}
    void setSlotEnabled(int, bool) override {}
    void setSlotCaption(int, const QString&) override {}
};

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path();
    NoBar bar;

    QElapsedTimer timer;
    timer.start();
    tumblecast::RefreshQuickSlots(folder, bar);
    std::printf("first start (one write of 31 values + 11 reads): %.2f ms\n", timer.nsecsElapsed() / 1e6);

    constexpr int rounds = 200;
    timer.restart();
    for (int i = 0; i < rounds; ++i)
        tumblecast::WriteProfileValue(folder, "Slot3", "Caption", QString::number(i));
    std::printf("write: %.3f ms each\n", timer.nsecsElapsed() / 1e6 / rounds);
    timer.restart();
    for (int i = 0; i < rounds; ++i) tumblecast::ReadProfileValue(folder, "Slot5", "TModify", "");
    std::printf("read: %.3f ms each\n", timer.nsecsElapsed() / 1e6 / rounds);
    timer.restart();
    for (int i = 0; i < rounds; ++i) tumblecast::RefreshQuickSlots(folder, bar);
    std::printf("refresh of an existing profile: %.3f ms each\n", timer.nsecsElapsed() / 1e6 / rounds);
}
