// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardSession.h"

#include "DriverLoader.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"

#include <exception>

BoardSession::BoardSession(QObject *parent)
    : QObject(parent)
{
}

BoardSession::~BoardSession()
{
    // Whoever listens may be half gone by now.
    blockSignals(true);
    close();
}

bool BoardSession::load(const QString &classId, QString *error)
{
    std::unique_ptr<NuvarDriverClass> driver = DriverLoader::create(classId, error);
    if (!driver)
        return false;
    adopt(std::move(driver));
    return true;
}

void BoardSession::adopt(std::unique_ptr<NuvarDriverClass> driver)
{
    close();
    m_driver = std::move(driver);
}

void BoardSession::open()
{
    if (!m_driver)
        return;
    m_acquisition.callDriver([this] { m_driver->DriverOpen(*this); });
    m_acquisition.setDriver(m_driver.get());
    emit driverChanged();
}

void BoardSession::close()
{
    if (!m_driver)
        return;
    m_acquisition.setDriver(nullptr);
    m_user.clear();
    try {
        m_driver->DriverClose();
    } catch (const std::exception &) {
        // The driver goes either way; one that fails to close changes nothing.
    }
    m_driver.reset();
    emit driverChanged();
}

NuvarDriverSettings *BoardSession::namedSettings() const
{
    return dynamic_cast<NuvarDriverSettings *>(m_driver.get());
}

BoardLimits BoardSession::limits() const
{
    return m_driver ? BoardLimits::of(*m_driver) : BoardLimits{};
}

bool BoardSession::claim(const QString &user, QString *refusal)
{
    if (!m_user.isEmpty() && m_user != user) {
        if (refusal)
            *refusal = QStringLiteral("The board is busy: %1").arg(m_user);
        return false;
    }
    m_user = user;
    return true;
}

bool BoardSession::startBlock(std::int32_t samples, bool configure)
{
    return !m_user.isEmpty() && m_acquisition.start(samples, configure);
}

void BoardSession::release(const QString &user)
{
    if (user != m_user)
        return;
    m_user.clear();
    if (m_acquisition.running())
        m_acquisition.cancel();
}

void BoardSession::DriverEvent(EventEnum evType)
{
    switch (evType) {
    case EVENT_COMM_IDLE:
        emit communication(Communication::Waiting);
        break;
    case EVENT_COMM_START:
        emit communication(Communication::Started);
        break;
    case EVENT_COMM_FINISH:
        emit communication(Communication::Answered);
        break;
    case EVENT_COMM_ERROR:
        emit communication(Communication::Failed);
        break;
    default:
        m_acquisition.driverEvent(evType);
        break;
    }
}
