#include "levelsets/LevelsetPage.h"

#include "shell/MainWindow.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace vantrel {

LevelsetPage::LevelsetPage(AMain& main) : main_(main)
{
    paintLevel_ = new QCheckBox(tr("Paint Levels in Level View"));
    paintLevel_->setObjectName(QStringLiteral("Option_PaintLevel"));
    paintLevel_->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(paintLevel_);
}

bool LevelsetPage::PaintLevels() const
{
    return paintLevel_->isChecked();
}

}  // namespace vantrel
