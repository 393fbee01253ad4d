#pragma once

#include <QWidget>

class QCheckBox;

namespace vantrel {

class LevelDocumentQt;

// The "Levelset Manager" page.
class LevelsetPage : public QWidget {
    Q_OBJECT
public:
    explicit LevelsetPage(LevelDocumentQt& doc);

private:
    LevelDocumentQt& doc_;
    QCheckBox* paintLevel_;
};

}  // namespace vantrel
