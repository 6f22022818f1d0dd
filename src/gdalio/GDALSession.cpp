#include "GDALSession.h"

#include <cpl_error.h>

#include <mutex>

namespace kv {

void EnsureGDALDrivers()
{
    static std::once_flag once;
    std::call_once(once, [] { GDALAllRegister(); });
}

TGDALErrorScope::TGDALErrorScope()
{
    CPLErrorReset();
    CPLPushErrorHandlerEx(&TGDALErrorScope::Handler, this);
}

TGDALErrorScope::~TGDALErrorScope()
{
    CPLPopErrorHandler();
}

std::string TGDALErrorScope::Detail() const
{
    return LastError_.empty() ? std::string() : " (" + LastError_ + ")";
}

void TGDALErrorScope::Handler(CPLErr level, CPLErrorNum, const char* message)
{
    if (level < CE_Failure || message == nullptr)
        return; // warnings are GDAL's own business
    auto* scope = static_cast<TGDALErrorScope*>(CPLGetErrorHandlerUserData());
    if (scope)
        scope->LastError_ = message;
}

} // namespace kv
