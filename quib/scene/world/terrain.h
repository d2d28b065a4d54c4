// quib/scene/world: terrain tiles and their .dpm file, the terrain manager, skid marks, smoke and sprites.
// May include quib/scene/objects and the floors below it.
//
// Terrain: a height-field tile. A regular grid of cols x rows cells in the x-z plane whose vertex heights
// come from elevation maps, held as one sub-mesh with one material. A tile saves to and loads from a .dpm
// file, splits into a grid of smaller saved tiles, carries a chain of half-resolution versions for
// distance-based detail (with per-border heights to stitch a finer tile to a coarser neighbour), and
// answers the ground point under an (x, z) position.
//
// Grid layout: vertex (i, j), 0 <= i <= cols, 0 <= j <= rows, is number j x (cols + 1) + i and lies at
// (origin x + i x size x / cols, y, origin z + j x size z / rows). Cell (i, j), c = j x cols + i, has
// triangle 2c = (i+1, j), (i, j+1), (i+1, j+1) and triangle 2c + 1 = (i, j), (i, j+1), (i+1, j).
// Borders (edges) are numbered 0: row 0 (lowest z), 1: row rows, 2: column 0 (lowest x), 3: column cols.
//
// A tile is a MeshObject: its grid is the object's geometry (m_geo, one sub-mesh) and material table
// (m_skin, one entry), so a tile handle serves wherever an object handle does and draws through the
// object's own immediate-mode path. The tile's frame stays at the world origin: vertices hold world
// positions. A tile owns its geometry, its material table and its chain of coarser versions; textures
// belong to the surface table.
#pragma once

#include "host/d3d/d3dtypes.h"
#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"
#include "quib/export.h"
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/mesh/dp_mesh_skin.h"
#include "quib/scene/objects/mesh_object.h"

class SurfaceTableEntry;

constexpr int kTerrainNameSize = 256;

class QUIB_API Terrain : public MeshObject {
  public:
    // An empty tile (no grid) with a frame under parent, made with rm or the engine's Retained Mode
    // object when rm is NULL.
    Terrain(IDirect3DRM2* rm, IDirect3DRMFrame2* parent);
    // Frees the edge table and the chain of coarser versions; the object frees the geometry and the
    // material table.
    ~Terrain() override;

    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    // A flat grid of cols x rows cells over x0..x0 + sizeX, z0..z0 + sizeZ at y = 0, untextured (red).
    // 1, or 0 (the tile unchanged) when the grid has no cells or too many for 16-bit counts, a size is
    // not positive and finite, or memory ran out.
    int Init(float x0, float z0, float sizeX, float sizeZ, int cols, int rows);
    // As Load(file).
    int Init(const char* file);
    // Reads a .dpm file. The header is checked against the file (counts of the grid, indices in range,
    // the name terminated) before anything changes; bytes after the triangles are not read. The tile keeps
    // the file's texture name and takes that texture from the surface table. 1, or 0 (the tile unchanged).
    int Load(const char* file);
    // Writes the tile as a .dpm file ("wb+"). 1, or 0 when the tile has no grid or a write failed.
    int Save(const char* file);

    // The texture loaded from file (found in or added to the surface table), white; the name is kept.
    void SetTextureMap(const char* file);
    // A texture over surface (found in or added to the surface table), white; the name is not changed.
    void SetTextureMap(IDirectDrawSurface* surface);

    // Raises (upward != 0) or lowers every vertex by low +/- the mean of the 8-bit map's pixels around
    // its place on the map, scaled by (high - low) / 256. Heights add up over calls. Vertices with no
    // pixel around them stay. The means are written to the debug log, one grid row a line. Nothing
    // without a grid or a map.
    void ApplyElevationMap(IDirectDrawSurface* map, float low, float high, int upward);
    // Zeroes every vertex position.
    void ResetVertices();

    // Splits the tile into nx x nz tiles, k = tx + tz x nx, each out[k] (the caller's), saved as
    // "<base's file name part>%03d.dpm" in the current folder and named after the texture's file name
    // part "%03d.bmp" when the tile has a texture name. 1, or 0 when cols or rows is not a multiple of
    // nx or nz, or a tile cannot be made (tiles made so far stay in out).
    int SubdivideMesh(const char* base, int nx, int nz, Terrain** out);

    // Builds the chain of coarser versions: a level gets a coarser one while it has at least minCells
    // cells (minCells below 1 counts as 1) and even cols and rows of at least 2; each coarser level
    // has half the cells each way and its border heights for stitching. The old chain is freed (as on
    // Init and Load): its versions leave every display list.
    void MakeLowDetailVersions(int minCells);
    // Makes this tile the half-resolution copy of source: cols / 2 x rows / 2 cells over the same area,
    // vertex (i, j) a copy of source's (2i, 2j), sharing source's texture. 1, or 0 (unchanged) when
    // source has no grid or too few cells.
    int InitLowDetailVersion(Terrain* source);
    // Records for every odd vertex of the four borders its own height and the mean of its two even
    // neighbours along the border (the stitched height). Always 1.
    int InitLODVertices();
    // Sets the odd vertices of border edge to their own heights (which 0) or stitched heights (which 1).
    // 0 for another which or without border heights; 1 (nothing changed) for an edge above 3.
    int LoadEdge(int edge, int which);
    // The tile level steps down the chain (fewer when the chain ends first) and the steps taken.
    void GetLOD(int level, Terrain** out, int* reached);

    // The ground point under (x, z) on the grid's surface, borders included (the far borders use the
    // last column and row). 1 with out set; 0 outside the tile, without a grid, or when the ground lies
    // beyond y = -2000..2000.
    int FindIntersection(float x, float z, D3DVECTOR& out);

    char m_fileName[kTerrainNameSize]; // working buffer of SubdivideMesh
    float m_originX, m_originY, m_originZ;
    float m_sizeX, m_sizeZ;
    float m_centreX, m_centreZ;
    int m_cols, m_rows;
    char m_textureName[kTerrainNameSize];
    Terrain* m_lowDetail; // next coarser version, owned; or NULL
    float* m_edgeTable;   // pairs {own height, stitched height}, owned; or NULL

  private:
    // The sub-mesh when it holds this tile's (cols + 1) x (rows + 1) grid, else NULL.
    DPSubMesh* Grid() const;
    // Replaces geometry and material table by one sub-mesh of v vertices and t triangles and one
    // material. False (nothing changed) when memory ran out.
    bool NewGeometry(int v, int t);
    // The texture named file: the surface table's entry of that name, or a new entry loaded from the
    // file (added to the table when there is one; owned is set when the tile must keep it itself).
    // NULL when the file does not load (the failure is registered).
    static SurfaceTableEntry* FindOrLoadTexture(const char* file, bool& owned);
    // Box, centre, radius and normals of the sub-mesh, the geometry's box, and the object's box, corners
    // and centre (the mean of the vertices).
    void UpdateExtents();
    // Sets the material's texture, releasing one the tile held on its own.
    void UseTexture(SurfaceTableEntry* entry, bool owned);
    // The border vertex numbers of entry k of the edge table (its own vertex and the two neighbours).
    bool EdgeVertex(int edge, int k, int& odd, int& before, int& after) const;
    int EdgeEntries(int edge) const;
    int EdgeStart(int edge) const;

    SurfaceTableEntry* m_ownTexture; // a texture no surface table holds, deleted with the tile
};
