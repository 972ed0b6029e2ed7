#include "app/images/Trel_images.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <initializer_list>

// ---------------------------------------------------------------- the canvas

namespace {

// Every picture is designed on a grid of 16 by 16 units and drawn at any size.
constexpr double kDesignSize = 16;
// Samples per pixel along each axis: 16 per pixel smooth the slanted edges.
constexpr int kSamples = 4;
constexpr double kPi = 3.14159265358979323846;
// Outlines grow with the picture up to this factor (a pixel and a half for a
// unit): beyond it, as on a 48-pixel icon, they would look coarse.
constexpr double kMaxOutlineScale = 1.5;

struct TColor {
    std::uint8_t R, G, B;
};

struct TPoint {
    double X, Y;
};

// A picture under construction: shapes in design units laid one over the
// other, each covering the pixels by the share of their samples inside it.
// Axis-aligned rectangles and frames land on whole pixels, so that straight
// edges stay sharp at every size.
class TCanvas {
public:
    explicit TCanvas(int size)
        : FSize(size), FScale(size / kDesignSize), FPixels(static_cast<size_t>(size * size)) {}

    // Later shapes are mirrored left to right.
    void SetMirrored(bool mirrored) { FMirrored = mirrored; }

    void FillRect(double left, double top, double right, double bottom, TColor color) {
        const RECT r = Snap(left, top, right, bottom);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                Blend(x, y, color, 1);
    }

    // A frame whose outside is the rectangle, width units thick (at least a pixel).
    void FrameRect(double left, double top, double right, double bottom, double width, TColor color) {
        const RECT r = Snap(left, top, right, bottom);
        const int w = std::max(1, static_cast<int>(std::lround(OutlineWidth(width) * FScale)));
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (x < r.left + w || x >= r.right - w || y < r.top + w || y >= r.bottom - w)
                    Blend(x, y, color, 1);
    }

    // A rectangle filled and framed.
    void Box(double left, double top, double right, double bottom, TColor fill, TColor frame) {
        FillRect(left, top, right, bottom, fill);
        FrameRect(left, top, right, bottom, 1, frame);
    }

    void FillPolygon(const std::vector<TPoint>& points, TColor color) {
        Cover(Bounds(points, 0), color,
              [&points](double x, double y) { return InsidePolygon(points, x, y); });
    }

    // The polygon's edges, drawn as outlines of the width.
    void OutlinePolygon(const std::vector<TPoint>& points, double width, TColor color) {
        for (size_t i = 0; i < points.size(); ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % points.size()];
            OutlineLine(a.X, a.Y, b.X, b.Y, width, color);
        }
    }

    // A line that outlines a shape: it grows with the picture only up to a
    // point, so that large pictures keep fine outlines.
    void OutlineLine(double x1, double y1, double x2, double y2, double width, TColor color) {
        Line(x1, y1, x2, y2, OutlineWidth(width), color);
    }

    void Polygon(const std::vector<TPoint>& points, TColor fill, TColor frame) {
        FillPolygon(points, fill);
        OutlinePolygon(points, 1, frame);
    }

    void Disc(double cx, double cy, double radius, TColor color) {
        Cover({cx - radius, cy - radius, cx + radius, cy + radius}, color, [=](double x, double y) {
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
        });
    }

    void Ring(double cx, double cy, double radius, double width, TColor color) {
        const double outer = radius + width / 2;
        const double inner = radius - width / 2;
        Cover({cx - outer, cy - outer, cx + outer, cy + outer}, color, [=](double x, double y) {
            const double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            return d <= outer * outer && d >= inner * inner;
        });
    }

    // A line with round ends.
    void Line(double x1, double y1, double x2, double y2, double width, TColor color) {
        const double h = width / 2;
        Cover({std::min(x1, x2) - h, std::min(y1, y2) - h, std::max(x1, x2) + h, std::max(y1, y2) + h}, color,
              [=](double x, double y) { return DistanceToSegment(x, y, x1, y1, x2, y2) <= h; });
    }

