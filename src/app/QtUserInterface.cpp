#include "app/QtUserInterface.h"

#include "gui/base/QtText.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vantrel {

namespace {

// A message of the core as the box shows it: its line breaks (CR LF, LF or a lone CR) as lines.
QString BoxText(const std::string& text)
{
    QString s = FromBytes(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

}  // namespace

void QtUserInterface::Message(const std::string& text)
{
    QMessageBox::information(parent_, QStringLiteral("Vantrel"), BoxText(text), QMessageBox::Ok);
}

void QtUserInterface::Error(const std::string& text)
{
    QMessageBox::warning(parent_, QStringLiteral("Vantrel"), BoxText(text), QMessageBox::Ok);
}

bool QtUserInterface::WarningYesNo(const std::string& text)
{
    return QMessageBox::warning(parent_, QStringLiteral("Vantrel"), BoxText(text),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool QtUserInterface::ConfirmOkCancel(const std::string& text)
{
    return QMessageBox::question(parent_, QStringLiteral("Vantrel"), BoxText(text),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<std::string> QtUserInterface::ChooseFile(const std::string& title, const std::string& filterName,
                                                       const std::string& pattern, const std::string& initialDir)
{
    const QString filter = FromBytes(filterName) + QStringLiteral(" (") + FromBytes(pattern) + QStringLiteral(")");
    const QString chosen = QFileDialog::getOpenFileName(parent_, FromBytes(title), FromPath(initialDir), filter);
    if (chosen.isEmpty()) return std::nullopt;
    return ToPath(chosen);
}

std::optional<std::string> QtUserInterface::ChooseDirectory(const std::string& title, const std::string& initialDir)
{
    const QString chosen = QFileDialog::getExistingDirectory(parent_, FromBytes(title), FromPath(initialDir));
    if (chosen.isEmpty()) return std::nullopt;
    return ToPath(chosen);
}

}  // namespace vantrel
