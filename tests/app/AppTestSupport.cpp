#include "AppTestSupport.h"

#include <QApplication>
#include <QDialog>

namespace kv::test {

QApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "kv_app_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
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
