#pragma once
// What the windows ask of the desktop: file choosers, message boxes and modal dialogs. The
// main window and its dialogs receive these as values, so tests answer them without ever
// blocking on a modal window.

#include <QString>

#include <cstdint>
#include <functional>

class QDialog;
class QWidget;

namespace kv {

// One request to a file chooser. An empty answer means the user cancelled.
struct TFileRequest {
    QString Title;
    QString Filter;           // Qt form: "DEM Data (*.DEM *.dem);;All Files (*)"
    QString Folder;           // where the chooser starts
    QString FileName;         // the name it proposes
    QString DefaultExtension; // added to a typed name without one
};

struct TFileChooser {
    std::function<QString(const TFileRequest&)> OpenFile;
    std::function<QString(const TFileRequest&)> SaveFile; // asks before overwriting
};

// Message boxes titled with the application title.
struct TMessageSink {
    std::function<void(const QString& text)> Information;
    std::function<void(const QString& text)> Error;
    std::function<bool(const QString& question)> Confirm; // Yes: true, No: false
};

struct TAppServices {
    TFileChooser Files;
    TMessageSink Messages;
    // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
    std::function<int(QDialog& dialog)> RunDialog;
    // A colour chooser starting at `color` (red in the low byte); true with the chosen colour in
    // `color`, false when the user cancelled.
    std::function<bool(uint32_t& color)> ChooseColor;
};

// The real desktop: Qt's file dialogs and message boxes over `parent`, whose window title
// the boxes take.
TAppServices DesktopServices(QWidget* parent);

// Runs one command: any exception it throws is shown through `messages.Error` and goes no
// further, so none ever reaches Qt's event loop. Returns false when the command failed.
bool RunCommand(const TMessageSink& messages, const std::function<void()>& command) noexcept;

// The text shown for the exception being handled ("Out of memory." for std::bad_alloc).
QString CurrentExceptionText();

} // namespace kv
