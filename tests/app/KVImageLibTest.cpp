// The image commands on the main window: "Select Image", the BMP file, the clipboard and a print
// to a real PDF file, with the map page's picture.

#include "app/KVImageLib.h"

#include "AppTestSupport.h"
#include "app/KVMain.h"
#include "app/KVMapView.h"
#include "platform/BMPFile.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Printers.h"
#include "support/TestData.h"

#include <QAbstractButton>
#include <QScrollArea>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

class KVImageLibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::TestApplication();
        TMainOptions options;
        options.SettingsFolder = Settings.Path();
        options.Services = Recorder.Services();
        Form_ = std::make_unique<TForm1>(std::move(options));
        Form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form_.get()));
        Form_->OpenDEMFile(QString::fromStdString((test::SamplesDir() / "jacksboro.dem").string()));
        ASSERT_TRUE(Form_->WaitForOpen(60000));
    }

    // "Select Image" answers with the type, or cancels.
    void Choose(std::optional<TImageType> type)
    {
        Recorder.OnDialog = [type](QDialog& dialog) {
            auto* dlg = dynamic_cast<TChooseImageDlg*>(&dialog);
            if (!dlg || !type)
                return int(QDialog::Rejected);
            dlg->SetImageType(*type);
            return int(QDialog::Accepted);
        };
    }

    TRecorder Recorder;
    TTempDir Settings;
    TTempDir Output;
    std::unique_ptr<TForm1> Form_;
};

TEST_F(KVImageLibTest, OnlyPagesWithAPictureAreOffered)
{
    const TChooseImageDlg& dlg = Form_->ImageOutput().ChooseImageDlg();
    EXPECT_TRUE(dlg.Available(itDEMMap));
    EXPECT_TRUE(dlg.Available(it3DTerrainModel));
    EXPECT_FALSE(dlg.Available(itOverlayScreen));
    EXPECT_EQ(dlg.ImageType(), itDEMMap);
    const auto captions = dlg.findChildren<QAbstractButton*>();
    QStringList texts;
    for (const QAbstractButton* button : captions)
        texts << button->text();
    for (const char* caption : {"DEM Map", "Topo Map", "3D Terrain Model", "Overlay Screen", "OK", "Cancel"})
        EXPECT_TRUE(texts.contains(QLatin1String(caption))) << caption;
    EXPECT_EQ(dlg.windowTitle(), "Select Image");
}

TEST_F(KVImageLibTest, SavingTheMapWritesTheWholePictureAndCopyingTheVisiblePart)
{
    Form_->resize(500, 400); // the map is larger than its scroll window
    QTest::qWait(50);
    const TBitmap& picture = Form_->DEMImage().Picture();

    Choose(itDEMMap);
    Recorder.SaveAnswers << QString::fromStdString((Output / "map.bmp").string());
    ASSERT_TRUE(Form_->ImageOutput().SaveImage());
    EXPECT_EQ(Recorder.FileRequests.last(), "Save Image As BMP");
    const TBitmap saved = LoadBMPFile(Output / "map.bmp");
    ASSERT_EQ(saved.Width(), picture.Width());
    ASSERT_EQ(saved.Height(), picture.Height());
    for (int32_t y : {0, picture.Height() / 2, picture.Height() - 1})
        for (int32_t x : {0, picture.Width() / 3, picture.Width() - 1})
            EXPECT_EQ(saved.GetPixel(x, y), picture.GetPixel(x, y)) << x << "," << y;

    const auto* scroll = Form_->findChild<QScrollArea*>(QStringLiteral("DEMScrollBox"));
    ASSERT_TRUE(Form_->ImageOutput().CopyImage());
    const TBitmap copied = ReadClipboardBitmap();
    EXPECT_EQ(copied.Width(), std::min(scroll->viewport()->width(), picture.Width()));
    EXPECT_EQ(copied.Height(), std::min(scroll->viewport()->height(), picture.Height()));
    EXPECT_LT(copied.Height(), picture.Height());
    EXPECT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join('\n').toStdString();
}

TEST_F(KVImageLibTest, TopoPictureOfferedByItsPageIsCopiedWhole)
{
    EXPECT_FALSE(Form_->ImageOutput().ChooseImageDlg().Available(itTopoMap));
    TBitmap topo(30, 20, pf24bit);
    topo.SetPixel(29, 19, 0x0000FF);
    Form_->OfferTopoPicture([&] { return topo; });
    EXPECT_TRUE(Form_->ImageOutput().ChooseImageDlg().Available(itTopoMap));
    Choose(itTopoMap);
    ASSERT_TRUE(Form_->ImageOutput().CopyImage());
    const TBitmap copied = ReadClipboardBitmap();
    ASSERT_EQ(copied.Width(), 30);
    ASSERT_EQ(copied.Height(), 20);
    EXPECT_EQ(copied.GetPixel(29, 19), 0x0000FFu);

    Form_->OfferTopoPicture({});
    EXPECT_FALSE(Form_->ImageOutput().ChooseImageDlg().Available(itTopoMap));
}

TEST_F(KVImageLibTest, CancelledChoiceWritesNothing)
{
    Choose(std::nullopt);
    Recorder.SaveAnswers << QString::fromStdString((Output / "none.bmp").string());
    EXPECT_FALSE(Form_->ImageOutput().SaveImage());
    EXPECT_FALSE(std::filesystem::exists(Output / "none.bmp"));
    EXPECT_TRUE(Recorder.FileRequests.isEmpty());
}

TEST_F(KVImageLibTest, PrintsTheMapIntoAPDFFile)
{
    const std::filesystem::path pdf = Output / "map.pdf";
    Form_->ImageOutput().SetPrinterChooser([&] {
        return TPrintChoice{std::make_unique<TPrinterSurface>(std::make_unique<TPrinter>(pdf, 150)), true};
    });
    Choose(itDEMMap);
    ASSERT_TRUE(Form_->ImageOutput().PrintImage());
    const std::string text = test::ReadFileText(pdf);
    EXPECT_EQ(text.substr(0, 5), "%PDF-");
    EXPECT_NE(text.find("/Title"), std::string::npos);
    EXPECT_GT(text.size(), 10000u); // a page with a picture, not an empty one
    EXPECT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join('\n').toStdString();
}

} // namespace
} // namespace kv
