#include "support/FFmpegPeer.h"

#include "support/TestData.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace kv::test {

namespace {

// The command's standard output; throws with its error output when it fails.
std::string Output(const std::string& command)
{
    const std::string full = command + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(full.c_str(), "r"), ::pclose);
    if (!pipe)
        throw std::runtime_error("cannot run: " + command);
    std::string text;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        text.append(buffer, n);
    const int status = ::pclose(pipe.release());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(command + " failed: " + text);
    return text;
}

} // namespace

std::string FFmpegMissingReason()
{
    const int probe = std::system("ffprobe -version >/dev/null 2>&1 && ffmpeg -version >/dev/null 2>&1");
    if (probe != -1 && WIFEXITED(probe) && WEXITSTATUS(probe) == 0)
        return {};
    return "ffprobe/ffmpeg are not installed (scripts/install-deps.sh installs ffmpeg), so no peer can play "
           "our movies";
}

TProbedMovie ProbeMovie(const std::filesystem::path& fileName)
{
    TProbedMovie movie;
    std::istringstream lines(Output("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                    "stream=codec_name,codec_tag_string,width,height,r_frame_rate,nb_read_frames "
                                    "-of default=noprint_wrappers=1 " +
                                    ShellQuoted(fileName.string())));
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "codec_name")
            movie.Codec = value;
        else if (key == "codec_tag_string")
            movie.CodecTag = value;
        else if (key == "width")
            movie.Width = std::stoi(value);
        else if (key == "height")
            movie.Height = std::stoi(value);
        else if (key == "r_frame_rate")
            movie.FrameRate = value;
        else if (key == "nb_read_frames")
            movie.Frames = std::stoll(value);
    }
    std::istringstream packets(Output("ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 " +
                                      ShellQuoted(fileName.string())));
    for (std::string line; std::getline(packets, line);)
        if (!line.empty())
            movie.KeyPackets.push_back(line[0] == 'K');
    return movie;
}

std::vector<uint8_t> DecodeFrame(const std::filesystem::path& fileName, int64_t index, const std::string& pixelFormat,
                                 const std::filesystem::path& scratch)
{
    const std::filesystem::path raw = scratch / "frame.raw";
    std::filesystem::remove(raw);
    Output("ffmpeg -v error -nostdin -y -i " + ShellQuoted(fileName.string()) + " -vf 'select=eq(n\\," +
           std::to_string(index) + ")' -vsync passthrough -frames:v 1 -f rawvideo -pix_fmt " + pixelFormat + " " +
           ShellQuoted(raw.string()));
    const std::string data = ReadFileText(raw);
    if (data.empty())
        throw std::runtime_error("ffmpeg decoded no frame " + std::to_string(index) + " of " + fileName.string());
    return std::vector<uint8_t>(data.begin(), data.end());
}

} // namespace kv::test
