// Prints what profile reads and writes cost on this machine: each write is a whole atomic rewrite with a
// sync to disk, so the first start's 31 writes are what a user waits for.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

#include "platform/platform.h"
#include "profile/profile_file.h"
#include "profile/quick_slots.h"

namespace {

class DirPlatform final : public tumblecast::Platform {
public:
    explicit DirPlatform(QString dir) : m_dir(std::move(dir)) {}
    void message(const QString&) override {}
    void beep() override {}
    std::optional<QString> saveFileName(const tumblecast::SaveDialogRequest&) override
    {
        return std::nullopt;
    }
    void setClipboardText(const QString&) override {}
    QDate today() override { return {}; }
    QString executableDir() override { return m_dir; }
    void endProgram() override {}

private:
    QString m_dir;
};

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
    DirPlatform platform(dir.path());
    NoBar bar;

    QElapsedTimer timer;
    timer.start();
    tumblecast::RefreshQuickSlots(platform, bar);
    std::printf("first start (31 writes + 11 reads): %.2f ms\n", timer.nsecsElapsed() / 1e6);

    constexpr int rounds = 200;
    timer.restart();
    for (int i = 0; i < rounds; ++i)
        tumblecast::WriteProfileValue(platform, "Slot3", "Caption", QString::number(i));
    std::printf("write: %.3f ms each\n", timer.nsecsElapsed() / 1e6 / rounds);
    timer.restart();
    for (int i = 0; i < rounds; ++i) tumblecast::ReadProfileValue(platform, "Slot5", "TModify", "");
    std::printf("read: %.3f ms each\n", timer.nsecsElapsed() / 1e6 / rounds);
    timer.restart();
    for (int i = 0; i < rounds; ++i) tumblecast::RefreshQuickSlots(platform, bar);
    std::printf("refresh of an existing profile: %.3f ms each\n", timer.nsecsElapsed() / 1e6 / rounds);
}
