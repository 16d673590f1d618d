#pragma once
// The drawing pieces of the main window: a rectangle shape with a border and a
// fill (the frame that each command button sits on), and the flat command
// button drawn over it.

#include <QColor>
#include <QPushButton>
#include <QWidget>

namespace vidloom::ui {

class ButtonFrame : public QWidget {
    Q_OBJECT
public:
    explicit ButtonFrame(QWidget* parent);

    void setPenColor(const QColor& color);
    void setBrushColor(const QColor& color);
    QColor penColor() const { return pen_; }
    QColor brushColor() const { return brush_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // A new shape has a black border and a white fill.
    QColor pen_{Qt::black};
    QColor brush_{Qt::white};
};

// A flat button: no frame of its own, so the shape under it shows through;
// its hint is its tool tip.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(QWidget* parent, const QString& caption, const QString& hint);
};

} // namespace vidloom::ui
