#include "gdal_session.h"

#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>

void register_gdal_drivers()
{
    static const bool registered = [] {
        GDALAllRegister();
        return true;
    }();
    (void)registered;
}

namespace {

void CPL_STDCALL capture_handler(CPLErr level, CPLErrorNum, const char* message)
{
    auto* capture = static_cast<GdalErrorCapture*>(CPLGetErrorHandlerUserData());
    if (capture && level >= CE_Failure) capture->record(message);
}

}  // namespace

GdalErrorCapture::GdalErrorCapture()
{
    register_gdal_drivers();
    CPLPushErrorHandlerEx(capture_handler, this);
}

GdalErrorCapture::~GdalErrorCapture()
{
    CPLPopErrorHandler();
}

void GdalErrorCapture::record(const char* message)
{
    // The first failure says what went wrong; later ones tend to repeat it
    // in general terms.
    if (!failed_) text_ = message ? message : "";
    failed_ = true;
}

GeoProblem GdalErrorCapture::problem(GeoProblem::Kind kind, const std::string& path) const
{
    return {kind, path, text_};
}

void GdalDatasetCloser::operator()(GDALDataset* dataset) const
{
    if (dataset) GDALClose(GDALDataset::ToHandle(dataset));
}

void remove_gdal_output(const std::string& path)
{
    VSIStatBufL stat;
    if (VSIStatL(path.c_str(), &stat) == 0) VSIUnlink(path.c_str());
}