    // A stroke along the circle from angle `from` to angle `to`, in degrees
    // counter-clockwise from the right, with square ends.
    void Arc(double cx, double cy, double radius, double width, double from, double to, TColor color) {
        const double outer = radius + width / 2;
        const double inner = radius - width / 2;
        Cover({cx - outer, cy - outer, cx + outer, cy + outer}, color, [=](double x, double y) {
            const double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d > outer * outer || d < inner * inner)
                return false;
            double angle = std::atan2(cy - y, x - cx) * 180 / kPi;
            while (angle < from)
                angle += 360;
            return angle <= to;
        });
    }

    // Makes the inside of the polygon transparent again.
    void ErasePolygon(const std::vector<TPoint>& points) {
        ForEachPixel(
            Bounds(points, 0),
            [&](int x, int y, double coverage) {
                TPremultiplied& p = FPixels[static_cast<size_t>(y * FSize + x)];
                p.R *= 1 - coverage;
                p.G *= 1 - coverage;
                p.B *= 1 - coverage;
                p.A *= 1 - coverage;
            },
            [&points](double x, double y) { return InsidePolygon(points, x, y); });
    }

    TImagePixels Pixels() const {
        TImagePixels result;
        result.Size = FSize;
        result.Argb.reserve(FPixels.size());
        for (const TPremultiplied& p : FPixels) {
            const double a = std::clamp(p.A, 0.0, 1.0);
            auto channel = [a](double premultiplied) {
                return a <= 0 ? 0u
                              : static_cast<std::uint32_t>(
                                    std::lround(std::clamp(premultiplied / a, 0.0, 1.0) * 255));
            };
            result.Argb.push_back((static_cast<std::uint32_t>(std::lround(a * 255)) << 24) |
                                  (channel(p.R) << 16) | (channel(p.G) << 8) | channel(p.B));
        }
        return result;
    }

private:
    struct TPremultiplied {
        double R = 0, G = 0, B = 0, A = 0;
    };
    struct TBounds {
        double Left, Top, Right, Bottom;
    };

    static bool InsidePolygon(const std::vector<TPoint>& points, double x, double y) {
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const TPoint& a = points[i];
            const TPoint& b = points[j];
            if ((a.Y > y) != (b.Y > y) && x < (b.X - a.X) * (y - a.Y) / (b.Y - a.Y) + a.X)
                inside = !inside;
        }
        return inside;
    }

    static double DistanceToSegment(double x, double y, double x1, double y1, double x2, double y2) {
        const double dx = x2 - x1;
        const double dy = y2 - y1;
        const double length2 = dx * dx + dy * dy;
        const double t = length2 == 0 ? 0 : std::clamp(((x - x1) * dx + (y - y1) * dy) / length2, 0.0, 1.0);
        const double px = x1 + t * dx - x;
        const double py = y1 + t * dy - y;
        return std::sqrt(px * px + py * py);
    }

    static TBounds Bounds(const std::vector<TPoint>& points, double margin) {
        TBounds b{points[0].X, points[0].Y, points[0].X, points[0].Y};
        for (const TPoint& p : points) {
            b.Left = std::min(b.Left, p.X);
            b.Top = std::min(b.Top, p.Y);
            b.Right = std::max(b.Right, p.X);
            b.Bottom = std::max(b.Bottom, p.Y);
        }
        return {b.Left - margin, b.Top - margin, b.Right + margin, b.Bottom + margin};
    }

    double DesignX(double x) const { return FMirrored ? kDesignSize - x : x; }

    // An outline's width in design units at this size.
    double OutlineWidth(double width) const { return width * std::min(FScale, kMaxOutlineScale) / FScale; }

    // The pixels that the rectangle covers, rounded to whole pixels; a
    // rectangle of any width keeps at least one pixel.
    RECT Snap(double left, double top, double right, double bottom) const {
        double l = DesignX(left);
        double r = DesignX(right);
        if (l > r)
            std::swap(l, r);
        RECT rect;
        rect.left = std::lround(l * FScale);
        rect.right = std::max(rect.left + 1, std::lround(r * FScale));
        rect.top = std::lround(top * FScale);
        rect.bottom = std::max(rect.top + 1, std::lround(bottom * FScale));
        rect.left = std::clamp<LONG>(rect.left, 0, FSize);
        rect.right = std::clamp<LONG>(rect.right, 0, FSize);
        rect.top = std::clamp<LONG>(rect.top, 0, FSize);
        rect.bottom = std::clamp<LONG>(rect.bottom, 0, FSize);
        return rect;
    }

    // Calls visit with each pixel that the shape covers at least in part.
    // inside answers in design units, before any mirroring.
    void ForEachPixel(TBounds bounds, const std::function<void(int, int, double)>& visit,
                      const std::function<bool(double, double)>& inside) {
        if (FMirrored) {
            const double left = kDesignSize - bounds.Right;
            bounds.Right = kDesignSize - bounds.Left;
            bounds.Left = left;
        }
        const int x0 = std::max(0, static_cast<int>(std::floor(bounds.Left * FScale)));
        const int y0 = std::max(0, static_cast<int>(std::floor(bounds.Top * FScale)));
        const int x1 = std::min(FSize, static_cast<int>(std::ceil(bounds.Right * FScale)) + 1);
        const int y1 = std::min(FSize, static_cast<int>(std::ceil(bounds.Bottom * FScale)) + 1);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                int hits = 0;
                for (int sy = 0; sy < kSamples; ++sy) {
                    for (int sx = 0; sx < kSamples; ++sx) {
                        const double dx = (x + (sx + 0.5) / kSamples) / FScale;
                        const double dy = (y + (sy + 0.5) / kSamples) / FScale;
                        if (inside(DesignX(dx), dy))
                            ++hits;
                    }
                }
                if (hits > 0)
                    visit(x, y, static_cast<double>(hits) / (kSamples * kSamples));
            }
        }
    }

    void Cover(TBounds bounds, TColor color, const std::function<bool(double, double)>& inside) {
        ForEachPixel(
            bounds, [&](int x, int y, double coverage) { Blend(x, y, color, coverage); }, inside);
    }

    // The color laid over the pixel with the given opacity.
    void Blend(int x, int y, TColor color, double opacity) {
        TPremultiplied& p = FPixels[static_cast<size_t>(y * FSize + x)];
        p.R = color.R / 255.0 * opacity + p.R * (1 - opacity);
        p.G = color.G / 255.0 * opacity + p.G * (1 - opacity);
        p.B = color.B / 255.0 * opacity + p.B * (1 - opacity);
        p.A = opacity + p.A * (1 - opacity);
    }

    int FSize;
    double FScale;
    bool FMirrored = false;
    std::vector<TPremultiplied> FPixels;
};

