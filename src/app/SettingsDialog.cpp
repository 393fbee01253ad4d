#include "app/SettingsDialog.h"

#include "base/Error.h"
#include "base/UserInterface.h"
#include "gui/base/NamedWidget.h"
#include "gui/base/QtText.h"
#include "levelsets/LevelsetConfig.h"
#include "quote/QuotePost.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vantrel {

SettingsDialog::SettingsDialog(SettingsStore& settings, UserInterface& ui, QWidget* parent)
    : QDialog(parent), settings_(settings), ui_(ui)
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(tr("Settings"));
    auto* form = new QFormLayout(this);
    auto row = [&](QLineEdit* box, const char* browseName, const char* setting) {
        auto* line = new QHBoxLayout;
        line->addWidget(box, 1);
        if (browseName) {
            auto* browse = Named(new QPushButton(tr("Browse...")), browseName);
            connect(browse, &QPushButton::clicked, this, [this, box, setting] { Browse(box, setting); });
            line->addWidget(browse);
        }
        return line;
    };
    dataDir_ = Named(new QLineEdit(FromPath(settings_.ReadSetting(kDataDirSetting))), "Settings_DataDir");
    outputDir_ = Named(new QLineEdit(FromPath(settings_.ReadSetting(kOutputDirSetting))), "Settings_OutputDir");
    imagePrefix_ = Named(new QLineEdit(FromLatin1(ImagePrefix(settings_))), "Settings_ImagePrefix");
    dataDir_->setMinimumWidth(360);
    form->addRow(tr("Game data directory (holds \"levels\"):"), row(dataDir_, "Settings_DataDirBrowse", kDataDirSetting));
    form->addRow(tr("Folder for levels made from forum posts:"),
                 row(outputDir_, "Settings_OutputDirBrowse", kOutputDirSetting));
    form->addRow(tr("Address before Level Sketch image names:"), row(imagePrefix_, nullptr, nullptr));
    auto* buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel), "Settings_Buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Settings_OkClick()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void SettingsDialog::Browse(QLineEdit* box, const char* setting)
{
    const auto chosen = ui_.ChooseDirectory(kSelectDirectoryMessage + std::string(setting), ToPath(box->text()));
    if (!chosen || chosen->empty()) return;
    box->setText(FromPath(box == dataDir_ ? DataDirectoryOf(*chosen) : *chosen));
}

bool SettingsDialog::Settings_OkClick()
{
    const std::string typed = ToPath(dataDir_->text().trimmed());
    const auto dataDir = CheckedDataDirectory(typed);
    if (!dataDir) {
        ui_.Error(NoLevelsFolderMessage(typed));
        return false;
    }
    const std::string outputDir = ToPath(outputDir_->text().trimmed());
    try {
        if (!outputDir.empty() && !MakeDirectoryIfAgreed(outputDir, ui_)) return false;
    } catch (const VantrelError& e) {
        ui_.Error(e.what());
        return false;
    }
    const QString prefix = imagePrefix_->text().trimmed();
    if (!FirstNonLatin1(prefix).isEmpty()) {
        ui_.Error("The address cannot hold the character \"" + ToPath(FirstNonLatin1(prefix)) + "\".");
        return false;
    }
    const bool moved = settings_.ReadSetting(kDataDirSetting) != *dataDir;
    settings_.WriteSetting(kDataDirSetting, *dataDir);
    settings_.WriteSetting(kOutputDirSetting, outputDir);
    settings_.WriteSetting(kImagePrefixSetting, prefix.isEmpty() ? std::string(kDefaultImagePrefix) : ToLatin1(prefix));
    dataDir_->setText(FromPath(*dataDir));
    if (moved) emit dataDirectoryChanged();
    return true;
}

}  // namespace vantrel
