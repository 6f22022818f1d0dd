#include "platform/gui/Clipboard.h"

#include "GUIApplication.h"
#include "platform/gui/QtBitmap.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>

namespace kv {

namespace {

QClipboard& SystemClipboard()
{
    RequireGUIApplication("The clipboard");
    return *QGuiApplication::clipboard();
}

} // namespace

void PutClipboardBitmap(const TBitmap& bitmap)
{
    SystemClipboard().setImage(BitmapToQImage(bitmap));
}

bool ClipboardHasBitmap()
{
    const QMimeData* data = SystemClipboard().mimeData();
    return data != nullptr && data->hasImage();
}

TBitmap ReadClipboardBitmap()
{
    if (!ClipboardHasBitmap())
        throw EKorvelaError("The clipboard holds no picture");
    const QImage image = SystemClipboard().image();
    if (image.isNull())
        throw EKorvelaError("The clipboard holds no picture");
    return QImageToBitmap(image);
}

void PutClipboardText(const std::string& text)
{
    SystemClipboard().setText(QString::fromStdString(text));
}

std::string ReadClipboardText()
{
    return SystemClipboard().text().toStdString();
}

} // namespace kv
