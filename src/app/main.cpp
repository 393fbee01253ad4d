// Vantrel: starts the main window and the element palette window.
#include "gui/palette/PaletteWindow.h"
#include "app/MainWindow.h"
#include "app/QtSettingsStore.h"
#include "app/QtUserInterface.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    // A file size limit shows as a write error the program handles, never as a kill mid-write.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    vantrel::QtUserInterface ui;
    int status = 0;
    {
        vantrel::QtSettingsStore settings;
        vantrel::MainWindow main(ui, settings);
        ui.SetParent(&main);
        main.show();
        // Hidden until Tool > Element View: made once the main window is on its way to the screen.
        vantrel::PaletteWindow palette(main.Document());
        main.SetPaletteWindow(&palette);
        // "vantrel PATH" opens that level after start-up, as a direct load does.
        if (argc > 1) main.OpenAtStart(argv[1]);
        status = app.exec();
    }  // the settings are released after the window
    return status;
}
