#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QListWidget;

namespace vantrel {

class AMain;

// The "CE Manager" page: the custom elements of the open level.
class CeManagerPage : public QWidget {
    Q_OBJECT
public:
    explicit CeManagerPage(AMain& main);
    // The CE list of a load: one line per CUS4 chunk, unchecked.
    void SetCeList(const std::vector<std::string>& lines);
    // Back to the empty page (Save and Close).
    void Reset();

private:
    AMain& main_;
    QListWidget* ceList_;
};

}  // namespace vantrel