// ---------------------------------------------------------------- the pictures

constexpr TColor kInk = {70, 74, 82};
constexpr TColor kPaper = {255, 255, 255};
constexpr TColor kFold = {214, 222, 232};
constexpr TColor kTextLine = {150, 162, 178};
constexpr TColor kBlue = {45, 120, 215};
constexpr TColor kBlueDark = {22, 72, 150};
constexpr TColor kGreen = {40, 160, 70};
constexpr TColor kGreenDark = {20, 105, 40};
constexpr TColor kRed = {215, 50, 60};
constexpr TColor kRedDark = {145, 25, 35};
constexpr TColor kYellow = {250, 204, 84};
constexpr TColor kYellowLight = {255, 226, 140};
constexpr TColor kYellowDark = {186, 132, 24};
constexpr TColor kWood = {238, 206, 160};
constexpr TColor kPink = {232, 126, 150};
constexpr TColor kSteel = {168, 176, 186};
constexpr TColor kSteelDark = {104, 112, 124};
constexpr TColor kBoard = {196, 140, 74};
constexpr TColor kBoardDark = {120, 78, 30};
constexpr TColor kWhite = {255, 255, 255};

// A sheet of paper with its top right corner folded over.
void Page(TCanvas& c, double left, double top, double right, double bottom, double fold, bool lines) {
    c.Box(left, top, right, bottom, kPaper, kInk);
    c.ErasePolygon({{right - fold, top - 1}, {right + 1, top - 1}, {right + 1, top + fold}});
    c.FillPolygon({{right - fold, top}, {right - fold, top + fold}, {right, top + fold}}, kFold);
    c.OutlineLine(right - fold + 0.5, top + 0.5, right - 0.5, top + fold - 0.5, 1, kInk);
    c.OutlineLine(right - fold + 0.5, top + 0.5, right - fold + 0.5, top + fold - 0.5, 1, kInk);
    c.OutlineLine(right - fold + 0.5, top + fold - 0.5, right - 0.5, top + fold - 0.5, 1, kInk);
    if (lines) {
        const double height = bottom - top;
        for (const double at : {0.42, 0.6, 0.78})
            c.FillRect(left + 2, top + height * at, right - 2, top + height * at + 1, kTextLine);
    }
}

