#include "shell/QtUserInterface.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringDecoder>

namespace vantrel {

void QtUserInterface::Message(const std::string& text)
{
    QMessageBox::information(parent_, QStringLiteral("Vantrel"), FromBytes(text), QMessageBox::Ok);
}

bool QtUserInterface::WarningYesNo(const std::string& text)
{
    return QMessageBox::warning(parent_, QStringLiteral("Vantrel"), FromBytes(text),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool QtUserInterface::ConfirmOkCancel(const std::string& text)
{
    return QMessageBox::question(parent_, QStringLiteral("Vantrel"), FromBytes(text),
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

QString FromBytes(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? FromLatin1(bytes) : text;
}

QString FromLatin1(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToLatin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

QString FromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

}  // namespace vantrel
