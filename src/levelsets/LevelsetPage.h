#pragma once

#include <QWidget>

class QCheckBox;

namespace vantrel {

class AMain;

// The "Levelset Manager" page.
class LevelsetPage : public QWidget {
    Q_OBJECT
public:
    explicit LevelsetPage(AMain& main);
    // "Paint Levels in Level View": whether a load draws the level view.
    bool PaintLevels() const;

private:
    AMain& main_;
    QCheckBox* paintLevel_;
};

}  // namespace vantrel