// The points of a band along the line from a to b, between the fractions
// from and to of its length, as wide as the two half widths at its ends.
std::vector<TPoint> Band(TPoint a, TPoint b, double from, double to, double halfFrom, double halfTo) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double nx = -dy / length;
    const double ny = dx / length;
    const TPoint p{a.X + dx * from, a.Y + dy * from};
    const TPoint q{a.X + dx * to, a.Y + dy * to};
    return {{p.X + nx * halfFrom, p.Y + ny * halfFrom},
            {q.X + nx * halfTo, q.Y + ny * halfTo},
            {q.X - nx * halfTo, q.Y - ny * halfTo},
            {p.X - nx * halfFrom, p.Y - ny * halfFrom}};
}

// A pencil from its point at tip to its end, half units thick on each side.
void Pencil(TCanvas& c, TPoint tip, TPoint end, double half) {
    const std::vector<TPoint> body = Band(tip, end, 0.22, 1, half, half);
    c.FillPolygon({tip, body[0], body[3]}, kWood);
    c.FillPolygon(Band(tip, end, 0, 0.09, 0, half * 0.41), kInk);
    c.FillPolygon(Band(tip, end, 0.22, 0.74, half, half), kYellow);
    c.FillPolygon(Band(tip, end, 0.74, 0.84, half, half), kSteel);
    c.FillPolygon(Band(tip, end, 0.84, 1, half, half), kPink);
    c.OutlinePolygon({tip, body[0], body[1], body[2], body[3]}, 0.9, kInk);
}

// A round badge of the result's color with a white sign.
void ResultBadge(TCanvas& c, TRenameItemResult result) {
    TColor fill;
    TColor rim;
    switch (result) {
    case TRenameItemResult::None:
        fill = {160, 160, 160};
        rim = {105, 105, 105};
        break;
    case TRenameItemResult::Succeeded:
        fill = {40, 160, 70};
        rim = {20, 105, 40};
        break;
    case TRenameItemResult::Failed:
        fill = {215, 50, 60};
        rim = {145, 25, 35};
        break;
    case TRenameItemResult::Skipped:
        fill = {30, 120, 210};
        rim = {15, 75, 145};
        break;
    default:
        throw EInvalidOperation("The picture does not exist.");
    }
    c.Disc(8, 8, 7.5, rim);
    c.Disc(8, 8, 6.4, fill);
    switch (result) {
    case TRenameItemResult::None:
        c.FillRect(4, 7, 12, 9, kWhite);
        break;
    case TRenameItemResult::Succeeded:
        c.Line(4.4, 8.4, 6.9, 10.9, 1.9, kWhite);
        c.Line(6.9, 10.9, 11.7, 5.2, 1.9, kWhite);
        break;
    case TRenameItemResult::Failed:
        c.Line(5, 5, 11, 11, 2, kWhite);
        c.Line(11, 5, 5, 11, 2, kWhite);
        break;
    case TRenameItemResult::Skipped:
        c.FillPolygon({{4.3, 4.3}, {9.3, 8}, {4.3, 11.7}}, kWhite);
        c.FillRect(10, 4.3, 12, 11.7, kWhite);
        break;
    }
}

// A curved arrow turning back to the left: undo; mirrored, redo.
void TurnArrow(TCanvas& c, bool mirrored) {
    c.SetMirrored(mirrored);
    c.Arc(8.6, 9.2, 4.6, 3.4, -50, 180, kBlueDark);
    c.Arc(8.6, 9.2, 4.6, 1.6, -48, 182, kBlue);
    const std::vector<TPoint> head = {{0.4, 8.6}, {7.6, 8.6}, {4, 13.4}};
    c.Polygon(head, kBlue, kBlueDark);
    c.SetMirrored(false);
}

// A straight arrow, up or down.
void StraightArrow(TCanvas& c, bool down) {
    auto y = [down](double value) { return down ? kDesignSize - value : value; };
    const std::vector<TPoint> arrow = {{8, y(1.2)},    {14.6, y(8)}, {10.6, y(8)}, {10.6, y(14.8)},
                                       {5.4, y(14.8)}, {5.4, y(8)},  {1.4, y(8)}};
    c.Polygon(arrow, kBlue, kBlueDark);
}

