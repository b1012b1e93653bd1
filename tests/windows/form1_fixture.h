#pragma once

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "engine/random_source.h"
#include "recording_platform.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"

namespace tumblecast::test {

// The roll fields' texts; an optional field given no text is switched off.
struct Entry {
    const char* dice = "0";
    const char* sides = "0";
    const char* modify = nullptr;
    const char* total = nullptr;
    const char* times = nullptr;
};

// A fresh, shown and active main window for every test, with a recording platform behind it.
class Form1Test : public ::testing::Test {
protected:
    void SetUp() override { open(dice); }

    void open(RandomSource& source)
    {
        form = std::make_unique<Form1>(platform, source);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
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

    void generate() { QTest::mouseClick(form->Command4, Qt::LeftButton); }

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

    // No run is going on: the pointer is the arrow, in the window and over its fields.
    void expectIdle() const
    {
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    TextBox* field(const char* name) const { return form->findChild<TextBox*>(QLatin1String(name)); }

    RecordingPlatform platform;
    PhiloxSource dice;
    std::unique_ptr<Form1> form;
};

}  // namespace tumblecast::test
