#include "app/KVServices.h"

#include "platform/KVError.h"

#include <QColor>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>
#include <exception>
#include <new>

namespace kv {

namespace {

QString BoxTitle(const QWidget* parent)
{
    return parent && !parent->window()->windowTitle().isEmpty() ? parent->window()->windowTitle()
                                                                : QStringLiteral("Korvela3D");
}

QString RunFileDialog(QWidget* parent, const TFileRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.Title, request.Folder, request.Filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.DefaultExtension);
    if (!request.FileName.isEmpty() && !request.FileName.contains(QLatin1Char('*')))
        dialog.selectFile(request.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

TAppServices DesktopServices(QWidget* parent)
{
    TAppServices services;
    services.Files.OpenFile = [parent](const TFileRequest& request) {
        return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
    };
    services.Files.SaveFile = [parent](const TFileRequest& request) {
        return RunFileDialog(parent, request, QFileDialog::AcceptSave);
    };
    services.Messages.Information = [parent](const QString& text) {
        QMessageBox::information(parent, BoxTitle(parent), text);
    };
    services.Messages.Error = [parent](const QString& text) {
        QMessageBox::critical(parent, BoxTitle(parent), text);
    };
    services.Messages.Confirm = [parent](const QString& question) {
        return QMessageBox::question(parent, BoxTitle(parent), question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    services.RunDialog = [](QDialog& dialog) { return dialog.exec(); };
    services.ChooseColor = [parent](uint32_t& color) {
        const QColor chosen = QColorDialog::getColor(
            QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF)), parent);
        if (!chosen.isValid())
            return false;
        color = uint32_t(chosen.red()) | uint32_t(chosen.green()) << 8 | uint32_t(chosen.blue()) << 16;
        return true;
    };
    return services;
}

QString CurrentExceptionText()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory.");
    } catch (const std::exception& error) {
        return QString::fromStdString(error.what());
    } catch (...) {
        return QStringLiteral("An unknown error occurred.");
    }
}

bool RunCommand(const TMessageSink& messages, const std::function<void()>& command) noexcept
{
    try {
        command();
        return true;
    } catch (...) {
        const QString text = CurrentExceptionText();
        try {
            if (messages.Error)
                messages.Error(text);
            else
                std::fprintf(stderr, "%s\n", qPrintable(text));
        } catch (...) {
            // Showing the message failed too; the command is over either way.
        }
        return false;
    }
}

} // namespace kv
