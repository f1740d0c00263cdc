#pragma once
// A drawing surface for tests: it draws nothing and logs every call with its exact
// arguments, so drawing code can be checked call by call.
//
//   CRecordingSurface surface;
//   DrawSomething(surface, ...);
//   EXPECT_EQ(surface.DrawLog(), (std::vector<std::string>{
//       "Line (10,20)-(30,20) solid/1 rgb(192,0,0)",
//   }));
//   surface.CallsOf(DrawCall::Kind::Ellipse)[0].rect ...
//
// Fonts get fixed, predictable metrics (see FakeMetrics) so text placement can be
// computed by hand.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "render/DrawSurface.h"

namespace qurix {

struct DrawCall {
    enum class Kind {
        FillRect,
        Polyline,
        Rectangle,
        Ellipse,
        Polygon,
        Arc,
        MakeFont,
        TextExtent,
        FontAscent,
        DrawString,
        StretchMonoBitmap,
    };

    DrawCall() = default;
    explicit DrawCall(Kind k) : kind(k) {}

    Kind kind = Kind::FillRect;
    std::vector<Point> points;  // Polyline, Polygon; Arc: start, end; DrawString: cell corner
    Rect rect;                  // FillRect, Rectangle, Ellipse, Arc, StretchMonoBitmap
    Pen pen;
    Brush brush;
    Colour colour = 0;              // FillRect, DrawString, StretchMonoBitmap
    LogFont font;                   // every font call: the description of the font used
    std::string text;               // TextExtent, DrawString
    std::vector<std::string> rows;  // StretchMonoBitmap: '#' set, '.' clear

    bool IsDrawing() const {
        return kind != Kind::MakeFont && kind != Kind::TextExtent && kind != Kind::FontAscent;
    }

    static std::string PointText(Point p) {
        std::string s = "(";  // built by appending: g++ 12 -O3 warns on "(" + string
        s += std::to_string(p.x);
        s += ',';
        s += std::to_string(p.y);
        return s + ")";
    }
    static std::string RectText(const Rect& r) {
        return PointText(Point{r.left, r.top}) + "-" + PointText(Point{r.right, r.bottom});
    }
    static std::string ColourText(Colour c) {
        return "rgb(" + std::to_string(ColourRed(c)) + "," + std::to_string(ColourGreen(c)) + "," +
               std::to_string(ColourBlue(c)) + ")";
    }
    static std::string PenText(const Pen& p) {
        std::string s;
        switch (p.style) {
            case PenStyle::Solid:
                s = "solid/" + std::to_string(p.width);
                break;
            case PenStyle::Dotted:
                s = "dotted/" + std::to_string(p.width);
                break;
            case PenStyle::Dashed:
                s = "dashed/" + std::to_string(p.width) + "/" + std::to_string(p.dash) + ":" +
                    std::to_string(p.gap);
                break;
        }
        return s + " " + ColourText(p.colour);
    }
    static std::string BrushText(const Brush& b) {
        switch (b.kind) {
            case BrushKind::Null:
                return "null";
            case BrushKind::Solid:
                return "solid " + ColourText(b.colour);
            case BrushKind::StockBlack:
                return "black";
            case BrushKind::StockWhite:
                return "white";
        }
        return "?";
    }
    static std::string FontText(const LogFont& f) {
        std::string s = "h=" + std::to_string(f.height) + " wt=" + std::to_string(f.weight);
        if (f.italic) s += " italic";
        if (f.escapement) s += " esc=" + std::to_string(f.escapement);
        return s + " '" + f.FaceName() + "'";
    }
    static std::string PointsText(const std::vector<Point>& pts) {
        std::string s;
        for (size_t i = 0; i < pts.size(); ++i) {
            if (i) s += '-';
            s += PointText(pts[i]);
        }
        return s;
    }

    // One line, e.g. "Rectangle (0,0)-(10,10) solid/0 rgb(0,0,0) null".
    std::string ToString() const {
        switch (kind) {
            case Kind::FillRect:
                return "FillRect " + RectText(rect) + " " + ColourText(colour);
            case Kind::Polyline:
                return std::string(points.size() == 2 ? "Line " : "Polyline ") +
                       PointsText(points) + " " + PenText(pen);
            case Kind::Rectangle:
                return "Rectangle " + RectText(rect) + " " + PenText(pen) + " " + BrushText(brush);
            case Kind::Ellipse:
                return "Ellipse " + RectText(rect) + " " + PenText(pen) + " " + BrushText(brush);
            case Kind::Polygon:
                return "Polygon " + PointsText(points) + " " + PenText(pen) + " " +
                       BrushText(brush);
            case Kind::Arc:
                return "Arc " + RectText(rect) + " " + PointText(points.at(0)) + ">" +
                       PointText(points.at(1)) + " " + PenText(pen);
            case Kind::MakeFont:
                return "MakeFont " + FontText(font);
            case Kind::TextExtent:
                return "TextExtent '" + text + "' " + FontText(font);
            case Kind::FontAscent:
                return "FontAscent " + FontText(font);
            case Kind::DrawString:
                return "DrawString " + PointText(points.at(0)) + " '" + text + "' " +
                       ColourText(colour) + " " + FontText(font);
            case Kind::StretchMonoBitmap: {
                std::string s = "Bitmap " + RectText(rect) + " " + ColourText(colour) + " [";
                for (size_t i = 0; i < rows.size(); ++i) s += (i ? "|" : "") + rows[i];
                return s + "]";
            }
        }
        return "?";
    }
};

inline std::ostream& operator<<(std::ostream& os, const DrawCall& call) {
    return os << call.ToString();
}

class CRecordingSurface : public CDrawSurface {
public:
    // Metrics of the fonts made here. em = |height| (12 when 0); each byte advances
    // em / 2 (at least 1); the cell is em + em / 4 high with an ascent of em. Escapement
    // does not change them.
    struct FakeMetrics {
        int32_t advance;
        int32_t cellHeight;
        int32_t ascent;
    };
    static FakeMetrics MetricsOf(const LogFont& font) {
        int64_t h = font.height;
        if (h < 0) h = -h;
        if (h == 0) h = 12;
        const auto em = static_cast<int32_t>(h > 100000 ? 100000 : h);
        return FakeMetrics{em / 2 > 0 ? em / 2 : 1, em + em / 4, em};
    }

