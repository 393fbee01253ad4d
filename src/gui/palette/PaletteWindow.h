// The element palette window (objectName FormEl): the whole element atlas,
// the code and name of every element picture, and the element that painting
// in the level view writes. Moving the pointer over a tile shows its code in
// the title and its code and name in the hint; a click selects the element
// (its id goes into CheckElId, its tile into El2, its code and name into the
// title, which names it again when the pointer leaves the atlas), and "Check
// It" selects the element of the id typed there and says under the box how
// the id was read.
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
class LevelDocumentQt;

// El: the atlas, reporting pointer moves and presses to the window.
class AtlasPicture : public QWidget {
    Q_OBJECT
public:
    AtlasPicture(PaletteWindow& form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    PaletteWindow& form_;
    QImage picture_;
};

class PaletteWindow : public QWidget {
    Q_OBJECT
public:
    explicit PaletteWindow(LevelDocumentQt& doc, QWidget* parent = nullptr);

    void ElMouseMove(QPoint at);
    // The pointer left the atlas: the title names the selected element again.
    void ElMouseLeave();
    void ElMouseDown(Qt::MouseButton button);
    void DoCheckClick();

    std::uint16_t PaletteCode() const { return paletteCode_; }
    const std::string& PaletteIdText() const { return paletteIdText_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowTile(std::uint16_t code);
    // Shows the selected element: title, entry and tile.
    void ShowSelected(std::uint16_t code);

    LevelDocumentQt& doc_;
    AtlasPicture* atlas_;
    QLabel* chosenTile_;
    QLineEdit* checkElId_;
    QPushButton* doCheck_;
    QLabel* meaning_;  // what Check It made of the entry
    QString selectedTitle_;  // the title that names the selected element, or the window's name
    std::uint16_t paletteCode_ = 0;
    bool echo_ = true;  // a selection made elsewhere is shown here
    std::string paletteIdText_;
};

}  // namespace vantrel
