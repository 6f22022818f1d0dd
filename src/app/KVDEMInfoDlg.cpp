#include "app/KVDEMInfoDlg.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

TDEMTextDlg::TDEMTextDlg(QWidget* parent, const QString& caption, const QString& dialogName, const QString& boxName,
                         int helpContext, std::function<void(int context)> showHelp)
    : QDialog(parent)
{
    setObjectName(dialogName);
    setWindowTitle(caption);
    Text_ = new QPlainTextEdit(this);
    Text_->setObjectName(boxName);
    Text_->setReadOnly(true);
    Text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [showHelp, helpContext] {
        if (showHelp)
            showHelp(helpContext);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text_);
    layout->addWidget(buttons);
    resize(460, 420);
}

void TDEMTextDlg::SetLines(const std::vector<std::string>& lines)
{
    QStringList text;
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    Text_->setPlainText(text.join(QLatin1Char('\n')));
}

std::vector<std::string> TDEMTextDlg::Lines() const
{
    std::vector<std::string> lines;
    const QString text = Text_->toPlainText();
    if (text.isEmpty())
        return lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.push_back(line.toStdString());
    return lines;
}

TDemInfoDlg::TDemInfoDlg(QWidget* parent, std::function<void(int context)> showHelp)
    : TDEMTextDlg(parent, QStringLiteral("DEM Information"), QStringLiteral("DemInfoDlg"), QStringLiteral("DEMInfo"),
                  HelpContext, std::move(showHelp))
{
}

TDemErrorDlg::TDemErrorDlg(QWidget* parent, std::function<void(int context)> showHelp)
    : TDEMTextDlg(parent, QStringLiteral("DEM Error Information"), QStringLiteral("DemErrorDlg"),
                  QStringLiteral("DEMErrorMemo"), HelpContext, std::move(showHelp))
{
}

} // namespace kv
