#include "render/PixelRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>

namespace qurix::raster {

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;

// Clips the segment to the square of EXACT_LIMIT; false when nothing is left.
bool ClipToExactRange(double& x0, double& y0, double& x1, double& y1) {
    const double lim = EXACT_LIMIT;
    double t0 = 0.0;
    double t1 = 1.0;
    if (!ClipSegment(x0, y0, x1, y1, -lim, -lim, lim, lim, t0, t1)) return false;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double nx0 = x0 + t0 * dx;
    const double ny0 = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    return true;
}

bool InExactRange(Point p) {
    return p.x >= -EXACT_LIMIT && p.x <= EXACT_LIMIT && p.y >= -EXACT_LIMIT && p.y <= EXACT_LIMIT;
}

// floor(a / b) for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t ExactLine(Point a, Point b, const Rect& clip, int64_t firstIndex, const PixelSink& sink) {
    const int64_t dx = static_cast<int64_t>(b.x) - a.x;
    const int64_t dy = static_cast<int64_t>(b.y) - a.y;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const int64_t n = xMajor ? adx : ady;  // pixels: the start, not the end
    if (n == 0) return 0;
    const int64_t dMajor = n;
    const int64_t dMinor = xMajor ? ady : adx;
    const int64_t sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t major0 = xMajor ? a.x : a.y;
    const int64_t minor0 = xMajor ? a.y : a.x;

    // Only the steps whose major coordinate lies inside the clip.
    const int64_t lo = xMajor ? clip.left : clip.top;
    const int64_t hi = (xMajor ? clip.right : clip.bottom) - 1;
    if (hi < lo) return n;
    int64_t iFirst = 0;
    int64_t iLast = n - 1;
    if (sMajor > 0) {
        iFirst = std::max(iFirst, lo - major0);
        iLast = std::min(iLast, hi - major0);
    } else {
        iFirst = std::max(iFirst, major0 - hi);
        iLast = std::min(iLast, major0 - lo);
    }
    const int64_t minorLo = xMajor ? clip.top : clip.left;
    const int64_t minorHi = (xMajor ? clip.bottom : clip.right) - 1;
    for (int64_t i = iFirst; i <= iLast; ++i) {
        // The nearest pixel to the ideal line, halves rounded away from the start.
        const int64_t offset = FloorDiv(2 * i * dMinor + dMajor, 2 * dMajor);
        const int64_t major = major0 + sMajor * i;
        const int64_t minor = minor0 + sMinor * offset;
        if (minor < minorLo || minor > minorHi) continue;
        const auto x = static_cast<int32_t>(xMajor ? major : minor);
        const auto y = static_cast<int32_t>(xMajor ? minor : major);
        sink(x, y, firstIndex + i);
    }
    return n;
}

__extension__ using Wide = __int128;

// Whether box is an ellipse's box the exact rules draw: not empty, not too large.
bool IsExactEllipseBox(const Rect& box) {
    const int64_t w = static_cast<int64_t>(box.right) - box.left;
    const int64_t h = static_cast<int64_t>(box.bottom) - box.top;
    return w > 0 && h > 0 && w <= MAX_EXACT_ELLIPSE && h <= MAX_EXACT_ELLIPSE;
}

// The midpoint ellipse of EllipsePixels as a function of its step counts: after i steps in x
// and j in y its error term is Err(i, j), so the path can be examined at any row without
// walking to it. Column i is x0 = left + i on the left and x1 = right - 1 - i on the right;
// row j is y0 = y0Start + j below and y1 = y1Start - j above.
class CEllipsePath {
public:
    explicit CEllipsePath(const Rect& box)
        : left_(box.left),
          right_(box.right),
          top_(box.top),
          bottom_(box.bottom),
          a_(static_cast<int64_t>(box.right) - 1 - box.left),
          b_(static_cast<int64_t>(box.bottom) - 1 - box.top),
          bOdd_(b_ & 1),
          dx0_(4 * (1 - a_) * b_ * b_),
          dy0_(4 * (bOdd_ + 1) * a_ * a_),
          err0_(dx0_ + dy0_ + bOdd_ * a_ * a_),
          stepX_(8 * b_ * b_),
          stepY_(8 * a_ * a_),
          y0Start_(top_ + (b_ + 1) / 2),
          y1Start_(y0Start_ - bOdd_),
          iMax_(a_ / 2),
          jTips_((b_ - bOdd_) / 2) {
        // Smallest i with Dx(i + 1) >= 0: before it each column lowers the error.
        if (dx0_ + stepX_ >= 0) {
            turn_ = 0;
        } else if (stepX_ == 0) {
            turn_ = iMax_ + 1;
        } else {
            turn_ = (-dx0_ + stepX_ - 1) / stepX_ - 1;
        }
    }

