// GuiTestApp: the one QApplication that widget tests need, on Qt's
// offscreen platform unless the environment chose another.
#pragma once

#include <QApplication>

inline QApplication& GuiTestApp()
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *app;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    // Never destroyed: widgets of other tests may outlive any exit order.
    return *new QApplication(argc, argv);
}
