#include "AppTestSupport.h"

#include "glview/GLViewer.h"

#include <QApplication>
#include <QDialog>

#include <gtest/gtest.h>

#include <memory>

namespace kv::test {

namespace {

// The application object is made before the first test and destroyed after the last, while
// the rest of Qt still exists (a static one would outlive it).
class TApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { TestApplication(); }
    void TearDown() override { Application.reset(); }
    static inline std::unique_ptr<QApplication> Application;
};

[[maybe_unused]] const auto* const Environment = ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

} // namespace

QApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "kv_app_tests";
    static char* argv[] = {name, nullptr};
    if (!TApplicationEnvironment::Application) {
        SetDefaultSurfaceFormat(); // the 3D page's viewer needs its context format before any widget
        TApplicationEnvironment::Application = std::make_unique<QApplication>(argc, argv);
    }
    return *TApplicationEnvironment::Application;
}

TAppServices TRecorder::Services()
{
    TAppServices services;
    const auto answer = [this](QStringList& answers, const TFileRequest& request) {
        FileRequests << request.Title;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    };
    services.Files.OpenFile = [this, answer](const TFileRequest& request) { return answer(OpenAnswers, request); };
    services.Files.SaveFile = [this, answer](const TFileRequest& request) { return answer(SaveAnswers, request); };
    services.Messages.Information = [this](const QString& text) { Informations << text; };
    services.Messages.Error = [this](const QString& text) { Errors << text; };
    services.Messages.Confirm = [this](const QString& question) {
        Questions << question;
        return ConfirmAnswer;
    };
    services.RunDialog = [this](QDialog& dialog) {
        return OnDialog ? OnDialog(dialog) : int(QDialog::Rejected);
    };
    return services;
}

} // namespace kv::test
