#pragma once
// The program's start: its command line, the application object that keeps errors out of
// Qt's event loop, and the run itself (also the --screenshot run).

#include "platform/Rect.h"

#include <QApplication>
#include <QStringList>

#include <optional>
#include <string>

namespace kv {

// korvela3d [FILE]  or
// korvela3d --screenshot OUT.png [--page dem|topo|3d|overlay] [--box L,T,R,B] [--overlay IMAGE] [FILE]
struct TCommandLine {
    QString File;       // opened at the first activation
    QString Screenshot; // when set: open FILE, save a picture of the window there, exit
    // The page the picture shows: 0 "DEM Reader", 1 "Topo Editor", 2 "3D Model Editor",
    // 3 "Overlay Editor".
    int Page = 0;
    // The map selection (map pixels) that "Edit" copies into the topo editor for --page topo
    // and overlay (the whole map when not given); for --page 3d and overlay "Convert 3D" then
    // converts it with the conversion dialog's values.
    std::optional<TRect> Box;
    // For --page overlay: the picture loaded into the "Overlay Editor" and fitted to the grid;
    // for --page 3d also draped over the converted terrain.
    QString Overlay;
};

// "L,T,R,B" as four whole numbers; throws EKorvelaError naming `option` otherwise.
TRect ParseBox(const std::string& text, const std::string& option);

// The arguments after the program name. Throws EKorvelaError on an unknown option, a
// --screenshot without its file, a --page other than "dem", "topo", "3d" or "overlay", a malformed
// --box, or an --overlay without its picture.
TCommandLine ParseCommandLine(const QStringList& arguments);

// A QApplication whose event delivery shows any escaping exception in a message box instead
// of letting it unwind through Qt.
class TKVApplication : public QApplication {
public:
    TKVApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Builds the main window over the user's settings and runs it; returns the exit code.
int RunProgram(const TCommandLine& commandLine);

} // namespace kv
