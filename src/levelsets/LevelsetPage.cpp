#include "levelsets/LevelsetPage.h"

#include "level/LevelDocumentQt.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace vantrel {

LevelsetPage::LevelsetPage(LevelDocumentQt& doc) : doc_(doc)
{
    paintLevel_ = new QCheckBox(tr("Paint Levels in Level View"));
    paintLevel_->setObjectName(QStringLiteral("Option_PaintLevel"));
    paintLevel_->setChecked(doc_.Doc().PaintLevels);
    // Whether a load draws the level view.
    connect(paintLevel_, &QCheckBox::toggled, this, [this](bool on) { doc_.Doc().PaintLevels = on; });
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(paintLevel_);
}

}  // namespace vantrel
