#pragma once
// The image commands: "Save Image As &Bitmap..." (a BMP file), "&Copy Image" (the clipboard) and
// "&Print Image..." (the printer, "Fit To Page" on request), each for the picture of one page
// chosen in "Select Image".
//
// The pages hand their pictures over as grabbers, so this module knows no page: a grabber makes
// its page current and repainted as needed and returns the pixels for the command. A page
// without a grabber is not offered.

#include "app/KVChooseImage.h"
#include "app/KVServices.h"
#include "mapview/PrintLib.h"
#include "platform/Bitmap.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace kv {

class TPrinter;

// What a picture is taken for: saving takes the whole picture of the map and topo pages, copying
// and printing the part the user sees.
enum TImageUse { iuSave, iuCopy, iuPrint };
using TImageGrabber = std::function<TBitmap(TImageUse use)>;

// The printer the user chose, with the "Fit To Page" answer; no printer means cancelled.
struct TPrintChoice {
    std::unique_ptr<TPrintSurface> Printer;
    bool FitToPage = true;
};
using TPrinterChooser = std::function<TPrintChoice()>;

// Printing onto the platform printer (or PDF file), with the Qt printer it may rest on.
class TPrinterSurface : public TPrintSurface {
public:
    explicit TPrinterSurface(std::unique_ptr<TPrinter> printer);
    TPrinterSurface(std::unique_ptr<TPrinter> printer, std::unique_ptr<QPrinter> qtPrinter);
    ~TPrinterSurface() override;
    int32_t PageWidth() const override;
    int32_t PageHeight() const override;
    void BeginDoc(const std::string& title) override;
    void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) override;
    void EndDoc() override;

private:
    std::unique_ptr<QPrinter> QtPrinter_; // outlives Printer_, which draws on it
    std::unique_ptr<TPrinter> Printer_;
};

// The desktop's print dialog with an added "Fit To Page" check box (FitToPageChk), which keeps
// its last state and starts checked.
TPrinterChooser DesktopPrinterChooser(QWidget* parent);

// The part (x, y, w, h) of a picture, clipped to the picture.
TBitmap GrabRect(const TBitmap& picture, int32_t x, int32_t y, int32_t w, int32_t h);

class TImageOutput {
public:
    TImageOutput(QWidget* parent, TAppServices services, TPrinterChooser choosePrinter);

    // An empty grabber takes the page's choice away (shown disabled).
    void SetGrabber(TImageType type, TImageGrabber grabber);
    void SetPrinterChooser(TPrinterChooser choosePrinter) { ChoosePrinter_ = std::move(choosePrinter); }
    TChooseImageDlg& ChooseImageDlg() { return *ChooseImageDlg_; }

    // "Select Image": the chosen type, or nothing on Cancel.
    std::optional<TImageType> ChooseImage();

    // Each command returns whether it produced output; errors are shown and go no further.
    bool SaveImage();
    bool CopyImage();
    bool PrintImage();

private:
    TBitmap Grab(TImageType type, TImageUse use) const;
    void BringToFront() const;

    QWidget* Parent_;
    TAppServices Services_;
    TPrinterChooser ChoosePrinter_;
    TChooseImageDlg* ChooseImageDlg_;
    std::array<TImageGrabber, ImageTypeCount> Grabbers_;
};

} // namespace kv
