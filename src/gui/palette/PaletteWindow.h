// The element palette window (objectName FormEl): the whole element atlas, and the code
// of every element picture. Moving the pointer over a tile shows its code in
// the title and the hint, a click puts the id into CheckElId and the tile into
// El2, and "Check It" shows the tile of the id typed there.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrel {

class PaletteWindow;
class UserInterface;

// El: the atlas, reporting pointer moves and presses to the window.
class AtlasPicture : public QWidget {
    Q_OBJECT
public:
    AtlasPicture(PaletteWindow& form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    PaletteWindow& form_;
    QImage picture_;
};

class PaletteWindow : public QWidget {
    Q_OBJECT
public:
    explicit PaletteWindow(UserInterface& ui, QWidget* parent = nullptr);

    void ElMouseMove(QPoint at);
    void ElMouseDown(Qt::MouseButton button);
    void DoCheckClick();

    std::uint16_t PaletteCode() const { return paletteCode_; }
    const std::string& PaletteIdText() const { return paletteIdText_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowTile(std::uint16_t code);

    UserInterface& ui_;
    AtlasPicture* atlas_;
    QLabel* chosenTile_;
    QLineEdit* checkElId_;
    QPushButton* doCheck_;
    std::uint16_t paletteCode_ = 0;
    std::string paletteIdText_;
};

}  // namespace vantrel
