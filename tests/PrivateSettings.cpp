// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into every test: before main() runs, the per-user settings and data
// folders point into a temporary folder of the test's own, removed when it
// ends, so no test reads or writes the user's settings, recent files or
// folders. The programs a test starts inherit the same folders; a test that
// needs others sets them itself.
#include <QTemporaryDir>

namespace {

struct PrivateSettings {
    QTemporaryDir home;

    PrivateSettings()
    {
        for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            qputenv(variable, home.filePath(QString::fromLatin1(variable)).toLocal8Bit());
    }
};

const PrivateSettings privateSettings;

} // namespace
