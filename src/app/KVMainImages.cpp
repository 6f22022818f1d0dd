// The main window's share of the image commands: the pictures of its pages, taken as a user
// sees them.

#include "app/KVMain.h"

#include "app/KVImageLib.h"
#include "app/KVMapView.h"
#include "app/KVOverlayPage.h"
#include "glview/GLViewer.h"
#include "platform/gui/QtBitmap.h"

#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>

namespace kv {

void TForm1::CreateImageOutput()
{
    ImageOutput_ = std::make_unique<TImageOutput>(this, Services_, DesktopPrinterChooser(this));
    ImageOutput_->SetGrabber(itDEMMap, [this](TImageUse use) {
        // Saving takes the whole map (margins and selection box included), copying and printing
        // the part the scroll window shows.
        if (use == iuSave)
            return DEMImage_->Picture();
        ShowPage(0);
        QCoreApplication::processEvents();
        const QWidget* view = DEMScrollBox_->viewport();
        return GrabRect(DEMImage_->Picture(), DEMScrollBox_->horizontalScrollBar()->value(),
                        DEMScrollBox_->verticalScrollBar()->value(), view->width(), view->height());
    });
    ImageOutput_->SetGrabber(it3DTerrainModel, [this](TImageUse) {
        ShowPage(2);
        QCoreApplication::processEvents();
        return QImageToBitmap(GLViewer_->grabFramebuffer());
    });
}

void TForm1::OfferOverlayPicture(bool shown)
{
    if (!ImageOutput_)
        return;
    if (!shown) {
        ImageOutput_->SetGrabber(itOverlayScreen, {});
        return;
    }
    ImageOutput_->SetGrabber(itOverlayScreen, [this](TImageUse) {
        ShowPage(3);
        QCoreApplication::processEvents();
        return QImageToBitmap(OverlayPage_->Picture());
    });
}

void TForm1::OfferTopoPicture(std::function<TBitmap()> picture)
{
    if (!picture) {
        ImageOutput_->SetGrabber(itTopoMap, {});
        return;
    }
    ImageOutput_->SetGrabber(itTopoMap, [this, picture = std::move(picture)](TImageUse) {
        ShowPage(1);
        QCoreApplication::processEvents();
        return picture();
    });
}

void TForm1::SaveImage()
{
    ImageOutput_->SaveImage();
}

void TForm1::CopyImage()
{
    ImageOutput_->CopyImage();
}

void TForm1::PrintImage()
{
    ImageOutput_->PrintImage();
}

} // namespace kv
