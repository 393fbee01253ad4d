#pragma once

#include "counter/Counter.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace vantrel {

class LevelDocumentQt;

// The "Calcing and Counting" page: the counter creator. The user picks the
// steps per digit, a list of increments and the first CE number; the create
// button appends the counter's custom elements to the open level's file.
class CounterPage : public QWidget {
    Q_OBJECT
public:
    explicit CounterPage(LevelDocumentQt& doc);

    // Events.
    // A change of the digit count, steps, special change or current change:
    // the create button says how many CEs the run needs.
    void CC_DigitCountChange();
    void CC_CreateModeChange();
    // "Add Increament": appends the current change to the list, up to 16 lines.
    void CC_AddIncClick();
    // A key in the increments list: Delete removes the selected line.
    void CC_ChangeIncKeyDown(int key);
    // The create button: the run on the open level, its message, the lines it added.
    void CC_DoCreateClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The increments list shows increments_.
    void ShowIncrements();
    CounterSettings Settings() const;
    // The start box proposes the first run of CE numbers the level does not use.
    void ProposeStart();

    LevelDocumentQt& doc_;
    QSpinBox* digitCount_ = nullptr;
    QSpinBox* digitSteps_ = nullptr;
    QSpinBox* specialChange_ = nullptr;
    QListWidget* changeInc_ = nullptr;
    std::vector<std::int32_t> increments_{1};  // the increments list, one a line
    QSpinBox* currentChange_ = nullptr;
    QPushButton* addInc_ = nullptr;
    QSpinBox* startWriteAt_ = nullptr;
    QComboBox* createMode_ = nullptr;
    QPushButton* doCreate_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
};

}  // namespace vantrel