// Open scissors: cut.
void Scissors(TCanvas& c) {
    c.Line(6.4, 9.8, 11.2, 1.2, 2.2, kSteelDark);
    c.Line(9.6, 9.8, 4.8, 1.2, 2.2, kSteelDark);
    c.Line(6.4, 9.8, 11.2, 1.2, 1, kSteel);
    c.Line(9.6, 9.8, 4.8, 1.2, 1, kSteel);
    c.Ring(4.8, 12.2, 2.3, 1.6, kRed);
    c.Ring(11.2, 12.2, 2.3, 1.6, kRed);
    c.Disc(8, 7, 0.9, kInk);
}

// A clipboard with a page in front: paste.
void Clipboard(TCanvas& c) {
    c.Box(1, 2, 12, 15, kBoard, kBoardDark);
    c.Box(4, 1, 9, 4, kSteel, kSteelDark);
    Page(c, 7, 6, 15, 16, 3, true);
}

// A page with a green plus: add files.
void PageWithPlus(TCanvas& c) {
    Page(c, 1, 0, 11, 14, 4, true);
    c.FillRect(9.5, 7, 12.5, 16, kGreenDark);
    c.FillRect(6.5, 10, 15.5, 13, kGreenDark);
    c.FillRect(10.5, 8, 11.5, 15, kGreen);
    c.FillRect(7.5, 11, 14.5, 12, kGreen);
}

// A red cross: delete.
void RedCross(TCanvas& c) {
    c.Line(3.5, 3.5, 12.5, 12.5, 3.6, kRedDark);
    c.Line(12.5, 3.5, 3.5, 12.5, 3.6, kRedDark);
    c.Line(3.5, 3.5, 12.5, 12.5, 2, kRed);
    c.Line(12.5, 3.5, 3.5, 12.5, 2, kRed);
}

// A sheet whose every line is selected: select all.
void SelectedLines(TCanvas& c) {
    c.Box(1, 1, 15, 15, kPaper, kInk);
    for (const double top : {3.0, 6.5, 10.0})
        c.FillRect(3, top, 13, top + 2.5, kBlue);
}

// A name being edited above an arrow to the right: perform the rename.
void NameEditAndArrow(TCanvas& c) {
    c.Box(1, 1, 15, 8, kPaper, kInk);
    c.FillRect(3, 3, 9, 6, kTextLine);
    c.FillRect(10.5, 2.5, 11.5, 6.5, kInk);
    c.Polygon({{1.5, 10}, {8.5, 10}, {8.5, 8.4}, {14.8, 12}, {8.5, 15.6}, {8.5, 14}, {1.5, 14}}, kGreen,
              kGreenDark);
}

// Three bars of the result colors on a base line: the results.
void BarChart(TCanvas& c) {
    c.Box(1.5, 6, 5.5, 14, kGreen, kGreenDark);
    c.Box(6, 9, 10, 14, kRed, kRedDark);
    c.Box(10.5, 2, 14.5, 14, kBlue, kBlueDark);
    c.FillRect(0.5, 14, 15.5, 15.5, kInk);
}

void PaintAction(TCanvas& c, TActionImage image) {
    switch (image) {
    case TActionImage::New:
        Page(c, 3, 1, 13, 15, 4, false);
        c.Polygon({{5, 3.2}, {5.9, 5.1}, {7.8, 6}, {5.9, 6.9}, {5, 8.8}, {4.1, 6.9}, {2.2, 6}, {4.1, 5.1}},
                  kYellow, kYellowDark);
        break;
    case TActionImage::Undo:
        TurnArrow(c, false);
        break;
    case TActionImage::Redo:
        TurnArrow(c, true);
        break;
    case TActionImage::Cut:
        Scissors(c);
        break;
    case TActionImage::Copy:
        Page(c, 1, 0, 10, 11, 3, false);
        Page(c, 6, 5, 15, 16, 3, true);
        break;
    case TActionImage::Paste:
        Clipboard(c);
        break;
    case TActionImage::AddFiles:
        PageWithPlus(c);
        break;
    case TActionImage::Delete:
        RedCross(c);
        break;
    case TActionImage::SelectAll:
        SelectedLines(c);
        break;
    case TActionImage::FreeEdit:
        Pencil(c, {1.5, 14.5}, {14, 2}, 2.1);
        break;
    case TActionImage::MoveUp:
        StraightArrow(c, false);
        break;
    case TActionImage::MoveDown:
        StraightArrow(c, true);
        break;
    case TActionImage::PerformRename:
        NameEditAndArrow(c);
        break;
    case TActionImage::Results:
        BarChart(c);
        break;
    default:
        throw EInvalidOperation("The picture does not exist.");
    }
}

