#include "core/shape/outline.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>

namespace kivo {

namespace {

int saturated(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

Box normalised(Box box) {
    if (box.left > box.right) {
        std::swap(box.left, box.right);
    }
    if (box.top > box.bottom) {
        std::swap(box.top, box.bottom);
    }
    return box;
}

// Appends the rows top..bottom with the span left..right, extending the last rectangle when
// it ends just above with the same span.
void addRows(std::vector<Box>& rects, int left, int right, int top, int bottom) {
    if (left >= right || top >= bottom) {
        return;
    }
    if (!rects.empty()) {
        Box& last = rects.back();
        if (last.left == left && last.right == right && last.bottom == top) {
            last.bottom = bottom;
            return;
        }
    }
    rects.push_back({left, top, right, bottom});
}

// How far each row of the lower half of a w x h ellipse (w, h >= 2) lies inside its sides,
// from the middle row h / 2 to the last one. Traced with Zingl's error stepping, which is how
// the Windows region functions rasterise their ellipses.
std::vector<int> lowerHalfInsets(int w, int h) {
    const std::int64_t a = w - 1;
    const std::int64_t b = h - 1;
    const std::int64_t odd = b % 2;
    std::int64_t stepX = 4 * b * b * (1 - a);
    std::int64_t stepY = 4 * a * a * (1 + odd);
    std::int64_t error = stepX + stepY + a * a * odd;

    std::vector<int> insets(static_cast<std::size_t>(h - h / 2), 0);
    std::size_t row = 0;
    for (int x = 0; x <= w / 2 && row + 1 < insets.size();) {
        const std::int64_t doubled = 2 * error;
        if (doubled >= stepX) {
            ++x;
            stepX += 8 * b * b;
            error += stepX;
        }
        if (doubled <= stepY) {
            stepY += 8 * a * a;
            error += stepY;
            insets[++row] = x;
        }
    }
    // The trace stops short in very thin ellipses; the rows left over continue its last one.
    std::fill(insets.begin() + static_cast<std::ptrdiff_t>(row) + 1, insets.end(), insets[row]);
    return insets;
}

// A rectangle whose corners are quarters of a cornerWidth x cornerHeight ellipse; like
// CreateRoundRectRgn it leaves out the box's last column and last row.
std::vector<Box> roundedRects(const Box& box, int cornerWidth, int cornerHeight) {
    const int right = box.right - 1;
    const int bottom = box.bottom - 1;
    const int w = std::min(right - box.left, cornerWidth);
    const int h = std::min(bottom - box.top, cornerHeight);
    std::vector<Box> rects;
    if (w < 2 || h < 2) {
        addRows(rects, box.left, right, box.top, bottom);
        return rects;
    }

    const std::vector<int> lower = lowerHalfInsets(w, h);
    const int middle = h / 2;
    for (int i = 0; i < middle; ++i) {
        const int inset = lower[static_cast<std::size_t>(h - 1 - i - middle)];
        addRows(rects, box.left + inset, right - inset, box.top + i, box.top + i + 1);
    }
    addRows(rects, box.left, right, box.top + middle, bottom - h + middle + 1);
    for (int i = middle + 1; i < h; ++i) {
        const int inset = lower[static_cast<std::size_t>(i - middle)];
        const int y = bottom - h + i;
        addRows(rects, box.left + inset, right - inset, y, y + 1);
    }
    return rects;
}

} // namespace

Outline outlineFor(std::int32_t vid, std::int32_t inset, int width, int height) {
    OutlineKind kind = OutlineKind::Whole;
    switch (vid) {
    case kVidRoundRect:
        kind = OutlineKind::RoundRect;
        break;
    case kVidRect:
        kind = OutlineKind::Rect;
        break;
    case kVidEllipse:
        kind = OutlineKind::Ellipse;
        break;
    default:
        return {};
    }
    // Beyond these insets every kind covers the whole window, so the box stops growing there:
    // an inset that runs away (InsetMax = 0) keeps window-sized coordinates and row counts.
    const int side = std::max({width, height, 0});
    const std::int64_t i = std::clamp<std::int64_t>(inset, -side, 2 * std::int64_t{side});
    return {kind,
            normalised({saturated(i), saturated(i), saturated(width - i), saturated(height - i)})};
}

std::vector<Box> outlineRects(const Outline& outline) {
    // Outlines are window-sized (outlineFor keeps them so), which keeps the ellipse's error
    // terms far inside 64 bits.
    const Box box = normalised(outline.box);
    if (box.left == box.right || box.top == box.bottom) {
        return {};
    }
    switch (outline.kind) {
    case OutlineKind::Rect:
        return {box};
    case OutlineKind::RoundRect:
        return roundedRects(box, kRoundCornerSize, kRoundCornerSize);
    case OutlineKind::Ellipse:
        return roundedRects(box, box.right - box.left, box.bottom - box.top);
    case OutlineKind::Whole:
        break;
    }
    return {};
}

std::vector<Box> revealedRows(const std::vector<Box>& before, const std::vector<Box>& after) {
    std::vector<Box> revealed;
    const auto add = [&revealed](int left, int top, int right, int bottom) {
        if (left < right && top < bottom) {
            revealed.push_back({left, top, right, bottom});
        }
    };
    std::size_t next = 0; // the first band before that may still meet a later row
    for (const Box& row : after) {
        int top = row.top;
        while (top < row.bottom) {
            while (next < before.size() && before[next].bottom <= top) {
                ++next;
            }
            if (next == before.size() || before[next].top >= row.bottom) {
                add(row.left, top, row.right, row.bottom);
                break;
            }
            const Box& old = before[next];
            add(row.left, top, row.right, old.top);
            top = std::max(top, old.top);
            const int bottom = std::min(row.bottom, old.bottom);
            add(row.left, top, std::min(row.right, old.left), bottom);
            add(std::max(row.left, old.right), top, row.right, bottom);
            top = bottom;
        }
    }
    return revealed;
}

} // namespace kivo