    int64_t IMax() const { return iMax_; }
    int64_t Dx0() const { return dx0_; }
    int64_t Dy0() const { return dy0_; }
    int64_t Err0() const { return err0_; }
    int64_t StepX() const { return stepX_; }
    int64_t StepY() const { return stepY_; }
    int64_t End() const { return iMax_ + 1; }
    int64_t JTips() const { return jTips_; }
    int64_t Y0(int64_t j) const { return y0Start_ + j; }
    int64_t Y1(int64_t j) const { return y1Start_ - j; }
    int64_t X0(int64_t i) const { return left_ + i; }
    int64_t X1(int64_t i) const { return static_cast<int64_t>(right_) - 1 - i; }
    bool RowInBox(int64_t y) const { return y >= top_ && y < bottom_; }

    Wide Err(int64_t i, int64_t j) const {
        return Wide{err0_} + Wide{i} * dx0_ + Wide{stepX_} * (i * (i + 1) / 2) + Wide{j} * dy0_ +
               Wide{stepY_} * (j * (j + 1) / 2);
    }
    Wide Dx(int64_t i) const { return Wide{dx0_} + Wide{i} * stepX_; }
    Wide Dy(int64_t j) const { return Wide{dy0_} + Wide{j} * stepY_; }
    bool StepsY(int64_t i, int64_t j) const { return 2 * Err(i, j) <= Dy(j); }
    // Whether a y-step from (i, j) also steps in x.
    bool StepsXAfterY(int64_t i, int64_t j) const {
        return 2 * Err(i, j) >= Dx(i) || 2 * Err(i, j + 1) > Dy(j + 1);
    }

    // The column where the path, entering row j at column from, leaves it (its first
    // y-step), or End() when it runs past the last column.
    int64_t RowEnd(int64_t from, int64_t j) const {
        if (from > iMax_) return End();
        if (StepsY(from, j)) return from;
        if (from < turn_) {
            // Up to the turn the y-test only gets easier: search for its first success.
            int64_t lo = from;
            int64_t hi = std::min(turn_, iMax_);
            if (!StepsY(hi, j)) return End();
            while (hi - lo > 1) {
                const int64_t mid = lo + (hi - lo) / 2;
                (StepsY(mid, j) ? hi : lo) = mid;
            }
            return hi;
        }
        // After the turn the y-test only gets harder.
        return End();
    }

    // The entry column of row j + 1 after entering row j at e, or End().
    int64_t Next(int64_t e, int64_t j) const {
        const int64_t exit = RowEnd(e, j);
        if (exit > iMax_) return End();
        const int64_t next = exit + (StepsXAfterY(exit, j) ? 1 : 0);
        return next > iMax_ ? End() : next;
    }

    // A column beyond every point the path can have in row j: the path's error never falls
    // below Floor(i). -1 when none can be shown.
    int64_t BeyondPath(int64_t from, int64_t j) const {
        auto below = [&](int64_t i) { return Err(i, j) < Floor(i); };
        const int64_t hi = std::min(turn_, iMax_);
        int64_t found = -1;
        if (from <= hi && below(hi)) {
            // Err - Floor falls up to the turn, so the test only gets easier.
            int64_t lo = from - 1;
            int64_t h = hi;
            while (h - lo > 1) {
                const int64_t mid = lo + (h - lo) / 2;
                (below(mid) ? h : lo) = mid;
            }
            found = h;
        } else if (from > hi) {
            found = from;
        } else {
            return -1;
        }
        // The few columns past the turn are checked one by one.
        constexpr int64_t MAX_PAST_TURN = 8;
        if (iMax_ - std::max(found, hi) > MAX_PAST_TURN) return -1;
        for (int64_t i = std::max(found, hi + 1); i <= iMax_; ++i) {
            if (!below(i)) return -1;
        }
        return found;
    }

private:
    // Every step keeps Err(i, j) >= Floor(i): an x-step only when the error is positive, a
    // diagonal only when it is at least Dx / 2.
    Wide Floor(int64_t i) const { return std::min({Wide{err0_}, 2 * Dx(i - 1), Wide{0}}); }

