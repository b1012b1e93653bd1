#include "windows/main/export_file.h"

#include <QFileInfo>

#include <algorithm>

#include "windows/common/controls.h"

namespace tumblecast {

namespace {

bool isControl(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// How the path reads in a message: its control characters would break the line or vanish.
QString printable(QString path)
{
    std::replace_if(path.begin(), path.end(), isControl, QChar(u'?'));
    return path;
}

// Pasted into the dialog, a line break or a tab would end up in the file's name.
bool holdsControlCharacter(const QString& name) { return std::any_of(name.begin(), name.end(), isControl); }

}  // namespace

std::optional<QString> writeExportFile(const QString& path, const files::Content& content)
{
    const auto failure = [&path](const QString& reason) { return cannotWrite(printable(path), reason); };
    if (holdsControlCharacter(QFileInfo(path).fileName()))
        return failure(QStringLiteral("the name holds a control character"));
    if (const std::optional<files::FileError> error = files::writeFile(path, content))
        return failure(error->reason);
    return std::nullopt;
}

}  // namespace tumblecast
