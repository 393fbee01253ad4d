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
#include <QTimer>

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
        // For the window's test on a virtual display (under Wine too): the
        // window as it draws itself, a moment after start-up, into the PNG
        // file VANTREL_SCREENSHOT names; then the program ends. (A copy of the
        // screen is black under Wine's virtual display.)
        const QString screenshot = qEnvironmentVariable("VANTREL_SCREENSHOT");
        if (!screenshot.isEmpty())
            QTimer::singleShot(2000, &main, [&main, screenshot] {
                QCoreApplication::exit(main.grab().save(screenshot, "PNG") ? 0 : 3);
            });
        status = app.exec();
    }  // the settings are released after the window
    return status;
}