    int32_t left_, right_, top_, bottom_;
    int64_t a_, b_, bOdd_;
    int64_t dx0_, dy0_, err0_;
    int64_t stepX_, stepY_;
    int64_t y0Start_, y1Start_;
    int64_t iMax_, jTips_;
    int64_t turn_ = 0;
};

// The whole main path of an ellipse, row by row, and the tips after it, as one sequence
// with random access: the order of one quadrant's pixels along the outline.
class CWholePath {
public:
    // The loop of EllipsePixels itself, keeping only where each row starts: a few integer
    // steps per pixel of one quadrant and no pixels stored.
    explicit CWholePath(const CEllipsePath& path) : path_(path) {
        const int64_t lastRow = path.JTips();
        int64_t i = 0;
        int64_t j = 0;
        int64_t dx = path.Dx0();
        int64_t dy = path.Dy0();
        int64_t err = path.Err0();
        int64_t lastPointRow = -1;
        do {
            if (j > lastRow) break;  // below the box: nothing more to keep
            if (j != lastPointRow) {
                first_.push_back(i);
                start_.push_back(mainCount_);
                lastPointRow = j;
            }
            ++mainCount_;
            const int64_t e2 = 2 * err;
            if (e2 <= dy) {
                ++j;
                err += dy += path.StepY();
            }
            if (e2 >= dx || 2 * err > dy) {
                ++i;
                err += dx += path.StepX();
            }
        } while (i <= path.IMax());
        // The tips repeat the last main pixel when the main loop ended inside its row.
        tipsFrom_ = j == lastPointRow ? j + 1 : j;
        tipsCount_ = std::max<int64_t>(0, lastRow - tipsFrom_ + 1);
    }

    int64_t Count() const { return mainCount_ + tipsCount_; }
    // Step counts (i, j) of the g-th point.
    std::pair<int64_t, int64_t> At(int64_t g) const {
        if (g >= mainCount_) return {path_.IMax(), tipsFrom_ + (g - mainCount_)};
        const auto row = static_cast<size_t>(std::upper_bound(start_.begin(), start_.end(), g) -
                                             start_.begin() - 1);
        return {first_[row] + (g - start_[row]), static_cast<int64_t>(row)};
    }
    // The index of point (i, j), or -1 when the path does not pass it.
    int64_t IndexOf(int64_t i, int64_t j) const {
        if (j < 0 || i < 0) return -1;
        if (i == path_.IMax() && j >= tipsFrom_ && j < tipsFrom_ + tipsCount_) {
            return mainCount_ + (j - tipsFrom_);
        }
        if (j >= static_cast<int64_t>(first_.size())) return -1;
        const auto row = static_cast<size_t>(j);
        const int64_t rowEnd =
            (row + 1 < start_.size() ? start_[row + 1] : mainCount_) - start_[row];
        if (i < first_[row] || i >= first_[row] + rowEnd) return -1;
        return start_[row] + (i - first_[row]);
    }
    // The first index from lo at which pred (false, then true along the path) holds.
    template <typename Pred>
    int64_t FirstWhere(int64_t lo, int64_t hi, Pred pred) const {
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (pred(mid)) {
                hi = mid;
            } else {
                lo = mid + 1;
            }
        }
        return lo;
    }

private:
    const CEllipsePath& path_;
    std::vector<int64_t> first_;  // entry column of each main row
    std::vector<int64_t> start_;  // index of each main row's first point
    int64_t mainCount_ = 0;
    int64_t tipsFrom_ = 0;
    int64_t tipsCount_ = 0;
};

// Where an outline pixel falls in ArcOrder: its angle from `from` and then its position.
struct ArcKey {
    double offset = 0.0;
    int32_t y = 0;
    int32_t x = 0;
    friend bool operator<(const ArcKey& l, const ArcKey& r) {
        if (l.offset != r.offset) return l.offset < r.offset;
        return l.y != r.y ? l.y < r.y : l.x < r.x;
    }
};

