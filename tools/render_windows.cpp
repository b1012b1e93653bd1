// Renders the program's windows to PNG files, to look at the layout without a display:
//   QT_QPA_PLATFORM=offscreen render_windows OUTDIR
// RENDER_WINDOWS_DARK=1 gives every window a dark palette.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QStyleFactory>

#include <cstdio>

#include "engine/philox_source.h"
#include "platform/qt_platform.h"
#include "roll/roll_shown.h"
#include "windows/about/zentor.h"
#include "windows/common/check_box.h"
#include "windows/common/text_box.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"
#include "windows/notation/notation_window.h"
#include "windows/slot_editor/form2.h"

namespace {

bool save(QWidget& window, const QDir& out, const char* name)
{
    QApplication::processEvents();
    const QString path = out.filePath(QString::fromLatin1(name));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (qEnvironmentVariableIntValue("RENDER_WINDOWS_DARK")) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Button, QColor(60, 60, 64));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        dark.setColor(QPalette::Mid, QColor(90, 90, 96));
        QApplication::setPalette(dark);
    }
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    tumblecast::QtPlatform platform;
    tumblecast::PhiloxSource dice;
    tumblecast::Form1 form(platform, dice);
    const tumblecast::Form1Controls& ui = form.controls();
    form.show();
    if (!save(form, out, "form1.png")) return 1;

    const QPointer<tumblecast::zentor> about = new tumblecast::zentor(platform);
    about->show();
    if (!save(*about, out, "zentor.png")) return 1;

    // The slot editor as a user fills it in: a caption, dice and sides, a modifier per die.
    form.Label14_DblClick();
    tumblecast::Form2& editor = *form.slotEditor();
    const tumblecast::Form2Controls& fields = editor.controls();
    fields.Text1->setText(QStringLiteral("Orc Archer"));
    fields.Text2->setText(QStringLiteral("2"));
    fields.Text3->setText(QStringLiteral("6"));
    fields.Check4->setValue(tumblecast::CheckValue::Checked);
    fields.Text4->setText(QStringLiteral("1"));
    if (!save(editor, out, "form2.png")) return 1;
    editor.hide();

    // After a roll with a modifier and repetitions, a selection, and the view scrolled to the caret.
    ui.Text2->setText(QStringLiteral("3"));
    ui.Text3->setText(QStringLiteral("999998"));
    ui.Check1->setValue(tumblecast::CheckValue::Checked);
    ui.Text4->setText(QStringLiteral("12"));
    ui.Check3->setValue(tumblecast::CheckValue::Checked);
    ui.Text6->setText(QStringLiteral("4"));
    form.Command4_Click();
    QApplication::processEvents();
    ui.Text1->setFocus();
    ui.Text1->setSelection(3, 40);
    ui.Text1->ensureCursorVisible();
    if (!save(form, out, "form1-rolled.png")) return 1;

    // The statistics of 10D10 repeated 9999 times, once the background pass has tallied every die.
    ui.Check1->setValue(tumblecast::CheckValue::Unchecked);
    ui.Check3->setValue(tumblecast::CheckValue::Unchecked);
    ui.Text2->setText(QStringLiteral("10"));
    ui.Text3->setText(QStringLiteral("10"));
    ui.Check3->setValue(tumblecast::CheckValue::Checked);
    ui.Text6->setText(QStringLiteral("9999"));
    form.Command4_Click();
    form.openStatistics();
    while (!form.rollShown()->rolled().finished) QApplication::processEvents(QEventLoop::AllEvents, 50);
    QElapsedTimer polled;  // the window looks at the pass every tenth of a second
    polled.start();
    while (polled.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 50);
    QWidget* statistics = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Statistics") && w->isVisible()) statistics = w;
    if (!statistics ||
        !(QApplication::processEvents(), statistics->repaint(), save(*statistics, out, "statistics.png")))
        return 1;

    // The notation window after a slip: its place marked and the reason in words.
    form.openNotation();
    tumblecast::NotationWindow* notation = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<tumblecast::NotationWindow*>(window)) notation = found;
    notation->controls().Expression->setEditText(QStringLiteral("4d6kh7"));
    notation->Roll_Click();
    if (!save(*notation, out, "notation.png")) return 1;

    // Under a real display, RENDER_WINDOWS_STAY=1 keeps the windows up to be looked at.
    const int status = qEnvironmentVariableIntValue("RENDER_WINDOWS_STAY") ? QApplication::exec() : 0;
    delete about;
    return status;
}
