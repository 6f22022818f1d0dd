#include "app/KVStartup.h"

#include "app/KVMain.h"
#include "app/KVMapView.h"
#include "app/KVOverlayPage.h"
#include "app/KVServices.h"
#include "platform/KVError.h"
#include "platform/SettingsFolder.h"

#include <QDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>

#include <cstdio>

namespace kv {

TRect ParseBox(const std::string& text, const std::string& option)
{
    if (const std::optional<TRect> box = ParseRectText(text))
        return *box;
    throw EKorvelaError(option + " takes four whole numbers L,T,R,B, found \"" + text + "\".");
}

TCommandLine ParseCommandLine(const QStringList& arguments)
{
    TCommandLine commandLine;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--screenshot")) {
            if (i + 1 >= arguments.size())
                throw EKorvelaError("--screenshot needs the name of the picture to write.");
            commandLine.Screenshot = arguments[++i];
        } else if (argument == QLatin1String("--page")) {
            const QString page = i + 1 < arguments.size() ? arguments[++i].toLower() : QString();
            if (page == QLatin1String("dem"))
                commandLine.Page = 0;
            else if (page == QLatin1String("topo"))
                commandLine.Page = 1;
            else if (page == QLatin1String("3d"))
                commandLine.Page = 2;
            else if (page == QLatin1String("overlay"))
                commandLine.Page = 3;
            else
                throw EKorvelaError("--page takes \"dem\", \"topo\", \"3d\" or \"overlay\", found \"" +
                                    page.toStdString() + "\".");
        } else if (argument == QLatin1String("--box")) {
            if (i + 1 >= arguments.size())
                throw EKorvelaError("--box needs the selection as L,T,R,B.");
            commandLine.Box = ParseBox(arguments[++i].toStdString(), "--box");
        } else if (argument == QLatin1String("--overlay")) {
            if (i + 1 >= arguments.size())
                throw EKorvelaError("--overlay needs the picture to load into the Overlay Editor.");
            commandLine.Overlay = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--"))) {
            throw EKorvelaError(
                "Unknown option " + argument.toStdString() +
                "; the program takes [--screenshot OUT.png [--page dem|topo|3d|overlay] [--box L,T,R,B] "
                "[--overlay IMAGE]] [FILE].");
        } else if (commandLine.File.isEmpty()) {
            commandLine.File = argument;
        }
    }
    return commandLine;
}

TKVApplication::TKVApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Korvela3D"));
}

bool TKVApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString text = CurrentExceptionText();
        std::fprintf(stderr, "%s\n", qPrintable(text));
        QMessageBox::critical(activeWindow(), QStringLiteral("Korvela3D"), text);
        return false;
    }
}

namespace {

// A run without a user: dialogs count as confirmed with their current values, messages go
// to the error stream, file choosers are cancelled.
TAppServices UnattendedServices()
{
    TAppServices services;
    services.Files.OpenFile = [](const TFileRequest&) { return QString(); };
    services.Files.SaveFile = [](const TFileRequest&) { return QString(); };
    const auto print = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
    services.Messages.Information = print;
    services.Messages.Error = print;
    services.Messages.Confirm = [print](const QString& question) {
        print(question);
        return true;
    };
    services.RunDialog = [](QDialog&) { return int(QDialog::Accepted); };
    services.ChooseColor = [](uint32_t&) { return false; };
    return services;
}

// The steps a user takes before the picture of `commandLine.Page`: the selection on the map
// and "Edit" for the topo page; then "Convert 3D" for the 3D and overlay pages (on the 3D page
// only with a box: without one it shows its test figure); then the picture loaded and fitted on
// the overlay page, and for the 3D page also applied ("Apply Overlay"). False, with a message,
// when a step fails.
bool PrepareScreenshotPage(TForm1& form, const TCommandLine& commandLine)
{
    const int page = commandLine.Page;
    const std::optional<TRect>& box = commandLine.Box;
    if (page == 1 || (page == 3 && !box)) {
        if (box) {
            form.Document().DemSelection = *box;
            form.DEMImage().OverClipBox().SetRect(*box);
        }
        form.TopoEdit();
        if (page == 3 && !form.TopoDocument().Grid.Empty() && !form.RunConversion(form.TopoDocument())) {
            std::fprintf(stderr, "The map could not be converted.\n");
            return false;
        }
    } else if ((page == 2 || page == 3) && box) {
        if (!form.ConvertSelection(*box)) {
            std::fprintf(stderr, "The box could not be converted.\n");
            return false;
        }
    }
    if ((page == 2 || page == 3) && !commandLine.Overlay.isEmpty()) {
        try {
            form.OverlayPage().LoadOverlayFile(commandLine.Overlay, true);
            if (page == 2)
                form.OverlayPage().ApplyOverlayToTerrain();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return false;
        }
    }
    return true;
}

int SaveScreenshot(TForm1& form, const TCommandLine& commandLine)
{
    // Opening a file makes its folder the working folder: a relative name means the folder
    // the program was started in.
    const QString fileName = QFileInfo(commandLine.Screenshot).absoluteFilePath();
    TCommandLine steps = commandLine;
    if (!steps.Overlay.isEmpty())
        steps.Overlay = QFileInfo(steps.Overlay).absoluteFilePath();
    form.FirstActivate();
    if (!form.WaitForOpen(10 * 60 * 1000)) {
        std::fprintf(stderr, "The file took too long to open.\n");
        return 1;
    }
    if (!PrepareScreenshotPage(form, steps))
        return 1;
    form.ShowPage(commandLine.Page);
    // Two rounds of events let the window lay out and paint what the open changed.
    QApplication::processEvents();
    QApplication::processEvents();
    if (!form.grab().save(fileName, "PNG")) {
        std::fprintf(stderr, "Cannot write the picture %s.\n", qPrintable(fileName));
        return 1;
    }
    return 0;
}

} // namespace

int RunProgram(const TCommandLine& commandLine)
{
    TMainOptions options;
    options.SettingsFolder = SettingsFolder();
    options.CommandLineFile = commandLine.File;
    if (!commandLine.Screenshot.isEmpty())
        options.Services = UnattendedServices();
    TForm1 form(std::move(options));
    form.show();
    if (!commandLine.Screenshot.isEmpty())
        return SaveScreenshot(form, commandLine);
    return QApplication::exec();
}

} // namespace kv
