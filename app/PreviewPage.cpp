#include "app/PreviewPage.h"

#include "app/MainWindow.h"
#include "app/WindowHelpers.h"
#include "dxf/LegacyText.h"
#include "dxf/TableSvg.h"
#include "model/Error.h"
#include "model/FileIO.h"

#include <QBuffer>
#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <map>

using namespace sheetlift;
using window::Named;

namespace {

// Texts smaller than this many pixels are left out: they would be unreadable specks, and at a
// whole-table view there are far too many of them to paint in time.
constexpr double kSmallestTextPixels = 4;
constexpr int kMaxBuckets = 128;

const QColor kLayerColours[] = {QColor(0x66, 0x66, 0x66), Qt::black, Qt::black}; // by layer

QFont TextFont(int pixels) {
    QFont font;
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                      QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("sans-serif")});
    font.setPixelSize(std::max(pixels, 1));
    return font;
}

// Records the texts as the DXF file shows them ("?" for what the code page cannot carry).
class ShownRecorder : public DrawingRecorder {
  public:
    using DrawingRecorder::DrawingRecorder;
    void Text(const DrawingText& text) override {
        DrawingText shown = text;
        shown.text = lines_.Shown(text);
        DrawingRecorder::Text(shown);
    }

  private:
    LegacyLines lines_;
};

} // namespace

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(100, 80);
}

void DrawingView::SetDrawing(Drawing drawing, int firstRow, int firstColumn) {
    drawing_ = std::move(drawing);
    firstRow_ = firstRow;
    firstColumn_ = firstColumn;
    Index();
    if (fitted_)
        Fit();
    update();
}

void DrawingView::Index() {
    for (auto& lines : lines_)
        lines.clear();
    for (const DrawingLine& l : drawing_.lines)
        lines_[std::size_t(l.layer)].emplace_back(l.start.x, l.start.y, l.end.x, l.end.y);
    outlines_.clear();
    for (const DrawingOutline& o : drawing_.outlines) {
        QPolygonF polygon;
        for (const TAcadPoint& p : o.corners)
            polygon << QPointF(p.x, p.y);
        outlines_.push_back(polygon);
    }
    maxTextHeight_ = 0;
    for (const Drawing::Text& t : drawing_.texts)
        maxTextHeight_ = std::max(maxTextHeight_, t.height);
    const DrawingExtent& e = drawing_.extent;
    const double w = std::max(e.maxX - e.minX, 1e-9), h = std::max(e.maxY - e.minY, 1e-9);
    bucketsX_ = std::clamp(int(std::sqrt(double(drawing_.texts.size()) * w / h)), 1, kMaxBuckets);
    bucketsY_ = std::clamp(int(std::sqrt(double(drawing_.texts.size()) * h / w)), 1, kMaxBuckets);
    buckets_.assign(std::size_t(bucketsX_) * bucketsY_, {});
    for (std::size_t k = 0; k < drawing_.texts.size(); ++k) {
        const TAcadPoint& p = drawing_.texts[k].point;
        const int bx = std::clamp(int((p.x - e.minX) / w * bucketsX_), 0, bucketsX_ - 1);
        const int by = std::clamp(int((p.y - e.minY) / h * bucketsY_), 0, bucketsY_ - 1);
        buckets_[std::size_t(by) * bucketsX_ + bx].push_back(std::uint32_t(k));
    }
}

void DrawingView::SetLayerShown(DrawingLayer layer, bool shown) {
    shown_[std::size_t(layer)] = shown;
    update();
}

DrawingView::View DrawingView::FitView(QSize size) const {
    const DrawingExtent& e = drawing_.extent;
    const double w = e.maxX - e.minX, h = e.maxY - e.minY;
    const double margin = std::max(1.0, 0.02 * std::max(w, h));
    View v;
    v.scale = std::min(size.width() / (w + 2 * margin), size.height() / (h + 2 * margin));
    v.left = (e.minX + e.maxX) / 2 - size.width() / v.scale / 2;
    v.top = (e.minY + e.maxY) / 2 + size.height() / v.scale / 2;
    return v;
}

void DrawingView::Fit() {
    view_ = FitView(size());
    fitted_ = true;
    update();
}

void DrawingView::resizeEvent(QResizeEvent*) {
    if (fitted_)
        view_ = FitView(size());
}

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter, size());
}

void DrawingView::Paint(QPainter& painter, QSize size) const {
    PaintWith(painter, size, view_);
}