// One quadrant's pixels along the path: columns from the right or left edge, rows below or
// above the centre; the angle grows along the path (dir 1) or falls (dir -1).
struct Quadrant {
    bool right;
    bool lower;
    int dir;
    int64_t lo = 0;  // the indexes of the path that are this quadrant's own pixels
    int64_t hi = 0;
};

// A run of a quadrant along which the ArcOrder key only grows (dir 1) or only falls.
struct Piece {
    const Quadrant* quadrant;
    int64_t lo, hi;
    ArcKey low, high;  // smallest and largest key
};

constexpr double ARC_EPSILON = 1e-9;

// How far counter-clockwise from the angle `from` a pixel lies, as ArcOrder orders it: a
// pixel just short of a full turn counts as 0.
double ArcOffset(const Rect& box, Point p, double from) {
    double offset = std::fmod(PixelAngle(box, p.x, p.y) - from + 2.0 * TWO_PI, TWO_PI);
    if (offset > TWO_PI - ARC_EPSILON) offset = 0.0;
    return offset;
}

struct PathEntry {
    int64_t row = 0;
    int64_t column = 0;
};

// Where the path enters some row from j0 up to target, found without walking from its start:
// two walks from a column at or before the path's and one at or after it keep the path
// between them (a row's exit never decreases with its entry) until they meet. Nothing when
// they do not meet in time or the path's bounds cannot be shown.
std::optional<PathEntry> FindPathEntry(const CEllipsePath& path, int64_t j0, int64_t target) {
    if (j0 < 1) return std::nullopt;
    // The path enters row j0 no earlier than the first y-step of row j0 - 1 allows.
    int64_t low = path.RowEnd(0, j0 - 1);
    if (low > path.IMax()) return std::nullopt;
    // The path is still running in row j0 when even a point beyond it in row j0 - 1 would
    // leave that row before the last column; earlier rows leave earlier.
    const int64_t beyondBefore = path.BeyondPath(0, j0 - 1);
    if (beyondBefore < 1 || path.RowEnd(beyondBefore - 1, j0 - 1) >= path.IMax()) {
        return std::nullopt;
    }
    const int64_t beyond = path.BeyondPath(low, j0);
    if (beyond <= low) return std::nullopt;
    int64_t high = beyond - 1;
    for (int64_t j = j0;; ++j) {
        if (low == high) return PathEntry{j, low};
        if (j >= target) return std::nullopt;
        low = path.Next(low, j);
        high = path.Next(high, j);
        if (low > path.IMax() || high > path.IMax()) return std::nullopt;
    }
}

}  // namespace

int64_t LinePixels(Point a, Point b, const Rect& clip, int64_t firstIndex, const PixelSink& sink) {
    if (InExactRange(a) && InExactRange(b)) return ExactLine(a, b, clip, firstIndex, sink);

    // Far beyond any canvas: rasterise the part within reach, keeping the dot count.
    const int64_t fullLength = std::max(std::llabs(static_cast<int64_t>(b.x) - a.x),
                                        std::llabs(static_cast<int64_t>(b.y) - a.y));
    double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
    if (!ClipToExactRange(x0, y0, x1, y1)) return fullLength;
    const Point ca{static_cast<int32_t>(std::lround(x0)), static_cast<int32_t>(std::lround(y0))};
    const Point cb{static_cast<int32_t>(std::lround(x1)), static_cast<int32_t>(std::lround(y1))};
    const int64_t skipped = std::max(std::llabs(static_cast<int64_t>(ca.x) - a.x),
                                     std::llabs(static_cast<int64_t>(ca.y) - a.y));
    ExactLine(ca, cb, clip, firstIndex + skipped, sink);
    return fullLength;
}

