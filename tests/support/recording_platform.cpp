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
    auto answer = saveAnswers.front();
    saveAnswers.erase(saveAnswers.begin());
    return answer;
}

}  // namespace tumblecast::test
