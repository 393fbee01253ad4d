// Vantrel: starts the main window and the element palette window.
#include "gui/palette/PaletteWindow.h"
#include "app/CommandLine.h"
#include "app/FirstStart.h"
#include "app/MainWindow.h"
#include "app/QtSettingsStore.h"
#include "app/QtUserInterface.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    vantrel::platform::SetUpProcess();
    if (const auto status = vantrel::AnswerAtOnce(argc, argv)) return *status;
    QApplication app(argc, argv);
    std::string file;
    if (const auto status = vantrel::LevelToOpen(argc, argv, file)) return *status;
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvel.Vantrel"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.orvel.Vantrel")));
    vantrel::QtUserInterface ui;
    int status = 0;
    {
        vantrel::QtSettingsStore settings;
        vantrel::OfferExamplesAtStart(settings, ui);  // when the game's data directory is not found
        vantrel::MainWindow main(ui, settings);
        ui.SetParent(&main);
        main.show();
        // Hidden until Tool > Element View: made once the main window is on its way to the screen.
        vantrel::PaletteWindow palette(main.Document());
        main.SetPaletteWindow(&palette);
        // "vantrel PATH" opens that level after start-up, as a direct load does.
        if (!file.empty()) main.OpenAtStart(file);
        status = app.exec();
    }  // the settings are released after the window
    return status;
}