void DrawingView::PaintWith(QPainter& painter, QSize size, const View& v) const {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    if (drawing_.extent.empty)
        return;
    // Drawing units to pixels, y turned down.
    painter.setTransform(QTransform(v.scale, 0, 0, -v.scale, -v.left * v.scale, v.top * v.scale));
    const double right = v.left + size.width() / v.scale;
    const double bottom = v.top - size.height() / v.scale;
    const QRectF visible(QPointF(v.left, bottom), QPointF(right, v.top));
    std::vector<QLineF> shown;
    for (const DrawingLayer layer : {DrawingLayer::CellLine, DrawingLayer::BordLine}) {
        if (!shown_[std::size_t(layer)])
            continue;
        QPen pen(kLayerColours[std::size_t(layer)], 0); // one pixel at every scale
        painter.setPen(pen);
        // Lines along the axes fall on whole pixels and stay crisp without antialiasing, which
        // would only blur them (and costs most at a whole-table view, where they are dense);
        // diagonals are antialiased.
        for (const bool slanted : {false, true}) {
            shown.clear();
            for (const QLineF& l : lines_[std::size_t(layer)])
                if ((l.x1() != l.x2() && l.y1() != l.y2()) == slanted &&
                    std::max(l.x1(), l.x2()) >= visible.left() &&
                    std::min(l.x1(), l.x2()) <= visible.right() &&
                    std::max(l.y1(), l.y2()) >= visible.top() &&
                    std::min(l.y1(), l.y2()) <= visible.bottom())
                    shown.push_back(l);
            painter.setRenderHint(QPainter::Antialiasing, slanted);
            painter.drawLines(shown.data(), int(shown.size()));
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (layer == DrawingLayer::CellLine) {
            painter.setBrush(Qt::NoBrush);
            for (const QPolygonF& o : outlines_)
                if (o.boundingRect().intersects(visible))
                    painter.drawPolygon(o);
        }
    }
    painter.resetTransform();
    if (!shown_[std::size_t(DrawingLayer::CellText)] ||
        maxTextHeight_ * v.scale < kSmallestTextPixels)
        return;
    // Texts whose point lies within the view, or a view's width to its left (left-aligned
    // texts run to the right).
    const DrawingExtent& e = drawing_.extent;
    const double w = std::max(e.maxX - e.minX, 1e-9), h = std::max(e.maxY - e.minY, 1e-9);
    const double reach = right - v.left;
    const auto bucketX = [&](double x) {
        return std::clamp(int((x - e.minX) / w * bucketsX_), 0, bucketsX_ - 1);
    };
    const auto bucketY = [&](double y) {
        return std::clamp(int((y - e.minY) / h * bucketsY_), 0, bucketsY_ - 1);
    };
    std::map<int, std::pair<QFont, QFontMetricsF>> fonts;
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (int by = bucketY(bottom - reach); by <= bucketY(v.top + reach); ++by)
        for (int bx = bucketX(v.left - reach); bx <= bucketX(right + reach); ++bx)
            for (const std::uint32_t k : buckets_[std::size_t(by) * bucketsX_ + bx]) {
                const Drawing::Text& t = drawing_.texts[k];
                const double pixels = t.height * v.scale;
                const double x0 = t.point.x;
                if (pixels < kSmallestTextPixels || t.point.y - t.height > v.top ||
                    t.point.y + t.height < bottom ||
                    (t.align == TextAlign::MiddleLeft && x0 > right) ||
                    (t.align == TextAlign::MiddleRight && x0 < v.left))
                    continue;
                const int size = int(std::lround(pixels));
                auto font = fonts.find(size);
                if (font == fonts.end()) {
                    const QFont f = TextFont(size);
                    font = fonts.emplace(size, std::make_pair(f, QFontMetricsF(f))).first;
                }
                painter.setFont(font->second.first);
                const QString text = QString::fromUtf8(drawing_.TextOf(t));
                double x = (t.point.x - v.left) * v.scale;
                if (t.align != TextAlign::MiddleLeft) {
                    const double advance = font->second.second.horizontalAdvance(text);
                    x -= t.align == TextAlign::MiddleCentre ? advance / 2 : advance;
                }
                // The point is the middle of the text's height, as in the SVG picture.
                const double y = (v.top - t.point.y) * v.scale + pixels / 2;
                painter.drawText(QPointF(x, y), text);
            }
}

QString DrawingView::AddressAt(QPointF pos) const {
    if (drawing_.texts.empty() || !shown_[std::size_t(DrawingLayer::CellText)])
        return {};
    const double px = view_.left + pos.x() / view_.scale;
    const double py = view_.top - pos.y() / view_.scale;
    const QFontMetricsF metrics(TextFont(100));
    const Drawing::Text* hit = nullptr;
    for (const Drawing::Text& t : drawing_.texts) {
        if (std::fabs(t.point.y - py) > t.height / 2 || t.height * view_.scale < 1)
            continue;
        const double width =
            metrics.horizontalAdvance(QString::fromUtf8(drawing_.TextOf(t))) * t.height / 100;
        const double x0 = t.align == TextAlign::MiddleLeft     ? t.point.x
                          : t.align == TextAlign::MiddleCentre ? t.point.x - width / 2
                                                               : t.point.x - width;
        if (px >= x0 && px <= x0 + width)
            hit = &t; // the last one is painted on top
    }
    if (!hit)
        return {};
    return QString::fromStdString(CellAddress(firstRow_ + hit->row, firstColumn_ + hit->column));
}

QImage DrawingView::Picture() const {
    const DrawingExtent& e = drawing_.extent;
    const double w = e.maxX - e.minX, h = e.maxY - e.minY;
    const double margin = std::max(1.0, 0.02 * std::max(w, h));
    const double scale = std::min(8.0, 8000 / (std::max(w, h) + 2 * margin));
    const QSize size(std::max(1, int(std::ceil((w + 2 * margin) * scale))),
                     std::max(1, int(std::ceil((h + 2 * margin) * scale))));
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintWith(painter, size, FitView(size));
    return image;
}

void DrawingView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0 || drawing_.extent.empty)
        return;
    // The drawing point under the cursor stays where it is.
    const QPointF pos = event->position();
    const double x = view_.left + pos.x() / view_.scale, y = view_.top - pos.y() / view_.scale;
    view_.scale = std::clamp(view_.scale * std::pow(1.25, steps), 1e-4, 1e4);
    view_.left = x - pos.x() / view_.scale;
    view_.top = y + pos.y() / view_.scale;
    fitted_ = false;
    update();
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragFrom_ = event->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
    }
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    const QPoint now = event->position().toPoint();
    view_.left -= (now.x() - dragFrom_.x()) / view_.scale;
    view_.top += (now.y() - dragFrom_.y()) / view_.scale;
    dragFrom_ = now;
    fitted_ = false;
    update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        unsetCursor();
    }
}

