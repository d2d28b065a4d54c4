// Reading a ".x" file's bytes with the Assimp importer, in the helper program's own process.
#pragma once

#include <cstddef>

#include "host/rm/x_import_flat.h"

// Imports the file held in data (any of its forms) and flattens it into out, which must be empty: every
// mesh placed by the product of the transforms of the frames above it, in file order, with the file's
// own positions, normals, texture coordinates and corner order. The importer gives every face corner a
// vertex of its own; the corners of one frame's meshes that are equal in position, normal and texture
// coordinates are welded back into one vertex, as the file held them. False when the importer refuses
// the file or a bound is passed. Assimp is third-party code that crashes, loops or exhausts memory on
// some broken files: only the helper program calls this.
bool HostRMXReadWithAssimp(const void* data, size_t size, HostRMXFlat& out);
