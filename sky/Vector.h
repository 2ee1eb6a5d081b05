#ifndef ORVTEST_SKY_VECTOR_H
#define ORVTEST_SKY_VECTOR_H

#include <cmath>

// Vectors and turns in double precision for the sky's maths: orbits, spins
// and frames are worked out in these, and only the scene's edge turns them
// into the engine's single-precision types (sim/SkyToWorld.h).

struct Vector3d
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Vector3d operator+(const Vector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    Vector3d operator-(const Vector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    Vector3d operator-() const { return {-x, -y, -z}; }
    Vector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    Vector3d operator/(double s) const { return {x / s, y / s, z / s}; }
    Vector3d& operator+=(const Vector3d& v) { return *this = *this + v; }
    Vector3d& operator-=(const Vector3d& v) { return *this = *this - v; }
    bool operator==(const Vector3d& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const Vector3d& v) const { return !(*this == v); }

    double dot(const Vector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    Vector3d cross(const Vector3d& v) const { return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x}; }
    double squaredLength() const { return dot(*this); }
    double length() const { return std::sqrt(squaredLength()); }
    // The unit vector along this one; zero for a zero (or non-finite) vector.
    Vector3d normalised() const
    {
        const double l = length();
        return l > 0.0 && std::isfinite(l) ? *this / l : Vector3d{};
    }
    bool finite() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }
};

inline Vector3d operator*(double s, const Vector3d& v)
{
    return v * s;
}

// A rotation as a unit quaternion.
struct Quaterniond
{
    double w = 1.0;
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    // `radians` about the unit vector `axis`, turning counter-clockwise seen
    // from the axis' tip.
    static Quaterniond fromAngleAxis(double radians, const Vector3d& axis)
    {
        const double s = std::sin(0.5 * radians);
        return {std::cos(0.5 * radians), axis.x * s, axis.y * s, axis.z * s};
    }
    // The turn that takes the unit axes x, y and z to the given right-handed
    // orthonormal axes.
    static Quaterniond fromAxes(const Vector3d& xAxis, const Vector3d& yAxis, const Vector3d& zAxis);

    Quaterniond operator*(const Quaterniond& q) const
    {
        return {w * q.w - x * q.x - y * q.y - z * q.z, w * q.x + x * q.w + y * q.z - z * q.y,
                w * q.y + y * q.w + z * q.x - x * q.z, w * q.z + z * q.w + x * q.y - y * q.x};
    }
    // The vector turned.
    Vector3d operator*(const Vector3d& v) const
    {
        // v + 2w(q × v) + 2 q × (q × v), on q's vector part.
        const Vector3d q{x, y, z};
        const Vector3d u = q.cross(v);
        return v + 2.0 * (w * u + q.cross(u));
    }
    Quaterniond inverse() const { return {w, -x, -y, -z}; }   // of a unit quaternion
    Quaterniond normalised() const
    {
        const double l = std::sqrt(w * w + x * x + y * y + z * z);
        return l > 0.0 ? Quaterniond{w / l, x / l, y / l, z / l} : Quaterniond{};
    }
    bool finite() const { return std::isfinite(w) && std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }
};

inline Quaterniond Quaterniond::fromAxes(const Vector3d& a, const Vector3d& b, const Vector3d& c)
{
    // Shepperd's method: from the largest of the four squares, for precision.
    const double trace = a.x + b.y + c.z;
    Quaterniond q;
    if (trace > 0.0)
    {
        const double s = 0.5 / std::sqrt(trace + 1.0);
        q = {0.25 / s, (b.z - c.y) * s, (c.x - a.z) * s, (a.y - b.x) * s};
    }
    else if (a.x > b.y && a.x > c.z)
    {
        const double s = 2.0 * std::sqrt(1.0 + a.x - b.y - c.z);
        q = {(b.z - c.y) / s, 0.25 * s, (b.x + a.y) / s, (c.x + a.z) / s};
    }
    else if (b.y > c.z)
    {
        const double s = 2.0 * std::sqrt(1.0 + b.y - a.x - c.z);
        q = {(c.x - a.z) / s, (b.x + a.y) / s, 0.25 * s, (c.y + b.z) / s};
    }
    else
    {
        const double s = 2.0 * std::sqrt(1.0 + c.z - a.x - b.y);
        q = {(a.y - b.x) / s, (c.x + a.z) / s, (c.y + b.z) / s, 0.25 * s};
    }
    return q.normalised();
}

#endif
