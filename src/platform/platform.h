#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace tumblecast {

// What the save-file dialog is asked to show.
struct SaveDialogRequest {
    QString title;
    QString fileName;  // offered name or path
    QString filter;    // Qt filter text, e.g. "Text files (*.txt)"
    QString defaultSuffix;
};

// The services of the desktop that the windows use. Tests put a recording fake in its place, so that no
// modal dialog ever blocks them.
class Platform {
public:
    virtual ~Platform() = default;

    // Modal message box: the prompt, one OK button, no icon, "Tumblecast" as its caption.
    virtual void message(const QString& prompt) = 0;
    virtual void beep() = 0;
    // Modal save-file dialog; nothing when the user cancels.
    virtual std::optional<QString> saveFileName(const SaveDialogRequest& request) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual QDate today() = 0;
    // The folder of the running executable, without a trailing separator.
    virtual QString executableDir() = 0;
    // Ends the program at once: no window gets to run a close handler.
    virtual void endProgram() = 0;
};

}  // namespace tumblecast