bool EllipsePixels(const Rect& box, std::vector<Point>& outline, std::vector<Span>& inside) {
    outline.clear();
    inside.clear();
    if (!IsExactEllipseBox(box)) return false;
    const int64_t h = static_cast<int64_t>(box.bottom) - box.top;

    // Corners of the ink, inclusive: the midpoint ellipse of a whole rectangle, which
    // touches all four sides whatever their parity.
    int64_t x0 = box.left;
    int64_t x1 = static_cast<int64_t>(box.right) - 1;
    const int64_t top = box.top;
    int64_t a = x1 - x0;
    const int64_t b = h - 1;
    int64_t b1 = b & 1;
    int64_t dx = 4 * (1 - a) * b * b;
    int64_t dy = 4 * (b1 + 1) * a * a;
    int64_t err = dx + dy + b1 * a * a;
    int64_t y0 = top + (b + 1) / 2;
    int64_t y1 = y0 - b1;
    a = 8 * a * a;
    b1 = 8 * b * b;

    // Per row: the rightmost pixel of the left side and the leftmost of the right side.
    std::vector<int64_t> leftMax(static_cast<size_t>(h), INT64_MIN);
    std::vector<int64_t> rightMin(static_cast<size_t>(h), INT64_MAX);
    auto plot = [&](int64_t x, int64_t y, bool left) {
        if (y < top || y >= top + h) return;
        const auto row = static_cast<size_t>(y - top);
        if (left) {
            leftMax[row] = std::max(leftMax[row], x);
        } else {
            rightMin[row] = std::min(rightMin[row], x);
        }
        outline.push_back(Point{static_cast<int32_t>(x), static_cast<int32_t>(y)});
    };

    do {
        plot(x1, y0, false);
        plot(x0, y0, true);
        plot(x0, y1, true);
        plot(x1, y1, false);
        const int64_t e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += a;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += b1;
        }
    } while (x0 <= x1);
    // A flat ellipse stops early: finish its tips.
    while (y0 - y1 <= b) {
        plot(x0 - 1, y0, true);
        plot(x1 + 1, y0++, false);
        plot(x0 - 1, y1, true);
        plot(x1 + 1, y1--, false);
    }

    std::sort(outline.begin(), outline.end(),
              [](const Point& p, const Point& q) { return p.y != q.y ? p.y < q.y : p.x < q.x; });
    outline.erase(std::unique(outline.begin(), outline.end()), outline.end());

    for (int64_t row = 0; row < h; ++row) {
        const auto r = static_cast<size_t>(row);
        if (leftMax[r] == INT64_MIN || rightMin[r] == INT64_MAX) continue;
        if (rightMin[r] - leftMax[r] < 2) continue;
        inside.push_back(Span{static_cast<int32_t>(top + row), static_cast<int32_t>(leftMax[r] + 1),
                              static_cast<int32_t>(rightMin[r] - 1)});
    }
    return true;
}

bool ClippedEllipsePixels(const Rect& box, const Rect& clip, std::vector<Point>& outline,
                          std::vector<Span>& inside) {
    outline.clear();
    inside.clear();
    if (!IsExactEllipseBox(box)) return false;
    const int64_t cLeft = clip.left;
    const int64_t cTop = clip.top;
    const int64_t cRight = clip.right;
    const int64_t cBottom = clip.bottom;
    if (cLeft >= cRight || cTop >= cBottom) return true;

    const CEllipsePath path(box);
    // The rows j that show in clip, below the centre or above it.
    int64_t jLow = INT64_MAX;
    int64_t jHigh = -1;
    auto addRows = [&](int64_t lo, int64_t hi) {
        lo = std::max<int64_t>(lo, 0);
        if (lo > hi) return;
        jLow = std::min(jLow, lo);
        jHigh = std::max(jHigh, hi);
    };
    addRows(cTop - path.Y0(0), cBottom - 1 - path.Y0(0));
    addRows(path.Y1(0) - (cBottom - 1), path.Y1(0) - cTop);
    jHigh = std::min(jHigh, path.JTips());
    if (jLow > jHigh) return true;

    auto emitRun = [&](int64_t first, int64_t last, int64_t j) {
        const int64_t rows[2] = {path.Y0(j), path.Y1(j)};
        for (int k = 0; k < 2; ++k) {
            const int64_t y = rows[k];
            if (k == 1 && y == rows[0]) break;
            if (!path.RowInBox(y) || y < cTop || y >= cBottom) continue;
            const auto row = static_cast<int32_t>(y);
            const int64_t leftFrom = std::max(path.X0(first), cLeft);
            const int64_t leftTo = std::min(path.X0(last), cRight - 1);
            for (int64_t x = leftFrom; x <= leftTo; ++x) {
                outline.push_back(Point{static_cast<int32_t>(x), row});
            }
            const int64_t rightFrom = std::max(path.X1(last), cLeft);
            const int64_t rightTo = std::min(path.X1(first), cRight - 1);
            for (int64_t x = rightFrom; x <= rightTo; ++x) {
                outline.push_back(Point{static_cast<int32_t>(x), row});
            }
            // The run's last column is the row's innermost outline pixel on either side.
            const int64_t innerLeft = path.X0(last);
            const int64_t innerRight = path.X1(last);
            if (innerRight - innerLeft >= 2) {
                inside.push_back(Span{row, static_cast<int32_t>(innerLeft + 1),
                                      static_cast<int32_t>(innerRight - 1)});
            }
        }
    };

    // Take the path up a little before the first row that shows; walk from its start when
    // that cannot be done or the row is near the start anyway.
    int64_t j = 0;
    int64_t entry = 0;
    for (const int64_t back : {int64_t{32}, int64_t{512}, int64_t{8192}}) {
        const std::optional<PathEntry> found = FindPathEntry(path, jLow - back, jLow);
        if (found) {
            j = found->row;
            entry = found->column;
            break;
        }
        if (jLow - back < 1) break;
    }

    int64_t mainEnd = -1;  // the row where the main loop stops, once reached
    while (j <= jHigh) {
        const int64_t exit = path.RowEnd(entry, j);
        emitRun(entry, std::min(exit, path.IMax()), j);
        if (exit > path.IMax()) {
            mainEnd = j;
            break;
        }
        const int64_t next = exit + (path.StepsXAfterY(exit, j) ? 1 : 0);
        ++j;
        if (next > path.IMax()) {
            mainEnd = j;
            break;
        }
        entry = next;
    }
    // A flat ellipse finishes its tips in the last column.
    if (mainEnd >= 0) {
        for (int64_t t = std::max(mainEnd, jLow); t <= std::min(path.JTips(), jHigh); ++t) {
            emitRun(path.IMax(), path.IMax(), t);
        }
    }

    std::sort(outline.begin(), outline.end(),
              [](const Point& p, const Point& q) { return p.y != q.y ? p.y < q.y : p.x < q.x; });
    outline.erase(std::unique(outline.begin(), outline.end()), outline.end());
    std::sort(inside.begin(), inside.end(), [](const Span& p, const Span& q) { return p.y < q.y; });
    return true;
}