void PaintRow(TCanvas& c, TRowImage image) {
    switch (image) {
    case TRowImage::RegularFile:
        Page(c, 2.5, 0.5, 13.5, 15.5, 4, true);
        break;
    case TRowImage::Directory:
        c.Polygon({{1, 2.5}, {6, 2.5}, {7.5, 4.5}, {15, 4.5}, {15, 14}, {1, 14}}, kYellowDark, kYellowDark);
        c.FillRect(2, 3.5, 5.5, 5.5, kYellow);
        c.Box(1, 6, 15, 14, kYellow, kYellowDark);
        c.FillRect(2, 7, 14, 8, kYellowLight);
        break;
    case TRowImage::ResultNone:
        ResultBadge(c, TRenameItemResult::None);
        break;
    case TRowImage::ResultSucceeded:
        ResultBadge(c, TRenameItemResult::Succeeded);
        break;
    case TRowImage::ResultFailed:
        ResultBadge(c, TRenameItemResult::Failed);
        break;
    case TRowImage::ResultSkipped:
        ResultBadge(c, TRenameItemResult::Skipped);
        break;
    default:
        throw EInvalidOperation("The picture does not exist.");
    }
}

void CheckSize(int size) {
    if (size < 1 || size > 256)
        throw EInvalidOperation("The picture does not exist.");
}

} // namespace

TImagePixels PaintActionImage(TActionImage image, int size) {
    CheckSize(size);
    TCanvas canvas(size);
    PaintAction(canvas, image);
    return canvas.Pixels();
}

TImagePixels PaintRowImage(TRowImage image, int size) {
    CheckSize(size);
    TCanvas canvas(size);
    PaintRow(canvas, image);
    return canvas.Pixels();
}

TImagePixels PaintResultImage(TRenameItemResult result, int size) {
    CheckSize(size);
    TCanvas canvas(size);
    ResultBadge(canvas, result);
    return canvas.Pixels();
}

TImagePixels PaintCheckImage(bool ticked, int size) {
    CheckSize(size);
    TCanvas canvas(size);
    canvas.Box(2, 2, 14, 14, kWhite, {105, 105, 105});
    if (ticked) {
        canvas.Line(4.5, 8.2, 6.9, 10.8, 1.8, {30, 30, 30});
        canvas.Line(6.9, 10.8, 11.6, 5.2, 1.8, {30, 30, 30});
    }
    return canvas.Pixels();
}

TImagePixels PaintProgramIcon(int size) {
    CheckSize(size);
    TCanvas canvas(size);
    Page(canvas, 0.5, 0, 10, 12, 3, false);
    Page(canvas, 4, 3, 13.5, 15.5, 3, true);
    Pencil(canvas, {6.5, 13.5}, {15.5, 4.5}, 1.8);
    return canvas.Pixels();
}

int ImageSizeForPixelsPerInch(int pixelsPerInch) {
    return MulDiv(16, pixelsPerInch, 96);
}

// ---------------------------------------------------------------- icons and image lists

namespace {

[[noreturn]] void ImageFailed() {
    throw EInvalidOperation("The program could not create an image.");
}

// The mask rows of an icon: one bit per pixel, set where the picture is
// fully transparent, each row padded to a multiple of 16 bits (for a device
// bitmap) or 32 bits (for a file).
std::vector<std::uint8_t> MaskBits(const TImagePixels& pixels, int rowAlignBits) {
    const int rowBytes = (pixels.Size + rowAlignBits - 1) / rowAlignBits * (rowAlignBits / 8);
    std::vector<std::uint8_t> mask(static_cast<size_t>(rowBytes * pixels.Size), 0);
    for (int y = 0; y < pixels.Size; ++y)
        for (int x = 0; x < pixels.Size; ++x)
            if ((pixels.At(x, y) >> 24) == 0)
                mask[static_cast<size_t>(y * rowBytes + x / 8)] |=
                    static_cast<std::uint8_t>(0x80u >> (x % 8));
    return mask;
}

} // namespace

