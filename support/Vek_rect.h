// Point and rectangle values with conversions to and from text and the Win32
// rectangle operations.
#pragma once

#include "framework/Fw_sysutils.h"

#include <windows.h>

#include <cstdint>
#include <string>

class ERectError : public Exception {
public:
    using Exception::Exception;
};

class TPointHelper {
public:
    TPointHelper() : FPoint{0, 0} {}
    explicit TPointHelper(const POINT& point) : FPoint(point) {}
    TPointHelper(LONG x, LONG y) : FPoint{x, y} {}

    // Packed as a Win32 short point: x in the low 16 bits, y in the high 16
    // bits, each cut to 16 bits.
    virtual std::uint32_t ToPoints() const;
    // Unpacks a short point, extending the sign of both halves.
    virtual void FromPoints(std::uint32_t points);
    virtual POINT GetPoint() const { return FPoint; }
    virtual void SetPoint(const POINT& point) { FPoint = point; }
    virtual std::uint32_t ToSmallPoint() const { return ToPoints(); }
    virtual void FromSmallPoint(std::uint32_t points) { FromPoints(points); }
    // "x,y" in decimal.
    virtual std::string ToText() const;
    // Parses "x,y"; a missing item or one that is not an integer throws
    // ERectError and keeps the point as it was.
    virtual void FromText(const std::string& text);
    virtual ~TPointHelper() = default;
    virtual void Offset(LONG dx, LONG dy);

private:
    POINT FPoint;
};

// A rectangle in the Win32 sense: right and bottom are outside it. A failed
// operation throws ERectError and leaves the rectangle unchanged.
class TRectHelper {
public:
    TRectHelper() : FRect{0, 0, 0, 0} {}
    explicit TRectHelper(const RECT& rect) : FRect(rect) {}
    TRectHelper(LONG left, LONG top, LONG right, LONG bottom) : FRect{left, top, right, bottom} {}

    virtual RECT GetRect() const { return FRect; }
    virtual void SetRect(const RECT& rect) { FRect = rect; }
    // "left,top,right,bottom" in decimal.
    virtual std::string ToText() const;
    virtual void FromText(const std::string& text);
    virtual ~TRectHelper() = default;
    virtual void Inflate(LONG dx, LONG dy);
    virtual void Intersect(const RECT& rect);
    virtual void SetEmpty();
    virtual void Offset(LONG dx, LONG dy);
    // Fails also when nothing is left of the rectangle.
    virtual void Subtract(const RECT& rect);
    virtual void Union(const RECT& rect);
    virtual bool Contains(const POINT& point) const;
    virtual bool Intersects(const RECT& rect) const;
    virtual bool IsEmpty() const;

private:
    RECT FRect;
};