bool DottedArcPixels(const Rect& box, const std::vector<Point>& visible, double from, double sweep,
                     std::vector<Point>& dotted) {
    dotted.clear();
    if (!IsExactEllipseBox(box)) return false;
    if (visible.empty()) return true;
    const CEllipsePath path(box);
    const CWholePath whole(path);
    const int64_t count = whole.Count();

    auto pixelOf = [&](const Quadrant& q, int64_t g) {
        const auto [i, j] = whole.At(g);
        return Point{static_cast<int32_t>(q.right ? path.X1(i) : path.X0(i)),
                     static_cast<int32_t>(q.lower ? path.Y0(j) : path.Y1(j))};
    };
    auto keyOf = [&](Point p) { return ArcKey{ArcOffset(box, p, from), p.y, p.x}; };

    // Each pixel belongs to one quadrant: the centre row goes with the lower half and the
    // centre column with the left half.
    Quadrant quadrants[4] = {
        {true, false, 1}, {false, false, -1}, {false, true, 1}, {true, true, -1}};
    std::vector<Piece> pieces;
    for (Quadrant& q : quadrants) {
        q.lo = 0;
        q.hi = count;
        if (!q.lower && path.Y1(0) == path.Y0(0)) {
            q.lo = whole.FirstWhere(0, count, [&](int64_t g) { return whole.At(g).second >= 1; });
        }
        if (q.right && path.X1(path.IMax()) == path.X0(path.IMax())) {
            q.hi = whole.FirstWhere(0, count,
                                    [&](int64_t g) { return whole.At(g).first >= path.IMax(); });
        }
        if (q.lo >= q.hi) continue;
        // The key runs one way along the quadrant but for one jump where the angle passes
        // `from`.
        const double first = keyOf(pixelOf(q, q.lo)).offset;
        const int64_t jump = whole.FirstWhere(q.lo + 1, q.hi, [&](int64_t g) {
            const double o = keyOf(pixelOf(q, g)).offset;
            return q.dir > 0 ? o < first : o > first;
        });
        for (const auto& [lo, hi] : {std::pair{q.lo, jump}, std::pair{jump, q.hi}}) {
            if (lo >= hi) continue;
            const ArcKey a = keyOf(pixelOf(q, lo));
            const ArcKey b = keyOf(pixelOf(q, hi - 1));
            pieces.push_back(Piece{&q, lo, hi, q.dir > 0 ? a : b, q.dir > 0 ? b : a});
        }
    }

    constexpr double EPS = ARC_EPSILON;
    for (const Point& p : visible) {
        const ArcKey key = keyOf(p);
        if (key.offset > sweep + EPS) continue;
        // Its quadrant and place along the path.
        const Piece* own = nullptr;
        int64_t index = -1;
        for (const Piece& piece : pieces) {
            const Quadrant& q = *piece.quadrant;
            const int64_t i = q.right ? static_cast<int64_t>(box.right) - 1 - p.x
                                      : static_cast<int64_t>(p.x) - box.left;
            const int64_t j = q.lower ? p.y - path.Y0(0) : path.Y1(0) - p.y;
            const int64_t g = whole.IndexOf(i, j);
            if (g >= piece.lo && g < piece.hi) {
                own = &piece;
                index = g;
                break;
            }
        }
        if (own == nullptr) return false;
        int64_t rank = own->quadrant->dir > 0 ? index - own->lo : own->hi - 1 - index;
        for (const Piece& piece : pieces) {
            if (&piece == own) continue;
            if (piece.high < key) {
                rank += piece.hi - piece.lo;
            } else if (!(key < piece.low)) {
                // Only where the centre pixel itself lies on the outline (angle 0) do the
                // quadrants' keys interleave: count along the piece.
                const Quadrant& q = *piece.quadrant;
                const int64_t at = whole.FirstWhere(piece.lo, piece.hi, [&](int64_t g) {
                    const bool below = keyOf(pixelOf(q, g)) < key;
                    return q.dir > 0 ? !below : below;
                });
                rank += q.dir > 0 ? at - piece.lo : piece.hi - at;
            }
        }
        if (DotOn(rank)) dotted.push_back(p);
    }
    return true;
}

