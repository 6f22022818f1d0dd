#pragma once
// The one document of the program: the current DEM, the working units and plot defaults
// from the settings file, and the recent-files list. Plain C++: the main window shows it,
// tests drive it without a display.

#include "app/KVCommands.h"
#include "dem/DEMLib.h"
#include "mapview/PlotOptions.h"
#include "platform/KVIni.h"
#include "platform/Rect.h"
#include "platform/Reopen.h"
#include "platform/Units.h"

#include <filesystem>
#include <string>

namespace kv {

inline constexpr const char* ApplicationTitle = "Korvela3D";

// "area.dem - Korvela3D" for /maps/area.dem (either separator ends the folder part).
std::string MainCaption(const std::string& fileName);

// How a name given on the command line opens.
enum TCommandLineKind : uint8_t { ckNone, ckDEM, ckTerrainFile, ckXFile };

// By extension, compared without regard to case: .dem and .ddf open as DEMs, .txml and .x
// load into the 3D view, anything else is ignored.
TCommandLineKind CommandLineKind(const std::filesystem::path& fileName);

class TDocument {
public:
    // Settings and recent files live in `settingsFolder`; the DEM starts as 5 x 5 zeros.
    explicit TDocument(std::filesystem::path settingsFolder);

    // Start-up: stored settings replace the built-in defaults; the recent-files list is read.
    void LoadStartSettings();
    // "Save User Defaults": writes the units and plot options. Throws EKorvelaError.
    void SaveUserDefaults() const;
    // Shutdown: writes the recent-files list (errors are ignored).
    void SaveRecent() const;

    // The first steps of an open: caption, recent-files entry, working folder, "opening"
    // state. Throws EKorvelaError when the file's folder cannot become the working folder.
    void BeginOpen(const std::string& fileName);
    // The read grid becomes the document.
    void FinishOpen(TDEMArray&& dem);
    // The read failed: the DEM commands stay off until an open succeeds.
    void FailOpen();

    TDocumentState State() const { return {DEMLoaded_, Opening_}; }
    const std::string& Caption() const { return Caption_; }
    const std::string& FileName() const { return FileName_; }

    TUnits Units() const { return TUnits{Settings_.UseFeet}; }
    void SetUnits(TUnits units) { Settings_.UseFeet = units.UseFeet; }
    const TUserSettings& Settings() const { return Settings_; }

    // The map's plot options; the modes and contrast are what "Save User Defaults" writes.
    const TPlotOptions& PlotOptions() const { return PlotOptions_; }
    TPlotOptions& PlotOptions() { return PlotOptions_; }
    void SetPlotOptions(const TPlotOptions& options);

    const std::filesystem::path& SettingsFolder() const { return SettingsFolder_; }

    TDEMArray CurrentDEM;
    TRecentFiles Recent;
    // The whole map (0, 0, Cols, Rows) once a file is read, and the map's selection box as the
    // user left it, in picture pixels.
    TRect FullImageRect;
    TRect DemSelection;

private:
    std::filesystem::path SettingsFolder_;
    TUserSettings Settings_;
    TPlotOptions PlotOptions_;
    std::string Caption_ = ApplicationTitle;
    std::string FileName_;
    bool DEMLoaded_ = false;
    bool Opening_ = false;
};

} // namespace kv
