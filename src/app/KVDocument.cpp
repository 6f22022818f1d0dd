#include "app/KVDocument.h"

#include "platform/KVError.h"
#include "platform/TextCase.h"

#include <system_error>

namespace kv {

std::string MainCaption(const std::string& fileName)
{
    return FileNameOf(fileName) + " - " + ApplicationTitle;
}

TCommandLineKind CommandLineKind(const std::filesystem::path& fileName)
{
    const std::string extension = fileName.extension().string();
    if (SameTextIgnoringCase(extension, ".dem") || SameTextIgnoringCase(extension, ".ddf"))
        return ckDEM;
    if (SameTextIgnoringCase(extension, ".txml"))
        return ckTerrainFile;
    if (SameTextIgnoringCase(extension, ".x"))
        return ckXFile;
    return ckNone;
}

TDocument::TDocument(std::filesystem::path settingsFolder) : SettingsFolder_(std::move(settingsFolder))
{
    Recent.INIFile = SettingsFolder_ / RecentFilesName;
}

void TDocument::LoadStartSettings()
{
    Settings_ = LoadSettings(SettingsFolder_, TUserSettings{});
    PlotOptions_ = PlotOptionsFromSettings(Settings_);
    Recent.Load();
}

void TDocument::SetPlotOptions(const TPlotOptions& options)
{
    PlotOptions_ = options;
    Settings_.Colored = options.Colored;
    Settings_.Contoured = options.Contoured;
    Settings_.Shaded = options.Shaded;
    Settings_.Contrast = options.Contrast;
}

void TDocument::SaveUserDefaults() const
{
    std::error_code error;
    std::filesystem::create_directories(SettingsFolder_, error);
    SaveSettings(SettingsFolder_, Settings_);
}

void TDocument::SaveRecent() const
{
    std::error_code error;
    std::filesystem::create_directories(SettingsFolder_, error);
    Recent.Save();
}

void TDocument::BeginOpen(const std::string& fileName)
{
    FileName_ = fileName;
    Caption_ = MainCaption(fileName);
    Recent.Add(fileName);
    const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::current_path(folder, error);
        if (error)
            throw EKorvelaError("Cannot make " + folder.string() + " the working folder: " + error.message() + ".");
    }
    DEMLoaded_ = false;
    Opening_ = true;
}

void TDocument::FinishOpen(TDEMArray&& dem)
{
    CurrentDEM = std::move(dem);
    FullImageRect = TRect{0, 0, CurrentDEM.Cols(), CurrentDEM.Rows()};
    Opening_ = false;
    DEMLoaded_ = true;
}

void TDocument::FailOpen()
{
    Opening_ = false;
    DEMLoaded_ = false;
}

} // namespace kv