double PixelAngle(const Rect& box, double x, double y) {
    const double cx = (static_cast<double>(box.left) + static_cast<double>(box.right) - 1.0) / 2.0;
    const double cy = (static_cast<double>(box.top) + static_cast<double>(box.bottom) - 1.0) / 2.0;
    const double dx = x - cx;
    const double dy = cy - y;
    if (dx == 0.0 && dy == 0.0) return 0.0;
    double angle = std::atan2(dy, dx);
    if (angle < 0.0) angle += TWO_PI;
    return angle;
}

std::vector<Point> ArcOrder(const Rect& box, const std::vector<Point>& outline, double from,
                            double sweep) {
    std::vector<std::pair<double, Point>> keyed;
    keyed.reserve(outline.size());
    for (const Point& p : outline) {
        const double offset = ArcOffset(box, p, from);
        if (offset <= sweep + ARC_EPSILON) keyed.emplace_back(offset, p);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& l, const auto& r) { return l.first < r.first; });
    std::vector<Point> ordered;
    ordered.reserve(keyed.size());
    for (const auto& k : keyed) ordered.push_back(k.second);
    return ordered;
}

bool ClipSegment(double x0, double y0, double x1, double y1, double left, double top, double right,
                 double bottom, double& t0, double& t1) {
    t0 = 0.0;
    t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    return true;
}

void PolylinePixels(std::span<const Point> points, bool dotted, const Rect& clip,
                    std::vector<Point>& out) {
    int64_t index = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        index +=
            LinePixels(points[i - 1], points[i], clip, index, [&](int32_t x, int32_t y, int64_t k) {
                if (!dotted || DotOn(k)) out.push_back(Point{x, y});
            });
    }
}

void RectanglePixels(const Rect& box, bool dotted, const Rect& clip, std::vector<Point>& out) {
    const int64_t w = static_cast<int64_t>(box.right) - box.left;
    const int64_t h = static_cast<int64_t>(box.bottom) - box.top;
    const Point tl{box.left, box.top};
    const Point tr{box.right - 1, box.top};
    const Point br{box.right - 1, box.bottom - 1};
    const Point bl{box.left, box.bottom - 1};
    if (w == 1 || h == 1) {
        // A bar one pixel across: every pixel of it, end included.
        const Point path[2] = {tl, Point{br.x + (h == 1 ? 1 : 0), br.y + (h == 1 ? 0 : 1)}};
        PolylinePixels(path, dotted, clip, out);
    } else {
        const Point path[5] = {tl, tr, br, bl, tl};
        PolylinePixels(path, dotted, clip, out);
    }
}

