#pragma once

#include "vxGLResources.h"
#include "vxVertice.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Issues the triangles between glBegin and glEnd, each lit by its facet
// normal (n1).
void vxDrawFlatTriangles(const std::vector<vxVertice>& triangles);

// The further drawings of one shared mesh besides its flat-shaded
// triangles, each worked out once per distinct mesh:
//
// - a simplified version of the triangles (fewer triangles within a small
//   part of the mesh's size), drawn while the camera moves;
// - the outline: the triangles with smooth normals (each corner's normal
//   averaged over the faces around it that meet its face below the crease
//   angle), the crease edges (faces meeting at more than the crease angle,
//   and open borders), and the edges between faces meeting below it, which
//   are drawn where they lie on the silhouette.
//
// Each drawing is compiled into a display list of the current context on
// first use; the lists are booked with vxGLResources.
class vxMeshDrawings {
  public:
    static constexpr double kCreaseDegrees = 30.0;
    // The simplified versions: level 0 deviates from the surface by at most
    // a hundredth of the mesh's size, level 1 (for parts small on screen)
    // by a twentieth.
    static constexpr int kLevels = 2;
    static constexpr float kLevelError[kLevels] = {0.01f, 0.05f};

    vxMeshDrawings() = default;
    vxMeshDrawings(const vxMeshDrawings&) = delete;
    vxMeshDrawings& operator=(const vxMeshDrawings&) = delete;
    ~vxMeshDrawings() { forget(); }

    // Works out the simplified triangles of every level, unless done.
    void makeSimplified(const std::vector<vxVertice>& triangles);
    // Works out the outline, unless done.
    void makeOutline(const std::vector<vxVertice>& triangles);
    // Forgets everything (the triangles are about to change).
    void forget();

    // Display lists in the current context, compiled on first use (0 when
    // there is nothing to draw). The simplified triangles carry facet
    // normals; the smooth triangles corner normals; crease and silhouette
    // edges are GL_LINES, the latter with the normals of the two faces at
    // gl_Normal and texture coordinates 0 and the edge's middle at texture
    // coordinates 1, for the silhouette shader.
    std::uint32_t simplifiedList(const std::vector<vxVertice>& triangles, int level = 0);
    std::uint32_t smoothList(const std::vector<vxVertice>& triangles);
    std::uint32_t creaseList(const std::vector<vxVertice>& triangles);
    std::uint32_t silhouetteList(const std::vector<vxVertice>& triangles);

    // The simplified triangles (facet normals at n1), after makeSimplified,
    // and their own outlined drawings, for moving frames in the Outlined
    // style.
    const std::vector<vxVertice>& simplified(int level = 0) const { return m_levels[index(level)].triangles; }
    vxMeshDrawings& simplifiedDrawings(int level = 0);

    // What was worked out (for tests and benchmarks).
    bool simplifiedMade() const { return m_simplifiedMade; }
    std::size_t simplifiedTriangles(int level = 0) const { return simplified(level).size(); }
    const std::vector<float>& smoothNormals() const { return m_smoothNormals; }
    const std::vector<float>& creaseEdges() const { return m_creases; }
    std::size_t silhouetteEdgeCount() const { return m_silhouette.size() / 12; }

  private:
    struct List {
        std::uint32_t id = 0;
        vxGLResources::ContextId context = 0;
        void release();
        // Starts compiling a new list when none exists in the current
        // context; false when the existing one serves.
        bool begin();
    };

    bool m_simplifiedMade = false;
    bool m_outlineMade = false;
    struct Level {
        std::vector<vxVertice> triangles;
        List list;
        std::unique_ptr<vxMeshDrawings> drawings;
    };
    static std::size_t index(int level)
    {
        return static_cast<std::size_t>(std::clamp(level, 0, kLevels - 1));
    }
    std::array<Level, kLevels> m_levels;
    std::vector<float> m_smoothNormals; // x, y, z per corner of the triangles
    std::vector<float> m_creases;       // x, y, z of both ends of each edge
    std::vector<float> m_silhouette;    // per edge: both ends, the two faces' normals
    List m_smoothList, m_creaseList, m_silhouetteList;
};
