#pragma once

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "engine/random_source.h"
#include "recording_platform.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"

namespace tumblecast::test {

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

    RecordingPlatform platform;
    PhiloxSource dice;
    std::unique_ptr<Form1> form;
};

}  // namespace tumblecast::test
