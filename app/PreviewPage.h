// The third page " 図面": the drawing of the current table as the DXF file will carry it,
// painted from the same entities. Wheel zoom around the cursor, drag to pan, "全体" to fit,
// one tick box per layer, the cell address of a text under the cursor, "画像として保存..." to
// PNG or SVG. The page draws afresh whenever it is shown, so it follows every import, edit,
// conversion and applied setting made on the other pages.
#pragma once

#include "dxf/Drawing.h"
#include "model/CellTable.h"
#include "model/Settings.h"
#include "model/TextGrid.h"

#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QPushButton;

// The canvas: paints a Drawing at a scale and offset of its own.
class DrawingView : public QWidget {
    Q_OBJECT
  public:
    explicit DrawingView(QWidget* parent = nullptr);

    void SetDrawing(sheetlift::Drawing drawing, int firstRow, int firstColumn);
    const sheetlift::Drawing& CurrentDrawing() const { return drawing_; }
    void SetLayerShown(sheetlift::DrawingLayer layer, bool shown);
    bool LayerShown(sheetlift::DrawingLayer layer) const { return shown_[std::size_t(layer)]; }
    // The whole drawing in the view, with a small margin.
    void Fit();
    // Paints the view's picture at `size` (the widget's own size when painting itself).
    void Paint(QPainter& painter, QSize size) const;
    // The A1 address of the cell whose text lies under a point of the widget, or "".
    QString AddressAt(QPointF pos) const;
    // The whole drawing at about 8 pixels per drawing unit (at most 8000 pixels a side), on
    // white.
    QImage Picture() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct View {
        double scale = 1; // pixels per drawing unit
        double left = 0;  // drawing x at the widget's left edge
        double top = 0;   // drawing y at its top edge
    };
    View FitView(QSize size) const;
    void PaintWith(QPainter& painter, QSize size, const View& view) const;
    void Index();

    sheetlift::Drawing drawing_;
    int firstRow_ = 1;
    int firstColumn_ = 1;
    std::array<bool, 3> shown_{true, true, true};
    // Lines per layer, y turned down, ready for QPainter.
    std::array<std::vector<QLineF>, 3> lines_;
    std::vector<QPolygonF> outlines_;
    // Texts in buckets of a coarse grid over the extent, for painting and finding them in part.
    int bucketsX_ = 1;
    int bucketsY_ = 1;
    std::vector<std::vector<std::uint32_t>> buckets_;
    double maxTextHeight_ = 0;
    View view_;
    bool fitted_ = true; // follows the widget's size until the user zooms or pans
    QPoint dragFrom_;
    bool dragging_ = false;
};

class PreviewPage : public QWidget {
    Q_OBJECT
  public:
    // Reads the window's table, texts and settings and the state of "セルを描画" whenever it
    // draws.
    PreviewPage(const sheetlift::CellTable& table, const sheetlift::TextGrid& texts,
                const sheetlift::Settings& settings, std::function<bool()> cellLineDraw,
                QWidget* parent = nullptr);

    // Builds the drawing of the current table afresh.
    void Redraw();
    // PNG, or SVG when the name ends with .svg; the layers shown are the ones ticked. Throws
    // Error naming the file on failure.
    void SaveImage(const QString& path);

    DrawingView* View;
    QPushButton* FitButton;
    std::array<QCheckBox*, 3> LayerBoxes; // by kDrawingLayers
    QPushButton* SaveButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    const sheetlift::CellTable& table_;
    const sheetlift::TextGrid& texts_;
    const sheetlift::Settings& settings_;
    std::function<bool()> cellLineDraw_;
};
