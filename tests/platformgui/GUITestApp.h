#pragma once
// The QApplication the GUI service tests need, made on first use (so that listing the tests needs
// none). Without a chosen platform it runs offscreen: no display needed, and a developer's own
// clipboard is left alone.

#include <QApplication>
#include <QByteArray>

namespace kv::test {

inline QApplication& GUITestApp()
{
    static int argc = 1;
    static char name[] = "kv_platform_gui_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv); // lives until the process ends
    return *app;
}

} // namespace kv::test
