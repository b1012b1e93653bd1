// Window tests run without a display and in a fixed locale, whatever the machine is set to. A wait for
// another copy's lock gives up sooner than the program's, so that the tests of it stay quick.
#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include "files/file_lock.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    tumblecast::files::setLockWait({std::chrono::milliseconds(1000), std::chrono::milliseconds(20)});
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
