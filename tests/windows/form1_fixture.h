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
        ui = &form->controls();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // A fresh start of the program on the profile as it now is.
    void restart() { open(dice); }
    // A start whose dice show faces, in order, on dice of sides sides. The script outlives the window,
    // whose background pass may still read it.
    void openScripted(std::uint64_t sides, std::vector<std::uint64_t> faces)
    {
        auto next = std::make_unique<ScriptedSource>(sides, std::move(faces));
        open(*next);
        script = std::move(next);
    }
    // Puts text in the result box, as no roll would.
    void showText(std::string_view text)
    {
        auto buffer = std::make_shared<BufferSource>();
        buffer->append(text);
        ui->Text1->showText(buffer);
    }

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

    void generate() { click(ui->Command4); }

    void enter(const Entry& entry)
    {
        ui->Text2->setText(QString::fromUtf8(entry.dice));
        ui->Text3->setText(QString::fromUtf8(entry.sides));
        const std::tuple<CheckBox*, TextBox*, const char*> optional[] = {
            {ui->Check1, ui->Text4, entry.modify},
            {ui->Check2, ui->Text5, entry.total},
            {ui->Check3, ui->Text6, entry.times}};
        for (auto [box, field, text] : optional) {
            box->setValue(text ? CheckValue::Checked : CheckValue::Unchecked);
            field->setText(QString::fromUtf8(text));
        }
    }

    // The texts of Text2 to Text6, and the switches' values as digits ("010": only Check2 ticked).
    QStringList texts() const
    {
        return {ui->Text2->text(), ui->Text3->text(), ui->Text4->text(), ui->Text5->text(),
                ui->Text6->text()};
    }
    QString switches() const
    {
        QString digits;
        for (const CheckBox* box : {ui->Check1, ui->Check2, ui->Check3})
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

    QByteArray profile() { return readFile(ProfilePath(platform.executableDir())); }
    void writeProfile(const QByteArray& content)
    {
        writeFile(ProfilePath(platform.executableDir()), content);
    }
    QLabel* slotLabel(int slot) const
    {
        return std::array{ui->Label13, ui->Label14, ui->Label15, ui->Label16, ui->Label17}[slot - 1];
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

    static const Form2Controls& controlsOf(const Form2* editor) { return editor->controls(); }

    RecordingPlatform platform;
    PhiloxSource dice;
    std::unique_ptr<ScriptedSource> script;
    std::unique_ptr<Form1> form;
    const Form1Controls* ui = nullptr;  // the open window's controls
};

}  // namespace tumblecast::test
