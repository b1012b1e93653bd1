#pragma once

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <tuple>

#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "profile/profile_file.h"
#include "recording_platform.h"
#include "scripted_source.h"
#include "windows/about/zentor.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"
#include "windows/slot_editor/form2.h"

namespace tumblecast::test {

inline const QString kDiceAndSides = QStringLiteral("You must enter a dice and side input.");
inline const QString kModify = QStringLiteral("You must enter a modifyer or disable this feature.");
inline const QString kTotal = QStringLiteral("You must enter a total modifyer or disable this feature.");
inline const QString kTimes =
    QStringLiteral("You must enter how many times to roll or disable this feature.");

// One repetition of a record: its lines, then the separator and a blank line.
inline QString repetition(const char* lines)
{
    return QString::fromLatin1(lines) + QStringLiteral("\r\n--------------------------------\r\n\r\n");
}

inline void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// The names of the widgets the Tab key leads to, step by step from the focused one.
inline QStringList tabWalk(int steps)
{
    QStringList names;
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        names << QApplication::focusWidget()->objectName();
    }
    return names;
}

// The roll fields' texts; an optional field given no text is switched off.
struct Entry {
    const char* dice = "0";
    const char* sides = "0";
    const char* modify = nullptr;
    const char* total = nullptr;
    const char* times = nullptr;
};

// A fresh, shown and active main window for every test, with a recording platform and its profile behind it.
class Form1Test : public ::testing::Test {
protected:
    void SetUp() override { open(dice); }

    void open(const DieSource& source)
    {
        form = std::make_unique<Form1>(platform, source);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // A fresh start of the program on the profile as it now is.
    void restart() { open(dice); }

    // Replaces the field's whole text as the user would: select all, then type over it (or, for no
    // text, press backspace).
    static void retype(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        else
            QTest::keyClicks(field, text);
    }

    // Pastes through the field's own context menu, which no key filter sees.
    static void pasteAll(QLineEdit* field, const QString& text)
    {
        QApplication::clipboard()->setText(text);
        field->setFocus();
        field->selectAll();
        std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
        QAction* paste = nullptr;
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QLatin1String("&Paste"))) paste = action;
        ASSERT_NE(paste, nullptr);
        ASSERT_TRUE(paste->isEnabled());
        paste->trigger();
    }

    // A key whose text is a control code, as a real keyboard delivers Ctrl+letter.
    static void sendCode(QWidget* target, Qt::Key key, char16_t code)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, QString(QChar(code)));
        QApplication::sendEvent(target, &press);
    }

    void generate() { click(form->Command4); }

    void enter(const Entry& entry)
    {
        form->Text2->setText(QString::fromUtf8(entry.dice));
        form->Text3->setText(QString::fromUtf8(entry.sides));
        const std::tuple<CheckBox*, TextBox*, const char*> optional[] = {
            {form->Check1, form->Text4, entry.modify},
            {form->Check2, form->Text5, entry.total},
            {form->Check3, form->Text6, entry.times}};
        for (auto [box, field, text] : optional) {
            box->setValue(text ? CheckValue::Checked : CheckValue::Unchecked);
            field->setText(QString::fromUtf8(text));
        }
    }

    // The texts of Text2 to Text6, and the switches' values as digits ("010": only Check2 ticked).
    QStringList texts() const
    {
        return {form->Text2->text(), form->Text3->text(), form->Text4->text(), form->Text5->text(),
                form->Text6->text()};
    }
    QString switches() const
    {
        QString digits;
        for (const CheckBox* box : {form->Check1, form->Check2, form->Check3})
            digits += QString::number(static_cast<int>(box->value()));
        return digits;
    }

    // A switched-off field: greyed in the button face colour and out of use.
    static void expectOff(const TextBox* field)
    {
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
        EXPECT_EQ(field->palette().color(QPalette::Disabled, QPalette::Base),
                  QApplication::palette().color(QPalette::Button));
    }

    // No run is going on: the pointer is the arrow, in the window and over its fields.
    void expectIdle() const
    {
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    TextBox* field(const char* name) const { return form->findChild<TextBox*>(QLatin1String(name)); }

    QByteArray profile() { return readFile(ProfilePath(platform)); }
    void writeProfile(const QByteArray& content) { writeFile(ProfilePath(platform), content); }
    QLabel* slotLabel(int slot) const
    {
        return std::array{form->Label13, form->Label14, form->Label15, form->Label16,
                          form->Label17}[slot - 1];
    }
    // Double-clicks the slot's label (a single click for slot 5) and waits for the editor to be active.
    Form2* openEditor(int slot)
    {
        if (slot == 5)
            click(slotLabel(slot));
        else
            QTest::mouseDClick(slotLabel(slot), Qt::LeftButton);
        Form2* editor = form->slotEditor();
        if (editor) {
            QApplication::setActiveWindow(editor);
            EXPECT_TRUE(QTest::qWaitForWindowActive(editor));
        }
        return editor;
    }

    RecordingPlatform platform;
    PhiloxSource dice;
    std::unique_ptr<Form1> form;
};

}  // namespace tumblecast::test
