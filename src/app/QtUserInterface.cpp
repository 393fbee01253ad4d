#include "app/QtUserInterface.h"

#include "gui/base/QtText.h"

#include <QFileDialog>
#include <QFileInfo>
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

// A directory chooser that takes a typed directory which does not exist yet:
// the caller then offers to create it.
class DirectoryChooser : public QFileDialog {
public:
    DirectoryChooser(QWidget* parent, const QString& title, const QString& start) : QFileDialog(parent, title, start)
    {
        setObjectName(QStringLiteral("DirectoryChooser"));
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
        setOption(QFileDialog::DontUseNativeDialog);  // a native chooser would refuse the typed name
    }
    QString Chosen() const { return chosen_; }

    void accept() override
    {
        const QStringList files = selectedFiles();
        chosen_ = files.isEmpty() ? QString() : files.first();
        if (!chosen_.isEmpty() && !QFileInfo::exists(chosen_))
            QDialog::accept();  // created (or not) once the user was asked
        else
            QFileDialog::accept();
    }

private:
    QString chosen_;
};

std::optional<std::string> ChooseDirectoryWith(DirectoryChooser& chooser)
{
    if (chooser.exec() != QDialog::Accepted || chooser.Chosen().isEmpty()) return std::nullopt;
    return ToPath(chooser.Chosen());
}

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

UserInterface::Answer QtUserInterface::WarningYesNoCancel(const std::string& text)
{
    switch (QMessageBox::warning(parent_, QStringLiteral("Vantrel"), BoxText(text),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
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
    DirectoryChooser chooser(parent_, FromBytes(title), FromPath(initialDir));
    return ChooseDirectoryWith(chooser);
}

}  // namespace vantrel