std::vector<Point> OutlinePixels(const Rect& box, const std::vector<Point>& visible, bool dotted,
                                 double from, double sweep) {
    if (!dotted) {
        // A whole solid outline needs no order.
        return sweep >= TWO_PI ? visible : ArcOrder(box, visible, from, sweep);
    }
    std::vector<Point> path;
    if (DottedArcPixels(box, visible, from, sweep, path)) return path;
    // The dots count along the whole outline.
    std::vector<Point> outline;
    std::vector<Span> inside;
    EllipsePixels(box, outline, inside);
    const std::vector<Point> ordered = ArcOrder(box, outline, from, sweep);
    path.clear();
    for (size_t i = 0; i < ordered.size(); ++i) {
        if (DotOn(static_cast<int64_t>(i))) path.push_back(ordered[i]);
    }
    return path;
}

std::array<Point, 4> InkCorners(const Rect& box) {
    return {Point{box.left, box.top}, Point{box.right - 1, box.top},
            Point{box.right - 1, box.bottom - 1}, Point{box.left, box.bottom - 1}};
}

bool CanStretch(const Rect& dest, const MonoBitmap& bitmap) {
    constexpr int32_t MAX_SIDE = 1 << 20;
    if (!bitmap.bits || bitmap.width <= 0 || bitmap.height <= 0) return false;
    if (bitmap.width > MAX_SIDE || bitmap.height > MAX_SIDE) return false;
    if (bitmap.stride < (bitmap.width + 7) / 8) return false;
    const int64_t dw = static_cast<int64_t>(dest.right) - dest.left;
    const int64_t dh = static_cast<int64_t>(dest.bottom) - dest.top;
    return dw > 0 && dh > 0;
}

void StretchedBitmapRuns(const Rect& dest, const MonoBitmap& bitmap, const Rect& visible,
                         const std::function<void(int32_t y, int32_t left, int32_t right)>& run) {
    const int64_t dw = static_cast<int64_t>(dest.right) - dest.left;
    const int64_t dh = static_cast<int64_t>(dest.bottom) - dest.top;
    // Shrinking ORs what a destination pixel covers, so set bits win.
    auto range = [](int64_t d, int64_t dd, int64_t s) {
        const int64_t first = d * s / dd;
        const int64_t last = std::max(first + 1, (d + 1) * s / dd);
        return std::pair<int32_t, int32_t>(static_cast<int32_t>(first),
                                           static_cast<int32_t>(std::min<int64_t>(last, s)));
    };
    const int32_t width = visible.right - visible.left;
    std::vector<std::pair<int32_t, int32_t>> columns;
    columns.reserve(static_cast<size_t>(width));
    for (int32_t x = visible.left; x < visible.right; ++x) {
        columns.push_back(range(static_cast<int64_t>(x) - dest.left, dw, bitmap.width));
    }
    std::vector<uint8_t> rowBits(static_cast<size_t>(bitmap.width));
    for (int32_t y = visible.top; y < visible.bottom; ++y) {
        const auto [sy0, sy1] = range(static_cast<int64_t>(y) - dest.top, dh, bitmap.height);
        std::fill(rowBits.begin(), rowBits.end(), 0);
        for (int32_t sy = sy0; sy < sy1; ++sy) {
            for (int32_t sx = 0; sx < bitmap.width; ++sx) {
                if (bitmap.Pixel(sx, sy)) rowBits[static_cast<size_t>(sx)] = 1;
            }
        }
        int32_t runStart = -1;
        for (int32_t i = 0; i <= width; ++i) {
            bool set = false;
            if (i < width) {
                const auto [sx0, sx1] = columns[static_cast<size_t>(i)];
                for (int32_t sx = sx0; sx < sx1 && !set; ++sx) {
                    set = rowBits[static_cast<size_t>(sx)] != 0;
                }
            }
            if (set && runStart < 0) runStart = i;
            if (!set && runStart >= 0) {
                run(y, visible.left + runStart, visible.left + i);
                runStart = -1;
            }
        }
    }
}

}  // namespace qurix::raster
