#pragma once

#include <QWidget>

namespace vantrel {

class LevelDocumentQt;

// The "Calcing and Counting" page: the counter creator.
class CounterPage : public QWidget {
    Q_OBJECT
public:
    explicit CounterPage(LevelDocumentQt& doc);

private:
    LevelDocumentQt& doc_;
};

}  // namespace vantrel
