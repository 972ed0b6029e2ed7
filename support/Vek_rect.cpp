#include "support/Vek_rect.h"

#include "framework/Fw_classes.h"

#include <vector>

namespace {

const char kEditError[] = "The program could not edit a rectangle.";

// Reads the integers of a comma text; the framework's list and conversion
// errors become rectangle errors with their messages.
std::vector<LONG> ParseIntegers(const std::string& text, int count) {
    std::vector<LONG> values;
    try {
        TStringList items;
        items.SetCommaText(text);
        for (int i = 0; i < count; ++i)
            values.push_back(StrToInt(items.Strings(i)));
    } catch (const Exception& e) {
        throw ERectError(e.Message());
    }
    return values;
}

std::string JoinIntegers(std::initializer_list<LONG> values) {
    TStringList items;
    for (const LONG value : values)
        items.Add(IntToStr(value));
    return items.CommaText();
}

// Clears the thread's last-error value, for calls whose result cannot tell
// failure from a legitimate zero.
void ClearLastError() {
    SetLastError(ERROR_SUCCESS);
}

bool LastErrorSet() {
    return GetLastError() != ERROR_SUCCESS;
}

} // namespace

// ---------------------------------------------------------------- TPointHelper

std::uint32_t TPointHelper::ToPoints() const {
    const auto x = static_cast<std::uint16_t>(FPoint.x);
    const auto y = static_cast<std::uint16_t>(FPoint.y);
    return static_cast<std::uint32_t>(x) | (static_cast<std::uint32_t>(y) << 16);
}

void TPointHelper::FromPoints(std::uint32_t points) {
    FPoint.x = static_cast<std::int16_t>(points & 0xFFFF);
    FPoint.y = static_cast<std::int16_t>(points >> 16);
}

std::string TPointHelper::ToText() const {
    return JoinIntegers({FPoint.x, FPoint.y});
}

void TPointHelper::FromText(const std::string& text) {
    const std::vector<LONG> values = ParseIntegers(text, 2);
    FPoint = {values[0], values[1]};
}

void TPointHelper::Offset(LONG dx, LONG dy) {
    FPoint.x += dx;
    FPoint.y += dy;
}

// ---------------------------------------------------------------- TRectHelper

std::string TRectHelper::ToText() const {
    return JoinIntegers({FRect.left, FRect.top, FRect.right, FRect.bottom});
}

void TRectHelper::FromText(const std::string& text) {
    const std::vector<LONG> values = ParseIntegers(text, 4);
    FRect = {values[0], values[1], values[2], values[3]};
}

void TRectHelper::Inflate(LONG dx, LONG dy) {
    RECT rect = FRect;
    if (!InflateRect(&rect, dx, dy))
        throw ERectError(kEditError);
    FRect = rect;
}

void TRectHelper::Intersect(const RECT& other) {
    // No intersection is a zero result too: only the last-error value tells a failure.
    RECT rect;
    ClearLastError();
    IntersectRect(&rect, &FRect, &other);
    if (LastErrorSet())
        throw ERectError(kEditError);
    FRect = rect;
}

void TRectHelper::SetEmpty() {
    RECT rect = FRect;
    if (!SetRectEmpty(&rect))
        throw ERectError(kEditError);
    FRect = rect;
}

void TRectHelper::Offset(LONG dx, LONG dy) {
    RECT rect = FRect;
    if (!OffsetRect(&rect, dx, dy))
        throw ERectError(kEditError);
    FRect = rect;
}

void TRectHelper::Subtract(const RECT& other) {
    RECT rect;
    if (!SubtractRect(&rect, &FRect, &other))
        throw ERectError(kEditError);
    FRect = rect;
}

void TRectHelper::Union(const RECT& other) {
    RECT rect;
    ClearLastError();
    UnionRect(&rect, &FRect, &other);
    if (LastErrorSet())
        throw ERectError(kEditError);
    FRect = rect;
}

bool TRectHelper::Contains(const POINT& point) const {
    ClearLastError();
    const bool inside = PtInRect(&FRect, point) != FALSE;
    if (LastErrorSet())
        throw ERectError("The program could not compare a rectangle.");
    return inside;
}

bool TRectHelper::Intersects(const RECT& other) const {
    RECT rect;
    return IntersectRect(&rect, &FRect, &other) != FALSE;
}

bool TRectHelper::IsEmpty() const {
    ClearLastError();
    const bool empty = IsRectEmpty(&FRect) != FALSE;
    if (LastErrorSet())
        throw ERectError("The program could not examine a rectangle.");
    return empty;
}
