#include "lib/c2/c2.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

c2v sub(c2v a, c2v b) { return {a.x - b.x, a.y - b.y}; }
c2v neg(c2v a) { return {-a.x, -a.y}; }
float dot(c2v a, c2v b) { return a.x * b.x + a.y * b.y; }
float cross(c2v a, c2v b) { return a.x * b.y - a.y * b.x; }
c2v lerp(c2v a, c2v b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// Along a counter-clockwise edge the outward side is on the right.
c2v outward_normal(c2v from, c2v to) {
    const c2v e = sub(to, from);
    const float len_squared = e.x * e.x + e.y * e.y;
    // hypot only where the square overflows or underflows.
    const float len = std::isnormal(len_squared) ? std::sqrt(len_squared) : std::hypot(e.x, e.y);
    return {e.y / len, -e.x / len};
}

c2v rotate(const c2x& x, c2v v) { return {x.q.c * v.x - x.q.s * v.y, x.q.s * v.x + x.q.c * v.y}; }

c2v transform(const c2x& x, c2v v) {
    const c2v r = rotate(x, v);
    return {r.x + x.p.x, r.y + x.p.y};
}

// The polygon in world space: p itself when there is no transform, otherwise
// placed into scratch. A polygon with fewer than three vertices comes back empty.
const c2Poly& in_world(const c2Poly& p, const c2x* x, c2Poly& scratch) {
    const bool usable = p.count >= 3 && p.count <= C2_MAX_POLYGON_VERTS;
    if (usable && x == nullptr) {
        return p;
    }
    scratch.count = usable ? p.count : 0;
    for (int i = 0; i < scratch.count; ++i) {
        scratch.verts[i] = transform(*x, p.verts[i]);
        scratch.norms[i] = rotate(*x, p.norms[i]);
    }
    return scratch;
}

int next(const c2Poly& p, int i) { return i + 1 < p.count ? i + 1 : 0; }

bool before(c2v a, c2v b) { return a.x < b.x || (a.x == b.x && a.y < b.y); }

// Andrew's monotone chain; collinear points are dropped. Returns the hull size.
int convex_hull(c2v* points, int n, c2v* hull) {
    // Insertion sort by x, then y: at most eight points.
    for (int i = 1; i < n; ++i) {
        for (int j = i; j > 0 && before(points[j], points[j - 1]); --j) {
            std::swap(points[j], points[j - 1]);
        }
    }
    n = static_cast<int>(std::unique(points, points + n, [](c2v a, c2v b) { return a.x == b.x && a.y == b.y; }) - points);
    if (n < 3) {
        return 0;
    }
    c2v chain[2 * C2_MAX_POLYGON_VERTS];
    int k = 0;
    auto push = [&](c2v p, int floor) {
        while (k >= floor + 2 && !(cross(sub(chain[k - 1], chain[k - 2]), sub(p, chain[k - 2])) > 0.0f)) {
            --k;
        }
        chain[k++] = p;
    };
    for (int i = 0; i < n; ++i) {
        push(points[i], 0);
    }
    const int lower = k - 1;
    for (int i = n - 2; i >= 0; --i) {
        push(points[i], lower);
    }
    const int size = k - 1;  // the last point repeats the first
    if (size < 3) {
        return 0;
    }
    std::copy(chain, chain + size, hull);
    return size;
}

// Largest separation of B from A's edge planes; `face` is A's edge that gives it.
// Stops early once a separating edge is found. A non-finite separation counts as separating.
float max_separation(const c2Poly& a, const c2Poly& b, int* face) {
    float best = -std::numeric_limits<float>::infinity();
    for (int i = 0; i < a.count; ++i) {
        float deepest = std::numeric_limits<float>::infinity();
        for (int j = 0; j < b.count; ++j) {
            deepest = std::min(deepest, dot(a.norms[i], sub(b.verts[j], a.verts[i])));
        }
        if (!(deepest < 0.0f)) {
            *face = i;
            return std::isnan(deepest) ? std::numeric_limits<float>::infinity() : deepest;
        }
        if (deepest > best) {
            best = deepest;
            *face = i;
        }
    }
    return best;
}

// Keeps the part of segment seg[0..1] where dot(n, p) <= offset. Returns the points kept.
int clip_segment(c2v seg[2], c2v n, float offset) {
    const float d0 = dot(n, seg[0]) - offset;
    const float d1 = dot(n, seg[1]) - offset;
    c2v out[2];
    int kept = 0;
    if (d0 <= 0.0f) {
        out[kept++] = seg[0];
    }
    if (d1 <= 0.0f) {
        out[kept++] = seg[1];
    }
    if (d0 * d1 < 0.0f) {
        out[kept++] = lerp(seg[0], seg[1], d0 / (d0 - d1));
    }
    for (int i = 0; i < kept; ++i) {
        seg[i] = out[i];
    }
    return kept;
}

// The incident polygon's edge that faces the reference normal most directly.
int incident_edge(const c2Poly& incident, c2v ref_normal) {
    int edge = 0;
    float lowest = std::numeric_limits<float>::infinity();
    for (int i = 0; i < incident.count; ++i) {
        const float d = dot(ref_normal, incident.norms[i]);
        if (d < lowest) {
            lowest = d;
            edge = i;
        }
    }
    return edge;
}

void add_contact(c2Manifold* m, c2v point, float depth) {
    m->contact_points[m->count] = point;
    m->depths[m->count] = depth;
    ++m->count;
}

// Contacts of `incident` against the reference edge `face` of `ref`, normal n = ref's face normal.
void clip_contacts(const c2Poly& ref, int face, const c2Poly& incident, c2Manifold* m) {
    const c2v r1 = ref.verts[face];
    const c2v r2 = ref.verts[next(ref, face)];
    const c2v n = ref.norms[face];
    const c2v tangent = {-n.y, n.x};

    const int e = incident_edge(incident, n);
    c2v seg[2] = {incident.verts[e], incident.verts[next(incident, e)]};
    int kept = clip_segment(seg, neg(tangent), -dot(tangent, r1));
    if (kept == 2) {
        kept = clip_segment(seg, tangent, dot(tangent, r2));
    }
    if (kept == 2) {
        for (const c2v p : seg) {
            const float separation = dot(n, sub(p, r1));
            if (separation < 0.0f) {
                add_contact(m, p, -separation);
            }
        }
    }
    if (m->count > 0) {
        return;
    }
    // Clipping can lose every point to rounding on slivers; the deepest vertex
    // still witnesses the overlap the separating-axis test found.
    float deepest = std::numeric_limits<float>::infinity();
    c2v point = incident.verts[0];
    for (int i = 0; i < incident.count; ++i) {
        const float separation = dot(n, sub(incident.verts[i], r1));
        if (separation < deepest) {
            deepest = separation;
            point = incident.verts[i];
        }
    }
    if (deepest < 0.0f) {
        add_contact(m, point, -deepest);
    }
}

}  // namespace

