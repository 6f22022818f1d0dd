#pragma once
// The two read-only views of the current DEM: "DEM Information" (its header) and "DEM Error
// Information" (the defects its last load tolerated).

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace kv {

// A scrollable, non-wrapping text box with OK and Help.
class TDEMTextDlg : public QDialog {
public:
    void SetLines(const std::vector<std::string>& lines);
    std::vector<std::string> Lines() const;

protected:
    TDEMTextDlg(QWidget* parent, const QString& caption, const QString& dialogName, const QString& boxName,
                int helpContext, std::function<void(int context)> showHelp);

private:
    QPlainTextEdit* Text_;
};

class TDemInfoDlg : public TDEMTextDlg {
public:
    static constexpr int HelpContext = 3;
    TDemInfoDlg(QWidget* parent, std::function<void(int context)> showHelp);
};

class TDemErrorDlg : public TDEMTextDlg {
public:
    static constexpr int HelpContext = 7;
    TDemErrorDlg(QWidget* parent, std::function<void(int context)> showHelp);
};

} // namespace kv
