#pragma once

struct c2v {
    float x, y;
};

struct c2Poly {
    int count;
    c2v verts[8];
    c2v norms[8];
};
