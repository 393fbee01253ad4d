#include "app/FirstStart.h"

#include "tell/ErrorBoundary.h"
#include "gui/base/QtText.h"
#include "levelsets/ExampleLevelset.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace vantrel {

void OfferExamplesAtStart(SettingsStore& settings, UserInterface& ui)
{
    // Installed: PREFIX/bin/vantrel and PREFIX/share/vantrel/examples; in the build folder beside the program.
    const QDir bin(QCoreApplication::applicationDirPath());
    QString examples = FromPath(kInstalledExamplesDir);
    for (const QString& place : {QStringLiteral("../share/vantrel/examples"), QStringLiteral("examples")}) {
        if (QDir(bin.absoluteFilePath(place)).exists()) {
            examples = bin.absoluteFilePath(place);
            break;
        }
    }
    const QString copy = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Orvel/Vantrel/examples");
    RunGuarded(ui, [&] { OfferExampleLevelset(settings, ui, ToPath(QDir::cleanPath(examples)), ToPath(copy)); });
}

}  // namespace vantrel
