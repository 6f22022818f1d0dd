#pragma once
// The services that need Qt's window system check that it runs before they touch it.

#include "platform/KVError.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <string>

namespace kv {

// Throws EKorvelaError naming `what` when no QGuiApplication (or QApplication) exists.
inline void RequireGUIApplication(const std::string& what)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        throw EKorvelaError(what + " needs the program's window system, which is not running");
}

} // namespace kv