    std::vector<DrawCall> calls;

    // Fonts made here that are still alive.
    int32_t LiveFonts() const { return *liveFonts_; }

    void Clear() { calls.clear(); }
    std::vector<DrawCall> CallsOf(DrawCall::Kind kind) const {
        std::vector<DrawCall> out;
        for (const DrawCall& c : calls)
            if (c.kind == kind) out.push_back(c);
        return out;
    }
    int32_t CountOf(DrawCall::Kind kind) const {
        return static_cast<int32_t>(CallsOf(kind).size());
    }
    // Every call, printed.
    std::vector<std::string> Log() const {
        std::vector<std::string> out;
        for (const DrawCall& c : calls) out.push_back(c.ToString());
        return out;
    }
    // Only the calls that would change pixels, printed.
    std::vector<std::string> DrawLog() const {
        std::vector<std::string> out;
        for (const DrawCall& c : calls)
            if (c.IsDrawing()) out.push_back(c.ToString());
        return out;
    }

    void FillRect(const Rect& rect, Colour colour) override {
        DrawCall c(DrawCall::Kind::FillRect);
        c.rect = rect;
        c.colour = colour;
        calls.push_back(std::move(c));
    }
    void Polyline(std::span<const Point> points, const Pen& pen) override {
        DrawCall c(DrawCall::Kind::Polyline);
        c.points.assign(points.begin(), points.end());
        c.pen = pen;
        calls.push_back(std::move(c));
    }
    void Rectangle(const Rect& box, const Pen& pen, const Brush& brush) override {
        RecordBox(DrawCall::Kind::Rectangle, box, pen, brush);
    }
    void Ellipse(const Rect& box, const Pen& pen, const Brush& brush) override {
        RecordBox(DrawCall::Kind::Ellipse, box, pen, brush);
    }
    void Polygon(std::span<const Point> points, const Pen& pen, const Brush& brush) override {
        DrawCall c(DrawCall::Kind::Polygon);
        c.points.assign(points.begin(), points.end());
        c.pen = pen;
        c.brush = brush;
        calls.push_back(std::move(c));
    }
    void Arc(const Rect& box, Point start, Point end, const Pen& pen) override {
        DrawCall c(DrawCall::Kind::Arc);
        c.rect = box;
        c.points = {start, end};
        c.pen = pen;
        calls.push_back(std::move(c));
    }
    std::unique_ptr<CSurfaceFont> MakeFont(const LogFont& font) override {
        DrawCall c(DrawCall::Kind::MakeFont);
        c.font = font;
        calls.push_back(std::move(c));
        return std::make_unique<RecordingFont>(font, liveFonts_);
    }
    Extent TextExtent(const CSurfaceFont& font, std::string_view text) override {
        DrawCall c(DrawCall::Kind::TextExtent);
        c.font = font.Description();
        c.text = std::string(text);
        calls.push_back(std::move(c));
        const FakeMetrics m = MetricsOf(font.Description());
        return Extent{static_cast<int32_t>(text.size()) * m.advance, m.cellHeight};
    }
    int32_t FontAscent(const CSurfaceFont& font) override {
        DrawCall c(DrawCall::Kind::FontAscent);
        c.font = font.Description();
        calls.push_back(std::move(c));
        return MetricsOf(font.Description()).ascent;
    }
    void DrawString(const CSurfaceFont& font, Point cellTopLeft, std::string_view text,
                    Colour colour) override {
        DrawCall c(DrawCall::Kind::DrawString);
        c.font = font.Description();
        c.points = {cellTopLeft};
        c.text = std::string(text);
        c.colour = colour;
        calls.push_back(std::move(c));
    }
    void StretchMonoBitmap(const Rect& dest, const MonoBitmap& bitmap, Colour colour) override {
        DrawCall c(DrawCall::Kind::StretchMonoBitmap);
        c.rect = dest;
        c.colour = colour;
        for (int32_t y = 0; y < bitmap.height; ++y) {
            std::string row;
            for (int32_t x = 0; x < bitmap.width; ++x) row += bitmap.Pixel(x, y) ? '#' : '.';
            c.rows.push_back(std::move(row));
        }
        calls.push_back(std::move(c));
    }
    bool ReadPixels(CanvasPixels&) const override { return false; }

private:
    void RecordBox(DrawCall::Kind kind, const Rect& box, const Pen& pen, const Brush& brush) {
        DrawCall c(kind);
        c.rect = box;
        c.pen = pen;
        c.brush = brush;
        calls.push_back(std::move(c));
    }

    class RecordingFont : public CSurfaceFont {
    public:
        RecordingFont(const LogFont& font, std::shared_ptr<int32_t> live)
            : CSurfaceFont(font), live_(std::move(live)) {
            ++*live_;
        }
        ~RecordingFont() override { --*live_; }

    private:
        std::shared_ptr<int32_t> live_;
    };

    std::shared_ptr<int32_t> liveFonts_ = std::make_shared<int32_t>(0);
};

}  // namespace qurix
