#pragma once

#include <QFile>
#include <QLabel>

#include "form1_fixture.h"
#include "profile/profile_file.h"
#include "windows/slot_editor/form2.h"

namespace tumblecast::test {

// The main window with the profile at hand, and the slot editor opened as a user opens it.
class SlotTest : public Form1Test {
protected:
    QByteArray profile()
    {
        QFile file(ProfilePath(platform));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeProfile(const QByteArray& content)
    {
        QFile file(ProfilePath(platform));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    // One section of the profile as written, from its header to the next.
    QByteArray section(int slot)
    {
        const QByteArray all = profile();
        const qsizetype start = all.indexOf("[Slot" + QByteArray::number(slot) + "]");
        if (start < 0) return {};
        const qsizetype end = all.indexOf("\n[", start);
        return all.mid(start, end < 0 ? -1 : end - start + 1);
    }
    // Double-clicks the slot's label (a single click for slot 5) and waits for the editor to be active.
    Form2* openEditor(int slot)
    {
        QLabel* const labels[] = {form->Label13, form->Label14, form->Label15, form->Label16, form->Label17};
        if (slot == 5)
            QTest::mouseClick(labels[slot - 1], Qt::LeftButton);
        else
            QTest::mouseDClick(labels[slot - 1], Qt::LeftButton);
        Form2* editor = form->slotEditor();
        if (editor) {
            QApplication::setActiveWindow(editor);
            EXPECT_TRUE(QTest::qWaitForWindowActive(editor));
        }
        return editor;
    }
};

}  // namespace tumblecast::test
