#pragma once

#include <QWidget>

#include "windows/slot_editor/form2_controls.h"

class QLineEdit;

namespace tumblecast {

class CheckBox;
class Platform;
class TextBox;

// "Edit user Slot - Slot1" to "Edit user Slot - Slot5": the editor's caption, and the text in the main
// window's TextHelp that tells the editor which slot it edits.
QString slotEditorTitle(int slot);

// The quick slot editor: edits the slot that the main window's TextHelp names, stores or resets it, and
// asks for the main window's quick slot bar to be read afresh whenever it closes. It is a dialog of the
// main window (kept in front of it and out of the task bar), modeless, and deletes itself when it closes.
class Form2 : public QWidget, private Form2Controls {
    Q_OBJECT
public:
    // Built in its design state, then loaded from the profile for the slot that slotSelector (the main
    // window's TextHelp) names; slotSelector outlives the editor.
    Form2(Platform& platform, QWidget& owner, const QLineEdit& slotSelector);

    // For tests and tools, which drive the controls as a user would; nothing in the program reads them.
    const Form2Controls& controls() const { return *this; }

    // False from the moment it closes: the window is on its way out and must not be shown again.
    bool isLoaded() const { return m_loaded; }

    // Loads the slot the selector now names, over whatever the fields hold, and puts the focus in the
    // caption.
    void loadSelectedSlot();

    void Text2_KeyPress(int& keyAscii);
    void Text3_KeyPress(int& keyAscii);
    void Text4_KeyPress(int& keyAscii);
    void Text5_KeyPress(int& keyAscii);

public slots:
    void Form_Load();
    void Form_Deactivate();
    void Reload_Click();
    void Command1_Click();  // Add
    void Command4_Click();  // Remove
    void Command2_Click();  // Clear
    void Command3_Click();  // Cancel
    void Check4_Click();
    void Check5_Click();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    void Text5_Change();

signals:
    // The quick slot bar should show the profile as it now is; emitted as the editor closes.
    void reloadRequested();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void Form_Unload();

private:
    void wireControls();
    // The slot TextHelp names, 1 to 5, or 0 when it names none.
    int selectedSlot() const;
    void switchField(CheckBox* box, TextBox* field);
    static void emptyLoneZero(TextBox* field);
    void centreOnOwner();

    Platform& m_platform;
    QWidget& m_owner;
    const QLineEdit& m_selector;
    bool m_loaded = true;
};

}  // namespace tumblecast
