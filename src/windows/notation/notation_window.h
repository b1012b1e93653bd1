#pragma once

#include <QDialog>

#include <functional>

#include "windows/notation/notation_controls.h"

namespace tumblecast {

class Platform;
namespace notation {
struct Diagnostic;
struct Expression;
}  // namespace notation

// Rolls what a player types in dice notation ("2d20kh1+5", "6x4d6dl1") into the main window's result box.
// The line under the field says what the roll means as it is typed; a roll that cannot be read is shown
// there with its place marked, and nothing is rolled. The rolls that were rolled are kept, newest first,
// in the field's list across starts. Modeless; deletes itself when it closes.
class NotationWindow : public QDialog, private NotationControls {
    Q_OBJECT
public:
    // Shows the roll in the main window; false if it could not, after telling the player why.
    using RollHandler = std::function<bool(const notation::Expression&)>;

    NotationWindow(Platform& platform, RollHandler roll, QWidget* parent = nullptr);

    // For tests and tools, which drive the controls as a user would.
    const NotationControls& controls() const { return *this; }

signals:
    // Ctrl+I here, as in the main window: the statistics of the roll shown, without leaving the keyboard.
    void statisticsRequested();

public slots:
    void Roll_Click();
    void Expression_Change();

private:
    void showProblem(const notation::Diagnostic& problem, const QString& text);
    void describeField(const QString& words);
    void setProblem(const QString& message);
    void alert();
    void hideProblem();
    void fillList(const QStringList& rolls, const QString& text);

    Platform& m_platform;
    RollHandler m_roll;
};

}  // namespace tumblecast
