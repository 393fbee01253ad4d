#pragma once

#include <QWidget>

namespace vantrel {

// The element palette window (FormEl): the whole element atlas, and the code of every element picture.
class FormEl : public QWidget {
    Q_OBJECT
public:
    explicit FormEl(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace vantrel
