// korvela3d: the desktop program.

#include "app/KVStartup.h"
#include "glview/GLViewer.h"
#include "platform/KVError.h"

#include <cstdio>

int main(int argc, char** argv)
{
    // The viewer's compatibility-profile context: the default format must be set before any widget.
    kv::SetDefaultSurfaceFormat();
    kv::TKVApplication application(argc, argv);
    try {
        QStringList arguments = kv::TKVApplication::arguments();
        arguments.removeFirst();
        return kv::RunProgram(kv::ParseCommandLine(arguments));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "korvela3d: %s\n", error.what());
        return 1;
    }
}
