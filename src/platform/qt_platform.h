#pragma once

#include "platform/platform.h"

namespace tumblecast {

class QtPlatform final : public Platform {
public:
    void message(const QString& prompt) override;
    void beep() override;
    std::optional<QString> saveFileName(const SaveDialogRequest& request) override;
    void setClipboardText(const QString& text) override;
    QDate today() override;
    QString executableDir() override;
    void endProgram() override;
};

}  // namespace tumblecast
