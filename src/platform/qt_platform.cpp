#include "platform/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>

namespace tumblecast {

namespace {
const QString kTitle = QStringLiteral("Tumblecast");
}

void QtPlatform::message(const QString& prompt)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtPlatform::beep() { QApplication::beep(); }

std::optional<QString> QtPlatform::saveFileName(const SaveDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.fileName, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // Qt's own dialog asks before replacing a file under its completed name ("roll" asks about "roll.txt");
    // desktop dialogs ask about the name as typed, so the suffix added afterwards could replace a file
    // silently.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

void QtPlatform::setClipboardText(const QString& text) { QApplication::clipboard()->setText(text); }

QDate QtPlatform::today() { return QDate::currentDate(); }

QString QtPlatform::executableDir() { return QCoreApplication::applicationDirPath(); }

void QtPlatform::endProgram() { QCoreApplication::exit(0); }

}  // namespace tumblecast