TIconHandle CreatePictureIcon(const TImagePixels& pixels) {
    // 0xAARRGGBB in memory is blue, green, red, alpha: a 32-bit bitmap's row.
    const std::vector<std::uint8_t> mask = MaskBits(pixels, 16);
    TBitmapHandle colorBitmap(CreateBitmap(pixels.Size, pixels.Size, 1, 32, pixels.Argb.data()));
    TBitmapHandle maskBitmap(CreateBitmap(pixels.Size, pixels.Size, 1, 1, mask.data()));
    if (!colorBitmap || !maskBitmap)
        ImageFailed();
    // The icon gets copies of the bitmaps.
    ICONINFO info{TRUE, 0, 0, maskBitmap.Get(), colorBitmap.Get()};
    TIconHandle icon(CreateIconIndirect(&info));
    if (!icon)
        ImageFailed();
    return icon;
}

namespace {

int ImageListSize(HIMAGELIST imageList) {
    int width = 0;
    int height = 0;
    if (!ImageList_GetIconSize(imageList, &width, &height) || width != height)
        ImageFailed();
    return width;
}

void AddPicture(HIMAGELIST imageList, const TImagePixels& pixels) {
    const TIconHandle icon = CreatePictureIcon(pixels);
    if (ImageList_ReplaceIcon(imageList, -1, icon.Get()) < 0)
        ImageFailed();
}

HIMAGELIST CreateImageList(int size, int count, void (*add)(HIMAGELIST)) {
    HIMAGELIST imageList = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, count, 0);
    if (!imageList)
        ImageFailed();
    try {
        add(imageList);
    } catch (...) {
        ImageList_Destroy(imageList);
        throw;
    }
    return imageList;
}

} // namespace

void AddActionImages(HIMAGELIST imageList) {
    const int size = ImageListSize(imageList);
    for (int i = 0; i < kActionImageCount; ++i)
        AddPicture(imageList, PaintActionImage(static_cast<TActionImage>(i), size));
}

void AddRowImages(HIMAGELIST imageList) {
    const int size = ImageListSize(imageList);
    for (int i = 0; i < kRowImageCount; ++i)
        AddPicture(imageList, PaintRowImage(static_cast<TRowImage>(i), size));
}

void AddCheckImages(HIMAGELIST imageList) {
    const int size = ImageListSize(imageList);
    for (const bool ticked : {false, true})
        AddPicture(imageList, PaintCheckImage(ticked, size));
}

HIMAGELIST CreateActionImageList(int size) {
    return CreateImageList(size, kActionImageCount, AddActionImages);
}

HIMAGELIST CreateRowImageList(int size) {
    return CreateImageList(size, kRowImageCount, AddRowImages);
}

// ---------------------------------------------------------------- the icon file

namespace {

void PutWord(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void PutDword(std::string& out, std::uint32_t value) {
    PutWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

// One image of an icon file: a bitmap header with twice the height, the
// colour rows from the bottom, then the mask rows from the bottom.
std::string IconImage(const TImagePixels& pixels) {
    const int size = pixels.Size;
    const std::vector<std::uint8_t> mask = MaskBits(pixels, 32);
    const size_t maskRow = mask.size() / static_cast<size_t>(size);
    std::string image;
    PutDword(image, 40);
    PutDword(image, static_cast<std::uint32_t>(size));
    PutDword(image, static_cast<std::uint32_t>(size * 2));
    PutWord(image, 1);
    PutWord(image, 32);
    PutDword(image, 0); // uncompressed
    PutDword(image, static_cast<std::uint32_t>(size * size * 4 + static_cast<int>(mask.size())));
    for (int i = 0; i < 4; ++i)
        PutDword(image, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x)
            PutDword(image, pixels.At(x, y));
    for (int y = size - 1; y >= 0; --y)
        image.append(reinterpret_cast<const char*>(mask.data()) + static_cast<size_t>(y) * maskRow, maskRow);
    return image;
}

} // namespace

std::string ProgramIconFile() {
    std::vector<std::string> images;
    for (const int size : kProgramIconSizes)
        images.push_back(IconImage(PaintProgramIcon(size)));
    std::string file;
    PutWord(file, 0);
    PutWord(file, 1); // an icon
    PutWord(file, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int size = kProgramIconSizes[i];
        file += static_cast<char>(size);
        file += static_cast<char>(size);
        file += '\0'; // no palette
        file += '\0';
        PutWord(file, 1);  // planes
        PutWord(file, 32); // bits per pixel
        PutDword(file, static_cast<std::uint32_t>(images[i].size()));
        PutDword(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::string& image : images)
        file += image;
    return file;
}
