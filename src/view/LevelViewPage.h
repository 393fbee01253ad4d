#pragma once

#include <QWidget>

namespace vantrel {

class AMain;
struct LoadReport;

// The "Level View" page: the playfield drawn from the element atlas.
class LevelViewPage : public QWidget {
    Q_OBJECT
public:
    explicit LevelViewPage(AMain& main);
    // Prepares the view after a load: white picture, its size, the scroll ranges, and a redraw when asked.
    void PrepareAfterLoad(const LoadReport& report, bool paint);

private:
    AMain& main_;
};

}  // namespace vantrel
