#pragma once
// What every use of GDAL in this library shares: the drivers registered once, GDAL's own error
// messages caught instead of printed, and datasets closed by their owner.

#include <gdal.h>

#include <memory>
#include <string>

namespace kv {

// Registers GDAL's drivers the first time it is called.
void EnsureGDALDrivers();

// While it lives, GDAL's messages go to it instead of stderr; LastError() is the last failure
// GDAL reported on this thread (empty when none).
class TGDALErrorScope {
public:
    TGDALErrorScope();
    ~TGDALErrorScope();
    TGDALErrorScope(const TGDALErrorScope&) = delete;
    TGDALErrorScope& operator=(const TGDALErrorScope&) = delete;

    const std::string& LastError() const { return LastError_; }
    // " (<GDAL's message>)" or empty: the tail of one of our messages.
    std::string Detail() const;

private:
    static void Handler(CPLErr level, CPLErrorNum number, const char* message);
    std::string LastError_;
};

struct TGDALDatasetCloser {
    void operator()(GDALDatasetH dataset) const { GDALClose(dataset); }
};
using TGDALDataset = std::unique_ptr<std::remove_pointer_t<GDALDatasetH>, TGDALDatasetCloser>;

} // namespace kv
