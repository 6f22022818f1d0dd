#pragma once
// What the desktop program's tests share: the one QApplication and services that answer the
// program's questions from the test instead of a user.

#include "app/KVServices.h"

#include <QStringList>

#include <functional>

class QApplication;
class QDialog;

namespace kv::test {

// Created on first use; lives until the tests end.
QApplication& TestApplication();

// Records every message and answers file choosers and dialogs as the test says.
struct TRecorder {
    QStringList Informations;
    QStringList Errors;
    QStringList Questions;
    QStringList FileRequests; // titles of the file choosers that were shown
    bool ConfirmAnswer = false;
    QStringList OpenAnswers;  // one per file-open chooser, first first; none left: cancelled
    QStringList SaveAnswers;
    // Runs a modal dialog; by default it is cancelled without showing.
    std::function<int(QDialog&)> OnDialog;

    TAppServices Services();
};

} // namespace kv::test