bool DrawingView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString address = AddressAt(help->pos());
        if (address.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), address, this);
        return true;
    }
    return QWidget::event(event);
}

PreviewPage::PreviewPage(const CellTable& table, const TextGrid& texts, const Settings& settings,
                         std::function<bool()> cellLineDraw, QWidget* parent)
    : QWidget(parent), table_(table), texts_(texts), settings_(settings),
      cellLineDraw_(std::move(cellLineDraw)) {
    View = Named(new DrawingView(this), "DrawingView");
    FitButton = Named(new QPushButton(QStringLiteral("全体"), this), "FitButton");
    SaveButton = Named(new QPushButton(QStringLiteral("画像として保存..."), this), "SaveButton");
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(FitButton);
    for (std::size_t k = 0; k < kDrawingLayers.size(); ++k) {
        const DrawingLayer layer = kDrawingLayers[k];
        LayerBoxes[k] = new QCheckBox(QString::fromLatin1(LayerName(layer)), this);
        LayerBoxes[k]->setObjectName(QString::fromLatin1(LayerName(layer)));
        LayerBoxes[k]->setChecked(true);
        connect(LayerBoxes[k], &QCheckBox::toggled, this,
                [this, layer](bool on) { View->SetLayerShown(layer, on); });
        bar->addWidget(LayerBoxes[k]);
    }
    bar->addStretch();
    bar->addWidget(SaveButton);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addLayout(bar);
    page->addWidget(View, 1);
    connect(FitButton, &QPushButton::clicked, View, &DrawingView::Fit);
    connect(SaveButton, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("画像として保存"), QString(),
                                         QStringLiteral("PNG 画像 (*.png);;SVG 画像 (*.svg)"));
        if (path.isEmpty())
            return;
        if (auto* form = qobject_cast<TForm1*>(window()))
            form->Guard([&] { SaveImage(path); });
        else
            SaveImage(path);
    });
}

void PreviewPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Redraw();
}

void PreviewPage::Redraw() {
    Drawing drawing;
    ShownRecorder recorder(drawing);
    DrawTable(table_, texts_, settings_, cellLineDraw_(), recorder);
    View->SetDrawing(std::move(drawing), table_.firstRow, table_.firstColumn);
}

void PreviewPage::SaveImage(const QString& path) {
    const std::filesystem::path file(path.toStdU16String());
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        SvgOptions options;
        for (std::size_t k = 0; k < kDrawingLayers.size(); ++k)
            options.layerShown[std::size_t(kDrawingLayers[k])] = LayerBoxes[k]->isChecked();
        WriteTableSvg(table_, texts_, settings_, cellLineDraw_(), file, options);
        return;
    }
    const QImage picture = View->Picture();
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "PNG"))
            throw Error(ErrorCode::FileWrite, {DisplayPath(file)});
    }
    WriteFileAtomic(file, std::string_view(png.constData(), std::size_t(png.size())));
}
