#include "recording_platform.h"

#include <gtest/gtest.h>

namespace tumblecast::test {

RecordingPlatform::RecordingPlatform() { EXPECT_TRUE(m_dir.isValid()); }

std::optional<QString> RecordingPlatform::saveFileName(const SaveDialogRequest& request)
{
    saveRequests.push_back(request);
    if (saveAnswers.empty()) {
        ADD_FAILURE() << "unexpected save dialog: " << request.title.toStdString();
        return std::nullopt;
    }
    const QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    if (answer.isNull()) return std::nullopt;
    return answer;
}

}  // namespace tumblecast::test
