#pragma once

#include "ArtCanvas.h"

#include <deque>
#include <vector>

// A point or direction in a model's 3D frame.
struct Vec3 {
    float x = 0, y = 0, z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
float dot(Vec3 a, Vec3 b);
Vec3 cross(Vec3 a, Vec3 b);
Vec3 normalized(Vec3 a);

// Four tones of one material, from the side turned away from the light to the glint.
struct Ramp {
    Rgba shadow, base, light, highlight;
};
Ramp makeRamp(Rgba base);

// A flat ellipse shaded as a dome lit from the upper left, for small round things on tiles.
void shadedEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, const Ramp& ramp);

// How a scene is looked at: the model's own frame (forward, right, up) is turned by `heading`
// (0 faces the top of the screen, growing clockwise), seen from `elevation` above the ground
// with orthographic projection, `scale` pixels per unit, the model origin at originX, originY.
struct View {
    float heading = 0;
    float elevation = 0.66f;
    float scale = 1;
    float originX = 0, originY = 0;
};

// A figure made of shaded ellipsoids in the model's frame (x forward, y right, z up), drawn
// with a depth buffer so that parts hide each other correctly from any heading. Every part
// number groups ellipsoids that belong together; an edge between different parts at clearly
// different depths gets a dark line, as an artist would ink it.
class BlobScene {
  public:
    BlobScene() = default;
    BlobScene(const BlobScene&) = delete;
    BlobScene& operator=(const BlobScene&) = delete;

    // An ellipsoid whose first axis points along `along` (the second stays horizontal).
    void addEllipsoid(Vec3 centre, Vec3 along, float radiusAlong, float radiusSide, float radiusUp,
                      const Ramp& ramp, int part);
    void addSphere(Vec3 centre, float radius, const Ramp& ramp, int part);
    // Spheres stamped along a polyline, the radius going linearly from r0 to r1.
    void addTube(const std::vector<Vec3>& points, float r0, float r1, const Ramp& ramp, int part);

    // Draws into the canvas (over what it holds) and returns nothing; pixels outside are lost.
    void render(Canvas& canvas, const View& view, float inkDepth = 2.5f) const;

  private:
    struct Blob {
        Vec3 centre;
        Vec3 axes[3];
        const Ramp* ramp;
        int part;
    };
    std::vector<Blob> blobs_;
    // A deque keeps every ramp at its address, so blobs can point at them.
    std::deque<Ramp> ramps_;
    const Ramp* keep(const Ramp& ramp);
};
