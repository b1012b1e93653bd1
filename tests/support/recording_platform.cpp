#include "recording_platform.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

namespace tumblecast::test {

RecordingPlatform::RecordingPlatform(const QString& parent)
    : m_dir(parent.isEmpty() ? QString() : parent + QStringLiteral("/tumblecast-XXXXXX"))
{
    EXPECT_TRUE(m_dir.isValid());
}

RecordingPlatform::~RecordingPlatform()
{
    for (const QString& prompt : m_expected)
        ADD_FAILURE() << "expected message never shown: " << prompt.toStdString();
}

void RecordingPlatform::message(const QString& prompt)
{
    messages << prompt;
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected message: " << prompt.toStdString();
        return;
    }
    const QString expected = m_expected.front();
    m_expected.pop_front();
    if (!expected.isNull() && prompt != expected)
        ADD_FAILURE() << "message \"" << prompt.toStdString() << "\" where \"" << expected.toStdString()
                      << "\" was expected";
}

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

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList filesBesideTheProfile(const QString& dir)
{
    QStringList files = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QStringLiteral("corvane.ini"));
    return files;
}

FileSizeLimit::FileSizeLimit(std::uint64_t limit)
{
    getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit lowered = m_old;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    lowered.rlim_cur = limit;  // the hard limit stays, so that the old one can come back
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
}

}  // namespace tumblecast::test