void c2MakePoly(c2Poly* p) {
    const int n = std::clamp(p->count, 0, C2_MAX_POLYGON_VERTS);
    c2v points[C2_MAX_POLYGON_VERTS];
    int finite = 0;
    for (int i = 0; i < n; ++i) {
        if (std::isfinite(p->verts[i].x) && std::isfinite(p->verts[i].y)) {
            points[finite++] = p->verts[i];
        }
    }
    c2v hull[C2_MAX_POLYGON_VERTS];
    p->count = convex_hull(points, finite, hull);
    for (int i = 0; i < p->count; ++i) {
        p->verts[i] = hull[i];
    }
    for (int i = 0; i < p->count; ++i) {
        p->norms[i] = outward_normal(p->verts[i], p->verts[next(*p, i)]);
    }
}

void c2PolytoPolyManifold(const c2Poly* A, const c2x* ax, const c2Poly* B, const c2x* bx, c2Manifold* m) {
    *m = c2Manifold{};
    c2Poly scratch_a;
    c2Poly scratch_b;
    const c2Poly& a = in_world(*A, ax, scratch_a);
    const c2Poly& b = in_world(*B, bx, scratch_b);
    if (a.count == 0 || b.count == 0) {
        return;
    }
    int face_a = 0;
    const float sep_a = max_separation(a, b, &face_a);
    if (!(sep_a < 0.0f)) {
        return;
    }
    int face_b = 0;
    const float sep_b = max_separation(b, a, &face_b);
    if (!(sep_b < 0.0f)) {
        return;
    }
    // Prefer A's face unless B's is clearly shallower, so the normal does not
    // flip between ticks when both are nearly equal.
    const bool b_is_reference = sep_b > 0.98f * sep_a;
    if (b_is_reference) {
        clip_contacts(b, face_b, a, m);
        m->n = neg(b.norms[face_b]);
    } else {
        clip_contacts(a, face_a, b, m);
        m->n = a.norms[face_a];
    }
}

int c2RaytoPoly(c2Ray A, const c2Poly* B, const c2x* bx, c2Raycast* out) {
    c2Poly scratch;
    const c2Poly& b = in_world(*B, bx, scratch);
    // Cyrus-Beck against the open edge half-planes.
    float enter = 0.0f;
    float exit = A.t;
    int entered_edge = -1;
    for (int i = 0; i < b.count; ++i) {
        const float distance_inside = dot(b.norms[i], sub(b.verts[i], A.p));
        const float approach = dot(b.norms[i], A.d);
        if (approach == 0.0f) {
            if (!(distance_inside > 0.0f)) {
                return 0;  // parallel to the edge and on or outside its line
            }
        } else if (approach < 0.0f) {
            const float t = distance_inside / approach;
            if (t >= enter) {
                enter = t;
                entered_edge = i;
            }
        } else if (approach > 0.0f) {
            exit = std::min(exit, distance_inside / approach);
        }
    }
    // No entering edge ahead of the origin: the ray starts inside (or is not finite).
    if (entered_edge < 0 || !(enter < exit)) {
        return 0;
    }
    out->t = enter;
    out->n = b.norms[entered_edge];
    return 1;
}
