// The two settings ("datadir", "outputdir") under organisation "Orvel",
// application "Vantrel": the registry key Software\Orvel\Vantrel on Windows,
// an INI file under the user's config folder elsewhere.
#pragma once

#include "base/UserInterface.h"

#include <QSettings>

namespace vantrel {

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore() : settings_(QStringLiteral("Orvel"), QStringLiteral("Vantrel")) {}
    std::string ReadSetting(const std::string& name) override
    {
        return settings_.value(QString::fromStdString(name)).toString().toStdString();
    }
    void WriteSetting(const std::string& name, const std::string& value) override
    {
        settings_.setValue(QString::fromStdString(name), QString::fromStdString(value));
        settings_.sync();
    }

private:
    QSettings settings_;
};

}  // namespace vantrel
