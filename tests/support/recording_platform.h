#pragma once

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace tumblecast::test {

// Records every call the windows make to the desktop, so that tests never block on a modal dialog and can
// assert what a user would have been shown. The save dialog answers what the test scripted; asking it
// without a script fails the test.
class RecordingPlatform final : public Platform {
public:
    RecordingPlatform();

    void message(const QString& prompt) override { messages << prompt; }
    void beep() override { ++beeps; }
    std::optional<QString> saveFileName(const SaveDialogRequest& request) override;
    void setClipboardText(const QString& text) override { clipboard << text; }
    QDate today() override { return date; }
    QString executableDir() override { return m_dir.path(); }
    void endProgram() override { ++endings; }

    QStringList messages;
    int beeps = 0;
    QStringList clipboard;
    int endings = 0;
    QDate date{2026, 12, 5};
    std::vector<SaveDialogRequest> saveRequests;
    std::deque<QString> saveAnswers;  // taken first to last; a null string cancels

private:
    QTemporaryDir m_dir;
};

}  // namespace tumblecast::test
