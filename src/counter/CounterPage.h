#pragma once

#include <QWidget>

namespace vantrel {

class AMain;

// The "Calcing and Counting" page: the counter creator.
class CounterPage : public QWidget {
    Q_OBJECT
public:
    explicit CounterPage(AMain& main);

private:
    AMain& main_;
};

}  // namespace vantrel
