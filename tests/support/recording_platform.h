#pragma once

#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace tumblecast::test {

// Records every call the windows make to the desktop, so that tests never block on a modal dialog and can
// assert what a user would have been shown. A test declares the messages it expects, in order: any other
// message fails it, and so does an expected one that never came. The save dialog answers what the test
// scripted; asking it without a script fails the test.
class RecordingPlatform final : public Platform {
public:
    // The executable folder is a fresh temporary folder, made under parent if one is given.
    explicit RecordingPlatform(const QString& parent = {});
    ~RecordingPlatform() override;

    void expectMessage(const QString& prompt) { m_expected.push_back(prompt); }
    // A message whose words the test leaves open.
    void expectSomeMessage() { m_expected.push_back(QString()); }
    // Expected messages not yet shown.
    const std::deque<QString>& pendingMessages() const { return m_expected; }

    void message(const QString& prompt) override;
    void beep() override { ++beeps; }
    std::optional<QString> saveFileName(const SaveDialogRequest& request) override;
    void setClipboardText(const QString& text) override { clipboard << text; }
    QDate today() override { return date; }
    QString executableDir() override { return m_dir.path(); }
    void endProgram() override { ++endings; }

    QStringList messages;  // every message shown
    int beeps = 0;
    QStringList clipboard;
    int endings = 0;
    QDate date{2026, 12, 5};
    std::vector<SaveDialogRequest> saveRequests;
    std::deque<QString> saveAnswers;  // taken first to last; a null string cancels

private:
    QTemporaryDir m_dir;
    std::deque<QString> m_expected;  // a null string stands for any message
};

// A file's bytes, or "(missing)" when it cannot be read.
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// What a folder holds besides the profile (hidden files too: a write's leftovers).
QStringList filesBesideTheProfile(const QString& dir);

// Files can grow no larger than limit bytes while it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t limit);
    ~FileSizeLimit();

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace tumblecast::test
