// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the driver's own source files share; not part of its interface.
#include "kz7305.h"

#include <QApplication>

#include <memory>

namespace kz7305Internals {

// Board messages.
constexpr int ReadResponse = 6;
constexpr int StatusPacket = 8;
constexpr int Notification = 9;

// Whether the driver may open windows: not in a program without widgets.
inline bool windowsAvailable()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace kz7305Internals

// Counts a call into the driver that is on the stack, unless the driver was
// destroyed while it ran.
class kz7305::CallScope
{
public:
    explicit CallScope(kz7305 &driver)
        : m_driver(driver)
        , m_token(driver.m_lifetime)
    {
        ++m_driver.m_callDepth;
    }
    ~CallScope()
    {
        if (!m_token.expired())
            --m_driver.m_callDepth;
    }
    CallScope(const CallScope &) = delete;
    CallScope &operator=(const CallScope &) = delete;

private:
    kz7305 &m_driver;
    std::weak_ptr<int> m_token;
};
