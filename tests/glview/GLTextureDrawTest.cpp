// Loading a picture into a texture through the window: the "Loading Bitmap" window shows while a
// decoder runs and is gone afterwards, also when the file is refused.

#include "glview/GLTextureDraw.h"

#include "platform/KVError.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace kv {
namespace {

// Records the progress windows shown and the bar positions they painted.
class TProgressWatcher : public QObject {
public:
    TProgressWatcher() { qApp->installEventFilter(this); }
    ~TProgressWatcher() override { qApp->removeEventFilter(this); }

    std::vector<QString> Titles;
    std::vector<int> Positions;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("BitmapProgress"))
            Titles.push_back(static_cast<QWidget*>(watched)->windowTitle());
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("ProgressBar"))
            Positions.push_back(static_cast<QProgressBar*>(watched)->value());
        return false;
    }
};

int ProgressWindows()
{
    int n = 0;
    for (const QWidget* w : QApplication::topLevelWidgets())
        n += w->objectName() == QLatin1String("BitmapProgress") ? 1 : 0;
    return n;
}

TEST(GLTextureDrawTest, LoadingWindowShowsWhileAPictureDecodesAndGoesAfterwards)
{
    QTemporaryDir dir;
    QImage picture(40, 300, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    const QString png = dir.filePath(QStringLiteral("picture.png"));
    const QString bmp = dir.filePath(QStringLiteral("picture.bmp"));
    ASSERT_TRUE(picture.save(png));
    ASSERT_TRUE(picture.save(bmp));
    const QString broken = dir.filePath(QStringLiteral("broken.png"));
    std::ofstream(broken.toStdString(), std::ios::binary) << "\x89PNG\r\n\x1a\n not a picture";

    {
        TProgressWatcher watcher;
        TGLObjectTexture texture;
        LoadTextureFile(texture, png.toStdString(), true);
        EXPECT_EQ(texture.Width, 40);
        EXPECT_EQ(texture.Height, 300);
        ASSERT_EQ(watcher.Titles.size(), 1u);
        EXPECT_EQ(watcher.Titles[0], QStringLiteral("Loading Bitmap"));
        ASSERT_FALSE(watcher.Positions.empty());
        EXPECT_EQ(watcher.Positions.back(), 100);
        EXPECT_EQ(ProgressWindows(), 0);
    }
    {
        TProgressWatcher watcher;
        TGLObjectTexture texture;
        EXPECT_THROW(LoadTextureFile(texture, broken.toStdString(), true), EKorvelaError);
        EXPECT_EQ(watcher.Titles.size(), 1u);
        EXPECT_EQ(ProgressWindows(), 0);
    }
    {
        // Windows bitmaps load at once, without the window.
        TProgressWatcher watcher;
        TGLObjectTexture texture;
        LoadTextureFile(texture, bmp.toStdString(), true);
        EXPECT_EQ(texture.Width, 40);
        EXPECT_TRUE(watcher.Titles.empty());
    }
}

} // namespace
} // namespace kv
