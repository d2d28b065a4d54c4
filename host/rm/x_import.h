// Reading ".x" model files into mesh-builder contents, through the Assimp importer run in the package's
// helper program (quib-ximport).
#pragma once

#include <chrono>

#include "host/rm/mesh_builder.h"
#include "host/rm/x_import_flat.h"

// How long the helper may take to read a file before it is killed.
constexpr std::chrono::seconds kHostRMXReadTimeLimit{30};

// Reads the ".x" file (text, binary or compressed form) held in data into out, which must be empty
// but for its first look (no material, no texture). Every mesh of the file is placed by the product of
// the transforms of the frames above it; positions, normals, texture coordinates, faces and their
// corner order are the file's own, with one vertex per distinct corner of a frame's meshes. Each file
// material becomes a material and a face colour; callback (may be NULL) is called in this process, once
// per distinct texture file name. The importer runs in the helper program (it is third-party code that
// crashes, hangs or exhausts memory on some broken files): a file it cannot read, dies on or takes over
// kHostRMXReadTimeLimit for gives D3DRMERR_BADFILE, with nothing leaked and no callback made; out is
// then unspecified. D3DRMERR_BADALLOC when this process runs out of memory.
HRESULT HostRMImportX(const void* data, size_t size, D3DRMLOADTEXTURECALLBACK callback, void* arg,
                      HostRMMeshBuilder::Contents& out);

// The second half of HostRMImportX, on arrays a helper sent (they must pass HostRMXFlatSound): looks,
// faces and corners into out (empty but for its first look), the callback as above. flat is emptied.
HRESULT HostRMXMakeContents(HostRMXFlat& flat, D3DRMLOADTEXTURECALLBACK callback, void* arg,
                            HostRMMeshBuilder::Contents& out);
