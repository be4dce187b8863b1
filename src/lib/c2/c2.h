#pragma once

// Convex polygons and the collision queries the game needs: polygon overlap
// with a contact manifold, and ray casts. Single precision, y up, polygons
// counter-clockwise with unit outward edge normals.

inline constexpr int C2_MAX_POLYGON_VERTS = 8;

struct c2v {
    float x;
    float y;
};

// Rotation as cosine and sine.
struct c2r {
    float c;
    float s;
};

// Rigid transform: rotate by q, then translate by p.
struct c2x {
    c2v p;
    c2r q;
};

struct c2Poly {
    int count;
    c2v verts[C2_MAX_POLYGON_VERTS];
    c2v norms[C2_MAX_POLYGON_VERTS];
};

// Segment from p along the unit direction d, t units long.
struct c2Ray {
    c2v p;
    c2v d;
    float t;
};

// Where a ray entered a polygon: distance along the ray and the entered edge's normal.
struct c2Raycast {
    float t;
    c2v n;
};

// Overlap of two polygons. n is the unit normal pointing from A toward B.
// The contact points lie on the boundary of one polygon (where its edge
// reaches into the other); each depth is how far that point lies past the
// other polygon's edge along n, so moving B by the largest depth along n
// separates the pair.
struct c2Manifold {
    int count;
    float depths[2];
    c2v contact_points[2];
    c2v n;
};

// Replaces the first `count` vertices (at most eight are read) by their convex
// hull, counter-clockwise, and fills the outward unit normals. Non-finite
// vertices are dropped; with fewer than three non-collinear vertices left the
// polygon becomes empty (count 0), which overlaps and blocks nothing.
void c2MakePoly(c2Poly* p);

// Fills m; m->count is above zero exactly when A and B overlap with positive
// depth. A null transform means the polygon is already in world space.
void c2PolytoPolyManifold(const c2Poly* A, const c2x* ax, const c2Poly* B, const c2x* bx, c2Manifold* m);

// Nonzero when the segment of the ray enters B's interior; then out holds the
// entry distance and the entered edge's normal. A ray starting inside B
// reports no hit, and out is left untouched when nothing is hit.
int c2RaytoPoly(c2Ray A, const c2Poly* B, const c2x* bx, c2Raycast* out);
